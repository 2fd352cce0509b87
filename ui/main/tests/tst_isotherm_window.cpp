// The Isotherms window over the main window: opened from the menu bar and
// from a result box's context menu, one instance; it follows Solve and
// Clear; hovering reads V and P; its exports; and neither opening nor using
// it runs a check of the box being edited.

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "db/components_csv.h"
#include "db/settings.h"
#include "db/user_database.h"
#include "testsupport/recording_services.h"
#include "testsupport/window_driver.h"
#include "ui/isotherm/isotherm_window.h"
#include "ui/main/frmZolvMain.h"
#include "ui/main/main_window.h"
#include "chart/chart.h"

using zolvant::ui::IsothermWindow;
using zolvant::ui::MainWindow;

class TestIsothermWindow : public QObject {
    Q_OBJECT
    QTemporaryDir tmp_;
    std::unique_ptr<zolvant::ui::ScopedRecordingServices> services_;
    std::unique_ptr<MainWindow> w_;

    zolvant::ui::frmZolvMain* form() { return w_->form(); }
    template <typename T = QWidget>
    T* ctl(const QString& name) {
        return findControl<T>(form(), name);
    }
    static QWidget* focused() { return QApplication::focusWidget(); }
    static void tab() { QTest::keyClick(focused(), Qt::Key_Tab); }
    static void type(const QString& t) { QTest::keyClicks(focused(), t); }

    // n-butane and methane, 0.5 each, at 26.85 °C and 1 bar, then Solve.
    void solveWorkedExample() { solveWorkedExampleIn(form()); }
    // A refused temperature typed into its box, which keeps the focus.
    QLineEdit* typeRefusedTemperature() {
        auto* temp = ctl<QLineEdit>(QStringLiteral("txtTemp"));
        QTest::mouseClick(temp, Qt::LeftButton);
        QTest::keyClick(temp, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(temp, QStringLiteral("-300"));
        services_->rec.clear();
        return temp;
    }
    void noTemperatureCheck() {
        for (const auto& m : services_->rec.messages)
            QVERIFY2(!m.title.contains(QStringLiteral("Temperature")), qPrintable(m.text));
    }

private slots:
    void initTestCase() { useSeedDatabaseIn(tmp_, ZOLVANT_DATA_DIR "/components.csv"); }
    void init() {
        services_ = std::make_unique<zolvant::ui::ScopedRecordingServices>();
        w_ = std::make_unique<MainWindow>();
        w_->Form_Load();
        QVERIFY(form()->loaded());
        w_->show();
        w_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w_.get()));
        services_->rec.clear();  // the first start's word about the user's own database copy
    }
    void cleanup() {
        if (IsothermWindow* iso = IsothermWindow::instance()) {
            iso->close();
            QTRY_VERIFY(!IsothermWindow::instance());
        }
        w_->close();
        w_.reset();
        services_.reset();
    }

    void opensOnceAndFollowsSolveAndClear() {
        QAction* open = w_->isothermsAction();
        QCOMPARE(open->text(), QStringLiteral("&Isotherms\u2026"));
        QCOMPARE(open->shortcut(), QKeySequence(QStringLiteral("Ctrl+I")));
        // Before any Solve: empty, saying why.
        open->trigger();
        IsothermWindow* iso = IsothermWindow::instance();
        QVERIFY(iso && iso->isVisible());
        QVERIFY(!iso->parentWidget());
        QVERIFY(!iso->model());
        QVERIFY(iso->lblStatus->text().contains(QStringLiteral("empty")));
        QVERIFY(!iso->cmdSaveImage->isEnabled());

        w_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w_.get()));
        ctl("cmbComp_0")->setFocus();
        solveWorkedExample();
        QVERIFY(iso->model());
        QCOMPARE(iso->cmbRow->count(), 2);
        QCOMPARE(iso->cmbRow->itemText(0), QStringLiteral("n-Butane"));
        QCOMPARE(iso->cmbRow->itemText(1), QStringLiteral("Methane"));
        QCOMPARE(QString::fromStdString(iso->model()->component), QStringLiteral("n-Butane"));
        QCOMPARE(iso->chartView->chart().title, QStringLiteral("Isotherms of n-Butane at 300 K, 1 bar"));

        // Asked again: the same window, raised; the context menu's entry picks the row.
        open->trigger();
        QCOMPARE(IsothermWindow::instance(), iso);
        emit form()->isothermsRequested(1);
        QCOMPARE(IsothermWindow::instance(), iso);
        QCOMPARE(QString::fromStdString(iso->model()->component), QStringLiteral("Methane"));
        QCOMPARE(iso->findChildren<IsothermWindow*>().size(), 0);

        // Hiding an equation leaves its curve out.
        iso->chkEquation[0]->setChecked(false);
        for (const auto& s : iso->chartView->chart().series) QVERIFY(s.name != QStringLiteral("Van der Waals"));

        form()->cmdClrComp_Click();
        QVERIFY(!iso->model());
        QCOMPARE(iso->cmbRow->count(), 0);
        QVERIFY(iso->lblStatus->text().contains(QStringLiteral("empty")));
        QVERIFY(!iso->cmdSaveData->isEnabled());
    }

    void contextMenuOfAResultBoxOffersTheRow() {
        solveWorkedExample();
        auto* cell = ctl<QLineEdit>(QStringLiteral("txtVapPR_1"));
        QMenu* shown = nullptr;
        QTimer::singleShot(0, this, [&] {
            shown = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!shown) return;
            QAction* entry = shown->findChild<QAction*>(QStringLiteral("actIsothermsOfRow"));
            for (QAction* a : shown->actions())
                if (a->objectName() == QStringLiteral("actIsothermsOfRow")) entry = a;
            if (entry) {
                QCOMPARE(entry->text(), QStringLiteral("Isotherms of Methane"));
                shown->close();
                entry->trigger();
            } else {
                shown->close();
            }
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), cell->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(cell, &event);
        QVERIFY(shown);
        QTRY_VERIFY(IsothermWindow::instance());
        QCOMPARE(QString::fromStdString(IsothermWindow::instance()->model()->component), QStringLiteral("Methane"));
    }

    void usingItRunsNoCheckInTheMainWindow() {
        solveWorkedExample();
        QLineEdit* temp = typeRefusedTemperature();
        w_->isothermsAction()->trigger();
        IsothermWindow* iso = IsothermWindow::instance();
        QVERIFY(iso);
        QVERIFY(QTest::qWaitForWindowExposed(iso));
        iso->cmbRow->setCurrentIndex(1);
        QTest::mouseClick(iso->chkSaturation, Qt::LeftButton);
        QTest::mouseMove(iso->chartView, iso->chartView->rect().center());
        services_->rec.saveAnswers.push_back(tmp_.filePath(QStringLiteral("curves.csv")));
        QTest::mouseClick(iso->cmdSaveData, Qt::LeftButton);
        noTemperatureCheck();
        QCOMPARE(temp->text(), QStringLiteral("-300"));
        QCOMPARE(form()->focusWidget(), temp);
        QFile csv(tmp_.filePath(QStringLiteral("curves.csv")));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QVERIFY(csv.readLine().startsWith("Equation,V (cm3/mol),P (bar)"));
    }

    void hoverReadsVAndPAndImagesAreSaved() {
        solveWorkedExample();
        w_->showIsotherms(0);
        IsothermWindow* iso = IsothermWindow::instance();
        QVERIFY(QTest::qWaitForWindowExposed(iso));
        // Over the grid's vapour root of Van der Waals: its curve there.
        const auto& chart = iso->chartView->chart();
        const auto layout = zolvant::plot::layoutChart(chart, QSizeF(iso->chartView->size()));
        const double v = iso->model()->curves[0].vapour->value;
        const QPointF at(layout.x.toPixel(v), layout.y.toPixel(iso->model()->P));
        const QString text = iso->chartView->hoverText(at);
        QVERIFY2(text.contains(QStringLiteral("V = ")) && text.contains(QStringLiteral("bar")), qPrintable(text));
        QVERIFY(iso->chartView->hoverText(QPointF(2, 2)).isEmpty());

        for (const auto& [name, scale] : {std::pair{"one.png", 0}, std::pair{"two.png", 1}, std::pair{"pic.svg", 0}}) {
            const QString path = tmp_.filePath(QString::fromLatin1(name));
            services_->rec.saveAnswers.push_back(path);
            iso->cmbScale->setCurrentIndex(scale);
            iso->saveImage();
            QVERIFY2(QFile::exists(path), name);
        }
        const QImage one(tmp_.filePath(QStringLiteral("one.png"))), two(tmp_.filePath(QStringLiteral("two.png")));
        QCOMPARE(one.size(), iso->chartView->size());
        QCOMPARE(two.size(), iso->chartView->size() * 2);
        for (const auto& m : services_->rec.messages) QFAIL(qPrintable(m.title + QStringLiteral(": ") + m.text));

        if (const QString path = qEnvironmentVariable("ZOLVANT_SCREENSHOT"); !path.isEmpty()) {
            iso->resize(1180, 720);
            QTest::qWait(50);
            QVERIFY(iso->grab().save(path));
        }
    }

    // A size that fits the test's screen (800×800 offscreen): a larger one
    // is shrunk to the screen when the window opens.
    void remembersItsSize() {
        w_->isothermsAction()->trigger();
        IsothermWindow* iso = IsothermWindow::instance();
        iso->resize(760, 560);
        iso->close();
        QTRY_VERIFY(!IsothermWindow::instance());
        w_->isothermsAction()->trigger();
        QCOMPARE(IsothermWindow::instance()->size(), QSize(760, 560));
    }
};

QTEST_MAIN(TestIsothermWindow)
#include "tst_isotherm_window.moc"
