#include "ui/editor/editor_window.h"

#include <QPointer>

#include "ui/common/windows.h"
#include "ui/editor/frmCritConst2.h"

namespace zolvant::ui {
namespace {
QPointer<frmCritConst2>& editorSlot() {
    static QPointer<frmCritConst2> slot;
    return slot;
}
}  // namespace

void showComponentEditor() {
    QPointer<frmCritConst2>& slot = editorSlot();
    if (!slot) {
        auto* editor = new frmCritConst2();
        if (!editor->loaded()) {
            // The failure has been shown; nothing is left to show.
            delete editor;
            return;
        }
        editor->setAttribute(Qt::WA_DeleteOnClose);
        slot = editor;
    }
    showSingle(slot);
}

bool reopenComponentEditor() {
    QPointer<frmCritConst2>& slot = editorSlot();
    if (!slot) return false;
    // Closing deletes it later; a new one is made now.
    slot->close();
    slot = nullptr;
    showComponentEditor();
    return true;
}

frmCritConst2* currentComponentEditor() { return editorSlot().data(); }

}  // namespace zolvant::ui
