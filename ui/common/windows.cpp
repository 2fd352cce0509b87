#include "ui/common/windows.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QWindow>
#include <algorithm>

#include "db/settings.h"

namespace zolvant::ui {
namespace {

// The frame a window manager puts round a top-level window; unknown until a
// window has been shown, so the opener's stands for the new window's.
QMargins frameOf(const QWidget* w) {
    if (!w || !w->isWindow()) return {};
    const QRect frame = w->frameGeometry();
    const QRect client = w->geometry();
    return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
            frame.bottom() - client.bottom()};
}

// The start of a span of `length` inside [low, low + room), as near to `want` as fits.
int clampSpan(int want, int length, int low, int room) { return length >= room ? low : std::clamp(want, low, low + room - length); }

}  // namespace

QScreen* screenFor(const QWidget* opener) {
    if (opener)
        if (QScreen* s = opener->window()->screen()) return s;
    return QGuiApplication::primaryScreen();
}

void placeOnScreen(QWidget* window, const QWidget* opener) {
    const QWidget* from = opener ? opener->window() : nullptr;
    if (from == window) from = nullptr;
    QScreen* screen = screenFor(from);
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QMargins frame = frameOf(from).isNull() ? frameOf(window) : frameOf(from);
    const QSize room = area.size().shrunkBy(frame);

    window->ensurePolished();
    if (QLayout* l = window->layout()) l->activate();
    QSize size = window->size().boundedTo(room).expandedTo(window->minimumSize());
    window->resize(size);
    size = window->size();

    const QSize outer = size.grownBy(frame);
    const QPoint centre = from && screen->geometry().intersects(from->frameGeometry()) ? from->frameGeometry().center()
                                                                                         : area.center();
    const int x = clampSpan(centre.x() - outer.width() / 2, outer.width(), area.left(), area.width());
    const int y = clampSpan(centre.y() - outer.height() / 2, outer.height(), area.top(), area.height());
    // move() places the frame's corner of a top-level window.
    window->move(x, y);
}

void restoreSize(QWidget* window, const QString& key, QSize fallback) {
    const QSize remembered = db::settings().value(key).toSize();
    window->resize(remembered.isValid() ? remembered : fallback);
}

void rememberSize(const QWidget* window, const QString& key) { db::settings().setValue(key, window->size()); }

}  // namespace zolvant::ui
