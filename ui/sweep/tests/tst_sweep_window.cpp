// The Sweep window: its table equals the engine's points, a cancelled run
// keeps an exact prefix, the event loop turns during a long run, closing
// during a run is clean, Save CSV writes the command's bytes, and the main
// window opens it once from the View menu and feeds it its last Solve.

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "report/case_report.h"
#include "db/components_csv.h"
#include "db/settings.h"
#include "solver/phase.h"
#include "solver/sweep_point.h"
#include "testsupport/recording_services.h"
#include "testsupport/sweep_cases.h"
#include "testsupport/window_driver.h"
#include "ui/main/main_window.h"
#include "ui/sweep/sweep_table.h"
#include "ui/sweep/sweep_window.h"

using namespace zolvant;
using zolvant::ui::SweepTableModel;
using zolvant::ui::SweepWindow;

namespace {

using cli::test::caseLine;
using cli::test::kButaneMethane;
using cli::test::kPropane;
constexpr const char* kFour = cli::test::kFourWithGaps;

// The Solve the window starts from: the case run as the window runs it.
SolvedCase solvedFrom(const QByteArray& line) {
    const report::CaseReport r = report::evaluateLine(line, QString());
    if (r.inputError || !r.outcome.solved)
        qFatal("the starting case must be accepted: %s %s %s", qPrintable(r.inputError.value_or(QString())),
               r.outcome.title.c_str(), r.outcome.message.c_str());
    SolvedCase s;
    s.state = r.outcome.state;
    s.fractions = r.outcome.fractions;
    for (std::size_t k = 0; k < 4; ++k) s.names[k] = r.parsed.names[k].toStdString();
    s.temperatureText = *r.parsed.input.temperature;
    s.pressureText = *r.parsed.input.pressure;
    return s;
}

// What `zolvant-cli sweep` prints for these arguments, from the program
// itself (the windows never link the command line); "" when it failed.
QByteArray sweepCommandOutput(const QStringList& arguments) {
    QProcess cli;
    cli.start(QStringLiteral(ZOLVANT_CLI), QStringList{QStringLiteral("sweep")} + arguments);
    if (!cli.waitForFinished(-1) || cli.exitStatus() != QProcess::NormalExit || cli.exitCode() != 0) {
        qWarning("zolvant-cli sweep failed: %s", cli.readAllStandardError().constData());
        return {};
    }
    return cli.readAllStandardOutput();
}

struct Plan {
    const char* what;
    const char* components;
    const char* t;
    const char* p;
    int variable;  // 0 pressure, 1 temperature
    const char* from;
    const char* to;
    int points;
    int spacing;  // 0 linear, 1 geometric
};

}  // namespace

class TestSweepWindow : public QObject {
    Q_OBJECT
    QTemporaryDir tmp_;
    std::unique_ptr<ui::ScopedRecordingServices> services_;
    std::optional<SolvedCase> solved_;

    SweepWindow* openWith(const QByteArray& line) {
        solved_ = solvedFrom(line);
        return SweepWindow::open([this] { return solved_; });
    }
    static void setPlan(SweepWindow* w, const Plan& p) {
        w->cmbVariable->setCurrentIndex(p.variable);
        w->txtFrom->setText(QString::fromLatin1(p.from));
        w->txtTo->setText(QString::fromLatin1(p.to));
        w->spnPoints->setValue(p.points);
        w->cmbSpacing->setCurrentIndex(p.spacing);
    }
    static bool waitDone(SweepWindow* w, int ms = 60000) {
        QElapsedTimer t;
        t.start();
        while (w->running() || w->cmdCancel->isEnabled()) {
            if (t.elapsed() > ms) return false;
            QTest::qWait(10);
        }
        return true;
    }
    // Every cell of the first `count` table rows, for every row choice, equals
    // a Solve of the point's texts.
    static void compareWithEngine(SweepWindow* w, std::size_t count) {
        SweepTableModel* m = w->model();
        QVERIFY(static_cast<std::size_t>(m->rowCount()) >= count);
        const int rows = w->cmbRow->count();
        for (int choice = 0; choice < rows; ++choice) {
            w->cmbRow->setCurrentIndex(choice);
            const int row = choice == rows - 1 && rows > 1 ? kMixtureRow : choice;
            for (std::size_t i = 0; i < count; ++i) {
                report::GridTexts grid;
                const CaseOutcome out = runCase(sweepPointCase(w->plan(), w->values(), i), grid);
                const SweepPointTexts texts = sweepPointTexts(w->plan(), w->values(), i);
                const int r = static_cast<int>(i);
                QCOMPARE(m->cellText(r, 0), QString::number(r + 1));
                QCOMPARE(m->cellText(r, 1), QString::fromStdString(texts.temperature));
                QCOMPARE(m->cellText(r, 2), QString::fromStdString(texts.pressure));
                if (!out.solved) {
                    QCOMPARE(m->cellText(r, 3), QString::fromStdString(out.title + ": " + out.message));
                    continue;
                }
                for (int b = 0; b < kBlocks; ++b) {
                    const int c0 = SweepTableModel::kLeadColumns + b * SweepTableModel::kPerEquation;
                    for (const Column c : {Column::Liquid, Column::Vapour, Column::Z})
                        QCOMPARE(m->cellText(r, c0 + static_cast<int>(c)), QString::fromStdString(grid.text(b, c, row)));
                    QString stable;
                    if (row < kMixtureRow)
                        if (const auto s = phaseView(b, out.state, row).stable) stable = QString::fromLatin1(stablePhaseText(*s));
                    QCOMPARE(m->cellText(r, c0 + 3), stable);
                }
            }
        }
    }

    // For every row choice, no heading or value of a solved point is cut:
    // each column is at least as wide as the view asks for its heading and
    // for each of its cells (a refused point's message may run over).
    static void checkColumnsShowTheirTexts(SweepWindow* w) {
        SweepTableModel* m = w->model();
        QHeaderView* header = w->table->horizontalHeader();
        QStyleOptionViewItem option;
        option.initFrom(w->table->viewport());
        option.font = w->table->font();
        option.fontMetrics = QFontMetrics(option.font);
        for (int choice = 0; choice < w->cmbRow->count(); ++choice) {
            w->cmbRow->setCurrentIndex(choice);
            for (int c = 0; c < m->columnCount(); ++c) {
                const int width = header->sectionSize(c);
                QVERIFY2(width >= header->sectionSizeHint(c), qPrintable(m->columnTitle(c)));
                for (int r = 0; r < m->rowCount(); ++r) {
                    if (c >= SweepTableModel::kLeadColumns && !m->points()[static_cast<std::size_t>(r)].solved) continue;
                    const int needs = w->table->itemDelegate()->sizeHint(option, m->index(r, c)).width();
                    QVERIFY2(needs <= width, qPrintable(QStringLiteral("row %1, %2: '%3' needs %4 px of %5")
                                                            .arg(r + 1).arg(m->columnTitle(c), m->cellText(r, c))
                                                            .arg(needs).arg(width)));
                }
            }
        }
    }

private slots:
    void initTestCase() {
        QVERIFY(tmp_.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, tmp_.filePath(QStringLiteral("config")));
    }
    void init() { services_ = std::make_unique<ui::ScopedRecordingServices>(); }
    void cleanup() {
        if (SweepWindow* w = SweepWindow::instance()) w->close();
        QTRY_VERIFY(!SweepWindow::instance());
        services_.reset();
    }

    void tableEqualsTheEngine_data() {
        QTest::addColumn<int>("plan");
        QTest::newRow("pressure across butane's saturation, two rows and the mixture") << 0;
        QTest::newRow("pressure from refused points (not above 0) upwards") << 1;
        QTest::newRow("temperature from below the minimum across propane's Tc") << 2;
        QTest::newRow("geometric pressure, four components") << 3;
    }
    void tableEqualsTheEngine() {
        static const Plan plans[] = {
            {"", kButaneMethane, "26.85", "1", 0, "0.5", "40", 9, 0},
            {"", kButaneMethane, "26.85", "1", 0, "-1", "2", 4, 0},
            {"", kPropane, "20", "10", 1, "-300", "150", 7, 0},
            {"", kFour, "0", "1", 0, "0.1", "100", 6, 1},
        };
        QFETCH(int, plan);
        const Plan& p = plans[plan];
        SweepWindow* w = openWith(caseLine(p.components, QString::fromLatin1(p.t), QString::fromLatin1(p.p)));
        setPlan(w, p);
        QCOMPARE(w->run(), QString());
        QVERIFY(waitDone(w));
        QCOMPARE(w->lblStatus->text(), QStringLiteral("%1 points.").arg(p.points));
        QCOMPARE(w->model()->rowCount(), p.points);
        compareWithEngine(w, static_cast<std::size_t>(p.points));
        checkColumnsShowTheirTexts(w);
    }

    void refusesABadRange_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<int>("spacing");
        QTest::addColumn<QString>("message");
        QTest::newRow("geometric through 0") << "0" << "10" << 1
                                             << "Geometric spacing needs both ends of the range above 0.";
        QTest::newRow("geometric below 0") << "-5" << "-1" << 1
                                           << "Geometric spacing needs both ends of the range above 0.";
        QTest::newRow("from not a number") << "1e" << "10" << 0 << "From: '1e' is not a number.";
        QTest::newRow("to not a number") << "1" << "inf" << 0 << "To: 'inf' is not a number.";
    }
    void refusesABadRange() {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(int, spacing);
        QFETCH(QString, message);
        SweepWindow* w = openWith(caseLine(kPropane, QStringLiteral("20"), QStringLiteral("1")));
        w->cmbSpacing->setCurrentIndex(spacing);
        w->txtFrom->setText(from);
        w->txtTo->setText(to);
        QTest::mouseClick(w->cmdRun, Qt::LeftButton);
        QCOMPARE(w->lblStatus->text(), message);
        QVERIFY(!w->running());
        QCOMPARE(w->model()->rowCount(), 0);
    }

    void withoutASolveRunIsDisabled() {
        SweepWindow* w = SweepWindow::open([] { return std::optional<SolvedCase>(); });
        QVERIFY(!w->cmdRun->isEnabled());
        QVERIFY(w->lblStatus->text().startsWith(QStringLiteral("No accepted Solve")));
        QVERIFY(!w->run().isEmpty());
        QVERIFY(!w->running());
    }

    // A long run: the event loop keeps turning, the bar moves, Cancel keeps
    // the points done, in order, and Save CSV writes exactly those points.
    void cancelledRunKeepsAnExactPrefix() {
        SweepWindow* w = openWith(caseLine(kFour, QStringLiteral("0"), QStringLiteral("1")));
        setPlan(w, {"", kFour, "0", "1", 0, "0.5", "80", kMaxSweepPoints, 0});
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
        ticker.start(10);
        QTest::mouseClick(w->cmdRun, Qt::LeftButton);
        QVERIFY(w->running());
        QTRY_VERIFY(w->progress->value() > 0);
        QTest::qWait(300);
        QVERIFY2(ticks >= 5, qPrintable(QString::number(ticks)));
        QTest::mouseClick(w->cmdCancel, Qt::LeftButton);
        QVERIFY(waitDone(w));
        const int k = w->model()->rowCount();
        QVERIFY(k > 0 && k < kMaxSweepPoints);
        QCOMPARE(w->lblStatus->text(), QStringLiteral("Cancelled after %1 of %2 points.").arg(k).arg(kMaxSweepPoints));
        QCOMPARE(w->progress->value(), k);
        compareWithEngine(w, static_cast<std::size_t>(std::min(k, 400)));
        // The saved table is the command's first k points, byte for byte.
        const QString caseFile = tmp_.filePath(QStringLiteral("four.jsonl"));
        {
            QFile f(caseFile);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(caseLine(kFour, QStringLiteral("0"), QStringLiteral("1")) + "\n");
        }
        const QByteArray all = sweepCommandOutput({QStringLiteral("-T"), QStringLiteral("0"), QStringLiteral("-P"),
                                                   QStringLiteral("0.5:80"), QStringLiteral("--points"),
                                                   QString::number(kMaxSweepPoints), QStringLiteral("--case"), caseFile});
        QVERIFY(!all.isEmpty());
        QByteArray prefix;
        // Point k+1's records begin a line with "k+1,".
        const QByteArray next = "\r\n" + QByteArray::number(k + 1) + ',';
        const qsizetype cut = all.indexOf(next);
        QVERIFY(cut > 0);
        QCOMPARE(w->csvBytes(), all.left(cut + 2));
    }

    void closingDuringARunIsClean() {
        SweepWindow* w = openWith(caseLine(kFour, QStringLiteral("0"), QStringLiteral("1")));
        setPlan(w, {"", kFour, "0", "1", 0, "0.5", "80", kMaxSweepPoints, 0});
        QCOMPARE(w->run(), QString());
        QTRY_VERIFY(w->progress->value() > 0);
        QVERIFY(w->running());
        w->close();
        QTRY_VERIFY(!SweepWindow::instance());
    }

    // Save CSV writes what `zolvant-cli sweep` prints for the same plan.
    void saveCsvWritesTheCommandsBytes() {
        const QByteArray line = caseLine(kButaneMethane, QStringLiteral("26.85"), QStringLiteral("1"));
        SweepWindow* w = openWith(line);
        setPlan(w, {"", kButaneMethane, "", "", 1, "-200", "300", 41, 0});
        QCOMPARE(w->run(), QString());
        QVERIFY(waitDone(w));
        const QString path = tmp_.filePath(QStringLiteral("saved.csv"));
        services_->rec.saveAnswers.push_back(path);
        QTest::mouseClick(w->cmdSaveCsv, Qt::LeftButton);
        QVERIFY(services_->rec.messages.empty());
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));

        const QString caseFile = tmp_.filePath(QStringLiteral("case.jsonl"));
        {
            QFile f(caseFile);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(line + "\n");
        }
        const QByteArray printed = sweepCommandOutput({QStringLiteral("-T"), QStringLiteral("-200:300"), QStringLiteral("-P"),
                                                       QStringLiteral("1"), QStringLiteral("--points"), QStringLiteral("41"),
                                                       QStringLiteral("--case"), caseFile});
        QVERIFY(!printed.isEmpty());
        QCOMPARE(saved.readAll(), printed);

        // A failed write leaves no file and says why.
        const QString bad = tmp_.filePath(QStringLiteral("no/such/folder/x.csv"));
        services_->rec.saveAnswers.push_back(bad);
        QTest::mouseClick(w->cmdSaveCsv, Qt::LeftButton);
        QCOMPARE(services_->rec.messages.size(), std::size_t(1));
        QCOMPARE(services_->rec.messages[0].title, QStringLiteral("Save ERROR"));
        QVERIFY(!QFile::exists(bad));
    }

    void copyIsTheTableWithItsHeader() {
        SweepWindow* w = openWith(caseLine(kPropane, QStringLiteral("20"), QStringLiteral("1")));
        setPlan(w, {"", kPropane, "", "", 0, "1", "3", 3, 0});
        QCOMPARE(w->run(), QString());
        QVERIFY(waitDone(w));
        QTest::mouseClick(w->cmdCopy, Qt::LeftButton);
        const QStringList lines = QGuiApplication::clipboard()->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4);
        QVERIFY(lines[0].startsWith(QStringLiteral("Point\tT (\u00b0C)\tP (bar)\tVan der Waals Liquid\tVan der Waals Vapor\tVan der Waals Z\tVan der Waals Stable\t")));
        for (int r = 0; r < 3; ++r) {
            const QStringList f = lines[r + 1].split(QLatin1Char('\t'));
            QCOMPARE(f.size(), w->model()->columnCount());
            for (int c = 0; c < f.size(); ++c) QCOMPARE(f[c], w->model()->cellText(r, c));
        }
    }
};

// The window as the main window opens it.
class TestSweepFromMainWindow : public QObject {
    Q_OBJECT
    QTemporaryDir tmp_;
    std::unique_ptr<ui::ScopedRecordingServices> services_;
    std::unique_ptr<ui::MainWindow> w_;

    ui::frmZolvMain* form() { return w_->form(); }
    // A new temperature typed over the old one, then Tab past the pressure to Solve.
    void retypeTemperatureAndSolve(const QString& t) {
        auto* temp = findControl<QLineEdit>(form(), QStringLiteral("txtTemp"));
        QTest::mouseClick(temp, Qt::LeftButton);
        QTest::keyClick(temp, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(temp, t);
        for (int i = 0; i < 2; ++i) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    }
    QAction* sweepAction() { return findControl<QAction>(w_.get(), QStringLiteral("actSweep")); }

private slots:
    void initTestCase() { useSeedDatabaseIn(tmp_, ZOLVANT_DATA_DIR "/components.csv"); }
    void init() {
        services_ = std::make_unique<ui::ScopedRecordingServices>();
        w_ = std::make_unique<ui::MainWindow>();
        w_->Form_Load();
        w_->show();
        w_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w_.get()));
        services_->rec.clear();
    }
    void cleanup() {
        if (SweepWindow* s = SweepWindow::instance()) s->close();
        QTRY_VERIFY(!SweepWindow::instance());
        w_.reset();
        services_.reset();
    }

    void opensOnceFromTheViewMenuAndFollowsTheLastSolve() {
        sweepAction()->trigger();
        SweepWindow* s = SweepWindow::instance();
        QVERIFY(s);
        QVERIFY(!s->cmdRun->isEnabled());  // nothing solved yet
        QVERIFY(!s->parentWidget());
        w_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w_.get()));

        solveWorkedExampleIn(form());
        QVERIFY(form()->solvedCase().has_value());

        sweepAction()->trigger();
        QCOMPARE(SweepWindow::instance(), s);
        QVERIFY(s->cmdRun->isEnabled());
        QCOMPARE(s->lblFixed->text(), QStringLiteral("At T = 26.85 \u00b0C"));
        QCOMPARE(s->cmbRow->count(), 3);
        QCOMPARE(s->cmbRow->itemText(2), QStringLiteral("Mixture"));
        s->txtFrom->setText(QStringLiteral("1"));
        s->txtTo->setText(QStringLiteral("60"));
        s->spnPoints->setValue(60);
        QTest::mouseClick(s->cmdRun, Qt::LeftButton);
        QTRY_COMPARE(s->lblStatus->text(), QStringLiteral("60 points."));
        // The point at the Solve's pressure shows the grid's cells.
        QCOMPARE(s->model()->cellText(0, 2), QStringLiteral("1"));
        QCOMPARE(s->model()->cellText(0, SweepTableModel::kLeadColumns + 2),
                 findControl<QLineEdit>(form(), QStringLiteral("txtZVDW_0"))->text());

        // A new Solve does not touch the finished sweep; the next Run uses it.
        w_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w_.get()));
        retypeTemperatureAndSolve(QStringLiteral("50"));
        QCOMPARE(form()->solvedCase()->temperatureText, std::string("50"));
        QCOMPARE(s->model()->cellText(59, 1), QStringLiteral("26.85"));
        QCOMPARE(s->run(), QString());
        QTRY_COMPARE(s->lblStatus->text(), QStringLiteral("60 points."));
        QCOMPARE(s->model()->cellText(59, 1), QStringLiteral("50"));
        QCOMPARE(s->model()->cellText(59, 2), QStringLiteral("60"));

        if (const QString path = qEnvironmentVariable("ZOLVANT_SCREENSHOT"); !path.isEmpty()) {
            s->resize(1180, 760);
            s->show();
            QTest::qWait(100);
            QVERIFY(s->grab().save(path));
        }
    }

    // A size that fits the test's screen (800×800 offscreen): a larger one
    // is shrunk to the screen when the window opens.
    // The status line follows the main window's Solve and Clear while the
    // window stays in the background, before any sweep is shown.
    void statusFollowsAnAcceptedSolve() {
        sweepAction()->trigger();
        SweepWindow* s = SweepWindow::instance();
        const QString none = QStringLiteral("No accepted Solve: solve a mixture in the main window, then Run here.");
        QCOMPARE(s->lblStatus->text(), none);
        w_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w_.get()));

        solveWorkedExampleIn(form());
        QCOMPARE(s->lblStatus->text(), QStringLiteral("Ready: choose the range and press Run."));
        QVERIFY(s->cmdRun->isEnabled());
        QCOMPARE(s->lblFixed->text(), QStringLiteral("At T = 26.85 \u00b0C"));
        QVERIFY(!s->isActiveWindow());

        QTest::mouseClick(findControl<QPushButton>(form(), QStringLiteral("cmdClrComp")), Qt::LeftButton);
        QVERIFY(!form()->solvedCase().has_value());
        QCOMPARE(s->lblStatus->text(), none);
        QVERIFY(!s->cmdRun->isEnabled());
    }

    void remembersItsSize() {
        sweepAction()->trigger();
        SweepWindow::instance()->resize(760, 560);
        SweepWindow::instance()->close();
        QTRY_VERIFY(!SweepWindow::instance());
        sweepAction()->trigger();
        QCOMPARE(SweepWindow::instance()->size(), QSize(760, 560));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int status = 0;
    {
        TestSweepWindow t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        TestSweepFromMainWindow t;
        status |= QTest::qExec(&t, argc, argv);
    }
    return status;
}

#include "tst_sweep_window.moc"
