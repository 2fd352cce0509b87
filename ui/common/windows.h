#pragma once
// Secondary windows exist once: modeless, without an owner, destroyed when
// closed, raised when asked for again while open. Those that can be resized
// come back at the size they had when last closed. Each opens wholly on the
// screen of the window it was opened from.

#include <QApplication>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QWidget>
#include <utility>

class QScreen;

namespace zolvant::ui {

// The screen a window opened from `opener` belongs on: the opener's, else
// the primary screen.
QScreen* screenFor(const QWidget* opener);

// Puts a window that is about to open wholly inside the available area of
// `opener`'s screen: centred over the opener (or on the screen), moved
// inside the area, and shrunk to fit when larger (never below its minimum
// size, which every window keeps small enough for a 1024×768 screen). The
// frame is reckoned as large as the opener's.
void placeOnScreen(QWidget* window, const QWidget* opener);

template <typename W, typename... Args>
W* showSingle(QPointer<W>& slot, Args&&... args) {
    if (!slot) {
        slot = new W(std::forward<Args>(args)...);
        slot->setAttribute(Qt::WA_DeleteOnClose);
    }
    if (!slot->isVisible()) placeOnScreen(slot.data(), QApplication::activeWindow());
    slot->show();
    slot->raise();
    slot->activateWindow();
    return slot.data();
}

// Resizes to the size stored under `key` in the settings file when the
// window was last closed, or to `fallback`. placeOnScreen shrinks it to the
// screen when the window opens.
void restoreSize(QWidget* window, const QString& key, QSize fallback);

// Stores the window's size under `key` in the settings file, for restoreSize.
void rememberSize(const QWidget* window, const QString& key);

}  // namespace zolvant::ui
