#pragma once
// Secondary windows exist once: modeless, without an owner, destroyed when
// closed, raised when asked for again while open.

#include <QPointer>
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

}  // namespace zolvant::ui
