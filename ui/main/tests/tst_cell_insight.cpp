// The result cells' insight in the main window: the tooltip of a cell after
// the worked example (on hover and from the keyboard), nothing after Clear,
// no input check and no focus move, and the stable-phase cue. The window
// runs on a copy of the seed component database.

#include <QApplication>
#include <QFile>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QToolTip>
#include <QtTest>
#include <memory>

#include "db/settings.h"
#include "solver/grid.h"
#include "testsupport/recording_services.h"
#include "testsupport/window_driver.h"
#include "ui/main/cell_insight.h"
#include "ui/main/frmZolvMain.h"

using zolvant::Column;
using zolvant::StablePhase;
using zolvant::ui::CellInsight;

class TestCellInsight : public QObject, protected MainWindowDriver {
    Q_OBJECT

private:
    QTemporaryDir tmp_;
    std::unique_ptr<zolvant::ui::ScopedRecordingServices> services_;

    CellInsight* insight() { return w_->findChild<CellInsight*>(); }
    QLineEdit* cell(int block, Column column, int row) {
        return w_->resultColumn(block, column)[static_cast<std::size_t>(row)];
    }

    // n-Butane and Methane 0.5 each, 26.85 °C, 1 bar, then Solve: typed as a
    // user types them.
    void enterWorkedExample() {
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(focused(), cmb(i));
            choose(i == 0 ? QStringLiteral("n-Butane") : QStringLiteral("Methane"));
            tab();
            type(QStringLiteral("0.5"));
            tab();
        }
        click(box("txtTemp"));
        type(QStringLiteral("26.85"));
        tab();
        type(QStringLiteral("1"));
        tab();
        QTest::keyClick(focused(), Qt::Key_Space);
        QVERIFY(services_->rec.messages.empty());
    }

    // What a hover over the cell shows.
    QString hover(QLineEdit* c) {
        QToolTip::hideText();
        QHelpEvent e(QEvent::ToolTip, QPoint(5, 5), c->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(c, &e);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    }

    // What a hover at `at` in `w` shows.
    QString hoverAt(QWidget* w, const QPoint& at) {
        QToolTip::hideText();
        QHelpEvent e(QEvent::ToolTip, at, w->mapToGlobal(at));
        QApplication::sendEvent(w, &e);
        // An ignored event shows nothing (a tooltip still fading out may be visible).
        return e.isAccepted() && QToolTip::isVisible() ? QToolTip::text() : QString();
    }
    // A point inside the stable-phase tag of a row, drawn right of its Z cell.
    QPoint tagSpot(int block, int row) {
        QLineEdit* z = cell(block, Column::Z, row);
        return z->mapTo(w_.get(), QPoint(z->width() + 8, z->height() / 2));
    }

private slots:
    void initTestCase() {
        QVERIFY(tmp_.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, tmp_.path());
        zolvant::db::setDefaultDbPathOverride(tmp_.filePath(QStringLiteral("absent/Components.mdb")));
        const QString db = tmp_.filePath(QStringLiteral("Components.mdb"));
        QVERIFY(QFile::copy(QStringLiteral(ZOLVANT_SEED_DATABASE), db));
        QFile::setPermissions(db, QFile::ReadOwner | QFile::WriteOwner);
        zolvant::db::writeDbPath(db);
    }

    void init() {
        services_ = std::make_unique<zolvant::ui::ScopedRecordingServices>();
        openWindow();
    }

    void cleanup() {
        QToolTip::hideText();
        w_.reset();
        services_.reset();
    }

    void tooltipsAfterTheWorkedExample_data() {
        QTest::addColumn<int>("block");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("text");
        QTest::newRow("Peng-Robinson liquid of n-Butane: metastable")
            << 2 << 0 << 0
            << QString::fromUtf8(
                   "n-Butane, Peng-Robinson, liquid: 97.04 cm³/mol, converged at step 8 of 80. The equation's "
                   "liquid root is 97.0466 cm³/mol. Tr = 0.706, Pr = 0.0263. Saturation pressure at 300 K by this "
                   "equation: 2.571 bar; at 1 bar the stable phase is vapour: this liquid volume is metastable.");
        QTest::newRow("Peng-Robinson vapour of n-Butane: stable")
            << 2 << 1 << 0
            << QString::fromUtf8(
                   "n-Butane, Peng-Robinson, vapour: 24260.4 cm³/mol, converged at step 3 of 80. The equation's "
                   "vapour root is 24260.4 cm³/mol. Tr = 0.706, Pr = 0.0263. Saturation pressure at 300 K by this "
                   "equation: 2.571 bar; at 1 bar the stable phase is vapour: this vapour volume is the stable one.");
        QTest::newRow("Van der Waals liquid of Methane: above Tc")
            << 0 << 0 << 1
            << QString::fromUtf8(
                   "Methane, Van der Waals, liquid: NA - Tc. The temperature 300 K is at or above the critical "
                   "temperature 190.56 K: there is no liquid. The equation's only real root here is 24892.7 "
                   "cm³/mol. Tr = 1.57, Pr = 0.0217. Above the critical temperature there is no saturation "
                   "pressure: the fluid is supercritical.");
        QTest::newRow("Redlich-Kwong mixture liquid: methane left out")
            << 1 << 0 << 4
            << QString::fromUtf8(
                   "Mixture, Redlich-Kwong, liquid: 113.40 cm³/mol, the mole-fraction average of the liquid "
                   "volumes of n-Butane (0.500). Without a liquid volume, left out: Methane (0.500). The mixture "
                   "volume is the mole-fraction average of the pure-component volumes (no interaction between the "
                   "species).");
        QTest::newRow("Soave Z of n-Butane")
            << 3 << 2 << 0
            << QString::fromUtf8(
                   "n-Butane, Soave-Redlich-Kwong, Z: 0.9740 = P·V/(R·T) of the vapour volume; Z = 1 is the ideal "
                   "gas. Here the volume is 2.6 % below the ideal gas's: the attraction between the molecules "
                   "outweighs their own volume.");
    }
    void tooltipsAfterTheWorkedExample() {
        QFETCH(int, block);
        QFETCH(int, column);
        QFETCH(int, row);
        QFETCH(QString, text);
        enterWorkedExample();
        QCOMPARE(insight()->toolTipFor(block, static_cast<Column>(column), row), text);
        // A hover shows it (wrapped as rich text), without a check or a focus move.
        QWidget* before = focused();
        const QString shown = hover(cell(block, static_cast<Column>(column), row));
        QVERIFY2(shown.contains(text.toHtmlEscaped()), qPrintable(shown));
        QCOMPARE(focused(), before);
        QVERIFY(services_->rec.messages.empty());
    }

    void keyboardTooltipKeyOnTheFocusedCell() {
        enterWorkedExample();
        QLineEdit* c = cell(2, Column::Liquid, 0);
        c->setFocus(Qt::TabFocusReason);
        QToolTip::hideText();
        QTest::keyClick(c, Qt::Key_F1, Qt::ControlModifier);
        QVERIFY(QToolTip::isVisible());
        QVERIFY(QToolTip::text().contains(QStringLiteral("this liquid volume is metastable")));
        QCOMPARE(focused(), c);
        QCOMPARE(c->text(), QStringLiteral("97.04"));
    }

    void hoverRunsNoInputCheck() {
        enterWorkedExample();
        // A temperature box left with a wrong text would complain; a hover
        // elsewhere must not make it.
        click(box("txtTemp"));
        QTest::keyClick(focused(), Qt::Key_A, Qt::ControlModifier);
        type(QStringLiteral("abc"));
        QVERIFY(!hover(cell(0, Column::Vapour, 0)).isEmpty());
        QTest::keyClick(cell(0, Column::Vapour, 0), Qt::Key_F1, Qt::ControlModifier);
        QCOMPARE(focused(), box("txtTemp"));
        QCOMPARE(box("txtTemp")->text(), QStringLiteral("abc"));
        QVERIFY(services_->rec.messages.empty());
    }

    void noTooltipBeforeSolveOrAfterClear() {
        QCOMPARE(hover(cell(2, Column::Liquid, 0)), QString());
        enterWorkedExample();
        QVERIFY(!hover(cell(2, Column::Liquid, 0)).isEmpty());
        click(ctl<QPushButton>("cmdClrComp"));
        for (int b = 0; b < zolvant::kBlocks; ++b)
            for (int c = 0; c < 3; ++c)
                for (int row = 0; row <= zolvant::kMixtureRow; ++row) {
                    QCOMPARE(insight()->toolTipFor(b, static_cast<Column>(c), row), QString());
                    if (row < 4) QVERIFY(!insight()->cueFor(b, row).has_value());
                }
        QCOMPARE(hover(cell(2, Column::Liquid, 0)), QString());
    }

    void cueShowsTheStablePhaseOutsideTheCells() {
        enterWorkedExample();
        for (int b = 0; b < zolvant::kBlocks; ++b) {
            QCOMPARE(insight()->cueFor(b, 0), std::optional<StablePhase>(StablePhase::Vapour));
            QCOMPARE(insight()->cueFor(b, 1), std::optional<StablePhase>(StablePhase::Supercritical));
            QVERIFY(!insight()->cueFor(b, 2).has_value());  // a row not in use
        }
        // Drawn around the vapour cell, never on it: inside its frame the
        // window shows exactly what the cell draws itself.
        QTest::qWait(20);  // the repaint after the Solve
        QLineEdit* vapour = cell(2, Column::Vapour, 0);
        const QRect r(vapour->mapTo(w_.get(), QPoint(0, 0)), vapour->size());
        const QImage window = w_->grab().toImage();
        const QImage own = vapour->grab().toImage();
        for (int x = 2; x < r.width() - 2; x += 3)
            for (int y = 2; y < r.height() - 2; y += 3) QCOMPARE(window.pixel(r.left() + x, r.top() + y), own.pixel(x, y));
        QCOMPARE(QColor(window.pixel(r.left() - 1, r.center().y())), QColor(0, 128, 64));
        QCOMPARE(QColor(window.pixel(r.right() + 2, r.center().y())), QColor(0, 128, 64));
        // The liquid cell of that row, metastable, has none.
        QLineEdit* liquid0 = cell(2, Column::Liquid, 0);
        const QPoint left = liquid0->mapTo(w_.get(), QPoint(-1, liquid0->height() / 2));
        QVERIFY(QColor(window.pixel(left)) != QColor(0, 128, 64));

        if (const QString path = qEnvironmentVariable("ZOLVANT_SCREENSHOT"); !path.isEmpty()) {
            // The window with the tooltip of the Peng-Robinson liquid of n-Butane.
            QLineEdit* liquid = cell(2, Column::Liquid, 0);
            hover(liquid);
            QTest::qWait(100);
            const QRect tip(liquid->mapToGlobal(QPoint(-330, -40)), QSize(800, 150));
            QVERIFY(QApplication::primaryScreen()->grabWindow(0, tip.x(), tip.y(), tip.width(), tip.height()).save(path));
        }
    }

    // The marks beside the cells explain themselves on hover, with a
    // refused temperature typed into its box: no check runs, the focus stays.
    void marksBesideTheCellsHaveTooltips() {
        enterWorkedExample();
        click(box("txtTemp"));
        QTest::keyClick(focused(), Qt::Key_A, Qt::ControlModifier);
        type(QStringLiteral("abc"));

        // A >CT box: what its tick means, and when it is set.
        const QString ct = hoverAt(ctl("chkCritT_1"), QPoint(5, 5));
        QVERIFY2(ct.contains(QStringLiteral("at or above its critical temperature")) &&
                     ct.contains(QStringLiteral("last accepted temperature")) && ct.contains(QStringLiteral("no liquid")),
                 qPrintable(ct));

        // A tag, where it is drawn: what the phase means for that component alone.
        const QString vapourTag = QStringLiteral(
            "V: n-Butane alone at this state would be a vapour by Peng-Robinson: the pressure is below its "
            "saturation pressure at this temperature.");
        QCOMPARE(insight()->tagToolTip(2, 0), vapourTag);
        QVERIFY(hoverAt(w_.get(), tagSpot(2, 0)).contains(vapourTag));
        QVERIFY(hoverAt(w_.get(), tagSpot(5, 1)).contains(QStringLiteral("SC: Methane alone at this state would be "
                                                                         "supercritical by PR-Stryjek-Vera 2")));
        QCOMPARE(insight()->tagToolTip(2, 2), QString());  // a row not in use has no tag
        QCOMPARE(hoverAt(w_.get(), QPoint(640, 80)), QString());

        QCOMPARE(focused(), box("txtTemp"));
        QCOMPARE(box("txtTemp")->text(), QStringLiteral("abc"));
        QVERIFY(services_->rec.messages.empty());
    }

    void aColouredCellSaysWhichConstantIsMissing() {
        // Propylene has no K1 in the seed database: the Stryjek-Vera vapour
        // and Z cells are coloured.
        choose(QStringLiteral("Propylene"));
        tab();
        tab();
        click(box("txtTemp"));
        type(QStringLiteral("26.85"));
        tab();
        type(QStringLiteral("1"));
        tab();
        QTest::keyClick(focused(), Qt::Key_Space);
        QVERIFY(services_->rec.messages.empty());
        const QString line = QStringLiteral(
            "Reddish background: the K1 of Propylene is missing (or 0) in the database; PR-Stryjek-Vera 1 used K1 "
            "= 0 instead.");
        QVERIFY(insight()->toolTipFor(4, Column::Vapour, 0).endsWith(QStringLiteral("\n") + line));
        QVERIFY(insight()->toolTipFor(4, Column::Z, 0).endsWith(QStringLiteral("\n") + line));
        QVERIFY(!insight()->toolTipFor(4, Column::Liquid, 0).contains(QStringLiteral("Reddish")));
        QVERIFY(!insight()->toolTipFor(2, Column::Vapour, 0).contains(QStringLiteral("Reddish")));  // ω is there
        // On hover, a line of its own.
        QWidget* before = focused();
        const QString shown = hover(cell(4, Column::Vapour, 0));
        QVERIFY2(shown.contains(QStringLiteral("<br>") + line.toHtmlEscaped()), qPrintable(shown));
        QCOMPARE(focused(), before);
        QVERIFY(services_->rec.messages.empty());
    }
};

QTEST_MAIN(TestCellInsight)
#include "tst_cell_insight.moc"
