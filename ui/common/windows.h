#pragma once
// Secondary windows exist once: modeless, without an owner, destroyed when
// closed, raised when asked for again while open. Those that can be resized
// come back at the size they had when last closed.

#include <QPointer>
#include <QSize>
#include <QString>
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

// Resizes to the size stored under `key` in the settings file when the
// window was last closed, or to `fallback`.
void restoreSize(QWidget* window, const QString& key, QSize fallback);

// Stores the window's size under `key` in the settings file, for restoreSize.
void rememberSize(const QWidget* window, const QString& key);

}  // namespace zolvant::ui
