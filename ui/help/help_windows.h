#pragma once
// Entry points of the help windows. Each window is modeless, has no owner,
// exists once (asking again raises the open one), and is destroyed when
// closed; closing one leaves the others as they are.

namespace zolvant::ui {

class frmZolvInstruct;
class frmInfoEOS;
class frmFig1;
class frmFig2;
class frmFig3;

// The main window's "Instructions" button.
frmZolvInstruct* showInstructions();
// The main window's "Information" button.
frmInfoEOS* showInformation();
// The information window's "Figure 1" to "Figure 3" buttons.
frmFig1* showFigure1();
frmFig2* showFigure2();
frmFig3* showFigure3();

// Closes every open help window, for a main window that ends the program
// while some of them are still open.
void closeHelpWindows();

}  // namespace zolvant::ui
