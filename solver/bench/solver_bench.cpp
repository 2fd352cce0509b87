// Cost of one press of Solve: the checks, clearing the grid, all six
// equations and the formatting of every cell.

#include <benchmark/benchmark.h>

#include <array>
#include <string>
#include <vector>

#include "solver/insight.h"
#include "solver/mixture_entry.h"
#include "solver/phase.h"
#include "solver/sweep_point.h"

namespace {

using namespace zolvant;

// Keeps the texts as the window's text boxes would.
class TextGrid : public ResultGrid {
public:
    void setCellText(int block, Column column, int row, const std::string& text) override {
        cells_[static_cast<std::size_t>(block)][static_cast<std::size_t>(column)][static_cast<std::size_t>(row)] = text;
    }
    void setCellMark(int block, int row, Mark mark) override {
        marks_[static_cast<std::size_t>(block)][static_cast<std::size_t>(row)] = mark;
    }
    void rootDone(int, int, Phase, const RootOutcome& root) override { steps_ += root.steps; }
    long steps() const { return steps_; }

private:
    std::array<std::array<std::array<std::string, 5>, 3>, kBlocks> cells_{};
    std::array<std::array<Mark, 4>, kBlocks> marks_{};
    long steps_ = 0;
};

ComponentConstants component(double tc, double pc, double omega, double k1, double k2, double k3) {
    return {tc, pc, omega, k1, k2, k3};
}

// The entry as the window holds it after the boxes were left: a quarter of
// each component.
struct Prepared {
    MixtureEntry entry;
    FractionTexts fractions;
    ShownConditions shown;  // what the two boxes show
};
Prepared prepare(const std::vector<ComponentConstants>& components, const char* celsius, const char* pressure) {
    Prepared p;
    for (std::size_t k = 0; k < components.size(); ++k) {
        const int row = static_cast<int>(k);
        p.entry.chooseComponent(row, components[k]);
        p.fractions[k] = p.entry.leaveFraction(row, "0.250").text;
    }
    p.entry.leaveTemperature(celsius);
    p.entry.leavePressure(pressure);
    p.shown = {celsius, pressure};
    return p;
}

// The press itself: the checks, clearing the grid, all six equations.
template <class Grid = TextGrid>
void solveOnce(benchmark::State& st, const Prepared& prepared) {
    Grid g;
    for (auto _ : st) {
        MixtureEntry entry = prepared.entry;
        const SolveCheck c = entry.solve(prepared.fractions, prepared.shown, g);
        benchmark::DoNotOptimize(c);
        benchmark::DoNotOptimize(g);
    }
    st.counters["steps/solve"] = static_cast<double>(g.steps()) / static_cast<double>(st.iterations());
}

// Methane, ethane, propane and n-butane, a quarter each, at 26.85 °C and 5 bar.
const Prepared& lightAlkanes() {
    static const Prepared prepared = prepare(
        {component(190.56, 45.99, 0.011, -0.00159, 0.1521, 0.517),   // methane
         component(305.32, 48.72, 0.099, 0.02669, 0.1358, 0.424),    // ethane
         component(369.83, 42.48, 0.152, 0.03136, 0.2757, 0.447),    // propane
         component(425.12, 37.96, 0.200, 0.03443, 0.6767, 0.461)},   // n-butane
        "26.85", "5");
    return prepared;
}

void LightAlkanes(benchmark::State& st) { solveOnce(st, lightAlkanes()); }
BENCHMARK(LightAlkanes);

// Four components just above their critical point: nearly every root
// iterates to the 80-step limit.
void NearCriticalRootsAtStepLimit(benchmark::State& st) {
    static const Prepared prepared = prepare(
        {component(301.0, 51.0, 0.2, 0.03443, 0.6, 0.46), component(301.1, 51.1, 0.2, 0.03443, 0.6, 0.46),
         component(300.9, 50.9, 0.2, 0.03443, 0.6, 0.46), component(301.0, 50.8, 0.2, 0.03443, 0.6, 0.46)},
        "26.85", "50");
    solveOnce(st, prepared);
}
BENCHMARK(NearCriticalRootsAtStepLimit);

// The insight of the same four-component Solve, beside the Solve's own cost:
// the stable phase of every row and equation (what the window's cue draws
// after a Solve), and every cell's explanation (what hovering all 90 cells
// would compute; the window computes one per hover).
class InsightGrid : public TextGrid {
public:
    void setCellText(int block, Column column, int row, const std::string& text) override {
        TextGrid::setCellText(block, column, row, text);
        texts[static_cast<std::size_t>(block)][static_cast<std::size_t>(column)][static_cast<std::size_t>(row)] = text;
    }
    void rootDone(int block, int row, Phase phase, const RootOutcome& root) override {
        TextGrid::rootDone(block, row, phase, root);
        roots.record(block, row, phase, root);
    }
    std::array<std::array<std::array<std::string, 5>, 3>, kBlocks> texts{};
    RootLog roots;
};

// The Solve itself while the root outcomes are kept for the insight.
void LightAlkanesKeepingRoots(benchmark::State& st) { solveOnce<InsightGrid>(st, lightAlkanes()); }
BENCHMARK(LightAlkanesKeepingRoots);

void InsightStablePhases(benchmark::State& st) {
    const Prepared& prepared = lightAlkanes();
    for (auto _ : st) {
        for (int b = 0; b < kBlocks; ++b)
            for (int k = 0; k < 4; ++k) benchmark::DoNotOptimize(phaseView(b, prepared.entry.state(), k).stable);
    }
}
BENCHMARK(InsightStablePhases)->Unit(benchmark::kMicrosecond);

void InsightAllCellTexts(benchmark::State& st) {
    MixtureEntry entry = lightAlkanes().entry;
    InsightGrid g;
    entry.solve(lightAlkanes().fractions, lightAlkanes().shown, g);
    SolvedCase c;
    c.state = entry.state();
    c.fractions = lightAlkanes().fractions;
    c.names = {"Methane", "Ethane", "Propane", "n-Butane"};
    c.roots = g.roots;
    for (auto _ : st) {
        for (int b = 0; b < kBlocks; ++b)
            for (int col = 0; col < 3; ++col)
                for (int row = 0; row <= kMixtureRow; ++row)
                    benchmark::DoNotOptimize(cellInsight(c, b, static_cast<Column>(col), row,
                                                         g.texts[static_cast<std::size_t>(b)][static_cast<std::size_t>(col)][static_cast<std::size_t>(row)]));
    }
}
BENCHMARK(InsightAllCellTexts)->Unit(benchmark::kMicrosecond);

// One point of the Sweep window's four-component pressure sweep: the case
// run and packed, alone and with the stable phase of every row and equation.
void SweepWindowPoint(benchmark::State& st) {
    SweepPlan plan;
    const std::array<ComponentConstants, 4> comps{component(190.56, 45.99, 0.011, -0.00159, 0.1521, 0.517),
                                                  component(305.32, 48.72, 0.099, 0.02, 0, 0),
                                                  component(369.83, 42.48, 0.152, 0.03136, 0, 0),
                                                  component(425.12, 37.96, 0.2, 0.03443, 0.6767, 0.461)};
    const char* fractions[] = {"0.4", "0.3", "0.2", nullptr};
    for (std::size_t k = 0; k < 4; ++k) {
        CaseComponent c{comps[k], std::nullopt};
        if (fractions[k]) c.fraction = fractions[k];
        plan.mixture.components.push_back(c);
    }
    plan.mixture.temperature = "0";
    plan.mixture.pressure = "1";
    plan.range = {0.5, 80, 1000, SweepSpacing::Linear};
    const std::vector<double> values = sweepValues(plan.range);
    const bool stable = st.range(0) != 0;
    std::size_t i = 0;
    for (auto _ : st) {
        benchmark::DoNotOptimize(computeSweepPoint(plan, values, i, stable));
        i = (i + 1) % values.size();
    }
    st.counters["points/s"] = benchmark::Counter(double(st.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(SweepWindowPoint)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
