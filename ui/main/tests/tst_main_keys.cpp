// The main window from the keyboard, with its menu bar: Enter in any box
// presses Solve exactly as a click on it does (the box left is checked
// first, a refusal stops there), Enter in an open component list picks the
// item, and every label and button has an Alt key that moves the focus as
// any focus move does, running the leaving check of the box left and no
// other. The window runs on the seed component database.

#include <QAccessible>
#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "testsupport/recording_services.h"
#include "ui/editor/editor_window.h"
#include "ui/editor/frmCritConst2.h"
#include "ui/help/frmInfoEOS.h"
#include "ui/help/frmZolvInstruct.h"
#include "ui/help/help_windows.h"
#include "ui/main/frmZolvMain.h"
#include "ui/main/main_window.h"
#include "testsupport/window_driver.h"

using zolvant::ui::MainWindow;

namespace {

// The letter a caption's "&" marks, and the caption as it reads.
QChar mnemonicOf(const QString& caption) {
    const QKeySequence key = QKeySequence::mnemonic(caption);
    return key.isEmpty() ? QChar() : QChar(static_cast<char16_t>(key[0].key()));
}
QString plainCaption(QString caption) { return caption.remove(QRegularExpression(QStringLiteral("&(?!&)"))); }

template <typename W>
W* openWindowOf() {
    for (QWidget* t : QApplication::topLevelWidgets())
        if (auto* w = qobject_cast<W*>(t); w && w->isVisible()) return w;
    return nullptr;
}

}  // namespace

class TestMainKeys : public QObject {
    Q_OBJECT
    QTemporaryDir tmp_;
    std::unique_ptr<zolvant::ui::ScopedRecordingServices> services_;
    std::unique_ptr<MainWindow> w_;

    zolvant::ui::RecordingServices& rec() { return services_->rec; }
    zolvant::ui::frmZolvMain* form() { return w_->form(); }
    template <typename T = QWidget>
    T* ctl(const QString& name) {
        return findControl<T>(form(), name);
    }
    static QWidget* focused() { return QApplication::focusWidget(); }
    static QString focusName() { return focused() ? focused()->objectName() : QStringLiteral("(none)"); }
    static void tab() { QTest::keyClick(focused(), Qt::Key_Tab); }
    static void type(const QString& t) { QTest::keyClicks(focused(), t); }
    static void alt(char letter) { QTest::keyClick(focused(), static_cast<Qt::Key>(letter), Qt::AltModifier); }
    static void click(QWidget* w) {
        QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(w->width() / 2, w->height() / 2));
        QCoreApplication::processEvents();
    }

    void openWindow() {
        w_ = std::make_unique<MainWindow>();
        w_->Form_Load();
        QVERIFY(form()->loaded());
        w_->show();
        w_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w_.get()));
        rec().clear();  // the first start's word about the user's own database copy
    }
    void closeWindow() {
        if (auto* editor = zolvant::ui::currentComponentEditor()) editor->close();
        zolvant::ui::closeHelpWindows();
        if (w_) w_->close();
        w_.reset();
        QCoreApplication::processEvents();
    }

    // The worked example typed in, n-butane and methane 0.5 each at
    // 26.85 °C and 1 bar, ending in the pressure box: not solved yet.
    void typeWorkedExample() {
        QCOMPARE(focused(), ctl("cmbComp_0"));
        chooseInFocusedBox(QStringLiteral("n-Butane"));
        tab();
        type(QStringLiteral("0.5"));
        tab();
        chooseInFocusedBox(QStringLiteral("Methane"));
        tab();
        type(QStringLiteral("0.5"));
        tab();
        click(ctl("txtTemp"));
        type(QStringLiteral("26.85"));
        tab();
        type(QStringLiteral("1"));
        QCOMPARE(focused(), ctl("txtPress"));
        QVERIFY(rec().messages.empty());
    }
    // Enters `box` by a click and, unless `text` is null, types it over
    // what the box holds.
    void enterAndType(const QString& box, const QString& text) {
        click(ctl(box));
        QCOMPARE(focusName(), box);
        if (text.isNull()) return;
        QTest::keyClick(focused(), Qt::Key_A, Qt::ControlModifier);
        type(text);
    }

    // Everything a press can change: the boxes, the grid, the state, what
    // was said and where the focus is.
    QStringList outcome() {
        QStringList s;
        for (const auto& m : rec().messages)
            s << QStringLiteral("message %1: %2 (focus %3)")
                     .arg(m.title, m.text, m.focus ? m.focus->objectName() : QStringLiteral("(none)"));
        s << QStringLiteral("focus ") + focusName();
        s << QStringLiteral("solved %1").arg(form()->solvedCase().has_value());
        s << QStringLiteral("state %1 K, %2 bar").arg(form()->mixture().tempK).arg(form()->mixture().pressBar);
        for (const char* name : {"cmbComp_0", "cmbComp_1", "cmbComp_2"})
            s << QString::fromLatin1(name) + "=" + ctl<QComboBox>(QString::fromLatin1(name))->currentText();
        for (const char* name : {"txtCmpMF_0", "txtCmpMF_1", "txtTemp", "txtPress"})
            s << QString::fromLatin1(name) + "=" + ctl<QLineEdit>(QString::fromLatin1(name))->text();
        for (int e = 0; e < zolvant::kBlocks; ++e)
            for (int c = 0; c < 3; ++c)
                for (QLineEdit* cell : form()->resultColumn(e, static_cast<zolvant::Column>(c)))
                    s << cell->objectName() + "=" + cell->text() + (cell->isVisible() ? "" : " hidden");
        return s;
    }

    enum class Press { Click, Return, KeypadEnter };
    // A fresh window with the example typed in; `box` entered, `text` typed,
    // then Solve pressed.
    void pressSolveFrom(const QString& box, const QString& text, Press how, QStringList& result) {
        closeWindow();
        openWindow();
        typeWorkedExample();
        enterAndType(box, text);
        rec().clear();
        switch (how) {
        case Press::Click: click(ctl("cmdSolve")); break;
        case Press::Return: QTest::keyClick(focused(), Qt::Key_Return); break;
        case Press::KeypadEnter: QTest::keyClick(focused(), Qt::Key_Enter, Qt::KeypadModifier); break;
        }
        QCoreApplication::processEvents();
        result = outcome();
    }

private slots:
    void initTestCase() { useSeedDatabaseIn(tmp_, ZOLVANT_DATA_DIR "/components.csv"); }
    void init() {
        services_ = std::make_unique<zolvant::ui::ScopedRecordingServices>();
        openWindow();
    }
    void cleanup() {
        closeWindow();
        services_.reset();
    }

    void enterInABoxPressesSolveAsAClickDoes_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");   // typed over the box; null: nothing typed
        QTest::addColumn<QString>("title");  // the one message; empty: solved without one
        QTest::addColumn<QString>("focus");  // where the focus ends
        QTest::newRow("first component box") << "cmbComp_0" << QString() << "" << "cmdSolve";
        QTest::newRow("second component box") << "cmbComp_1" << QString() << "" << "cmdSolve";
        QTest::newRow("empty third component box") << "cmbComp_2" << QString() << "" << "cmdSolve";
        QTest::newRow("first fraction") << "txtCmpMF_0" << "0.5" << "" << "cmdSolve";
        QTest::newRow("second fraction, total short of one")
            << "txtCmpMF_1" << "0.4" << "Mixture ERROR" << "cmdSolve";
        QTest::newRow("temperature, a new one") << "txtTemp" << "46.85" << "" << "cmdSolve";
        QTest::newRow("temperature, not a number") << "txtTemp" << "abc" << "Temperature ERROR" << "txtTemp";
        QTest::newRow("temperature below the minimum") << "txtTemp" << "-200" << "Temperature ERROR" << "txtTemp";
        QTest::newRow("pressure, a new one") << "txtPress" << "2" << "" << "cmdSolve";
        QTest::newRow("pressure, not a number") << "txtPress" << "xyz" << "Pressure ERROR" << "txtPress";
    }
    void enterInABoxPressesSolveAsAClickDoes() {
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(QString, title);
        QFETCH(QString, focus);
        QStringList clicked, returned, entered;
        pressSolveFrom(box, text, Press::Click, clicked);
        QCOMPARE(rec().messages.size(), std::size_t(title.isEmpty() ? 0 : 1));
        if (!title.isEmpty()) QCOMPARE(rec().messages[0].title, title);
        QCOMPARE(form()->solvedCase().has_value(), title.isEmpty());
        QCOMPARE(focusName(), focus);
        QVERIFY(!ctl<QPushButton>("cmdSolve")->isDown());
        if (title.isEmpty()) {
            // The box's own entry was taken before the equations ran.
            const auto& solved = *form()->solvedCase();
            if (box == "txtTemp") QCOMPARE(solved.state.tempK, 320.0f);
            if (box == "txtPress") QCOMPARE(solved.state.pressBar, 2.0f);
            if (box == "txtCmpMF_0") QCOMPARE(solved.fractions[0], std::string("0.500"));
        }
        // The keys do exactly what the click did.
        pressSolveFrom(box, text, Press::Return, returned);
        QCOMPARE(returned, clicked);
        pressSolveFrom(box, text, Press::KeypadEnter, entered);
        QCOMPARE(entered, clicked);
    }

    void enterInAnOpenComponentListPicksTheItem() {
        auto* box = ctl<QComboBox>("cmbComp_0");
        QCOMPARE(focused(), box);
        QTest::keyClick(box, Qt::Key_F4);
        QTRY_VERIFY(box->view()->isVisible());
        QTest::keyClick(focused(), Qt::Key_Down);
        QTest::keyClick(focused(), Qt::Key_Down);
        const QString picked = box->view()->currentIndex().data().toString();
        QVERIFY(!picked.isEmpty());
        QTest::keyClick(focused(), Qt::Key_Return);
        QTRY_VERIFY(!box->view()->isVisible());
        QCOMPARE(box->currentText(), picked);
        QCOMPARE(focused(), box);
        QVERIFY(rec().messages.empty());
        QVERIFY(!form()->solvedCase().has_value());
        // With the list closed, the next Enter presses Solve, which refuses
        // the total of the empty fraction boxes.
        QTest::keyClick(focused(), Qt::Key_Return);
        QCOMPARE(rec().messages.size(), std::size_t(1));
        QCOMPARE(rec().messages[0].title, QStringLiteral("Mixture ERROR"));
        QCOMPARE(focused(), ctl("cmdSolve"));
    }

    void eachLabelAndButtonHasItsOwnAltKey_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("caption");  // as it reads, without the key's mark
        QTest::addColumn<QChar>("key");
        QTest::addColumn<QString>("box");  // a label's box; empty for a button
        QTest::newRow("component heading") << "Label6" << "Component" << QChar('C') << "cmbComp_0";
        QTest::newRow("fraction heading") << "Label7" << "Mole Fraction" << QChar('M') << "txtCmpMF_0";
        QTest::newRow("temperature") << "Label3" << "Temperature  (C)" << QChar('T') << "txtTemp";
        QTest::newRow("pressure") << "Label4" << "Pressure  (bar)" << QChar('P') << "txtPress";
        QTest::newRow("Solve") << "cmdSolve" << "Solve" << QChar('S') << "";
        QTest::newRow("Clear") << "cmdClrComp" << "Clear" << QChar('R') << "";
        QTest::newRow("Component List") << "cmdCompList" << "Component List" << QChar('L') << "";
        QTest::newRow("Information") << "cmdDataForm" << "Information" << QChar('I') << "";
        QTest::newRow("Instructions") << "cmdInstruct" << "Instructions" << QChar('N') << "";
    }
    void eachLabelAndButtonHasItsOwnAltKey() {
        QFETCH(QString, control);
        QFETCH(QString, caption);
        QFETCH(QChar, key);
        QFETCH(QString, box);
        QWidget* w = ctl(control);
        auto* label = qobject_cast<QLabel*>(w);
        const QString text = label ? label->text() : qobject_cast<QPushButton*>(w)->text();
        QCOMPARE(plainCaption(text), caption);
        QCOMPARE(mnemonicOf(text), key);
        // No other control and no menu of the bar has the same key.
        QStringList others;
        for (QLabel* l : form()->findChildren<QLabel*>()) if (l != w) others << l->text();
        for (QPushButton* b : form()->findChildren<QPushButton*>()) if (b != w) others << b->text();
        for (QAction* menu : w_->menuBar()->actions()) others << menu->text();
        for (const QString& other : others) QVERIFY2(mnemonicOf(other) != key, qPrintable(other));
        if (!label) return;
        // A label's key is its box's: the box is its buddy, and assistive
        // technology hears of the label on the box.
        QCOMPARE(label->buddy(), ctl(box));
        QAccessibleInterface* boxAccess = QAccessible::queryAccessibleInterface(ctl(box));
        QVERIFY(boxAccess);
        bool labelled = false;
        for (const auto& relation : boxAccess->relations(QAccessible::Label))
            labelled = labelled || relation.first->object() == label;
        QVERIFY(labelled);
    }

    void theMenuBarKeepsItsAltKeys() {
        alt('F');
        QTRY_VERIFY(w_->fileMenu()->isVisible());
        QTest::keyClick(w_->fileMenu(), Qt::Key_Escape);
        QTRY_VERIFY(!w_->fileMenu()->isVisible());
        QVERIFY(rec().messages.empty());
    }

    void altKeyOfALabelRunsOnlyTheCheckOfTheBoxLeft_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("text");  // typed over it; null: nothing typed
        QTest::addColumn<char>("key");
        QTest::addColumn<QString>("to");         // where the focus ends
        QTest::addColumn<QStringList>("titles");  // messages shown
        QTest::addColumn<QString>("left");        // the box left afterwards
        QTest::addColumn<float>("tempK");
        QTest::newRow("fraction left: cleaned") << "txtCmpMF_1" << "0.5" << 'T' << "txtTemp" << QStringList()
                                                << "0.500" << 300.0f;
        QTest::newRow("temperature left: stored") << "txtTemp" << "46.85" << 'M' << "txtCmpMF_0" << QStringList()
                                                  << "46.85" << 320.0f;
        QTest::newRow("temperature left: refused, the focus stays")
            << "txtTemp" << "abc" << 'P' << "txtTemp" << QStringList{"Temperature ERROR"} << "" << 300.0f;
        QTest::newRow("its own box: no move, no check")
            << "txtTemp" << "abc" << 'T' << "txtTemp" << QStringList() << "abc" << 300.0f;
        QTest::newRow("pressure left: no check of its own")
            << "txtPress" << "xyz" << 'C' << "cmbComp_0" << QStringList() << "xyz" << 300.0f;
        QTest::newRow("component box left, to the pressure")
            << "cmbComp_1" << QString() << 'P' << "txtPress" << QStringList() << "Methane" << 300.0f;
    }
    void altKeyOfALabelRunsOnlyTheCheckOfTheBoxLeft() {
        QFETCH(QString, from);
        QFETCH(QString, text);
        QFETCH(char, key);
        QFETCH(QString, to);
        QFETCH(QStringList, titles);
        QFETCH(QString, left);
        QFETCH(float, tempK);
        typeWorkedExample();
        enterAndType(from, text);
        rec().clear();
        alt(key);
        QCoreApplication::processEvents();
        QCOMPARE(focusName(), to);
        QStringList shown;
        for (const auto& m : rec().messages) shown << m.title;
        QCOMPARE(shown, titles);
        QWidget* leftBox = ctl(from);
        const QString leftText = qobject_cast<QComboBox*>(leftBox) ? qobject_cast<QComboBox*>(leftBox)->currentText()
                                                                    : qobject_cast<QLineEdit*>(leftBox)->text();
        QCOMPARE(leftText, left);
        QCOMPARE(form()->mixture().tempK, tempK);
        QVERIFY(!form()->solvedCase().has_value());
    }

    void altSPressesSolveOnlyAfterTheCheck() {
        typeWorkedExample();
        enterAndType(QStringLiteral("txtTemp"), QStringLiteral("abc"));
        rec().clear();
        alt('S');
        QCOMPARE(rec().messages.size(), std::size_t(1));
        QCOMPARE(rec().messages[0].title, QStringLiteral("Temperature ERROR"));
        QCOMPARE(focused(), ctl("txtTemp"));
        // Qt's own key press of a button clicks a moment later; none may come.
        QTest::qWait(250);
        QVERIFY(!form()->solvedCase().has_value());
        QVERIFY(!ctl<QPushButton>("cmdSolve")->isDown());

        type(QStringLiteral("46.85"));
        alt('S');
        QVERIFY(rec().messages.size() == 1);
        QVERIFY(form()->solvedCase().has_value());
        QCOMPARE(form()->solvedCase()->state.tempK, 320.0f);
        QCOMPARE(focused(), ctl("cmdSolve"));
    }

    void altKeysOfTheOtherButtons() {
        typeWorkedExample();
        alt('S');
        QVERIFY(form()->solvedCase().has_value());

        // A refused temperature stops Clear too.
        enterAndType(QStringLiteral("txtTemp"), QStringLiteral("-200"));
        rec().clear();
        alt('R');
        QCOMPARE(rec().messages.size(), std::size_t(1));
        QVERIFY(form()->solvedCase().has_value());
        QTest::keyClick(focused(), Qt::Key_A, Qt::ControlModifier);
        type(QStringLiteral("26.85"));
        alt('R');
        QVERIFY(!form()->solvedCase().has_value());
        QCOMPARE(ctl<QLineEdit>("txtTemp")->text(), QString());
        QCOMPARE(focused(), ctl("cmdClrComp"));

        alt('L');
        QTRY_VERIFY(zolvant::ui::currentComponentEditor());
        w_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w_.get()));
        alt('I');
        QTRY_VERIFY(openWindowOf<zolvant::ui::frmInfoEOS>());
        w_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w_.get()));
        alt('N');
        QTRY_VERIFY(openWindowOf<zolvant::ui::frmZolvInstruct>());
        QCOMPARE(rec().messages.size(), std::size_t(1));
    }
};

QTEST_MAIN(TestMainKeys)
#include "tst_main_keys.moc"
