// The mixture in the main window: the one-fluid lines of the mixture row's
// tooltips and the tag beside each mixture Z cell, and the Mixture Phases
// window (opened from the menu bar, Ctrl+M and a mixture cell's menu; its
// table, chart, compositions, kij and files). Nothing of it runs a check of
// the box being edited or moves the focus. On a copy of the seed database,
// whose Peng-Robinson methane–ethane pair is −0.0059.

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QHelpEvent>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QContextMenuEvent>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolTip>
#include <QtTest>
#include <memory>
#include <unistd.h>

#include "db/kij.h"
#include "db/settings.h"
#include "report/mixture_csv.h"
#include "report/mixture_phases_csv.h"
#include "solver/grid.h"
#include "solver/mixture_model.h"
#include "solver/text.h"
#include "testsupport/recording_services.h"
#include "testsupport/window_driver.h"
#include "ui/main/cell_insight.h"
#include "ui/main/frmZolvMain.h"
#include "ui/main/main_window.h"
#include "ui/mixture/mixture_phases_window.h"

using zolvant::Column;
using zolvant::kMixtureRow;
using zolvant::ui::CellInsight;
using zolvant::ui::MainWindow;
using zolvant::ui::MixturePhasesWindow;

namespace {
constexpr int kPR = 2;

struct Mix {
    QStringList names;
    QStringList fractions;
    QString celsius, bar;
};
const Mix kMethaneEthane{{"Methane", "Ethane"}, {"0.7", "0.3"}, "0", "50"};
const Mix kFourAlkanes{{"Methane", "Ethane", "Propane", "n-Butane"}, {"0.70", "0.15", "0.10", "0.05"}, "-43.15", "40"};
}  // namespace

class TestMixturePhases : public QObject {
    Q_OBJECT
    QTemporaryDir tmp_;
    QString db_;
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
    CellInsight* insight() { return form()->findChild<CellInsight*>(); }
    QLineEdit* cell(int block, Column column, int row) {
        return form()->resultColumn(block, column)[static_cast<std::size_t>(row)];
    }

    // Types the mixture in as a user does and presses Solve.
    void solve(const Mix& mix) {
        ctl(QStringLiteral("cmbComp_0"))->setFocus();
        for (int i = 0; i < mix.names.size(); ++i) {
            QCOMPARE(focused(), ctl(QStringLiteral("cmbComp_%1").arg(i)));
            chooseInFocusedBox(mix.names[i]);
            tab();
            type(mix.fractions[i]);
            tab();
        }
        QTest::mouseClick(ctl(QStringLiteral("txtTemp")), Qt::LeftButton);
        type(mix.celsius);
        tab();
        type(mix.bar);
        tab();
        QTest::keyClick(focused(), Qt::Key_Space);
        if (!services_->rec.messages.empty()) QFAIL(qPrintable(services_->rec.messages.front().text));
        QCoreApplication::processEvents();
    }

    QString hover(QLineEdit* c) {
        QToolTip::hideText();
        QHelpEvent e(QEvent::ToolTip, QPoint(5, 5), c->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(c, &e);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    }

    // The model's reports for the solved state with these kij.
    std::vector<zolvant::MixtureReport> modelReports(const zolvant::db::KijMatrices& kij,
                                                     const zolvant::MolarMasses& molWt) {
        const auto& solved = *form()->solvedCase();
        const auto z = zolvant::feedFractions(solved.state, solved.fractions);
        std::vector<zolvant::MixtureReport> out;
        for (int b = 0; b < zolvant::kBlocks; ++b)
            out.push_back(zolvant::mixtureReport(b, solved.state, z, kij[static_cast<std::size_t>(b)], molWt));
        return out;
    }

    void storeMethaneEthane(double pr) {
        const auto db = zolvant::db::Database::OpenDatabase(db_.toStdString());
        zolvant::db::storeKijPairs(*db, {{"Methane", "Ethane", zolvant::db::kPengRobinson, pr}});
    }

private slots:
    void initTestCase() {
        QVERIFY(tmp_.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, tmp_.path());
        zolvant::db::setDefaultDbPathOverride(tmp_.filePath(QStringLiteral("absent/Components.mdb")));
    }

    void init() {
        db_ = tmp_.filePath(QStringLiteral("Components.mdb"));
        QFile::remove(db_);
        QVERIFY(QFile::copy(QStringLiteral(ZOLVANT_SEED_DATABASE), db_));
        QFile::setPermissions(db_, QFile::ReadOwner | QFile::WriteOwner);
        zolvant::db::writeDbPath(db_);
        services_ = std::make_unique<zolvant::ui::ScopedRecordingServices>();
        w_ = std::make_unique<MainWindow>();
        w_->Form_Load();
        QVERIFY(form()->loaded());
        w_->show();
        w_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w_.get()));
        services_->rec.clear();
    }

    void cleanup() {
        QToolTip::hideText();
        if (MixturePhasesWindow* m = MixturePhasesWindow::instance()) {
            m->close();
            QTRY_VERIFY(!MixturePhasesWindow::instance());
        }
        w_->close();
        w_.reset();
        services_.reset();
    }

    // ------------------------------------------------ the mixture row

    void oneFluidLinesAndTag_data() {
        QTest::addColumn<double>("storedKij");  // NaN: the seed database's pair as shipped
        QTest::addColumn<QString>("kijWords");
        QTest::addColumn<QString>("zText");
        QTest::newRow("methane/ethane 70/30 with the database's kij") << std::nan("") << "kij from the database" << "Z = 0.7501";
        QTest::newRow("methane/ethane 70/30 with the pair set to 0") << 0.0 << "kij = 0" << "Z = 0.7515";
    }
    void oneFluidLinesAndTag() {
        QFETCH(double, storedKij);
        QFETCH(QString, kijWords);
        QFETCH(QString, zText);
        if (!std::isnan(storedKij)) storeMethaneEthane(storedKij);  // read at the next Solve
        solve(kMethaneEthane);
        const QString tip = insight()->shownToolTip(kPR, Column::Z, kMixtureRow);
        // What the cell said before stays first; the one-fluid lines follow.
        QVERIFY(tip.startsWith(insight()->toolTipFor(kPR, Column::Z, kMixtureRow) + QStringLiteral("\n\n")));
        for (const QString& part : {QStringLiteral("One-fluid"), QStringLiteral("Peng-Robinson: one phase, vapour-like"),
                                    kijWords, zText, QStringLiteral("Bubble pressure at 273.15 K"),
                                    QStringLiteral("dew pressure")})
            QVERIFY2(tip.contains(part), qPrintable(part + QStringLiteral(" not in ") + tip));
        QCOMPARE(insight()->mixtureTag(kPR), QStringLiteral("V"));
        QCOMPARE(cell(kPR, Column::Z, kMixtureRow)->accessibleDescription(),
                 QStringLiteral("One-fluid phase state by Peng-Robinson: V"));
        // Van der Waals has no stored pairs at all.
        QVERIFY(insight()->shownToolTip(0, Column::Liquid, kMixtureRow).contains(QStringLiteral("kij = 0")));
        // The component rows' tags keep saying what the pure component alone would be.
        QVERIFY(insight()->tagToolTip(kPR, 1).contains(QStringLiteral("Ethane alone at this state would be")));
        // The mixture tag's own tooltip is the one-fluid lines.
        QLineEdit* z = cell(kPR, Column::Z, kMixtureRow);
        const QPoint spot = z->mapTo(form(), QPoint(z->width() + 8, z->height() / 2));
        QCOMPARE(insight()->tagToolTipAt(spot), insight()->oneFluidToolTip(kPR));
    }

    void twoPhaseStateOfFourAlkanes() {
        solve(kFourAlkanes);
        const auto reports = modelReports(zolvant::db::kijMatrices(db_.toStdString(), {"Methane", "Ethane", "Propane", "n-Butane"}), {});
        const auto& pr = reports[kPR];
        QCOMPARE(pr.phases, 2);
        QCOMPARE(insight()->mixtureTag(kPR), QStringLiteral("V+L"));
        const QString tip = insight()->oneFluidToolTip(kPR);
        QVERIFY2(tip.contains(QStringLiteral("two phases, vapour fraction %1")
                                  .arg(QString::fromStdString(zolvant::formatMask(*pr.beta, zolvant::Mask::Fraction)))),
                 qPrintable(tip));
        QVERIFY2(tip.contains(QStringLiteral("Liquid V = %1 cm³/mol, Z = %2")
                                  .arg(QString::fromStdString(zolvant::formatMask(pr.liquid->V, zolvant::Mask::MixLiquid)),
                                       QString::fromStdString(zolvant::formatMask(pr.liquid->Z, zolvant::Mask::Z)))),
                 qPrintable(tip));
        // Every block's tag is its own flash's.
        for (int b = 0; b < zolvant::kBlocks; ++b)
            QCOMPARE(insight()->mixtureTag(b), reports[static_cast<std::size_t>(b)].phases == 2 ? QStringLiteral("V+L")
                                               : reports[static_cast<std::size_t>(b)].phase == "liquid" ? QStringLiteral("L")
                                                                                                       : QStringLiteral("V"));
    }

    void nothingAfterClear() {
        solve(kMethaneEthane);
        QVERIFY(!insight()->mixtureTag(kPR).isEmpty());
        QTest::mouseClick(ctl(QStringLiteral("cmdClrComp")), Qt::LeftButton);
        QCoreApplication::processEvents();
        for (int b = 0; b < zolvant::kBlocks; ++b) {
            QCOMPARE(insight()->mixtureTag(b), QString());
            QCOMPARE(insight()->oneFluidToolTip(b), QString());
            for (int c = 0; c < 3; ++c) QCOMPARE(insight()->shownToolTip(b, static_cast<Column>(c), kMixtureRow), QString());
            QCOMPARE(cell(b, Column::Z, kMixtureRow)->accessibleDescription(), QString());
        }
        QCOMPARE(hover(cell(kPR, Column::Z, kMixtureRow)), QString());
    }

    void tooltipMenuAndWindowRunNoCheckAndMoveNoFocus() {
        solve(kMethaneEthane);
        auto* temp = ctl<QLineEdit>(QStringLiteral("txtTemp"));
        QTest::mouseClick(temp, Qt::LeftButton);
        QTest::keyClick(temp, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(temp, QStringLiteral("abc"));
        services_->rec.clear();
        QVERIFY(hover(cell(kPR, Column::Z, kMixtureRow)).contains(QStringLiteral("One-fluid")));
        QTest::keyClick(cell(kPR, Column::Vapour, kMixtureRow), Qt::Key_F1, Qt::ControlModifier);
        QVERIFY(QToolTip::text().contains(QStringLiteral("One-fluid")));
        QCOMPARE(focused(), temp);
        // Ctrl+M opens the window; it fills itself from the last Solve.
        QCOMPARE(w_->mixturePhasesAction()->shortcut(), QKeySequence(QStringLiteral("Ctrl+M")));
        QCOMPARE(w_->mixturePhasesAction()->text(), QStringLiteral("&Mixture Phases\u2026"));
        QTest::keyClick(temp, Qt::Key_M, Qt::ControlModifier);
        MixturePhasesWindow* m = MixturePhasesWindow::instance();
        QVERIFY(m && m->isVisible());
        QVERIFY(!m->parentWidget());
        QCOMPARE(m->windowTitle(), QStringLiteral("Mixture Phases"));
        QCOMPARE(m->reports().size(), std::size_t(6));
        m->cmbEquation->setCurrentIndex(0);
        m->chkEquation[1]->setChecked(false);
        QCOMPARE(form()->focusWidget(), temp);
        QCOMPARE(temp->text(), QStringLiteral("abc"));
        QVERIFY(services_->rec.messages.empty());
        // Asked again: the same one window.
        w_->mixturePhasesAction()->trigger();
        QCOMPARE(MixturePhasesWindow::instance(), m);
    }

    void mixtureCellMenuOffersTheWindow() {
        solve(kMethaneEthane);
        bool offered = false;
        QTimer::singleShot(50, this, [&] {
            if (auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                for (QAction* a : popup->actions())
                    if (a->objectName() == QStringLiteral("actMixturePhasesOfCell")) {
                        offered = true;
                        popup->close();
                        a->trigger();
                        return;
                    }
                popup->close();
            }
        });
        QLineEdit* c = cell(kPR, Column::Z, kMixtureRow);
        QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(5, 5), c->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(c, &e);
        QVERIFY(offered);
        QTRY_VERIFY(MixturePhasesWindow::instance());
    }

    // ------------------------------------------------ the window

    void windowFollowsSolveAndEmptiesOnClear() {
        w_->showMixturePhases();
        MixturePhasesWindow* m = MixturePhasesWindow::instance();
        QVERIFY(m->reports().empty());
        QVERIFY(m->lblStatus->text().contains(QStringLiteral("no mixture")));
        QVERIFY(!m->saveDataButton->isEnabled());
        solve(kFourAlkanes);
        QCOMPARE(m->reports().size(), std::size_t(6));
        QVERIFY(m->saveDataButton->isEnabled());
        QCOMPARE(m->flashTable->rowCount(), 6);
        QCOMPARE(m->kijTable->rowCount(), 6);  // four components, six pairs
        QCOMPARE(m->compositionTable->rowCount(), 4);
        QCOMPARE(m->cmbEquation->currentText(), QStringLiteral("Peng-Robinson"));
        QTest::mouseClick(ctl(QStringLiteral("cmdClrComp")), Qt::LeftButton);
        QVERIFY(m->reports().empty());
        QCOMPARE(m->flashTable->rowCount(), 0);
        QVERIFY(m->lblStatus->text().contains(QStringLiteral("cleared")));
        QVERIFY(!m->envelopeChart->chart().emptyText.isEmpty());
    }

    void tableAndChartAreTheModels() {
        solve(kFourAlkanes);
        w_->showMixturePhases();
        MixturePhasesWindow* m = MixturePhasesWindow::instance();
        const auto& model = m->reports();
        const auto expected = modelReports(m->kij(), {});
        QCOMPARE(m->kij(), zolvant::db::kijMatrices(db_.toStdString(), {"Methane", "Ethane", "Propane", "n-Butane"}));
        for (int r = 0; r < 6; ++r) {
            const auto& e = expected[static_cast<std::size_t>(r)];
            QCOMPARE(m->flashTable->verticalHeaderItem(r)->text(), QString::fromLatin1(zolvant::blockName(r)));
            QCOMPARE(m->flashTable->item(r, 0)->data(Qt::UserRole).toInt(), e.phases);
            if (e.phases == 2) {
                QCOMPARE(m->flashTable->item(r, 1)->data(Qt::UserRole).toDouble(), *e.beta);
                QCOMPARE(m->flashTable->item(r, 2)->data(Qt::UserRole).toDouble(), e.liquid->V);
                QCOMPARE(m->flashTable->item(r, 5)->data(Qt::UserRole).toDouble(), e.vapour->Z);
                QVERIFY(m->flashTable->item(r, 6)->data(Qt::UserRole).toDouble() > 0.0);  // molar masses from the database
            }
            QVariantList bubbleP;
            for (double p : e.saturation.bubbleP) bubbleP << p;
            QCOMPARE(m->flashTable->item(r, 8)->data(Qt::UserRole).toList(), bubbleP);
            // The chart's curve is the envelope, in °C and bar.
            const auto& series = m->envelopeChart->chart().series[static_cast<std::size_t>(r)];
            QCOMPARE(series.points.size(), e.envelope.points.size());
            for (std::size_t i = 0; i < series.points.size(); ++i) {
                QCOMPARE(series.points[i].x, e.envelope.points[i].T - 273.15);
                QCOMPARE(series.points[i].y, e.envelope.points[i].P);
            }
            QCOMPARE(model[static_cast<std::size_t>(r)].phases, e.phases);
        }
        // The solved state is marked, -43.15 °C and 40 bar.
        const auto& marks = m->envelopeChart->chart().markers;
        QVERIFY(std::any_of(marks.begin(), marks.end(), [](const zolvant::plot::Marker& k) {
            return k.shape == zolvant::plot::MarkerShape::Diamond && std::abs(k.x + 43.15) < 1e-4 && k.y == 40.0;
        }));
        // Hovering a curve reads its equation, T and P.
        const auto& chart = m->envelopeChart->chart();
        const auto layout = zolvant::plot::layoutChart(chart, QSizeF(m->envelopeChart->size()));
        const auto& pt = chart.series[kPR].points[chart.series[kPR].points.size() / 2];
        const QString read = m->envelopeChart->hoverText(QPointF(layout.x.toPixel(pt.x), layout.y.toPixel(pt.y)));
        QVERIFY2(read.contains(QStringLiteral("°C")) && read.contains(QStringLiteral(" bar")), qPrintable(read));
        QVERIFY2(read.startsWith(QStringLiteral("Peng-Robinson: T = ")) || read.startsWith(QStringLiteral("PR-Stryjek-Vera")),
                 qPrintable(read));
        // Phase compositions of the chosen equation: the flash's x and y.
        m->cmbEquation->setCurrentIndex(kPR);
        for (int k = 0; k < 4; ++k) {
            QCOMPARE(m->compositionTable->item(k, 1)->data(Qt::UserRole).toDouble(), expected[kPR].liquid->x[static_cast<std::size_t>(k)]);
            QCOMPARE(m->compositionTable->item(k, 2)->data(Qt::UserRole).toDouble(), expected[kPR].vapour->x[static_cast<std::size_t>(k)]);
        }
        // Copy: the table, tab-separated, one line per equation under a header.
        m->copyButton->click();
        const QStringList lines = QGuiApplication::clipboard()->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 7);
        QVERIFY(lines[3].startsWith(QStringLiteral("Peng-Robinson\t2\t")));
    }

    // What zolvant-cli prints for the same state and database, one JSON line per equation.
    QList<QJsonObject> cli(const QString& command, const Mix& mix) {
        QStringList args{command, QStringLiteral("--json"), QStringLiteral("--db"), db_, QStringLiteral("-T"), mix.celsius};
        if (command == QStringLiteral("flash")) args << QStringLiteral("-P") << mix.bar;
        for (int i = 0; i < mix.names.size(); ++i) args << mix.names[i] + QLatin1Char('=') + mix.fractions[i];
        QProcess p;
        p.start(QStringLiteral(ZOLVANT_CLI), args);
        QList<QJsonObject> lines;
        if (!p.waitForFinished(-1) || p.exitCode() != 0) {
            qWarning("zolvant-cli %s failed: %s", qPrintable(command), p.readAllStandardError().constData());
            return lines;
        }
        for (const QByteArray& line : p.readAllStandardOutput().split('\n'))
            if (!line.trimmed().isEmpty()) lines << QJsonDocument::fromJson(line).object();
        return lines;
    }

    void tableAndChartAreWhatTheCommandLinePrints() {
        solve(kFourAlkanes);
        w_->showMixturePhases();
        MixturePhasesWindow* m = MixturePhasesWindow::instance();
        const QList<QJsonObject> flash = cli(QStringLiteral("flash"), kFourAlkanes);
        const QList<QJsonObject> envelope = cli(QStringLiteral("envelope"), kFourAlkanes);
        QCOMPARE(flash.size(), 6);
        QCOMPARE(envelope.size(), 6);
        const auto exact = [&](int r, int c) { return m->flashTable->item(r, c)->data(Qt::UserRole); };
        const auto phaseValue = [](const QJsonObject& o, const char* phase, const char* key) {
            return o.value(QLatin1String(phase)).toObject().value(QLatin1String(key));
        };
        for (int r = 0; r < 6; ++r) {
            const QJsonObject& f = flash[r];
            QCOMPARE(f.value(QStringLiteral("equation")).toString(), m->flashTable->verticalHeaderItem(r)->text());
            QCOMPARE(exact(r, 0).toInt(), f.value(QStringLiteral("phases")).toInt());
            QCOMPARE(exact(r, 1).toDouble(), f.value(QStringLiteral("beta")).toDouble());
            QCOMPARE(exact(r, 2).toDouble(), phaseValue(f, "liquid", "V").toDouble());
            QCOMPARE(exact(r, 3).toDouble(), phaseValue(f, "vapour", "V").toDouble());
            QCOMPARE(exact(r, 4).toDouble(), phaseValue(f, "liquid", "Z").toDouble());
            QCOMPARE(exact(r, 5).toDouble(), phaseValue(f, "vapour", "Z").toDouble());
            QCOMPARE(exact(r, 6).toDouble(), phaseValue(f, "liquid", "density").toDouble());
            QCOMPARE(exact(r, 7).toDouble(), phaseValue(f, "vapour", "density").toDouble());
            int c = 8;
            for (const char* key : {"bubbleP", "dewP", "bubbleT", "dewT"}) {
                const double offset = c >= 10 ? 273.15 : 0.0;
                QVariantList expected;
                for (const QJsonValue& v : f.value(QLatin1String(key)).toArray()) expected << v.toDouble() - offset;
                QCOMPARE(exact(r, c).toList(), expected);
                ++c;
            }
            // The chart's curve is the printed envelope, in °C.
            const QJsonArray points = envelope[r].value(QStringLiteral("points")).toArray();
            const auto& series = m->envelopeChart->chart().series[static_cast<std::size_t>(r)];
            QCOMPARE(series.name, envelope[r].value(QStringLiteral("equation")).toString());
            QCOMPARE(series.points.size(), std::size_t(points.size()));
            for (qsizetype i = 0; i < points.size(); ++i) {
                QCOMPARE(series.points[static_cast<std::size_t>(i)].x, points[i].toArray()[0].toDouble() - 273.15);
                QCOMPARE(series.points[static_cast<std::size_t>(i)].y, points[i].toArray()[1].toDouble());
            }
        }
    }

    void dataFileIsTheModelsCsv() {
        solve(kFourAlkanes);
        w_->showMixturePhases();
        MixturePhasesWindow* m = MixturePhasesWindow::instance();
        const std::string csv = m->dataCsv();
        QVERIFY(csv.rfind(std::string(zolvant::report::kMixturePhasesHeader) + "\r\n", 0) == 0);
        // The flash records, then the envelope exactly as zolvant-cli envelope writes it.
        const std::string records = zolvant::report::mixturePhasesCsv(m->reports());
        QVERIFY(csv.find(records) == 0);
        QProcess p;
        QStringList args{QStringLiteral("envelope"), QStringLiteral("--db"), db_, QStringLiteral("-T"), kFourAlkanes.celsius};
        for (int i = 0; i < kFourAlkanes.names.size(); ++i) args << kFourAlkanes.names[i] + QLatin1Char('=') + kFourAlkanes.fractions[i];
        p.start(QStringLiteral(ZOLVANT_CLI), args);
        QVERIFY(p.waitForFinished(-1) && p.exitCode() == 0);
        QCOMPARE(QByteArray::fromStdString(csv.substr(records.size())), p.readAllStandardOutput());
        // One record per equation: Phases 2, the vapour fraction and both phases filled.
        QCOMPARE(QByteArray::fromStdString(records).count("\r\n"), 7);
        const QString file = tmp_.filePath(QStringLiteral("phases.csv"));
        services_->rec.saveAnswers.push_back(file);
        m->saveDataButton->click();
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll().toStdString(), csv);
    }

    void kijEditRecomputesTheWindowNotTheGrid() {
        solve(kMethaneEthane);
        w_->showMixturePhases();
        MixturePhasesWindow* m = MixturePhasesWindow::instance();
        QCOMPARE(m->kijTable->item(0, 0)->text(), QStringLiteral("-0.0059"));
        const double zBefore = m->reports()[kPR].vapour->Z;
        const QString gridZ = cell(kPR, Column::Z, kMixtureRow)->text();
        m->kijTable->item(0, 0)->setText(QStringLiteral("0"));
        QCOMPARE(m->kij()[kPR][0][1], 0.0);
        QCOMPARE(m->kij()[4][1][0], 0.0);  // PRSV1 is of the family
        QCOMPARE(QString::fromStdString(zolvant::formatMask(m->reports()[kPR].vapour->Z, zolvant::Mask::Z)),
                 QStringLiteral("0.7515"));
        QVERIFY(m->reports()[kPR].vapour->Z != zBefore);
        QCOMPARE(cell(kPR, Column::Z, kMixtureRow)->text(), gridZ);
        // A text that is no kij changes nothing and says why.
        m->kijTable->item(0, 1)->setText(QStringLiteral("abc"));
        QCOMPARE(m->kijTable->item(0, 1)->text(), QStringLiteral("-0.0089"));
        QCOMPARE(m->kij()[3][0][1], -0.0089);
        QVERIFY(m->lblStatus->text().contains(QStringLiteral("abc")));
    }

    void storedKijReadBackAndUsedFromTheNextSolve() {
        solve(kMethaneEthane);
        w_->showMixturePhases();
        MixturePhasesWindow* m = MixturePhasesWindow::instance();
        m->kijTable->item(0, 0)->setText(QStringLiteral("0.0125"));
        m->kijTable->item(0, 1)->setText(QStringLiteral("0.02"));
        QVERIFY(m->storeKij());
        const auto read = zolvant::db::kijMatrices(db_.toStdString(), {"Methane", "Ethane"});
        QCOMPARE(read[kPR][0][1], 0.0125);
        QCOMPARE(read[5][1][0], 0.0125);
        QCOMPARE(read[3][0][1], 0.02);
        solve(kMethaneEthane);
        QCOMPARE(insight()->oneFluid().flash(kPR)->kij[0][1], 0.0125);
    }

    void storeRefusedOnAReadOnlyFileChangesNothing() {
        solve(kMethaneEthane);
        w_->showMixturePhases();
        MixturePhasesWindow* m = MixturePhasesWindow::instance();
        QFile f(db_);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray before = f.readAll();
        f.close();
        // Root writes any file: the window is made to open it read-only instead.
        if (::geteuid() == 0)
            m->openDatabase = [](const std::string& path) { return zolvant::db::Database::OpenDatabase(path, true); };
        else
            QFile::setPermissions(db_, QFile::ReadOwner);
        m->kijTable->item(0, 0)->setText(QStringLiteral("0.3"));
        QVERIFY(!m->storeKij());
        QFile::setPermissions(db_, QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(services_->rec.messages.size(), std::size_t(1));
        QCOMPARE(services_->rec.messages.front().title, QStringLiteral("Store in Database"));
        QVERIFY(!services_->rec.messages.front().text.isEmpty());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
        QCOMPARE(zolvant::db::kijMatrices(db_.toStdString(), {"Methane", "Ethane"})[kPR][0][1], -0.0059);
    }

    void fitsA1024x768Screen() {
        solve(kFourAlkanes);
        w_->showMixturePhases();
        MixturePhasesWindow* m = MixturePhasesWindow::instance();
        QVERIFY(m->minimumSizeHint().width() <= 1024 && m->minimumSizeHint().height() <= 740);
        QVERIFY(m->frameGeometry().width() <= 1024 && m->frameGeometry().height() <= 740);
        qInfo("window: %dx%d, last update %.1f ms", m->width(), m->height(), m->lastUpdateMs());
        if (const QString path = qEnvironmentVariable("ZOLVANT_SCREENSHOT"); !path.isEmpty()) {
            QTest::qWait(50);
            QVERIFY(m->grab().save(path));
        }
    }
};

QTEST_MAIN(TestMixturePhases)
#include "tst_mixture_phases.moc"
