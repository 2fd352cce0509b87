// What a component box costs over the default database (455 components):
// entering it (the requery, the list refilled and the finder's list with its
// CAS numbers), one key typed (the pop-up filtered and shown), and leaving
// it with a typed part of a name (the shared matcher, then the constants).
// Run on the offscreen platform: QT_QPA_PLATFORM=offscreen component_boxes_bench

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <cstdlib>
#include <memory>

#include "db/settings.h"
#include "ui/main/frmZolvMain.h"

namespace {

struct SeedCopy {
    QTemporaryDir dir;
    SeedCopy() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        const QString path = dir.filePath(QStringLiteral("Components.mdb"));
        if (!QFile::copy(QStringLiteral(ZOLVANT_SEED_DATABASE), path)) std::abort();
        zolvant::db::writeDbPath(path);
    }
};

std::unique_ptr<zolvant::ui::frmZolvMain> startedWindow(QComboBox** box) {
    static SeedCopy seed;
    auto w = std::make_unique<zolvant::ui::frmZolvMain>();
    w->Form_Load();
    w->show();
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w.get())) std::abort();
    *box = w->findChild<QComboBox*>(QStringLiteral("cmbComp_0"));
    if ((*box)->count() != 455) std::abort();
    return w;
}

void BM_EnterBox455(benchmark::State& state) {
    QComboBox* box = nullptr;
    const auto w = startedWindow(&box);
    for (auto _ : state) w->cmbComp_GotFocus(0);
}
BENCHMARK(BM_EnterBox455)->Unit(benchmark::kMicrosecond);

// One key typed and taken back: the pop-up filtered twice and shown.
void BM_TypeOneKey455(benchmark::State& state) {
    QComboBox* box = nullptr;
    const auto w = startedWindow(&box);
    QTest::keyClicks(box, QStringLiteral("hex"));
    for (auto _ : state) {
        QTest::keyClick(box, Qt::Key_A);
        QTest::keyClick(box, Qt::Key_Backspace);
    }
}
BENCHMARK(BM_TypeOneKey455)->Unit(benchmark::kMicrosecond);

void BM_LeaveWithTypedPart455(benchmark::State& state) {
    QComboBox* box = nullptr;
    const auto w = startedWindow(&box);
    for (auto _ : state) {
        box->setCurrentIndex(-1);
        box->setEditText(QStringLiteral("n-hexadec"));
        w->cmbComp_LostFocus(0);
        if (box->currentText() != QStringLiteral("n-Hexadecane")) std::abort();
    }
}
BENCHMARK(BM_LeaveWithTypedPart455)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
