// The calculator: starts with the main window.

#include <QApplication>
#include <QIcon>
#include <QtGlobal>
#include <cstdio>
#include <cstring>

#include "ui/common/palette.h"
#include "ui/main/frmZolvMain.h"
#include "ui/main/main_window.h"
#include "zolvant/version.h"

int main(int argc, char** argv) {
    // Answered before any display is looked for.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::fputs("zolvant " ZOLVANT_VERSION "\n", stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(
                "Usage: zolvant [--version | --help]\n"
                "\n"
                "Zolvant " ZOLVANT_VERSION ": the calculator window for the liquid and vapour molar volumes\n"
                "and the vapour compressibility factor Z of gases, liquids and mixtures of up to\n"
                "four components, by six cubic equations of state. It takes no other option.\n"
                "\n"
                "Without a display, zolvant-cli gives the same solver to a terminal.\n",
                stdout);
            return 0;
        }
    }
    // Without a display Qt would abort with a message about platform
    // plugins; say plainly what to do instead.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        std::fputs(
            "zolvant: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
            "The calculator is a desktop window. Without a display, use the command-line tool\n"
            "zolvant-cli (next to zolvant), or start the window on a virtual display:\n"
            "    xvfb-run -a zolvant\n",
            stderr);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zolvant"));
    QApplication::setApplicationVersion(QStringLiteral(ZOLVANT_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral(ZOLVANT_APP_ID));
    // The installed icon theme's copy, else the one beside the executable
    // (the build tree has it there too).
    QApplication::setWindowIcon(QIcon::fromTheme(
        QStringLiteral(ZOLVANT_APP_ID),
        QIcon(QApplication::applicationDirPath() +
              QStringLiteral("/../share/icons/hicolor/scalable/apps/" ZOLVANT_APP_ID ".svg"))));
    // The windows whose looks are fixed keep them under a dark desktop theme.
    zolvant::ui::keepDesignedLooks();

    zolvant::ui::MainWindow window;
    window.Form_Load();
    if (window.form()->abandoned()) return 0;
    // Closing the main window ends the program, whatever else is open.
    QObject::connect(window.form(), &zolvant::ui::frmZolvMain::unloaded, &app, [] { QCoreApplication::exit(0); },
                     Qt::QueuedConnection);
    window.show();
    window.activateWindow();  // without a window manager nothing else would
    return app.exec();
}
