// The main window from the keyboard, with its menu bar: Enter in any box
// presses Solve exactly as a click on it does (the box left is checked
// first, a refusal stops there), and Enter in an open component list picks
// the item. The window runs on the seed component database.

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "testsupport/recording_services.h"
#include "ui/editor/editor_window.h"
#include "ui/editor/frmCritConst2.h"
#include "ui/help/help_windows.h"
#include "ui/main/frmZolvMain.h"
#include "ui/main/main_window.h"
#include "window_driver.h"

using zolvant::ui::MainWindow;

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
};

QTEST_MAIN(TestMainKeys)
#include "tst_main_keys.moc"
