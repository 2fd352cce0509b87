// Every setting in one file, the documented one: the program started with a
// configuration home of its own, another database opened, the Isotherms and
// Sweep windows opened from the menu, resized and closed, leaves exactly
// Zolvant/Zolvant.conf there, holding all of it.

#include <QAction>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "db/components_csv.h"
#include "db/settings.h"
#include "testsupport/recording_services.h"
#include "testsupport/window_driver.h"
#include "ui/isotherm/isotherm_window.h"
#include "ui/main/frmZolvMain.h"
#include "ui/main/main_window.h"
#include "ui/sweep/sweep_window.h"

using zolvant::ui::IsothermWindow;
using zolvant::ui::MainWindow;
using zolvant::ui::SweepWindow;

namespace {

// The files under `folder`, relative to it, sorted.
QStringList filesUnder(const QString& folder) {
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) files << QDir(folder).relativeFilePath(it.next());
    files.sort();
    return files;
}

}  // namespace

class TestSettingsFile : public QObject {
    Q_OBJECT

    const QString configHome_;
    QTemporaryDir tmp_;

public:
    explicit TestSettingsFile(QString configHome) : configHome_(std::move(configHome)) {}

private slots:
    void initTestCase() {
        QVERIFY(tmp_.isValid());
        QVERIFY(filesUnder(configHome_).isEmpty());
        // The seed where the program's folder is taken to be, the user's copy under data/.
        QVERIFY(QDir().mkpath(tmp_.filePath(QStringLiteral("prefix/bin"))));
        const QString seed = tmp_.filePath(QStringLiteral("prefix/bin/Components.mdb"));
        zolvant::db::createDatabaseFromCsv(QFile::encodeName(seed).toStdString(), ZOLVANT_DATA_DIR "/components.csv");
        zolvant::db::setProgramFolderOverride(tmp_.filePath(QStringLiteral("prefix/bin")));
        zolvant::db::setDefaultDbPathOverride(tmp_.filePath(QStringLiteral("data/Components.mdb")));
    }

    void everySettingGoesToTheOneDocumentedFile() {
        zolvant::ui::ScopedRecordingServices services;
        const QString other = tmp_.filePath(QStringLiteral("Other.mdb"));
        zolvant::db::createDatabaseFromCsv(QFile::encodeName(other).toStdString(), ZOLVANT_DATA_DIR "/components.csv");
        {
            MainWindow w;
            w.Form_Load();
            QVERIFY(w.form()->loaded());
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));

            services.rec.openAnswers = {other};
            w.openDatabaseAction()->trigger();
            QCOMPARE(w.form()->databasePath(), other);

            w.isothermsAction()->trigger();
            QVERIFY(IsothermWindow::instance());
            IsothermWindow::instance()->resize(1240, 700);
            IsothermWindow::instance()->close();
            QTRY_VERIFY(!IsothermWindow::instance());

            findControl<QAction>(&w, QStringLiteral("actSweep"))->trigger();
            QVERIFY(SweepWindow::instance());
            SweepWindow::instance()->resize(1200, 720);
            SweepWindow::instance()->close();
            QTRY_VERIFY(!SweepWindow::instance());
            w.close();
        }
        QCoreApplication::processEvents();

        QCOMPARE(filesUnder(configHome_).join(QStringLiteral(", ")), QStringLiteral("Zolvant/Zolvant.conf"));
        const QSettings file(QDir(configHome_).filePath(QStringLiteral("Zolvant/Zolvant.conf")), QSettings::IniFormat);
        QCOMPARE(file.value(QStringLiteral("Startup/DBPath")).toString(), other);
        QCOMPARE(file.value(QStringLiteral("Isotherms/size")).toSize(), QSize(1240, 700));
        QCOMPARE(file.value(QStringLiteral("Sweep/size")).toSize(), QSize(1200, 720));
        QCOMPARE(zolvant::db::settings().fileName(), QDir(configHome_).filePath(QStringLiteral("Zolvant/Zolvant.conf")));
    }
};

// The configuration home is set before the application exists: Qt reads
// it once, at the first use of a settings file. The program's own name, as
// the calculator gives itself, so that a file named after the application
// alone would show.
int main(int argc, char** argv) {
    QTemporaryDir home;
    if (!home.isValid()) return 1;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    QApplication::setApplicationName(QStringLiteral("Zolvant"));
    TestSettingsFile test(home.path());
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_settings_file.moc"
