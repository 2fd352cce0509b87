// The calculator: starts with the main window.

#include <QApplication>
#include <QtGlobal>
#include <cstdio>

#include "ui/main/frmZolvMain.h"

int main(int argc, char** argv) {
    // Without a display Qt would abort with a message about platform
    // plugins; say plainly what to do instead.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        std::fputs(
            "zolvant: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
            "The calculator is a desktop window. Without a display, use the command-line tool\n"
            "zolvant-cli (next to zolvant, in build/bin), or start the window on a virtual display:\n"
            "    xvfb-run -a zolvant\n",
            stderr);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zolvant"));

    zolvant::ui::frmZolvMain window;
    window.Form_Load();
    if (window.abandoned()) return 0;
    // Closing the main window ends the program, whatever else is open.
    QObject::connect(&window, &zolvant::ui::frmZolvMain::unloaded, &app, [] { QCoreApplication::exit(0); },
                     Qt::QueuedConnection);
    window.show();
    window.activateWindow();  // without a window manager nothing else would
    return app.exec();
}
