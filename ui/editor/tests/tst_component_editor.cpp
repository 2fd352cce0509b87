// The critical-constants editor against temporary component databases. What
// the window stores is checked through a connection of the test's own.

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "db/database.h"
#include "db/settings.h"
#include "solver/text.h"
#include "testsupport/recording_services.h"
#include "ui/common/services.h"
#include "ui/editor/editor_window.h"
#include "ui/editor/frmCritConst2.h"
#include "ui/editor/tests/editor_driver.h"

using namespace zolvant;
using zolvant::ui::frmCritConst2;

namespace {

constexpr std::array<const char*, 9> kFields = {"Component", "MolWt",     "CritTemp", "CritPress", "CritVol",
                                                "AcentricF", "K1",        "K2",       "K3"};

// One record as texts: the name, then each number, "Null" when absent.
using Row = QStringList;

// Stored in an order other than the sorted one; Nitrogen has no K2 and K3.
const std::vector<Row> kSample = {
    {"Propane", "44.097", "369.83", "42.48", "200", "0.152", "0.03136", "0.2757", "0.447"},
    {"Butane", "58.123", "425.12", "37.96", "255", "0.2", "0.03443", "0.1526", "0.4"},
    {"Nitrogen", "28.014", "126.2", "33.98", "90.1", "0.037", "0.01996", "Null", "Null"},
    {"Ethane", "30.07", "305.32", "48.72", "145.5", "0.099", "0.02669", "0.1358", "0.424"},
    {"Methane", "16.043", "190.56", "45.99", "98.6", "0.011", "-0.00159", "0.1521", "0.517"},
};
const QStringList kSortedNames = {"Butane", "Ethane", "Methane", "Nitrogen", "Propane"};

Row sampleRow(const QString& name) {
    for (const Row& r : kSample)
        if (r[0] == name) return r;
    return {};
}

void createDatabase(const QString& path, const std::vector<Row>& rows) {
    auto db = db::Database::CreateDatabase(path.toStdString());
    auto rs = db->OpenRecordset(frmCritConst2::kRowSource);
    for (const Row& r : rows) {
        rs->AddNew();
        for (std::size_t i = 0; i < kFields.size(); ++i)
            if (r[int(i)] != "Null") rs->SetField(kFields[i], r[int(i)].toStdString());
        rs->Update();
    }
    rs->Close();
    db->Close();
}

QString valueText(const db::FieldValue& v) {
    if (db::isNull(v)) return QStringLiteral("Null");
    if (const auto* d = std::get_if<double>(&v)) return QString::fromStdString(shortestText(*d));
    return QString::fromStdString(std::get<std::string>(v));
}

// Every record of the file in name order, read through a fresh connection.
std::vector<Row> readDatabase(const QString& path) {
    auto db = db::Database::OpenDatabase(path.toStdString());
    auto rs = db->OpenRecordset(frmCritConst2::kRowSource);
    std::vector<Row> rows;
    if (!(rs->BOF() && rs->EOF_())) {
        rs->MoveFirst();
        while (!rs->EOF_()) {
            Row r;
            for (const char* f : kFields) r << valueText(rs->Fields(f));
            rows.push_back(r);
            rs->MoveNext();
        }
    }
    rs->Close();
    db->Close();
    return rows;
}

std::vector<Row> sortedSample() {
    std::vector<Row> rows;
    for (const QString& n : kSortedNames) rows.push_back(sampleRow(n));
    return rows;
}

}  // namespace

class ComponentEditorTest : public QObject, protected EditorDriver {
    Q_OBJECT

private:
    QTemporaryDir settingsDir_;
    std::optional<QTemporaryDir> dataDir_;
    std::optional<ui::ScopedRecordingServices> services_;
    QString dbPath_;

    ui::RecordingServices& rec() { return services_->rec; }


    // A stored row as the window shows it: absent values as empty boxes.
    static Row asShown(Row r) {
        for (QString& v : r)
            if (v == "Null") v.clear();
        return r;
    }

    void useDatabase(const std::vector<Row>& rows) {
        createDatabase(dbPath_, rows);
        db::writeDbPath(dbPath_);
    }
    void openEditor() {
        ui::showComponentEditor();
        QVERIFY(editor());
        editor()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(editor()));
    }
    void closeEditor() {
        if (editor()) editor()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!editor());
    }
    void click(const char* name) {
        QPushButton* b = button(name);
        QVERIFY2(b->isVisible() && b->isEnabled(), name);
        QTest::mouseClick(b, Qt::LeftButton);
    }
    void type(const char* name, const QString& text) {
        QLineEdit* b = box(name);
        b->setFocus();
        b->selectAll();
        if (text.isEmpty()) QTest::keyClick(b, Qt::Key_Backspace);
        else QTest::keyClicks(b, text);
        QCOMPARE(b->text(), text);
    }
    void goToRecord(int position) {
        click("cmdFirst");
        for (int i = 1; i < position; ++i) click("cmdNext");
        QCOMPARE(status(), QStringLiteral("Compound record # %1").arg(position));
    }
    void expectBrowsing(bool browsing) {
        for (const char* b : {"cmdAdd", "cmdEdit", "cmdDelete", "cmdClose"}) QCOMPARE(button(b)->isVisible(), browsing);
        for (const char* b : {"cmdUpdate", "cmdCancel"}) QCOMPARE(button(b)->isVisible(), !browsing);
        for (const char* b : {"cmdFirst", "cmdPrevious", "cmdNext", "cmdLast"}) {
            QVERIFY(button(b)->isVisible());
            QCOMPARE(button(b)->isEnabled(), browsing);
        }
    }
    void expectOneMessage(const QString& text) {
        QCOMPARE(int(rec().messages.size()), 1);
        QCOMPARE(rec().messages[0].text, text);
        QCOMPARE(rec().messages[0].title, ui::appTitle());
        rec().clear();
    }
    QString noCurrentRecordText() {
        // The engine's own wording, taken from the engine.
        auto db = db::Database::CreateDatabase((dataDir_->path() + "/probe.mdb").toStdString());
        auto rs = db->OpenRecordset(frmCritConst2::kRowSource);
        try {
            rs->MoveFirst();
        } catch (const db::DbError& e) {
            return QString::fromStdString(e.description());
        }
        return {};
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
        services_.emplace();
    }
    void cleanup() {
        closeEditor();
        services_.reset();
        dataDir_.reset();
    }

    void layoutNamesEveryBoxByItsLabel() {
        useDatabase(kSample);
        openEditor();
        frmCritConst2* w = editor();
        QCOMPARE(w->windowTitle(), QStringLiteral("Critical Constants - Eq of State"));
        QCOMPARE(w->size(), QSize(472, 341));
        QVERIFY(!w->parentWidget());

        const std::array<QString, 9> labels = {"Compound:",       "Molecular Weight (g / mol)",
                                               "Temperature (K)", "Pressure (bar)",
                                               "Volume (cm3/mol)", "Acentric Factor",
                                               QStringLiteral("\u03BA(1)"), QStringLiteral("\u03BA(2)"),
                                               QStringLiteral("\u03BA(3)")};
        const QList<QLabel*> allLabels = w->findChildren<QLabel*>();
        for (std::size_t i = 0; i < kBoxes.size(); ++i) {
            QLineEdit* b = box(kBoxes[i]);
            QCOMPARE(b->accessibleName(), labels[i]);
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(b);
            QVERIFY(a);
            QCOMPARE(a->text(QAccessible::Name), labels[i]);
            int buddies = 0;
            for (QLabel* l : allLabels)
                if (l->buddy() == b) {
                    ++buddies;
                    QCOMPARE(l->text(), labels[i]);
                    QVERIFY(l->isVisible());
                    QVERIFY(l->geometry().right() < b->geometry().left());
                }
            QCOMPARE(buddies, 1);
        }
        // No caption is clipped.
        for (QLabel* l : allLabels)
            QVERIFY2(l->sizeHint().width() <= l->width() && l->sizeHint().height() <= l->height() + 2,
                     qPrintable(l->objectName()));
        for (const QString text : {"Critical Constants", "PRSV Constants", "PRSV1 and 2"}) {
            bool found = false;
            for (QLabel* l : allLabels) found = found || l->text() == text;
            QVERIFY2(found, qPrintable(text));
        }
        const std::array<std::pair<const char*, const char*>, 10> captions = {{{"cmdAdd", "&Add"},
                                                                              {"cmdEdit", "&Edit"},
                                                                              {"cmdUpdate", "&Update"},
                                                                              {"cmdDelete", "&Delete"},
                                                                              {"cmdCancel", "&Cancel"},
                                                                              {"cmdClose", "&Close"},
                                                                              {"cmdFirst", "|<<"},
                                                                              {"cmdPrevious", "<"},
                                                                              {"cmdNext", ">"},
                                                                              {"cmdLast", ">>|"}}};
        for (const auto& [name, caption] : captions) {
            QCOMPARE(button(name)->text(), QString::fromLatin1(caption));
            const QString plain = QString::fromLatin1(caption).remove('&');
            QVERIFY(button(name)->fontMetrics().horizontalAdvance(plain) + 8 <= button(name)->width());
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(button(name));
            QCOMPARE(a->text(QAccessible::Name), QString::fromLatin1(caption).remove('&'));
            QVERIFY(w->rect().contains(button(name)->geometry().translated(button(name)->parentWidget()->pos())));
        }
        // Update and Cancel sit in the gaps of the command strip.
        QVERIFY(button("cmdEdit")->x() < button("cmdUpdate")->x());
        QVERIFY(button("cmdUpdate")->x() < button("cmdDelete")->x());
        QVERIFY(button("cmdDelete")->x() < button("cmdCancel")->x());
        QVERIFY(button("cmdCancel")->x() < button("cmdClose")->x());
        expectBrowsing(true);

        // The name box comes first, then the boxes in field order.
        QCOMPARE(QApplication::focusWidget(), box("txtCompound"));
        for (std::size_t i = 1; i < kBoxes.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), box(kBoxes[i]));
        }
        QVERIFY(rec().messages.empty());
    }

    void opensOnTheFirstNameWithAnEmptyStatus() {
        useDatabase(kSample);
        openEditor();
        QCOMPARE(shown(), asShown(sampleRow("Butane")));
        QCOMPARE(status(), QString());
        // A record without K2 and K3 shows two empty boxes.
        goToRecord(4);
        QCOMPARE(shown(), asShown(sampleRow("Nitrogen")));
        QCOMPARE(box("txtK2")->text(), QString());
        QVERIFY(rec().messages.empty());
    }

    void browsingBeepsAtBothEnds() {
        useDatabase(kSample);
        openEditor();
        click("cmdPrevious");
        QCOMPARE(rec().beeps, 1);
        QCOMPARE(status(), QStringLiteral("Compound record # 1"));
        QCOMPARE(shown(), asShown(sampleRow("Butane")));

        for (int i = 2; i <= 5; ++i) {
            click("cmdNext");
            QCOMPARE(status(), QStringLiteral("Compound record # %1").arg(i));
            QCOMPARE(box("txtCompound")->text(), kSortedNames[i - 1]);
        }
        QCOMPARE(rec().beeps, 1);
        click("cmdNext");
        QCOMPARE(rec().beeps, 2);
        QCOMPARE(status(), QStringLiteral("Compound record # 5"));
        QCOMPARE(shown(), asShown(sampleRow("Propane")));

        click("cmdPrevious");
        QCOMPARE(box("txtCompound")->text(), QStringLiteral("Nitrogen"));
        click("cmdFirst");
        QCOMPARE(status(), QStringLiteral("Compound record # 1"));
        QCOMPARE(box("txtCompound")->text(), QStringLiteral("Butane"));
        click("cmdLast");
        QCOMPARE(status(), QStringLiteral("Compound record # 5"));
        QCOMPARE(box("txtCompound")->text(), QStringLiteral("Propane"));
        QCOMPARE(rec().beeps, 2);
        QVERIFY(rec().messages.empty());
    }

    void keys_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("expected");   // position after the key, starting at 3 of 5

        const int none = Qt::NoModifier, ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier,
                  alt = Qt::AltModifier;
        QTest::newRow("Down: next") << int(Qt::Key_Down) << none << 4;
        QTest::newRow("Page Down: next") << int(Qt::Key_PageDown) << none << 4;
        QTest::newRow("Ctrl+Down: last") << int(Qt::Key_Down) << ctrl << 5;
        QTest::newRow("Ctrl+Page Down: last") << int(Qt::Key_PageDown) << ctrl << 5;
        QTest::newRow("Ctrl+Shift+Down: next") << int(Qt::Key_Down) << (ctrl | shift) << 4;
        QTest::newRow("Ctrl+Alt+Page Down: next") << int(Qt::Key_PageDown) << (ctrl | alt) << 4;
        QTest::newRow("Up: previous") << int(Qt::Key_Up) << none << 2;
        QTest::newRow("Page Up: previous") << int(Qt::Key_PageUp) << none << 2;
        QTest::newRow("Ctrl+Up: first") << int(Qt::Key_Up) << ctrl << 1;
        QTest::newRow("Ctrl+Page Up: first") << int(Qt::Key_PageUp) << ctrl << 1;
        QTest::newRow("Shift+Up: previous") << int(Qt::Key_Up) << shift << 2;
        QTest::newRow("End: last") << int(Qt::Key_End) << none << 5;
        QTest::newRow("Shift+End: last") << int(Qt::Key_End) << shift << 5;
        QTest::newRow("Ctrl+Shift+Alt+End: last") << int(Qt::Key_End) << (ctrl | shift | alt) << 5;
        QTest::newRow("Home: first") << int(Qt::Key_Home) << none << 1;
        QTest::newRow("Ctrl+Home: first") << int(Qt::Key_Home) << ctrl << 1;
        QTest::newRow("Left: nothing") << int(Qt::Key_Left) << ctrl << 3;
        QTest::newRow("a letter: nothing") << int(Qt::Key_X) << none << 3;
    }
    void keys() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, expected);
        useDatabase(kSample);
        openEditor();
        goToRecord(3);
        const Row before = shown();
        // The window sees the key while a box has the focus.
        box("txtPcrit")->setFocus();
        QCOMPARE(QApplication::focusWidget(), box("txtPcrit"));
        QTest::keyClick(static_cast<QWidget*>(QApplication::focusWidget()), Qt::Key(key),
                        Qt::KeyboardModifiers(modifiers));
        QCOMPARE(status(), QStringLiteral("Compound record # %1").arg(expected));
        if (expected != 3) {
            QCOMPARE(shown(), asShown(sampleRow(kSortedNames[expected - 1])));
        } else if (key != Qt::Key_X) {
            QCOMPARE(shown(), before);
        }
        QCOMPARE(rec().beeps, 0);
        QVERIFY(rec().messages.empty());
    }

    void keyReachesTheFocusedBoxAsWell() {
        useDatabase(kSample);
        openEditor();
        goToRecord(3);
        QLineEdit* name = box("txtCompound");
        name->setFocus();
        QTest::keyClick(static_cast<QWidget*>(QApplication::focusWidget()), Qt::Key_Home);
        QCOMPARE(status(), QStringLiteral("Compound record # 1"));
        // The box moved its cursor too: the key was not consumed.
        QCOMPARE(name->cursorPosition(), 0);
        // Keys sent to the window itself (nothing focused inside) act as well.
        QTest::keyClick(editor(), Qt::Key_End);
        QCOMPARE(status(), QStringLiteral("Compound record # 5"));
    }

    void keysIgnoredWhileEditing() {
        useDatabase(kSample);
        openEditor();
        goToRecord(3);
        for (const char* command : {"cmdEdit", "cmdAdd"}) {
            click(command);
            expectBrowsing(false);
            const Row before = shown();
            const QString statusBefore = status();
            for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Home, Qt::Key_End, Qt::Key_Down, Qt::Key_Up,
                                Qt::Key_PageDown, Qt::Key_PageUp}) {
                QTest::keyClick(static_cast<QWidget*>(QApplication::focusWidget()), key, Qt::ControlModifier);
                QTest::keyClick(editor(), key);
            }
            QVERIFY(editor() && editor()->isVisible());
            QCOMPARE(shown(), before);
            QCOMPARE(status(), statusBefore);
            click("cmdCancel");
            expectBrowsing(true);
        }
        QCOMPARE(rec().beeps, 0);
        QVERIFY(rec().messages.empty());
    }

    void escapeClosesAndTheNextOpeningLoadsAfresh() {
        useDatabase(kSample);
        openEditor();
        QPointer<frmCritConst2> first = editor();
        goToRecord(4);
        // Asking again while open raises the same window, still on its record.
        ui::showComponentEditor();
        QCOMPARE(editor(), first.data());
        QCOMPARE(status(), QStringLiteral("Compound record # 4"));

        QTest::keyClick(static_cast<QWidget*>(QApplication::focusWidget()), Qt::Key_Escape, Qt::ShiftModifier);
        QVERIFY(!first->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!first);
        QVERIFY(!editor());

        openEditor();
        QCOMPARE(status(), QString());
        QCOMPARE(box("txtCompound")->text(), QStringLiteral("Butane"));
        // Close by its button as well.
        click("cmdClose");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!editor());
        QVERIFY(rec().messages.empty());
    }

    void addWithNameAndTemperatureOnly() {
        useDatabase(kSample);
        openEditor();
        goToRecord(2);
        click("cmdAdd");
        QCOMPARE(shown(), Row(9, QString()));
        QCOMPARE(status(), QStringLiteral("Add record"));
        QCOMPARE(QApplication::focusWidget(), box("txtCompound"));
        QVERIFY(editor()->addMode());
        expectBrowsing(false);

        // Sorts first, yet stays at the end of the open recordset.
        type("txtCompound", "Argon");
        type("txtTcrit", "150.86");
        click("cmdUpdate");
        QVERIFY(rec().messages.empty());
        expectBrowsing(true);
        QVERIFY(!editor()->addMode());
        QCOMPARE(status(), QStringLiteral("Compound record # 6"));
        QCOMPARE(box("txtCompound")->text(), QStringLiteral("Argon"));

        const Row argon = {"Argon", "Null", "150.86", "Null", "Null", "Null", "Null", "Null", "Null"};
        std::vector<Row> expected = sortedSample();
        expected.insert(expected.begin(), argon);
        QCOMPARE(readDatabase(dbPath_), expected);

        // Browsing still works from the new record.
        click("cmdPrevious");
        QCOMPARE(box("txtCompound")->text(), QStringLiteral("Propane"));

        // Opened again, the record takes its sorted place.
        closeEditor();
        openEditor();
        QCOMPARE(shown(), asShown(argon));
        click("cmdLast");
        QCOMPARE(status(), QStringLiteral("Compound record # 6"));
        QCOMPARE(box("txtCompound")->text(), QStringLiteral("Propane"));
    }

    void editAndUpdateWritesWhatTheBoxesShow() {
        useDatabase(kSample);
        openEditor();
        goToRecord(2);   // Ethane
        click("cmdEdit");
        QCOMPARE(status(), QStringLiteral("Edit record"));
        QVERIFY(editor()->editMode());
        type("txtPcrit", " 4.872E+1 ");   // blanks and an exponent
        type("txtAcent", "0.1");
        type("txtK1", "");                 // emptied: the value goes
        type("TxtK3", "-.5");
        click("cmdUpdate");
        QVERIFY(rec().messages.empty());
        expectBrowsing(true);
        QVERIFY(!editor()->editMode());
        QCOMPARE(status(), QStringLiteral("Compound record # 2"));

        std::vector<Row> expected = sortedSample();
        expected[1] = {"Ethane", "30.07", "305.32", "48.72", "145.5", "0.1", "Null", "0.1358", "-0.5"};
        QCOMPARE(readDatabase(dbPath_), expected);

        // The emptied box stays absent through another Edit and Update, and
        // so do the absent K2 and K3 of Nitrogen.
        goToRecord(4);
        click("cmdEdit");
        click("cmdUpdate");
        click("cmdFirst");
        click("cmdNext");
        click("cmdEdit");
        click("cmdUpdate");
        QCOMPARE(readDatabase(dbPath_), expected);
        QVERIFY(rec().messages.empty());
    }

    void nonNumericTextIsRefusedAndNothingIsWritten_data() {
        QTest::addColumn<QString>("boxName");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("letters in the temperature") << "txtTcrit" << "abc"
                                                    << "Temperature (K): \"abc\" is not a number.";
        QTest::newRow("a unit after the weight") << "txtMW" << "30 g"
                                                 << "Molecular Weight (g / mol): \"30 g\" is not a number.";
        QTest::newRow("a comma as the decimal sign") << "txtK2" << "0,5"
                                                     << QString::fromUtf8("\u03BA(2): \"0,5\" is not a number.");
        QTest::newRow("infinity") << "TxtK3" << "inf" << QString::fromUtf8("\u03BA(3): \"inf\" is not a number.");
    }
    void nonNumericTextIsRefusedAndNothingIsWritten() {
        QFETCH(QString, boxName);
        QFETCH(QString, text);
        QFETCH(QString, message);
        useDatabase(kSample);
        openEditor();
        const std::vector<Row> stored = readDatabase(dbPath_);
        goToRecord(3);   // Methane

        click("cmdEdit");
        type("txtPcrit", "50");   // a valid change that must not be written either
        type(boxName.toLatin1().constData(), text);
        click("cmdUpdate");
        expectOneMessage(message);
        QVERIFY(editor()->editMode());
        expectBrowsing(false);
        QCOMPARE(box(boxName.toLatin1().constData())->text(), text);
        QCOMPARE(QApplication::focusWidget(), box(boxName.toLatin1().constData()));
        QCOMPARE(readDatabase(dbPath_), stored);

        // Corrected, the same edit goes through.
        type(boxName.toLatin1().constData(), "1.5");
        click("cmdUpdate");
        QVERIFY(rec().messages.empty());
        expectBrowsing(true);
        std::vector<Row> expected = stored;
        expected[2][3] = "50";
        for (std::size_t i = 0; i < kBoxes.size(); ++i)
            if (boxName == kBoxes[i]) expected[2][int(i)] = "1.5";
        QCOMPARE(readDatabase(dbPath_), expected);

        // Refused in a new record too: nothing is added.
        click("cmdAdd");
        type("txtCompound", "Xenon");
        type(boxName.toLatin1().constData(), text);
        click("cmdUpdate");
        expectOneMessage(message);
        QVERIFY(editor()->addMode());
        QCOMPARE(readDatabase(dbPath_), expected);
    }

    void emptyNameIsRefusedByTheEngine() {
        useDatabase(kSample);
        openEditor();
        click("cmdAdd");
        type("txtTcrit", "300");
        click("cmdUpdate");
        QCOMPARE(int(rec().messages.size()), 1);
        QVERIFY(!rec().messages[0].text.isEmpty());
        QCOMPARE(rec().messages[0].title, ui::appTitle());
        rec().clear();
        QVERIFY(editor()->addMode());
        expectBrowsing(false);
        QCOMPARE(readDatabase(dbPath_), sortedSample());

        // The edit buffer is intact: naming the record stores it.
        type("txtCompound", "Oxygen");
        click("cmdUpdate");
        QVERIFY(rec().messages.empty());
        QCOMPARE(int(readDatabase(dbPath_).size()), 6);

        // Emptying the name of a stored record is refused the same way.
        click("cmdFirst");
        click("cmdEdit");
        type("txtCompound", "");
        click("cmdUpdate");
        QCOMPARE(int(rec().messages.size()), 1);
        rec().clear();
        QVERIFY(editor()->editMode());
        QCOMPARE(readDatabase(dbPath_)[0][0], QStringLiteral("Butane"));
    }

    void cancelAfterAddReturnsToTheRecordBefore() {
        useDatabase(kSample);
        openEditor();
        goToRecord(3);
        click("cmdAdd");
        type("txtCompound", "Helium");
        type("txtTcrit", "5.2");
        click("cmdCancel");
        expectBrowsing(true);
        QVERIFY(!editor()->addMode());
        QCOMPARE(status(), QStringLiteral("Compound record # 3"));
        QCOMPARE(shown(), asShown(sampleRow("Methane")));
        QCOMPARE(readDatabase(dbPath_), sortedSample());

        // Right after opening nothing was noted by a command, but the first
        // record was current: back to it.
        closeEditor();
        openEditor();
        click("cmdAdd");
        click("cmdCancel");
        QCOMPARE(status(), QStringLiteral("Compound record # 1"));
        QCOMPARE(shown(), asShown(sampleRow("Butane")));
        QVERIFY(rec().messages.empty());
    }

    void cancelAfterEditShowsTheStoredValues() {
        useDatabase(kSample);
        openEditor();
        goToRecord(4);   // Nitrogen
        click("cmdEdit");
        type("txtCompound", "Nitrogen gas");
        type("txtMW", "28");
        type("txtK2", "0.3");
        type("txtK1", "");
        click("cmdCancel");
        expectBrowsing(true);
        QVERIFY(!editor()->editMode());
        QCOMPARE(status(), QStringLiteral("Compound record # 4"));
        QCOMPARE(shown(), asShown(sampleRow("Nitrogen")));
        QCOMPARE(readDatabase(dbPath_), sortedSample());
        QVERIFY(rec().messages.empty());
    }

    void closingDiscardsAPendingAddOrEdit() {
        useDatabase(kSample);
        openEditor();
        click("cmdAdd");
        type("txtCompound", "Krypton");
        type("txtTcrit", "209.4");
        editor()->close();   // the window's close box
        closeEditor();
        openEditor();
        goToRecord(2);
        click("cmdEdit");
        type("txtTcrit", "1");
        editor()->close();
        closeEditor();
        QCOMPARE(readDatabase(dbPath_), sortedSample());
        QVERIFY(rec().messages.empty());
    }

    void deleteTheLastRecordShowsTheNewLast() {
        useDatabase(kSample);
        openEditor();
        click("cmdLast");
        click("cmdDelete");
        QVERIFY(rec().messages.empty());
        QCOMPARE(status(), QStringLiteral("Compound record # 4"));
        QCOMPARE(shown(), asShown(sampleRow("Nitrogen")));
        std::vector<Row> expected = sortedSample();
        expected.pop_back();
        QCOMPARE(readDatabase(dbPath_), expected);

        // A record in the middle: the next one follows.
        goToRecord(2);
        click("cmdDelete");
        QVERIFY(rec().messages.empty());
        QCOMPARE(shown(), asShown(sampleRow("Methane")));
        expected.erase(expected.begin() + 1);
        QCOMPARE(readDatabase(dbPath_), expected);
    }

    void deleteTheOnlyRecordEmptiesTheWindow() {
        useDatabase({sampleRow("Methane")});
        openEditor();
        click("cmdNext");   // beeps, sets the status
        QCOMPARE(status(), QStringLiteral("Compound record # 1"));
        rec().clear();
        click("cmdDelete");
        expectOneMessage(noCurrentRecordText());
        QCOMPARE(shown(), Row(9, QString()));
        QCOMPARE(status(), QString());
        QVERIFY(readDatabase(dbPath_).empty());
        expectBrowsing(true);

        // A new record can still be added.
        click("cmdAdd");
        type("txtCompound", "Methane");
        click("cmdUpdate");
        QVERIFY(rec().messages.empty());
        QCOMPARE(status(), QStringLiteral("Compound record # 1"));
        QCOMPARE(int(readDatabase(dbPath_).size()), 1);
    }

    void theEmptyTable() {
        useDatabase({});
        openEditor();
        QVERIFY(rec().messages.empty());
        QCOMPARE(shown(), Row(9, QString()));
        QCOMPARE(status(), QString());
        const QString noRecord = noCurrentRecordText();
        QVERIFY(!noRecord.isEmpty());

        for (const char* command : {"cmdFirst", "cmdLast", "cmdPrevious", "cmdEdit", "cmdDelete"}) {
            click(command);
            expectOneMessage(noRecord);
            expectBrowsing(true);
            QCOMPARE(shown(), Row(9, QString()));
            QCOMPARE(status(), QString());
        }
        // Next shows the number first, then the description.
        click("cmdNext");
        QCOMPARE(int(rec().messages.size()), 2);
        QCOMPARE(rec().messages[0].text, QString::number(db::kNoCurrentRecord));
        QCOMPARE(rec().messages[1].text, noRecord);
        QCOMPARE(rec().messages[1].title, ui::appTitle());
        rec().clear();
        QCOMPARE(rec().beeps, 0);

        // Add then Cancel leaves nothing typed behind.
        click("cmdAdd");
        type("txtCompound", "Neon");
        click("cmdCancel");
        QVERIFY(rec().messages.empty());
        QCOMPARE(shown(), Row(9, QString()));
        QCOMPARE(status(), QString());
        QVERIFY(readDatabase(dbPath_).empty());
    }

    void openFailureShowsTheDescriptionAndLeavesNoWindow() {
        db::writeDbPath(dataDir_->path() + "/missing.mdb");
        ui::showComponentEditor();
        QVERIFY(!editor());
        QCOMPARE(int(rec().messages.size()), 1);
        QVERIFY(!rec().messages[0].text.isEmpty());
        QCOMPARE(rec().messages[0].title, ui::appTitle());
        for (QWidget* w : QApplication::topLevelWidgets()) QVERIFY(!qobject_cast<frmCritConst2*>(w));

        // A window made directly closes itself once events run.
        rec().clear();
        auto* direct = new frmCritConst2();
        QVERIFY(!direct->loaded());
        QCOMPARE(int(rec().messages.size()), 1);
        direct->show();
        QTRY_VERIFY(!direct->isVisible());
        delete direct;

        // A file that is no component database fails the same way.
        rec().clear();
        QFile junk(dataDir_->path() + "/junk.mdb");
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("not a database at all, not even close");
        junk.close();
        db::writeDbPath(junk.fileName());
        ui::showComponentEditor();
        QVERIFY(!editor());
        QCOMPARE(int(rec().messages.size()), 1);
    }
};

QTEST_MAIN(ComponentEditorTest)
#include "tst_component_editor.moc"
