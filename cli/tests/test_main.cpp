// Runs the command-line tests inside a QCoreApplication with QSettings
// pointed at a temporary folder: no test touches the user's own settings.

#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir settingsDir;
    if (!settingsDir.isValid()) return 1;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
