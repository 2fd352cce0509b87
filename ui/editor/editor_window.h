#pragma once
// The main window's way to the critical-constants editor.

namespace zolvant::ui {

class frmCritConst2;

// Shows the editor: modeless, without an owner, one instance. While it is
// open this raises it; after it was closed it is loaded afresh. When the
// database does not open, the failure is shown and no window remains.
void showComponentEditor();

// Closes the open editor (a change not yet stored there is discarded) and
// opens it again on the database DBPath names; false when none was open.
bool reopenComponentEditor();

// The open editor, or nullptr.
frmCritConst2* currentComponentEditor();

}  // namespace zolvant::ui
