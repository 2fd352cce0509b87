#include "ui/help/help_windows.h"

#include <QPointer>

#include "ui/common/windows.h"
#include "ui/help/frmFig.h"
#include "ui/help/frmInfoEOS.h"
#include "ui/help/frmZolvInstruct.h"

namespace zolvant::ui {

namespace {
// Held here rather than by the windows that open them, so that a figure
// stays reachable (and single) after the information window has closed.
QPointer<frmZolvInstruct> instructWindow;
QPointer<frmInfoEOS> infoWindow;
QPointer<frmFig1> fig1Window;
QPointer<frmFig2> fig2Window;
QPointer<frmFig3> fig3Window;
}  // namespace

frmZolvInstruct* showInstructions() { return showSingle(instructWindow); }
frmInfoEOS* showInformation() { return showSingle(infoWindow); }
frmFig1* showFigure1() { return showSingle(fig1Window); }
frmFig2* showFigure2() { return showSingle(fig2Window); }
frmFig3* showFigure3() { return showSingle(fig3Window); }

void closeHelpWindows() {
    for (QWidget* w : {static_cast<QWidget*>(fig1Window.data()), static_cast<QWidget*>(fig2Window.data()),
                       static_cast<QWidget*>(fig3Window.data()), static_cast<QWidget*>(infoWindow.data()),
                       static_cast<QWidget*>(instructWindow.data())}) {
        if (w) w->close();
    }
}

}  // namespace zolvant::ui
