// The main window when its database file misbehaves: opened read-only,
// locked by another program while a component list is refreshed, damaged or
// no database at all when chosen at start-up, or deleted while the window
// runs. Each case checks what the user sees and, through a connection of the
// test's own, that no stored record was lost or changed.

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <chrono>
#include <memory>
#include <optional>
#include <sqlite3.h>

#include "db/database.h"
#include "db/settings.h"
#include "solver/grid.h"
#include "testsupport/database_faults.h"
#include "testsupport/recording_services.h"
#include "testsupport/window_driver.h"
#include "ui/common/services.h"
#include "ui/editor/editor_window.h"
#include "ui/editor/frmCritConst2.h"
#include "ui/main/frmZolvMain.h"

#ifndef _WIN32
#include <unistd.h>
#endif

using zolvant::test::LockHolder;
using zolvant::test::StoredRecord;
using zolvant::ui::frmZolvMain;
using zolvant::ui::RecordingServices;

namespace {

struct Record {
    const char* name;
    const char* tc;
    const char* pc;
    const char* omega;
};

// Listed by name, case aside: Methane, n-Butane, Nitrogen.
const Record kRecords[] = {
    {"n-Butane", "425.1", "37.96", "0.2"},
    {"Methane", "190.6", "45.99", "0.011"},
    {"Nitrogen", "126.2", "33.98", "0.037"},
};

void createDatabase(const QString& path) {
    auto db = zolvant::db::Database::CreateDatabase(path.toStdString());
    auto rs = db->OpenRecordset("tblComps");
    for (const Record& r : kRecords) {
        rs->AddNew();
        rs->SetField("Component", r.name);
        rs->SetField("CritTemp", r.tc);
        rs->SetField("CritPress", r.pc);
        rs->SetField("AcentricF", r.omega);
        rs->Update();
    }
    rs->Close();
    db->Close();
}

// Changes a file as another program would, past the code under test.
void execRaw(const QString& path, const char* sql) {
    sqlite3* raw = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &raw) != SQLITE_OK ||
        sqlite3_exec(raw, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        qFatal("cannot change %s: %s", qPrintable(path), sqlite3_errmsg(raw));
    sqlite3_close(raw);
}

// The query of a file from elsewhere that never gives a row and never ends.
const char* const kEndlessQuery =
    "DROP VIEW qryCritCos; CREATE VIEW qryCritCos AS WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r) "
    "SELECT n AS _RecKey, 'x' AS Component, 1 AS CritTemp, 1 AS CritPress, 0 AS AcentricF, 0 AS K1, 0 AS K2, 0 AS K3 FROM r "
    "WHERE n < 0";

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) qFatal("cannot write %s", qPrintable(path));
}

}  // namespace

class MainWindowDatabaseFaults : public QObject, protected MainWindowDriver {
    Q_OBJECT

private:
    QTemporaryDir tmp_;
    QString dbPath_;
    std::optional<zolvant::ui::ScopedRecordingServices> services_;

    RecordingServices& rec() { return services_->rec; }

    QStringList listOf(int i) {
        QStringList items;
        for (int k = 0; k < cmb(i)->count(); ++k) items << cmb(i)->itemText(k);
        return items;
    }


    // The messages shown since the last call, as "title: text".
    QStringList takeMessages() {
        QStringList out;
        for (const auto& m : rec().messages) out << m.title + ": " + m.text;
        rec().clear();
        return out;
    }


    // n-Butane and Methane, half and half, from the start-up focus; the focus
    // ends in the third component box.
    void enterMixture() {
        QCOMPARE(focused(), cmb(0));
        choose("n-Butane");
        tab();
        type("0.5");
        tab();
        QCOMPARE(focused(), cmb(1));
        choose("Methane");
        tab();
        type("0.5");
        tab();
        QCOMPARE(focused(), cmb(2));
    }
    // 26.85 C and 1 bar, then Solve: the mixture row of the van der Waals
    // block is known.
    void solveAndExpectTheMixtureRow() {
        click(box("txtTemp"));
        QTest::keyClick(focused(), Qt::Key_A, Qt::ControlModifier);
        type("26.85");
        tab();
        type("1");
        tab();
        QCOMPARE(focused(), ctl<QPushButton>("cmdSolve"));
        QTest::keyClick(focused(), Qt::Key_Space);
        QCOMPARE(box("txtLiqVDW_4")->text(), QStringLiteral("165.47"));
        QCOMPARE(box("txtVapVDW_4")->text(), QStringLiteral("24693.5"));
        QCOMPARE(box("txtZVDW_4")->text(), QStringLiteral("0.9900"));
    }

private slots:
    void initTestCase() {
        QVERIFY(tmp_.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, tmp_.path());
        zolvant::db::setDefaultDbPathOverride(tmp_.filePath(QStringLiteral("absent/Components.mdb")));
    }
    void init() {
        static int count = 0;
        dbPath_ = tmp_.filePath(QStringLiteral("Components%1.mdb").arg(++count));
        createDatabase(dbPath_);
        zolvant::db::writeDbPath(dbPath_);
        services_.emplace();
    }
    void cleanup() {
        if (auto* editor = zolvant::ui::currentComponentEditor()) editor->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        w_.reset();
        zolvant::db::setForceReadOnlyForTests(false);
        services_.reset();
    }

    // A file the user may not write: the window opens without a word, lists
    // the components and solves; the file stays as it was to the byte.
    void readOnlyFileOpensListsAndSolves() {
        const QByteArray bytes = zolvant::test::fileBytes(dbPath_);
        const QList<StoredRecord> before = zolvant::test::storedRecords(dbPath_);
        zolvant::db::setForceReadOnlyForTests(true);
        openWindow();
        QCOMPARE(listOf(0), (QStringList{"Methane", "n-Butane", "Nitrogen"}));
        enterMixture();
        solveAndExpectTheMixtureRow();
        QVERIFY(takeMessages().isEmpty());
        w_->close();
        QCOMPARE(zolvant::test::storedRecords(dbPath_), before);
        QCOMPARE(zolvant::test::fileBytes(dbPath_), bytes);
    }

    // Another program holds an exclusive lock while a component box is
    // entered: after the busy timeout the user is told, and the box keeps its
    // list and its choice. Leaving the box cannot read the constants either
    // and says so. Once the lock is gone, the same box refreshes and loads
    // as ever.
    void lockedFileWhileAListIsRefreshedKeepsTheList() {
        const QList<StoredRecord> before = zolvant::test::storedRecords(dbPath_);
        openWindow();
        enterMixture();
        const QString locked =
            QStringLiteral("Database ERROR: The database '%1' is locked by another program or window. Try again in "
                           "a moment.")
                .arg(dbPath_);
        {
            LockHolder lock(dbPath_, LockHolder::Kind::Exclusive);
            QVERIFY2(lock.hold(), qPrintable(lock.error()));
            backtab();
            backtab();
            QCOMPARE(focused(), cmb(1));
            QCOMPARE(takeMessages(), QStringList{locked});
            QCOMPARE(listOf(1), (QStringList{"Methane", "n-Butane", "Nitrogen"}));
            QCOMPARE(cmb(1)->currentText(), QStringLiteral("Methane"));

            // Leaving it: the constants cannot be read; the row keeps those
            // loaded before, and the box lets go of the name.
            tab();
            QCOMPARE(focused(), mf(1));
            QCOMPARE(takeMessages(), QStringList{locked});
            QCOMPARE(cmb(1)->currentIndex(), -1);
            QCOMPARE(w_->mixture().constant(1, zolvant::Tc), 190.6f);
        }
        // Free again: leaving the box reads the record it names.
        backtab();
        QCOMPARE(focused(), cmb(1));
        choose("Nitrogen");
        tab();
        QVERIFY(takeMessages().isEmpty());
        QCOMPARE(w_->mixture().constant(1, zolvant::Tc), 126.2f);
        backtab();
        choose("Methane");
        tab();
        QVERIFY(takeMessages().isEmpty());
        solveAndExpectTheMixtureRow();
        QCOMPARE(zolvant::test::storedRecords(dbPath_), before);
    }

    // The chosen record is deleted elsewhere (the editor, another program)
    // before the box is left: its constants cannot be loaded, the user is
    // told, and the box lets go of the name, so that no name is shown over
    // constants that are not its own.
    void recordDeletedBeforeTheBoxIsLeftIsNotKeptAsChosen() {
        openWindow();
        choose("Nitrogen");
        {
            auto other = zolvant::db::Database::OpenDatabase(dbPath_.toStdString());
            auto rs = other->OpenRecordset("tblComps");
            for (rs->MoveFirst(); std::get<std::string>(rs->Fields("Component")) != "Nitrogen";) rs->MoveNext();
            rs->Delete();
        }
        const QList<StoredRecord> before = zolvant::test::storedRecords(dbPath_);
        tab();
        QCOMPARE(focused(), mf(0));
        QCOMPARE(takeMessages(), QStringList{"Database ERROR: The record has been deleted in another window or "
                                             "program: move to another record."});
        QCOMPARE(cmb(0)->currentIndex(), -1);
        QCOMPARE(cmb(0)->currentText(), QString());
        QCOMPARE(w_->mixture().constant(0, zolvant::Tc), 0.0f);

        // Entering the box again lists what is stored now.
        backtab();
        QCOMPARE(listOf(0), (QStringList{"Methane", "n-Butane"}));
        QVERIFY(takeMessages().isEmpty());
        QCOMPARE(zolvant::test::storedRecords(dbPath_), before);
    }

    // A file made elsewhere, whose table is not STRICT, holds a constant as
    // text: choosing that component says which field is wrong and chooses
    // nothing, so no number is made up for it; its neighbour loads as ever.
    void aConstantHeldAsTextIsRefusedWhenChosen() {
        QFile::remove(dbPath_);
        sqlite3* raw = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(dbPath_).constData(), &raw), SQLITE_OK);
        const char* sql =
            "CREATE TABLE tblComps (Component TEXT, MolWt, CritTemp, CritPress, CritVol, AcentricF, K1, K2, K3);"
            "INSERT INTO tblComps (Component, CritTemp, CritPress) VALUES ('Argon', 'abc', 48.98),"
            " ('Xenon', 289.7, 58.4);"
            "CREATE VIEW qryCritCos AS SELECT Component, CritTemp, CritPress, AcentricF, K1, K2, K3"
            " FROM tblComps ORDER BY Component;";
        const int rc = sqlite3_exec(raw, sql, nullptr, nullptr, nullptr);
        sqlite3_close(raw);
        QCOMPARE(rc, SQLITE_OK);

        openWindow();
        choose("Argon");
        tab();
        QCOMPARE(focused(), mf(0));
        QCOMPARE(takeMessages(),
                 QStringList{"Database ERROR: The field CritTemp of the component holds text, not a number."});
        QCOMPARE(cmb(0)->currentIndex(), -1);
        QCOMPARE(w_->mixture().constant(0, zolvant::Tc), 0.0f);

        backtab();
        choose("Xenon");
        tab();
        QVERIFY(takeMessages().isEmpty());
        QCOMPARE(w_->mixture().constant(0, zolvant::Tc), 289.7f);
        QCOMPARE(w_->mixture().constant(0, zolvant::Omega), 0.0f);  // Null: no acentric factor
    }

    // Another program holds an exclusive lock at start-up: the reason is
    // shown, then the file dialog; the same file chosen again once the other
    // program is done opens.
    void lockedFileAtStartUpCanBeChosenAgain() {
        LockHolder lock(dbPath_, LockHolder::Kind::Exclusive);
        QVERIFY2(lock.hold(), qPrintable(lock.error()));
        // The user waits for the other program before answering the dialog.
        class ReleaseBeforeAnswering final : public zolvant::ui::UiServices {
        public:
            ReleaseBeforeAnswering(RecordingServices& rec, LockHolder& lock) : rec_(rec), lock_(lock) {}
            void message(QWidget* p, const QString& text, const QString& title) override {
                rec_.message(p, text, title);
            }
            QString openFileName(QWidget* p, const QString& folder, const QString& filter) override {
                lock_.release();
                return rec_.openFileName(p, folder, filter);
            }
            QString saveFileName(QWidget* p, const QString& s, const QString& f) override {
                return rec_.saveFileName(p, s, f);
            }
            bool question(QWidget* p, const QString& text, const QString& title) override {
                return rec_.question(p, text, title);
            }
            void beep() override { rec_.beep(); }

        private:
            RecordingServices& rec_;
            LockHolder& lock_;
        } services(rec(), lock);
        zolvant::ui::setServices(&services);
        rec().openAnswers = {dbPath_};
        openWindow();
        zolvant::ui::setServices(&rec());
        QCOMPARE(rec().openDialogs, 1);
        QCOMPARE(takeMessages(),
                 QStringList{QStringLiteral("Database Path ERROR: The database '%1' is locked by another program or "
                                            "window. Try again in a moment.")
                                 .arg(dbPath_)});
        QCOMPARE(listOf(0), (QStringList{"Methane", "n-Butane", "Nitrogen"}));
    }

    // The path of the setting names a file that is damaged or no database:
    // the start-up shows why under "Database Path ERROR", then the file
    // dialog; the good file chosen there opens and is kept in the setting.
    // The bad file is not touched.
    void damagedFileAtStartUpLeadsToTheRecovery_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("cut");           // >= 0: the first bytes of a good file instead
        QTest::addColumn<QString>("message");   // %1: the path
        const QString notSqlite = "The file '%1' is not a component database: it is not a SQLite database file.";
        QTest::newRow("text") << QByteArray("Component,CritTemp\nMethane,190.6\n") << -1 << notSqlite;
        QByteArray noise(8192, '\0');
        for (int i = 0; i < noise.size(); ++i) noise[i] = char((i * 7919 + 13) % 251);
        QTest::newRow("noise") << noise << -1 << notSqlite;
        QTest::newRow("empty file") << QByteArray("") << -1
                                    << "The file '%1' is not a component database: it has no table tblComps.";
        QTest::newRow("header only") << QByteArray() << 100 << "The database file '%1' is damaged.";
        QTest::newRow("first page only") << QByteArray() << 4096 << "The database file '%1' is damaged.";
        QTest::newRow("cut inside the last page")
            << QByteArray() << 5000
            << "The database file '%1' is damaged: it is cut short (5000 of its 8192 bytes are there).";
        QTest::newRow("one byte short") << QByteArray() << 8191
                                        << "The database file '%1' is damaged: it is cut short (8191 of its 8192 "
                                           "bytes are there).";
    }
    void damagedFileAtStartUpLeadsToTheRecovery() {
        QFETCH(QByteArray, content);
        QFETCH(int, cut);
        QFETCH(QString, message);
        const QString bad = tmp_.filePath(QStringLiteral("Damaged.mdb"));
        QByteArray bytes = content;
        if (cut >= 0) {
            bytes = zolvant::test::fileBytes(dbPath_);
            QCOMPARE(bytes.size(), 8192);
            bytes.truncate(cut);
        }
        writeFile(bad, bytes);
        const QList<StoredRecord> good = zolvant::test::storedRecords(dbPath_);
        zolvant::db::writeDbPath(bad);
        rec().openAnswers = {dbPath_};

        openWindow();
        QCOMPARE(rec().openDialogs, 1);
        QCOMPARE(takeMessages(), QStringList{"Database Path ERROR: " + message.arg(bad)});
        QVERIFY(w_->hasComponentRecordset());
        QCOMPARE(zolvant::db::readDbPath(), dbPath_);
        QCOMPARE(focused(), cmb(0));
        QCOMPARE(listOf(0), (QStringList{"Methane", "n-Butane", "Nitrogen"}));
        w_->close();
        QCOMPARE(zolvant::test::fileBytes(bad), bytes);
        QCOMPARE(zolvant::test::storedRecords(dbPath_), good);
        QVERIFY(QFile::remove(bad));
    }

    // A file whose query never ends: at start-up it is named under
    // "Database Path ERROR" and another file can be chosen; changed into one
    // while the window runs, a component box says why and keeps its list;
    // the editor, which reads the table, is not held up. The window is never
    // held for much longer than the budget, and nothing is written.
    void aQueryThatNeverEndsIsStoppedWithItsReason() {
        const QString endless = tmp_.filePath(QStringLiteral("Endless.mdb"));
        createDatabase(endless);
        execRaw(endless, kEndlessQuery);
        const QByteArray endlessBytes = zolvant::test::fileBytes(endless);
        const QString timedOut = QStringLiteral("The query qryCritCos of '%1' did not finish within 3 seconds.");
        zolvant::db::writeDbPath(endless);
        rec().openAnswers = {dbPath_};
        auto started = std::chrono::steady_clock::now();
        openWindow();
        QVERIFY(secondsSince(started) < 5.0);
        QCOMPARE(rec().openDialogs, 1);
        QCOMPARE(takeMessages(), QStringList{"Database Path ERROR: " + timedOut.arg(endless)});
        QCOMPARE(listOf(0), (QStringList{"Methane", "n-Butane", "Nitrogen"}));

        enterMixture();
        execRaw(dbPath_, kEndlessQuery);
        const QByteArray bytes = zolvant::test::fileBytes(dbPath_);
        started = std::chrono::steady_clock::now();
        backtab();
        backtab();
        QVERIFY(secondsSince(started) < 5.0);
        QCOMPARE(focused(), cmb(1));
        QCOMPARE(takeMessages(), QStringList{"Database ERROR: " + timedOut.arg(dbPath_)});
        QCOMPARE(listOf(1), (QStringList{"Methane", "n-Butane", "Nitrogen"}));
        QCOMPARE(cmb(1)->currentText(), QStringLiteral("Methane"));

        started = std::chrono::steady_clock::now();
        click(ctl<QPushButton>("cmdCompList"));
        QVERIFY(secondsSince(started) < 6.0);
        auto* editor = zolvant::ui::currentComponentEditor();
        QVERIFY(editor);
        // Leaving the box reads the constants through the query, which does
        // not give them (how it fails is the engine's plan): the row keeps
        // those it had.
        const QStringList leaving = takeMessages();
        QCOMPARE(leaving.size(), 1);
        QVERIFY2(leaving[0].startsWith("Database ERROR: "), qPrintable(leaving[0]));
        QCOMPARE(w_->mixture().constant(1, zolvant::Tc), 190.6f);
        QCOMPARE(editor->findChild<QLineEdit*>(QStringLiteral("txtCompound"))->text(), QStringLiteral("Methane"));
        editor->close();
        w_->close();
        QCOMPARE(zolvant::test::fileBytes(dbPath_), bytes);
        QCOMPARE(zolvant::test::fileBytes(endless), endlessBytes);
    }

    // A record whose name is longer than a field holds: the editor refuses
    // the file with the reason, and writes nothing.
    void aNameTooLongForAFieldIsRefusedByTheEditor() {
        // The query leaves the record out, so the window opens.
        execRaw(dbPath_, "INSERT INTO tblComps (Component) VALUES (printf('%.300c', 'x'));"
                         "DROP VIEW qryCritCos; CREATE VIEW qryCritCos AS SELECT rowid AS _RecKey, Component, "
                         "CritTemp, CritPress, AcentricF, K1, K2, K3 FROM tblComps WHERE length(Component) < 100 "
                         "ORDER BY Component, rowid");
        const QByteArray bytes = zolvant::test::fileBytes(dbPath_);
        openWindow();
        QVERIFY(takeMessages().isEmpty());
        click(ctl<QPushButton>("cmdCompList"));
        QVERIFY(!zolvant::ui::currentComponentEditor());
        QCOMPARE(takeMessages(),
                 QStringList{QStringLiteral("Zolvant: The table tblComps of '%1' gives a value of 300 bytes: a name "
                                            "or value in a component database is at most 255 bytes long.")
                                 .arg(dbPath_)});
        w_->close();
        QCOMPARE(zolvant::test::fileBytes(dbPath_), bytes);
    }

#ifndef _WIN32
    // The file is deleted while the window runs. The window keeps the file it
    // opened: lists refresh from it, constants load, Solve works, without a
    // word. The component editor, which opens the path afresh, finds no file
    // and says so.
    void deletedFileWhileRunningKeepsWorking() {
        const QString kept = tmp_.filePath(QStringLiteral("kept.mdb"));   // the same file under a second name
        const QByteArray bytes = zolvant::test::fileBytes(dbPath_);
        const QList<StoredRecord> before = zolvant::test::storedRecords(dbPath_);
        openWindow();
        QCOMPARE(focused(), cmb(0));
        choose("n-Butane");
        QVERIFY(::link(QFile::encodeName(dbPath_).constData(), QFile::encodeName(kept).constData()) == 0);
        QVERIFY(QFile::remove(dbPath_));

        tab();
        type("0.5");
        tab();
        QCOMPARE(focused(), cmb(1));
        QCOMPARE(listOf(1), (QStringList{"Methane", "n-Butane", "Nitrogen"}));
        choose("Methane");
        tab();
        type("0.5");
        tab();
        QCOMPARE(w_->mixture().constant(0, zolvant::Tc), 425.1f);
        QCOMPARE(w_->mixture().constant(1, zolvant::Tc), 190.6f);
        solveAndExpectTheMixtureRow();
        QVERIFY(takeMessages().isEmpty());

        click(ctl<QPushButton>("cmdCompList"));
        QVERIFY(!zolvant::ui::currentComponentEditor());
        QCOMPARE(takeMessages(),
                 QStringList{QStringLiteral("Zolvant: Could not find the database file '%1'.").arg(dbPath_)});

        w_->close();
        QVERIFY(!QFile::exists(dbPath_));
        QCOMPARE(zolvant::test::storedRecords(kept), before);
        QCOMPARE(zolvant::test::fileBytes(kept), bytes);
    }
#endif
};

QTEST_MAIN(MainWindowDatabaseFaults)
#include "tst_main_database_faults.moc"
