// The critical-constants editor when its database file misbehaves: opened
// read-only, locked by another program, damaged, or deleted while the window
// is open. Each case checks what the user is told and, through a connection
// of the test's own, that no stored record was lost or changed.

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <array>
#include <optional>

#include "db/database.h"
#include "db/settings.h"
#include "testsupport/database_faults.h"
#include "testsupport/recording_services.h"
#include "ui/common/services.h"
#include "ui/editor/editor_window.h"
#include "ui/editor/frmCritConst2.h"
#include "ui/editor/tests/editor_driver.h"

#ifndef _WIN32
#include <unistd.h>
#endif

using namespace zolvant;
using test::LockHolder;
using test::StoredRecord;
using ui::frmCritConst2;

namespace {


// Name, then the eight numbers ("" for absent). Listed by name: Butane,
// Ethane, Methane, Nitrogen, Propane.
using Values = std::array<const char*, 9>;
const Values kSample[] = {
    {"Propane", "44.097", "369.83", "42.48", "200", "0.152", "0.03136", "0.2757", "0.447"},
    {"Butane", "58.123", "425.12", "37.96", "255", "0.2", "0.03443", "0.1526", "0.4"},
    {"Nitrogen", "28.014", "126.2", "33.98", "90.1", "0.037", "0.01996", "", ""},
    {"Ethane", "30.07", "305.32", "48.72", "145.5", "0.099", "0.02669", "0.1358", "0.424"},
    {"Methane", "16.043", "190.56", "45.99", "98.6", "0.011", "-0.00159", "0.1521", "0.517"},
};

QStringList asShown(const Values& v) {
    QStringList out;
    for (const char* s : v) out << QString::fromLatin1(s);
    return out;
}

QStringList shownValuesOf(const char* name) {
    for (const Values& v : kSample)
        if (QLatin1String(v[0]) == QLatin1String(name)) return asShown(v);
    return {};
}

void createDatabase(const QString& path) {
    auto db = db::Database::CreateDatabase(path.toStdString());
    auto rs = db->OpenRecordset("tblComps");
    for (const Values& v : kSample) {
        rs->AddNew();
        for (std::size_t i = 0; i < v.size(); ++i)
            if (*v[i]) rs->SetField(test::kStoredFields[i], v[i]);
        rs->Update();
    }
    rs->Close();
    db->Close();
}

QString lockedText(const QString& path) {
    return QStringLiteral("The database '%1' is locked by another program or window. Try again in a moment.")
        .arg(path);
}

// A stored number as the test reads it back.
QString stored(double v) { return QString::number(v, 'g', 17); }

}  // namespace

class EditorDatabaseFaults : public QObject, protected EditorDriver {
    Q_OBJECT

private:
    QTemporaryDir settingsDir_;
    std::optional<QTemporaryDir> dataDir_;
    std::optional<ui::ScopedRecordingServices> services_;
    QString dbPath_;

    ui::RecordingServices& rec() { return services_->rec; }


    void openEditor() {
        ui::showComponentEditor();
        QVERIFY2(editor(), rec().messages.empty() ? "no editor" : qPrintable(rec().messages[0].text));
        editor()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(editor()));
    }
    void closeEditor() {
        if (editor()) editor()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!editor());
    }
    void click(const char* name) {
        QPushButton* b = child<QPushButton>(name);
        QVERIFY2(b->isVisible() && b->isEnabled(), name);
        QTest::mouseClick(b, Qt::LeftButton);
    }
    void type(const char* name, const QString& text) {
        QLineEdit* b = box(name);
        b->setFocus();
        b->selectAll();
        QTest::keyClicks(b, text);
        QCOMPARE(b->text(), text);
    }
    void goToRecord(int position) {
        click("cmdFirst");
        for (int i = 1; i < position; ++i) click("cmdNext");
        QCOMPARE(status(), QStringLiteral("Compound record # %1").arg(position));
    }
    void expectEditing(bool editing) {
        for (const char* b : {"cmdAdd", "cmdEdit", "cmdDelete", "cmdClose"})
            QCOMPARE(child<QPushButton>(b)->isVisible(), !editing);
        for (const char* b : {"cmdUpdate", "cmdCancel"}) QCOMPARE(child<QPushButton>(b)->isVisible(), editing);
        for (const char* b : {"cmdFirst", "cmdPrevious", "cmdNext", "cmdLast"})
            QCOMPARE(child<QPushButton>(b)->isEnabled(), !editing);
    }
    // The messages shown since the last call, each with the window's title.
    QStringList takeMessages() {
        QStringList texts;
        for (const auto& m : rec().messages) {
            if (m.title != ui::appTitle()) texts << QStringLiteral("wrong title: ") + m.title;
            texts << m.text;
        }
        rec().clear();
        return texts;
    }

private slots:
    void initTestCase() {
        QVERIFY(settingsDir_.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir_.path());
    }
    void init() {
        dataDir_.emplace();
        QVERIFY(dataDir_->isValid());
        dbPath_ = dataDir_->path() + "/Components.mdb";
        createDatabase(dbPath_);
        db::writeDbPath(dbPath_);
        services_.emplace();
    }
    void cleanup() {
        closeEditor();
        db::setForceReadOnlyForTests(false);
        services_.reset();
        dataDir_.reset();
    }

    // A file the user may not write: browsing works; every change is refused
    // when it is asked for, before anything is typed, and the file stays as
    // it was to the byte.
    void readOnlyFileRefusesEachChangeAndKeepsBrowsing() {
        const QByteArray bytes = test::fileBytes(dbPath_);
        const QList<StoredRecord> before = test::storedRecords(dbPath_);
        db::setForceReadOnlyForTests(true);
        openEditor();
        QCOMPARE(shown(), shownValuesOf("Butane"));
        goToRecord(2);
        const QString refusal =
            QStringLiteral("The database '%1' is open read-only: it cannot be changed.").arg(dbPath_);
        for (const char* command : {"cmdAdd", "cmdEdit", "cmdDelete"}) {
            click(command);
            QCOMPARE(takeMessages(), QStringList{refusal});
            QVERIFY(!editor()->addMode() && !editor()->editMode());
            expectEditing(false);
            QCOMPARE(shown(), shownValuesOf("Ethane"));
            QCOMPARE(status(), QStringLiteral("Compound record # 2"));
        }
        click("cmdLast");
        QCOMPARE(shown(), shownValuesOf("Propane"));
        QVERIFY(takeMessages().isEmpty());
        closeEditor();
        QCOMPARE(test::storedRecords(dbPath_), before);
        QCOMPARE(test::fileBytes(dbPath_), bytes);
    }

    // Another program holds a write transaction (with an insert of its own,
    // never committed). The change waits for the busy timeout, is refused
    // readably, and the window stays where it was so that the same command
    // succeeds once the other program lets go.
    void lockedFileRefusesTheChangeUntilReleased_data() {
        QTest::addColumn<QString>("command");
        QTest::newRow("add") << "add";
        QTest::newRow("edit") << "edit";
        QTest::newRow("delete") << "delete";
    }
    void lockedFileRefusesTheChangeUntilReleased() {
        QFETCH(QString, command);
        const QList<StoredRecord> before = test::storedRecords(dbPath_);
        openEditor();
        goToRecord(3);   // Methane
        LockHolder lock(dbPath_, LockHolder::Kind::Write);
        QVERIFY2(lock.hold(), qPrintable(lock.error()));

        QStringList expectedShown;
        QString expectedStatus;
        const char* retry = "cmdUpdate";
        if (command == "add") {
            click("cmdAdd");
            type("txtCompound", "Oxygen");
            type("txtTcrit", "154.58");
            expectedShown = QStringList{"Oxygen", "", "154.58", "", "", "", "", "", ""};
            expectedStatus = QStringLiteral("Add record");
        } else if (command == "edit") {
            click("cmdEdit");
            type("txtTcrit", "190.6");
            expectedShown = shownValuesOf("Methane");
            expectedShown[2] = "190.6";
            expectedStatus = QStringLiteral("Edit record");
        } else {
            retry = "cmdDelete";
            expectedShown = shownValuesOf("Methane");
            expectedStatus = QStringLiteral("Compound record # 3");
        }
        click(retry);
        QCOMPARE(takeMessages(), QStringList{lockedText(dbPath_)});
        QCOMPARE(editor()->addMode(), command == "add");
        QCOMPARE(editor()->editMode(), command == "edit");
        expectEditing(command != "delete");
        QCOMPARE(shown(), expectedShown);
        QCOMPARE(status(), expectedStatus);
        // Others may still read: nothing is stored, not even half a record,
        // and the other program's uncommitted insert is not seen.
        QCOMPARE(test::storedRecords(dbPath_), before);

        lock.release();
        click(retry);
        QVERIFY(takeMessages().isEmpty());
        expectEditing(false);
        QList<StoredRecord> expected = before;
        if (command == "add") {
            QCOMPARE(status(), QStringLiteral("Compound record # 6"));
            expected << StoredRecord{"6", "Oxygen", "Null", stored(154.58), "Null", "Null", "Null", "Null", "Null",
                                     "Null"};
        } else if (command == "edit") {
            QCOMPARE(status(), QStringLiteral("Compound record # 3"));
            expected[4][3] = stored(190.6);   // Methane was stored fifth
        } else {
            QCOMPARE(shown(), shownValuesOf("Nitrogen"));
            expected.removeAt(4);
        }
        QCOMPARE(test::storedRecords(dbPath_), expected);
    }

    // Opened while another program holds an exclusive lock: the window says
    // why and does not open.
    void lockedFileAtOpeningShowsWhyAndNoWindow() {
        LockHolder lock(dbPath_, LockHolder::Kind::Exclusive);
        QVERIFY2(lock.hold(), qPrintable(lock.error()));
        ui::showComponentEditor();
        QVERIFY(!editor());
        QCOMPARE(takeMessages(), QStringList{lockedText(dbPath_)});
    }

    // Another program holds an exclusive lock: the record reached by a move
    // cannot be read. The boxes keep showing the record they showed, and
    // that record stays the current one, so that an Edit after the lock is
    // gone changes the record the user sees and no other.
    void recordThatCannotBeReadLeavesTheShownRecordCurrent_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("from");
        QTest::addColumn<QStringList>("messages");   // %1: the locked text
        QTest::newRow("next") << "cmdNext" << 2 << QStringList{"3260", "%1"};
        QTest::newRow("previous") << "cmdPrevious" << 2 << QStringList{"%1"};
        QTest::newRow("first") << "cmdFirst" << 2 << QStringList{"%1"};
        QTest::newRow("last") << "cmdLast" << 2 << QStringList{"%1"};
    }
    void recordThatCannotBeReadLeavesTheShownRecordCurrent() {
        QFETCH(QString, button);
        QFETCH(int, from);
        QFETCH(QStringList, messages);
        const QList<StoredRecord> before = test::storedRecords(dbPath_);
        openEditor();
        goToRecord(from);   // Ethane
        {
            LockHolder lock(dbPath_, LockHolder::Kind::Exclusive);
            QVERIFY2(lock.hold(), qPrintable(lock.error()));
            click(button.toLatin1().constData());
            for (QString& m : messages) m.replace(QStringLiteral("%1"), lockedText(dbPath_));
            QCOMPARE(takeMessages(), messages);
            QCOMPARE(shown(), shownValuesOf("Ethane"));
            QCOMPARE(status(), QStringLiteral("Compound record # 2"));
            expectEditing(false);
        }
        click("cmdEdit");
        type("txtTcrit", "305.4");
        click("cmdUpdate");
        QVERIFY(takeMessages().isEmpty());
        QCOMPARE(status(), QStringLiteral("Compound record # 2"));
        QList<StoredRecord> expected = before;
        expected[3][3] = stored(305.4);   // Ethane was stored fourth; no other record changes
        QCOMPARE(test::storedRecords(dbPath_), expected);
    }

    // The record after the one deleted here was deleted by another program:
    // the deleted record is not shown on as if it were still there, and
    // browsing goes on from the gap.
    void deleteWhenTheNextRecordIsGoneShowsNoRecord() {
        openEditor();
        goToRecord(3);   // Methane; Nitrogen follows
        {
            auto other = db::Database::OpenDatabase(dbPath_.toStdString());
            auto rs = other->OpenRecordset("tblComps");
            for (rs->MoveFirst(); std::get<std::string>(rs->Fields("Component")) != "Nitrogen";) rs->MoveNext();
            rs->Delete();
        }
        const QList<StoredRecord> before = test::storedRecords(dbPath_);
        click("cmdDelete");
        QCOMPARE(takeMessages(),
                 QStringList{"The record has been deleted in another window or program: move to another record."});
        QCOMPARE(shown(), QStringList(9, QString()));
        QCOMPARE(status(), QString());
        expectEditing(false);
        QList<StoredRecord> expected = before;
        expected.removeAt(3);   // Methane, stored fifth, is fourth now that Nitrogen is gone
        QCOMPARE(test::storedRecords(dbPath_), expected);

        click("cmdNext");
        QVERIFY(takeMessages().isEmpty());
        QCOMPARE(shown(), shownValuesOf("Propane"));
    }

    // A file that is damaged or no database at all: the window says why and
    // does not open; the file is not touched.
    void damagedFileAtOpening_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("cut");             // >= 0: the first bytes of a good file instead
        QTest::addColumn<QString>("message");     // %1: the path
        QTest::newRow("garbage") << QByteArray(3000, '\xA5') << -1
                                 << "The file '%1' is not a component database: it is not a SQLite database file.";
        QTest::newRow("empty file") << QByteArray("") << -1
                                    << "The file '%1' is not a component database: it has no table tblComps.";
        QTest::newRow("cut after its first page") << QByteArray() << 4096 << "The database file '%1' is damaged.";
        QTest::newRow("cut inside its last page")
            << QByteArray() << 6000
            << "The database file '%1' is damaged: it is cut short (6000 of its 8192 bytes are there).";
    }
    void damagedFileAtOpening() {
        QFETCH(QByteArray, content);
        QFETCH(int, cut);
        QFETCH(QString, message);
        const QString path = dataDir_->path() + "/Damaged.mdb";
        QByteArray bytes = content;
        if (cut >= 0) {
            bytes = test::fileBytes(dbPath_);
            QCOMPARE(bytes.size(), 8192);
            bytes.truncate(cut);
        }
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        }
        db::writeDbPath(path);
        ui::showComponentEditor();
        QVERIFY(!editor());
        for (QWidget* w : QApplication::topLevelWidgets()) QVERIFY(!qobject_cast<frmCritConst2*>(w));
        QCOMPARE(takeMessages(), QStringList{message.arg(path)});
        QCOMPARE(test::fileBytes(path), bytes);
    }

#ifndef _WIN32
    // The file is deleted while the window is open. What the window holds
    // open stays readable; a change cannot be stored in a file that is gone
    // and says so; the next opening finds no file.
    void deletedFileWhileOpen() {
        const QString kept = dataDir_->path() + "/kept.mdb";   // the same file under a second name
        const QByteArray bytes = test::fileBytes(dbPath_);
        const QList<StoredRecord> before = test::storedRecords(dbPath_);
        openEditor();
        QVERIFY(::link(QFile::encodeName(dbPath_).constData(), QFile::encodeName(kept).constData()) == 0);
        QVERIFY(QFile::remove(dbPath_));

        click("cmdLast");
        QCOMPARE(shown(), shownValuesOf("Propane"));
        goToRecord(2);
        QCOMPARE(shown(), shownValuesOf("Ethane"));
        QVERIFY(takeMessages().isEmpty());

        const QString gone =
            QStringLiteral("The database file '%1' has been deleted or moved while it was open: changes cannot be "
                           "stored in it.")
                .arg(dbPath_);
        click("cmdAdd");
        type("txtCompound", "Oxygen");
        click("cmdUpdate");
        QCOMPARE(takeMessages(), QStringList{gone});
        QVERIFY(editor()->addMode());
        expectEditing(true);
        click("cmdCancel");
        QCOMPARE(shown(), shownValuesOf("Ethane"));

        click("cmdEdit");
        type("txtTcrit", "305.4");
        click("cmdUpdate");
        QCOMPARE(takeMessages(), QStringList{gone});
        QVERIFY(editor()->editMode());
        click("cmdCancel");

        click("cmdDelete");
        QCOMPARE(takeMessages(), QStringList{gone});
        QCOMPARE(shown(), shownValuesOf("Ethane"));

        closeEditor();
        QVERIFY(!QFile::exists(dbPath_));
        QCOMPARE(test::storedRecords(kept), before);
        QCOMPARE(test::fileBytes(kept), bytes);

        ui::showComponentEditor();
        QVERIFY(!editor());
        QCOMPARE(takeMessages(), QStringList{QStringLiteral("Could not find the database file '%1'.").arg(dbPath_)});
    }
#endif
};

QTEST_MAIN(EditorDatabaseFaults)
#include "tst_editor_database_faults.moc"
