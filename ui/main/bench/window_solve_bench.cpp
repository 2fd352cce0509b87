// Cost of one press of Solve in the main window, from the click on the
// button to the last of the grid's 90 cells set: the checks, the captions,
// hiding, clearing, all six equations and every cell's text and colour,
// through the window's widgets. The solver's own cost of the same mixture is
// solver_bench's LightAlkanes. Runs on the offscreen platform unless another
// is named.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "db/components_csv.h"
#include "db/settings.h"
#include "ui/main/frmZolvMain.h"
#include "ui/main/one_fluid.h"
#include "ui/mixture/mixture_phases_window.h"

namespace {

// The four light alkanes of solver_bench, with the seed database's constants.
const char* const kCsv =
    "Component,MolWt,CritTemp,CritPress,CritVol,AcentricF,K1,K2,K3\n"
    "Methane,16.043,190.56,45.99,98.6,0.011,-0.00159,0.1521,0.517\n"
    "Ethane,30.07,305.32,48.72,145.5,0.099,0.02669,0.1358,0.424\n"
    "Propane,44.097,369.83,42.48,200,0.152,0.03136,0.2757,0.447\n"
    "n-Butane,58.123,425.12,37.96,255,0.200,0.03443,0.6767,0.461\n";

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "window_solve_bench: %s\n", what);
    std::exit(1);
}

QWidget* focused() { return QApplication::focusWidget(); }

// Types the mixture in as a user does, from the start-up focus to the focus
// on Solve.
void enterMixture() {
    for (const char* name : {"Methane", "Ethane", "Propane", "n-Butane"}) {
        auto* box = qobject_cast<QComboBox*>(focused());
        if (!box) fail("a component box should have the focus");
        const int target = box->findText(QString::fromLatin1(name));
        if (target < 0) fail("a component is missing from the list");
        while (box->currentIndex() < target) QTest::keyClick(box, Qt::Key_Down);
        while (box->currentIndex() > target) QTest::keyClick(box, Qt::Key_Up);
        QTest::keyClick(focused(), Qt::Key_Tab);
        QTest::keyClicks(focused(), QStringLiteral("0.25"));
        QTest::keyClick(focused(), Qt::Key_Tab);
    }
    QTest::keyClicks(focused(), QStringLiteral("26.85"));
    QTest::keyClick(focused(), Qt::Key_Tab);
    QTest::keyClicks(focused(), QStringLiteral("5"));
    QTest::keyClick(focused(), Qt::Key_Tab);
}

void SolvePressLightAlkanes(benchmark::State& st) {
    QTemporaryDir dir;
    if (!dir.isValid()) fail("no temporary folder");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    const QString csv = dir.filePath(QStringLiteral("alkanes.csv"));
    const QString path = dir.filePath(QStringLiteral("Components.mdb"));
    {
        QFile f(csv);
        if (!f.open(QIODevice::WriteOnly) || f.write(kCsv) < 0) fail("cannot write the component list");
    }
    zolvant::db::createDatabaseFromCsv(path.toStdString(), csv.toStdString());
    zolvant::db::writeDbPath(path);

    auto w = std::make_unique<zolvant::ui::frmZolvMain>();
    w->Form_Load();
    if (!w->loaded()) fail("the window did not load");
    w->show();
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w.get())) fail("the window did not become active");
    enterMixture();
    auto* solve = w->findChild<QPushButton*>(QStringLiteral("cmdSolve"));
    if (focused() != solve) fail("Solve should have the focus");
    QLineEdit* last = w->findChild<QLineEdit*>(QStringLiteral("txtZPRSV2_4"));

    for (auto _ : st) {
        QTest::mouseClick(solve, Qt::LeftButton, Qt::NoModifier, QPoint(solve->width() / 2, solve->height() / 2));
        // Painting belongs to the next user action, not to the press.
        st.PauseTiming();
        if (last->text().isEmpty()) fail("Solve did not fill the grid");
        last->clear();
        QCoreApplication::processEvents();
        st.ResumeTiming();
    }
    w->close();
}
BENCHMARK(SolvePressLightAlkanes)->Unit(benchmark::kMicrosecond);

// The Mixture Phases window of the same Solve: opened (made, filled and
// shown), and updated as after a new Solve (the six flashes, saturation
// points and envelopes, the tables and the chart).
void MixturePhasesWindow(benchmark::State& st) {
    QTemporaryDir dir;
    if (!dir.isValid()) fail("no temporary folder");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    const QString csv = dir.filePath(QStringLiteral("alkanes.csv"));
    const QString path = dir.filePath(QStringLiteral("Components.mdb"));
    {
        QFile f(csv);
        if (!f.open(QIODevice::WriteOnly) || f.write(kCsv) < 0) fail("cannot write the component list");
    }
    zolvant::db::createDatabaseFromCsv(path.toStdString(), csv.toStdString());
    zolvant::db::writeDbPath(path);
    auto w = std::make_unique<zolvant::ui::frmZolvMain>();
    w->Form_Load();
    if (!w->loaded()) fail("the window did not load");
    w->show();
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w.get())) fail("the window did not become active");
    enterMixture();
    QTest::keyClick(focused(), Qt::Key_Space);
    if (!w->solvedCase()) fail("Solve was not accepted");
    const int what = static_cast<int>(st.range(0));
    if (what == 2) {
        // What the mixture row's insight adds to a Solve press: the kij read
        // and the six flashes (the bubble and dew pressures wait for a tooltip).
        zolvant::ui::OneFluid oneFluid;
        const auto& solved = *w->solvedCase();
        for (auto _ : st) oneFluid.solved(solved.state, solved.fractions, solved.names, w->database());
        w->close();
        return;
    }
    const bool open = what == 0;
    for (auto _ : st) {
        if (open) {
            zolvant::ui::MixturePhasesWindow* m = zolvant::ui::MixturePhasesWindow::open();
            m->setSolved(w->solvedCase(), w->databasePath());
            QCoreApplication::processEvents();  // its first paint
            st.PauseTiming();
            m->close();
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            st.ResumeTiming();
        } else {
            st.PauseTiming();
            zolvant::ui::MixturePhasesWindow* m = zolvant::ui::MixturePhasesWindow::instance();
            if (!m) m = zolvant::ui::MixturePhasesWindow::open();
            st.ResumeTiming();
            m->setSolved(w->solvedCase(), w->databasePath());
            QCoreApplication::processEvents();
        }
    }
    if (auto* m = zolvant::ui::MixturePhasesWindow::instance()) m->close();
    w->close();
}
// 0: open, 1: update, 2: the main window's one-fluid results alone.
BENCHMARK(MixturePhasesWindow)->Arg(0)->Arg(1)->Arg(2)->ArgName("what")->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
