// The editor over the full default database: Find (Ctrl+F) moves to the
// first record whose name contains the text, Enter to the next, wrapping;
// the status line gives the position of the total; constants the engine
// refuses (a critical temperature below zero, a critical pressure of 0)
// are refused with its message and nothing is stored.

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

#include "db/settings.h"
#include "editor_driver.h"
#include "testsupport/database_faults.h"
#include "testsupport/recording_services.h"

using namespace zolvant;

class TestEditorFind : public QObject, private EditorDriver {
    Q_OBJECT

    QTemporaryDir dir_;
    QString dbPath_;
    std::optional<ui::ScopedRecordingServices> services_;

    ui::RecordingServices& rec() { return services_->rec; }
    static QLineEdit* find() { return box("txtFind"); }
    static QString count() { return child<QLabel>("lblRecordCount")->text(); }
    static QString name() { return box("txtCompound")->text(); }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.filePath(QStringLiteral("config")));
        dbPath_ = dir_.filePath(QStringLiteral("Components.mdb"));
    }
    void init() {
        QFile::remove(dbPath_);
        QVERIFY(QFile::copy(QStringLiteral(ZOLVANT_SEED_DATABASE), dbPath_));
        QFile(dbPath_).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        db::writeDbPath(dbPath_);
        services_.emplace();
        ui::showComponentEditor();
        QVERIFY(editor());
        editor()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(editor()));
    }
    void cleanup() {
        if (editor()) editor()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        services_.reset();
    }

    void findMovesToEachNameContainingTheTextInTurn() {
        QCOMPARE(status(), QString());
        QCOMPARE(count(), QStringLiteral("455 records"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget(), find());
        // Typing moves to the first name (in the editor's order) containing
        // the text, case aside.
        QTest::keyClicks(find(), QStringLiteral("HEXADEC"));
        QCOMPARE(name(), QStringLiteral("1-Hexadecanol"));
        const QString first = status();
        QVERIFY(first.startsWith(QStringLiteral("Compound record # ")));
        QCOMPARE(count(), QStringLiteral("of 455"));
        // Enter: the next ones, then round to the first again.
        QStringList seen{name()};
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(find(), Qt::Key_Return);
            seen << name();
        }
        QCOMPARE(seen, (QStringList{"1-Hexadecanol", "Hexadecafluoroheptane", "n-Hexadecane", "1-Hexadecanol"}));
        if (const QString dir = qEnvironmentVariable("ZOLVANT_SCREENSHOT_DIR"); !dir.isEmpty()) {
            QTest::qWait(50);
            QVERIFY(editor()->grab().save(dir + QStringLiteral("/editor-find.png")));
        }
        QCOMPARE(status(), first);
        QCOMPARE(rec().beeps, 0);
        // A text no name contains: a beep, the record stays.
        QTest::keyClicks(find(), QStringLiteral("zzz"));
        QCOMPARE(name(), QStringLiteral("1-Hexadecanol"));
        QCOMPARE(rec().beeps, 3);  // each key that finds nothing
        QVERIFY(rec().messages.empty());
        // The last record's position is the total.
        QTest::mouseClick(button("cmdLast"), Qt::LeftButton);
        QCOMPARE(status(), QStringLiteral("Compound record # 455"));
        QCOMPARE(count(), QStringLiteral("of 455"));
    }

    void findIsOffWhileARecordIsChanged() {
        QTest::mouseClick(button("cmdEdit"), Qt::LeftButton);
        QVERIFY(!find()->isEnabled());
        QCOMPARE(count(), QString());
        QTest::mouseClick(button("cmdCancel"), Qt::LeftButton);
        QVERIFY(find()->isEnabled());
    }

    void constantsTheEngineRefusesAreNotStored_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("boxName");
        QTest::addColumn<QString>("value");
        QTest::newRow("critical temperature below zero") << "CritTemp" << "txtTcrit" << "-5";
        QTest::newRow("critical pressure of 0") << "CritPress" << "txtPcrit" << "0";
    }
    void constantsTheEngineRefusesAreNotStored() {
        QFETCH(QString, field);
        QFETCH(QString, boxName);
        QFETCH(QString, value);
        const QList<test::StoredRecord> before = test::storedRecords(dbPath_);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::ControlModifier);
        QTest::keyClicks(find(), QStringLiteral("argon"));
        QCOMPARE(name(), QStringLiteral("Argon"));
        QTest::mouseClick(button("cmdEdit"), Qt::LeftButton);
        QLineEdit* b = box(qPrintable(boxName));
        b->setFocus();
        b->selectAll();
        QTest::keyClicks(b, value);
        QTest::mouseClick(button("cmdUpdate"), Qt::LeftButton);
        QCOMPARE(rec().messages.size(), std::size_t(1));
        QCOMPARE(rec().messages[0].title, ui::appTitle());
        QCOMPARE(rec().messages[0].text, QStringLiteral("The value '%1' cannot be stored in the field %2: it must be "
                                                        "greater than 0.").arg(value, field));
        QVERIFY(editor()->editMode());  // still editing: the user can mend it
        QCOMPARE(test::storedRecords(dbPath_), before);
        QTest::mouseClick(button("cmdCancel"), Qt::LeftButton);
        QCOMPARE(test::storedRecords(dbPath_), before);
    }
};

QTEST_MAIN(TestEditorFind)
#include "tst_editor_find.moc"
