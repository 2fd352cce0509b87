// The main window with its menu bar: the form's client area and tab order
// as without the bar; every entry chosen with a refused temperature typed in
// runs no check and leaves the focus in the box; another database opened,
// refused, restored; the About box; the user's copy at the first start.

#include <QFile>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "db/access_offer.h"
#include "db/components_csv.h"
#include "db/database.h"
#include "db/settings.h"
#include "db/user_database.h"
#include "testsupport/access_support.h"
#include "testsupport/recording_services.h"
#include "testsupport/window_driver.h"
#include "ui/editor/editor_window.h"
#include "ui/editor/frmCritConst2.h"
#include "ui/help/help_windows.h"
#include "ui/isotherm/isotherm_window.h"
#include "ui/main/frmZolvMain.h"
#include "ui/main/main_window.h"
#include "ui/main/results_commands.h"
#include "zolvant/version.h"

using zolvant::ui::MainWindow;
using zolvant::ui::RecordingServices;

namespace {

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The controls of a form in the order Tab walks them, from the first.
QStringList tabWalk(QWidget* form) {
    QStringList names;
    QWidget* first = form->findChild<QWidget*>(QStringLiteral("cmbComp_0"));
    QWidget* w = first;
    do {
        if (form->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus)) names << w->objectName();
        w = w->nextInFocusChain();
    } while (w && w != first && names.size() < 500);
    return names;
}

}  // namespace

// The window over a seed and a user's copy of its own, opened anew for
// every test as at a first start.
class MainWindowFixture : public QObject {
    Q_OBJECT

protected:
    QTemporaryDir tmp_;
    QString seed_, user_;
    std::unique_ptr<zolvant::ui::ScopedRecordingServices> services_;
    std::unique_ptr<MainWindow> w_;
    bool confirmAnswer_ = true;
    int confirmations_ = 0;

    RecordingServices& rec() { return services_->rec; }
    zolvant::ui::frmZolvMain* form() { return w_->form(); }
    template <typename T = QWidget>
    T* ctl(const QString& name) {
        return findControl<T>(form(), name);
    }
    static QWidget* focused() { return QApplication::focusWidget(); }

    QString makeDb(const QString& name, const QString& csvText) {
        const QString csv = tmp_.filePath(name + QStringLiteral(".csv"));
        QFile f(csv);
        if (!f.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(csv));
        f.write("Component,MolWt,CritTemp,CritPress,CritVol,AcentricF,K1,K2,K3\n" + csvText.toUtf8());
        f.close();
        const QString path = tmp_.filePath(name);
        QFile::remove(path);
        zolvant::db::createDatabaseFromCsv(QFile::encodeName(path).toStdString(), QFile::encodeName(csv).toStdString());
        return path;
    }

    void openWindow() {
        w_ = std::make_unique<MainWindow>();
        w_->setConfirm([this](QWidget*, const QString&, const QString&) {
            ++confirmations_;
            return confirmAnswer_;
        });
        w_->Form_Load();
        QVERIFY(form()->loaded());
        w_->show();
        w_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w_.get()));
    }

    // A refused temperature typed into its box, which keeps the focus.
    void typeRefusedTemperature() {
        QLineEdit* temp = ctl<QLineEdit>(QStringLiteral("txtTemp"));
        QTest::mouseClick(temp, Qt::LeftButton);
        QCOMPARE(focused(), temp);
        QTest::keyClicks(temp, QStringLiteral("-300"));
        rec().clear();
    }

    // Opens a menu of the bar with the mouse and chooses an entry in it.
    void chooseWithMouse(QMenu* menu, QAction* entry) {
        QMenuBar* bar = w_->menuBar();
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->actionGeometry(menu->menuAction()).center());
        QTRY_VERIFY(menu->isVisible());
        QVERIFY(entry->isEnabled());
        QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(entry).center());
        QTRY_VERIFY(!menu->isVisible());
        QCoreApplication::processEvents();
    }

    void closeOtherWindows() {
        if (auto* editor = zolvant::ui::currentComponentEditor()) editor->close();
        zolvant::ui::closeHelpWindows();
        if (auto* isotherms = zolvant::ui::IsothermWindow::instance()) isotherms->close();
        QCoreApplication::processEvents();
        if (!w_) return;
        // Offscreen leaves a closed menu as the active window; a window
        // manager would give the activation back by itself.
        w_->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(w_.get()));
    }

private slots:
    void initTestCase() {
        QVERIFY(tmp_.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, tmp_.filePath(QStringLiteral("config")));
        QVERIFY(QDir().mkpath(tmp_.filePath(QStringLiteral("prefix/bin"))));
        QVERIFY(QDir().mkpath(tmp_.filePath(QStringLiteral("prefix/share/zolvant"))));
        seed_ = tmp_.filePath(QStringLiteral("prefix/share/zolvant/Components.mdb"));
        zolvant::db::createDatabaseFromCsv(QFile::encodeName(seed_).toStdString(), ZOLVANT_DATA_DIR "/components.csv");
        user_ = tmp_.filePath(QStringLiteral("data/zolvant/Components.mdb"));
        zolvant::db::setProgramFolderOverride(tmp_.filePath(QStringLiteral("prefix/bin")));
        zolvant::db::setDefaultDbPathOverride(user_);
    }

    // Every test starts as a new user: no setting, no copy of their own.
    void init() {
        zolvant::db::settings().remove(QStringLiteral("Startup/DBPath"));
        QFile::remove(user_);
        QFile::remove(zolvant::db::backupPathOf(user_));
        services_ = std::make_unique<zolvant::ui::ScopedRecordingServices>();
        confirmAnswer_ = true;
        confirmations_ = 0;
        openWindow();
    }

    void cleanup() {
        if (w_) w_->close();
        w_.reset();
        closeOtherWindows();
        services_.reset();
    }
};

class TestMainWindow : public MainWindowFixture {
    Q_OBJECT

private slots:
    void theFirstStartMakesTheUsersCopySilentlyAndLeavesTheSeed() {
        QVERIFY(rec().messages.empty());
        QCOMPARE(rec().openDialogs, 0);
        QCOMPARE(form()->databasePath(), user_);
        QCOMPARE(bytesOf(user_), bytesOf(seed_));
        QVERIFY(!zolvant::db::settings().contains(QStringLiteral("Startup/DBPath")));
        QVERIFY(w_->restoreDatabaseAction()->isEnabled());
    }

    void theClientAreaAndTheTabOrderAreThoseOfTheFormAlone() {
        zolvant::ui::frmZolvMain alone;
        QCOMPARE(form()->size(), QSize(804, 603));
        QCOMPARE(form()->size(), alone.size());
        QCOMPARE(w_->size(), QSize(804, 603 + w_->menuBar()->height()));
        QCOMPARE(form()->mapTo(w_.get(), QPoint(0, 0)), QPoint(0, w_->menuBar()->height()));
        const QList<QWidget*> controls = alone.findChildren<QWidget*>();
        QVERIFY(controls.size() > 100);
        for (QWidget* c : controls) {
            if (c->objectName().isEmpty()) continue;
            QWidget* same = form()->findChild<QWidget*>(c->objectName());
            QVERIFY2(same, qPrintable(c->objectName()));
            QCOMPARE(same->geometry(), c->geometry());
        }
        QCOMPARE(tabWalk(form()), tabWalk(&alone));
    }

    void theEntriesAreThoseListed() {
        struct Entry {
            QMenu* menu;
            QString text;
            QKeySequence shortcut;
        };
        const QList<Entry> entries = {
            {w_->fileMenu(), QStringLiteral("&Open Component Database…"), QKeySequence(QStringLiteral("Ctrl+O"))},
            {w_->fileMenu(), QStringLiteral("&Restore Default Database…"), {}},
            {w_->fileMenu(), QStringLiteral("&Import Access Database…"), {}},
            {w_->fileMenu(), QStringLiteral("Save Results As…"), QKeySequence(QStringLiteral("Ctrl+S"))},
            {w_->fileMenu(), QStringLiteral("&Quit"), QKeySequence(QStringLiteral("Ctrl+Q"))},
            {w_->editMenu(), QStringLiteral("Copy Results"), QKeySequence(QStringLiteral("Ctrl+Shift+C"))},
            {w_->editMenu(), QStringLiteral("Component &List"), {}},
            {w_->viewMenu(), QStringLiteral("&Isotherms…"), QKeySequence(QStringLiteral("Ctrl+I"))},
            {w_->helpMenu(), QStringLiteral("&Instructions"), QKeySequence(QStringLiteral("F1"))},
            {w_->helpMenu(), QStringLiteral("I&nformation"), {}},
            {w_->helpMenu(), QStringLiteral("&About Zolvant"), {}},
        };
        QStringList menus;
        for (QAction* a : w_->menuBar()->actions()) menus << a->text();
        QCOMPARE(menus, (QStringList{"&File", "&Edit", "&View", "&Help"}));
        for (const Entry& e : entries) {
            QAction* found = nullptr;
            for (QAction* a : e.menu->actions())
                if (QString(a->text()).remove(QLatin1Char('&')) == QString(e.text).remove(QLatin1Char('&'))) found = a;
            QVERIFY2(found, qPrintable(e.text));
            QCOMPARE(found->shortcut(), e.shortcut);
        }
    }

    // Each entry, chosen with the mouse while the temperature box holds a
    // refused temperature: no check runs, the focus stays in the box.
    void choosingAnEntryRunsNoCheckAndLeavesTheFocus_data() {
        QTest::addColumn<QString>("entry");
        for (const char* e : {"open", "restore", "import", "save", "copy", "list", "isotherms", "instructions", "information", "about"})
            QTest::newRow(e) << QString::fromLatin1(e);
    }
    void choosingAnEntryRunsNoCheckAndLeavesTheFocus() {
        QFETCH(QString, entry);
        confirmAnswer_ = false;
        typeRefusedTemperature();
        QLineEdit* temp = ctl<QLineEdit>(QStringLiteral("txtTemp"));
        QAction* save = form()->resultsCommands()->saveAction();
        QAction* copy = form()->resultsCommands()->copyAction();
        // Save and Copy are offered only after a Solve: made available for this.
        if (entry == "save" || entry == "copy") form()->resultsCommands()->setAvailable(true);
        const QMap<QString, QPair<QMenu*, QAction*>> entries = {
            {"open", {w_->fileMenu(), w_->openDatabaseAction()}},
            {"restore", {w_->fileMenu(), w_->restoreDatabaseAction()}},
            {"import", {w_->fileMenu(), w_->importAccessAction()}},
            {"save", {w_->fileMenu(), save}},
            {"copy", {w_->editMenu(), copy}},
            {"list", {w_->editMenu(), w_->componentListAction()}},
            {"isotherms", {w_->viewMenu(), w_->isothermsAction()}},
            {"instructions", {w_->helpMenu(), w_->instructionsAction()}},
            {"information", {w_->helpMenu(), w_->informationAction()}},
            {"about", {w_->helpMenu(), w_->aboutAction()}},
        };
        chooseWithMouse(entries[entry].first, entries[entry].second);
        for (const auto& m : rec().messages) QVERIFY2(!m.title.contains(QStringLiteral("Temperature")), qPrintable(m.text));
        QCOMPARE(form()->focusWidget(), temp);
        QCOMPARE(temp->text(), QStringLiteral("-300"));
        closeOtherWindows();
        QCOMPARE(focused(), temp);
        QVERIFY(rec().messages.empty() || entry == "about");
        // The keyboard's way: Alt opens the bar, Escape leaves it.
        QTest::keyClick(temp, Qt::Key_Alt);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QCoreApplication::processEvents();
        QCOMPARE(focused(), temp);
        for (const auto& m : rec().messages) QVERIFY2(!m.title.contains(QStringLiteral("Temperature")), qPrintable(m.text));
    }

    void openComponentDatabaseTakesAGoodFileAndKeepsTheCurrentOneOnFailure() {
        const QString good = makeDb(QStringLiteral("Gases.mdb"), QStringLiteral("Argon,39.948,150.86,48.98,74.57,-0.002,,,\n"
                                                                              "Methane,16.043,190.56,45.99,98.6,0.011,,,\n"));
        const QString notDb = tmp_.filePath(QStringLiteral("notes.txt"));
        {
            QFile f(notDb);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("not a database");
        }
        const QString missing = tmp_.filePath(QStringLiteral("Missing.mdb"));
        // A component chosen from the user's copy, whose name the new file has.
        auto* box = ctl<QComboBox>(QStringLiteral("cmbComp_0"));
        QCOMPARE(focused(), box);
        box->setCurrentIndex(box->findText(QStringLiteral("Methane")));
        QVERIFY(box->currentIndex() > 0);

        for (const QString& bad : {missing, notDb}) {
            rec().clear();
            rec().openAnswers = {bad};
            w_->openDatabaseAction()->trigger();
            QCOMPARE(rec().openDialogs, 1);
            QCOMPARE(rec().messages.size(), std::size_t(1));
            QCOMPARE(rec().messages[0].title, QStringLiteral("Database ERROR"));
            QVERIFY2(rec().messages[0].text.contains(bad), qPrintable(rec().messages[0].text));
            QCOMPARE(form()->databasePath(), user_);
            QVERIFY(!zolvant::db::settings().contains(QStringLiteral("Startup/DBPath")));
        }

        rec().clear();
        rec().openAnswers = {good};
        w_->openDatabaseAction()->trigger();
        QVERIFY(rec().messages.empty());
        QCOMPARE(form()->databasePath(), good);
        QCOMPARE(zolvant::db::readDbPath(), good);
        QVERIFY(!w_->restoreDatabaseAction()->isEnabled());  // not the user's copy
        // The box being edited lists the new file now, still on Methane.
        QCOMPARE(box->count(), 2);
        QCOMPARE(box->currentText(), QStringLiteral("Methane"));
        QCOMPARE(box->currentIndex(), 1);
        QTest::keyClick(box, Qt::Key_Tab);
        QCOMPARE(form()->mixture().constant(0, 0), 190.56f);
        QVERIFY(w_->aboutText().contains(good));
    }

    // An Access file picked through either entry: the question with the
    // count, the save dialog proposing a free name in the user's folder, the
    // import, the new database in use; or, declined or refused, the current
    // one kept. Records without a name are named only when the user says so.
    void anAccessFileIsOfferedForImport_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("file");     // "components", "unnamed" or "no table"
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<QStringList>("listed");  // the new database's names; empty: the current one kept
        QTest::addColumn<QString>("said");        // a part of the last message; empty: none shown
        const QString imported = QStringLiteral("Imported 2 components from ");
        for (const char* entry : {"open", "import"}) {
            const QString e = QString::fromLatin1(entry);
            QTest::newRow(qPrintable(e + " yes")) << e << "components" << QList<bool>{true}
                                                  << QStringList{"Krypton", "Xenon"} << imported;
            QTest::newRow(qPrintable(e + " no")) << e << "components" << QList<bool>{false} << QStringList{}
                                                 << QString();
            QTest::newRow(qPrintable(e + " refused")) << e << "no table" << QList<bool>{} << QStringList{}
                                                      << QStringLiteral("has no table tblComps");
            QTest::newRow(qPrintable(e + " unnamed named")) << e << "unnamed" << QList<bool>{true, true}
                                                            << QStringList{"(unnamed 2)", "Krypton"}
                                                            << QStringLiteral("after their positions: (unnamed 2).");
            QTest::newRow(qPrintable(e + " unnamed not")) << e << "unnamed" << QList<bool>{true, false}
                                                          << QStringList{} << QString();
        }
    }
    void anAccessFileIsOfferedForImport() {
        using namespace zolvant::db::test;
        QFETCH(QString, entry);
        QFETCH(QString, file);
        QFETCH(QList<bool>, answers);
        QFETCH(QStringList, listed);
        QFETCH(QString, said);
        JetTable table{"tblComps", componentColumns(), {componentRow("Krypton", {83.798, 209.48, 55.25, 91.2, 0, 0, 0, 0})}};
        table.columns.push_back({"Remarks", kJetText});
        table.rows[0].push_back(jetText("noble"));
        std::vector<JetCell> second = componentRow(file == "unnamed" ? std::nullopt : std::optional<std::string>("Xenon"),
                                                   {131.29, 289.73, 58.42, 118, 0.008, 0, 0, 0});
        second.push_back(kJetNull);
        table.rows.push_back(second);
        if (file == "no table") table.name = "Compounds";
        const QString access = tmp_.filePath(QStringLiteral("Old Components.mdb"));
        writeFileBytes(QFile::encodeName(access).toStdString(), buildJet4File({table}));
        const QByteArray before = bytesOf(access);
        const QString target = QFileInfo(user_).absolutePath() + QStringLiteral("/Components 2.mdb");
        QFile::remove(target);

        rec().clear();
        rec().openAnswers = {access};
        rec().questionAnswers = std::deque<bool>(answers.begin(), answers.end());
        rec().saveAnswers = {target};
        (entry == "open" ? w_->openDatabaseAction() : w_->importAccessAction())->trigger();

        QCOMPARE(rec().openDialogs, 1);
        if (file != "no table") {
            QVERIFY(!rec().questions.empty());
            QCOMPARE(rec().questions[0].text, QString::fromLatin1(zolvant::db::kAccessImportQuestion) +
                                                  QStringLiteral("\nIt holds 2 components."));
            // The user's copy is there: the next free name is proposed.
            QCOMPARE(rec().saveSuggestions, answers[0] ? QStringList{target} : QStringList{});
        }
        if (file == "unnamed") {
            QCOMPARE(rec().questions.size(), qsizetype(2));
            QVERIFY2(rec().questions[1].text.contains(QStringLiteral("record 2")), qPrintable(rec().questions[1].text));
            QVERIFY2(rec().questions[1].text.contains(QStringLiteral("\"(unnamed N)\"")), qPrintable(rec().questions[1].text));
        }
        if (said.isEmpty()) {
            QVERIFY(rec().messages.empty());
        } else {
            QVERIFY(!rec().messages.empty());
            QVERIFY2(rec().messages.back().text.contains(said), qPrintable(rec().messages.back().text));
        }
        QCOMPARE(bytesOf(access), before);
        auto* box = ctl<QComboBox>(QStringLiteral("cmbComp_0"));
        if (listed.isEmpty()) {
            QCOMPARE(form()->databasePath(), user_);
            QVERIFY(!zolvant::db::settings().contains(QStringLiteral("Startup/DBPath")));
            QVERIFY(!QFileInfo::exists(target));
            QVERIFY(box->findText(QStringLiteral("Methane")) >= 0);
        } else {
            QCOMPARE(form()->databasePath(), target);
            QCOMPARE(zolvant::db::readDbPath(), target);
            QVERIFY2(rec().messages.back().text.contains(QStringLiteral("Left out the columns of tblComps that are not "
                                                                        "component fields: Remarks.")),
                     qPrintable(rec().messages.back().text));
            QStringList names;
            for (int i = 0; i < box->count(); ++i) names << box->itemText(i);
            QCOMPARE(names, listed);
        }
        QCOMPARE(focused(), box);
    }

    void restoreBringsTheSeedBackAndKeepsTheCopyAsBackup() {
        // An edit stored in the user's copy, and the editor open.
        {
            auto db = zolvant::db::Database::OpenDatabase(QFile::encodeName(user_).toStdString());
            auto rs = db->OpenRecordset("tblComps");
            rs->AddNew();
            rs->SetField("Component", "Zolvantium");
            rs->Update();
        }
        const QByteArray edited = bytesOf(user_);
        QVERIFY(edited != bytesOf(seed_));
        w_->componentListAction()->trigger();
        QVERIFY(zolvant::ui::currentComponentEditor());
        confirmAnswer_ = false;
        w_->restoreDatabaseAction()->trigger();
        QCOMPARE(confirmations_, 1);
        QCOMPARE(bytesOf(user_), edited);  // refused: nothing changes
        QVERIFY(zolvant::ui::currentComponentEditor());

        confirmAnswer_ = true;
        w_->restoreDatabaseAction()->trigger();
        QTRY_VERIFY(!zolvant::ui::currentComponentEditor());
        QCOMPARE(bytesOf(user_), bytesOf(seed_));
        QCOMPARE(bytesOf(zolvant::db::backupPathOf(user_)), edited);
        QCOMPARE(form()->databasePath(), user_);
        QVERIFY(rec().messages.empty());
        // The boxes list the seed's records again.
        closeOtherWindows();
        auto* box = ctl<QComboBox>(QStringLiteral("cmbComp_0"));
        QTest::keyClick(focused(), Qt::Key_Tab);
        QTest::keyClick(focused(), Qt::Key_Backtab);
        QCOMPARE(focused(), box);
        QCOMPARE(box->findText(QStringLiteral("Zolvantium")), -1);
        QVERIFY(box->findText(QStringLiteral("n-Butane")) >= 0);
    }

    // An edit stored in the editor goes into the user's copy, never the
    // seed, and is there at the next start.
    void anEditStoredInTheEditorIsInTheUsersCopyAfterARestart() {
        const QByteArray seed = bytesOf(seed_);
        w_->componentListAction()->trigger();
        zolvant::ui::frmCritConst2* editor = zolvant::ui::currentComponentEditor();
        QVERIFY(editor && editor->loaded());
        editor->cmdAdd_Click();
        editor->findChild<QLineEdit*>(QStringLiteral("txtCompound"))->setText(QStringLiteral("Zolvantium"));
        editor->findChild<QLineEdit*>(QStringLiteral("txtTcrit"))->setText(QStringLiteral("400"));
        editor->findChild<QLineEdit*>(QStringLiteral("txtPcrit"))->setText(QStringLiteral("40"));
        editor->cmdUpdate_Click();
        QVERIFY2(rec().messages.empty(), rec().messages.empty() ? "" : qPrintable(rec().messages[0].text));
        editor->close();
        QCOMPARE(bytesOf(seed_), seed);

        QSignalSpy ended(form(), &zolvant::ui::frmZolvMain::unloaded);
        w_->quitAction()->trigger();  // Quit: as closing the window
        QCOMPARE(ended.count(), 1);
        QVERIFY(!w_->isVisible());
        w_.reset();
        openWindow();
        QCOMPARE(form()->databasePath(), user_);
        auto* box = ctl<QComboBox>(QStringLiteral("cmbComp_0"));
        QVERIFY(box->findText(QStringLiteral("Zolvantium")) >= 0);
        QCOMPARE(bytesOf(seed_), seed);
    }

    void aboutShowsTheVersionAndThePaths() {
        w_->aboutAction()->trigger();
        QCOMPARE(rec().messages.size(), std::size_t(1));
        QCOMPARE(rec().messages[0].title, QStringLiteral("About Zolvant"));
        const QString text = rec().messages[0].text;
        for (const QString& part : {QStringLiteral("Zolvant " ZOLVANT_VERSION), QString::fromLatin1(qVersion()),
                                    QStringLiteral("MIT"), user_, seed_})
            QVERIFY2(text.contains(part), qPrintable(part + " not in " + text));
    }

    // The worked example typed in, and the window saved with its menu bar
    // when ZOLVANT_SCREENSHOT names a file (README, docs/zolvant-main.png).
    void screenshotOfTheWorkedExample() {
        auto* box0 = ctl<QComboBox>(QStringLiteral("cmbComp_0"));
        QCOMPARE(focused(), box0);
        const auto choose = [](const QString& name) {
            auto* b = qobject_cast<QComboBox*>(focused());
            QVERIFY(b);
            const int target = b->findText(name);
            QVERIFY(target >= 0);
            while (b->currentIndex() < target) QTest::keyClick(b, Qt::Key_Down);
            while (b->currentIndex() > target) QTest::keyClick(b, Qt::Key_Up);
        };
        choose(QStringLiteral("n-Butane"));
        QTest::keyClick(focused(), Qt::Key_Tab);
        QTest::keyClicks(focused(), QStringLiteral("0.5"));
        QTest::keyClick(focused(), Qt::Key_Tab);
        choose(QStringLiteral("Methane"));
        QTest::keyClick(focused(), Qt::Key_Tab);
        QTest::keyClicks(focused(), QStringLiteral("0.5"));
        QTest::keyClick(focused(), Qt::Key_Tab);
        QTest::mouseClick(ctl(QStringLiteral("txtTemp")), Qt::LeftButton);
        QTest::keyClicks(focused(), QStringLiteral("26.85"));
        QTest::keyClick(focused(), Qt::Key_Tab);
        QTest::keyClicks(focused(), QStringLiteral("1"));
        QTest::keyClick(focused(), Qt::Key_Tab);
        QTest::keyClick(focused(), Qt::Key_Space);
        QVERIFY(rec().messages.empty());
        QCOMPARE(ctl<QLineEdit>(QStringLiteral("txtVapVDW_4"))->text(), QStringLiteral("24693.5"));
        if (const QString path = qEnvironmentVariable("ZOLVANT_SCREENSHOT"); !path.isEmpty()) {
            QTest::qWait(50);
            QVERIFY(w_->grab().save(path));
        }
    }
};

// Files Access itself made live outside the checkout (../shared beside it,
// or wherever ZOLVANT_ACCESS_FIXTURES_DIR points): their case is a test of
// its own, so that a checkout without them reports it skipped.
class TestAccessMadeFile : public MainWindowFixture {
    Q_OBJECT

private slots:
    // A file Access itself made (Jet 3), read in place: it holds no
    // components, which the window says, listing its tables.
    void anAccessMadeFileWithoutComponentsIsRefusedByName() {
        if (!QFileInfo(QStringLiteral(ZOLVANT_ACCESS_FIXTURES)).isDir())
            QSKIP("the Access-made files are not here: no folder " ZOLVANT_ACCESS_FIXTURES
                  " (set ZOLVANT_ACCESS_FIXTURES_DIR to the folder that holds them)");
        const QString real = QStringLiteral(ZOLVANT_ACCESS_FIXTURES "/testV1997.mdb");
        const QByteArray before = bytesOf(real);
        QVERIFY(!before.isEmpty());
        rec().clear();
        rec().openAnswers = {real};
        rec().questionAnswers = {true};
        w_->importAccessAction()->trigger();
        QVERIFY(rec().questions.empty());
        QCOMPARE(rec().messages.size(), std::size_t(1));
        QCOMPARE(rec().messages[0].text,
                 QStringLiteral("The Access database '%1' has no table tblComps; the tables it has are: Table1, Table2, "
                                "Table3, Table4. Zolvant imports the components of a table named tblComps: rename the "
                                "table that holds them in Access, or choose the file that has it.")
                     .arg(real));
        QCOMPARE(form()->databasePath(), user_);
        QCOMPARE(bytesOf(real), before);
    }
};

// As QTEST_MAIN, but "--access-made-file" as the first argument runs the
// case on the file Access made instead of the others.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    QTEST_SET_MAIN_SOURCE_PATH
    if (argc > 1 && qstrcmp(argv[1], "--access-made-file") == 0) {
        TestAccessMadeFile test;
        argv[1] = argv[0];
        return QTest::qExec(&test, argc - 1, argv + 1);
    }
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_main_window.moc"
