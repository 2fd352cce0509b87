#pragma once
// Secondary windows exist once: modeless, without an owner, destroyed when
// closed, raised when asked for again while open. Those that can be resized
// come back at the size they had when last closed.

#include <QPointer>
#include <QSettings>
#include <QWidget>
#include <utility>

namespace zolvant::ui {

template <typename W, typename... Args>
W* showSingle(QPointer<W>& slot, Args&&... args) {
    if (!slot) {
        slot = new W(std::forward<Args>(args)...);
        slot->setAttribute(Qt::WA_DeleteOnClose);
    }
    slot->show();
    slot->raise();
    slot->activateWindow();
    return slot.data();
}

// Resizes to the size stored under `key` when the window was last closed, or to `fallback`.
inline void restoreSize(QWidget* window, const QString& key, QSize fallback) {
    const QSize remembered = QSettings().value(key).toSize();
    window->resize(remembered.isValid() ? remembered : fallback);
}

// Stores the window's size under `key`, for restoreSize.
inline void rememberSize(const QWidget* window, const QString& key) { QSettings().setValue(key, window->size()); }

}  // namespace zolvant::ui
