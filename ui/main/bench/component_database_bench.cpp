// How the windows fare with a component database of 10 000 components (a
// generated table): the start-up opening, entering a component box (the
// requery and the list refill), leaving it (the constants of the last
// record), and opening the editor and moving to its last record. Run on the
// offscreen platform: QT_QPA_PLATFORM=offscreen component_database_bench

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "db/components_csv.h"
#include "db/settings.h"
#include "db/startup.h"
#include "ui/editor/frmCritConst2.h"
#include "ui/main/frmZolvMain.h"

namespace {

constexpr int kComponents = 10000;

// The file, made once: names that sort apart from their stored order,
// constants that differ from record to record.
struct LargeDatabase {
    QTemporaryDir dir;
    std::string path;
    LargeDatabase() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        const QString csvPath = dir.filePath(QStringLiteral("components.csv"));
        QFile csv(csvPath);
        if (!csv.open(QIODevice::WriteOnly)) std::abort();
        csv.write("Component,MolWt,CritTemp,CritPress,CritVol,AcentricF,K1,K2,K3\n");
        for (int i = 0; i < kComponents; ++i) {
            const int k = (i * 7919) % kComponents;
            char line[200];
            std::snprintf(line, sizeof line, "Component %05d,%d.%03d,%d.%02d,%d.%02d,%d,0.%03d,,,\n", k, 16 + k % 300,
                          k % 1000, 100 + k % 600, k % 100, 10 + k % 90, k % 100, 50 + k % 400, k % 1000);
            csv.write(line);
        }
        csv.close();
        path = dir.filePath(QStringLiteral("Components.mdb")).toStdString();
        zolvant::db::createDatabaseFromCsv(path, csvPath.toStdString());
        zolvant::db::writeDbPath(QString::fromStdString(path));
    }
};

LargeDatabase& database() {
    static LargeDatabase db;
    return db;
}

class NoDialogs : public zolvant::db::StartupDialogs {
public:
    void message(const std::string&, const std::string&) override { std::abort(); }
    std::optional<std::string> openFileName(const std::string&) override { std::abort(); }
    bool question(const std::string&, const std::string&) override { std::abort(); }
    std::optional<std::string> saveFileName(const std::string&, const std::string&) override { std::abort(); }
};

QComboBox* firstBox(zolvant::ui::frmZolvMain& w) {
    return w.findChild<QComboBox*>(QStringLiteral("cmbComp_0"));
}

void BM_StartUpOpening(benchmark::State& state) {
    database();
    NoDialogs dialogs;
    for (auto _ : state) {
        auto opened = zolvant::db::openComponentDatabase(dialogs);
        benchmark::DoNotOptimize(opened.rstComps->AbsolutePosition());
    }
}
BENCHMARK(BM_StartUpOpening)->Unit(benchmark::kMillisecond);

// The window's Form_Load and the first fill of the first box.
void BM_WindowStartUp(benchmark::State& state) {
    database();
    for (auto _ : state) {
        zolvant::ui::frmZolvMain w;
        w.Form_Load();
        w.cmbComp_GotFocus(0);
        benchmark::DoNotOptimize(firstBox(w)->count());
    }
}
BENCHMARK(BM_WindowStartUp)->Unit(benchmark::kMillisecond);

// The database's share of entering a box: the requery and every name read.
void BM_RequeryAndReadEveryName(benchmark::State& state) {
    database();
    NoDialogs dialogs;
    auto opened = zolvant::db::openComponentDatabase(dialogs);
    auto& rs = *opened.rstComps;
    for (auto _ : state) {
        const zolvant::db::ReadBatch reading(rs);
        rs.Requery();
        for (rs.MoveFirst(); !rs.EOF_(); rs.MoveNext()) benchmark::DoNotOptimize(rs.Fields("Component"));
    }
}
BENCHMARK(BM_RequeryAndReadEveryName)->Unit(benchmark::kMillisecond);

// The window after start-up, its first box listing every component.
std::unique_ptr<zolvant::ui::frmZolvMain> startedWindow() {
    database();
    auto w = std::make_unique<zolvant::ui::frmZolvMain>();
    w->Form_Load();
    w->cmbComp_GotFocus(0);
    if (firstBox(*w)->count() != kComponents) std::abort();
    return w;
}

void BM_EnterComponentBox(benchmark::State& state) {
    const auto w = startedWindow();
    for (auto _ : state) w->cmbComp_GotFocus(0);
}
BENCHMARK(BM_EnterComponentBox)->Unit(benchmark::kMillisecond);

// Leaving the box with its last name chosen: the constants of that record.
void BM_LeaveComponentBox(benchmark::State& state) {
    const auto w = startedWindow();
    for (auto _ : state) {
        firstBox(*w)->setCurrentIndex(kComponents - 1);
        w->cmbComp_LostFocus(0);
    }
}
BENCHMARK(BM_LeaveComponentBox)->Unit(benchmark::kMillisecond);

void BM_EditorOpenAndLastRecord(benchmark::State& state) {
    database();
    for (auto _ : state) {
        zolvant::ui::frmCritConst2 editor;
        if (!editor.loaded()) std::abort();
        editor.cmdLast_Click();
    }
}
BENCHMARK(BM_EditorOpenAndLastRecord)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
