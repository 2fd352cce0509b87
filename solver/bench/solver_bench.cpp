// Cost of one press of Solve: the checks, clearing the grid, all six
// equations and the formatting of every cell.

#include <benchmark/benchmark.h>

#include <array>
#include <string>
#include <vector>

#include "solver/mixture_entry.h"

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
    void rootDone(int, int, Phase, int steps, bool) override { steps_ += steps; }
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
    return p;
}

// The press itself: the checks, clearing the grid, all six equations.
void solveOnce(benchmark::State& st, const Prepared& prepared) {
    TextGrid g;
    for (auto _ : st) {
        MixtureEntry entry = prepared.entry;
        const SolveCheck c = entry.solve(prepared.fractions, g);
        benchmark::DoNotOptimize(c);
        benchmark::DoNotOptimize(g);
    }
    st.counters["steps/solve"] = static_cast<double>(g.steps()) / static_cast<double>(st.iterations());
}

void LightAlkanes(benchmark::State& st) {
    static const Prepared prepared = prepare(
        {component(190.56, 45.99, 0.011, -0.00159, 0.1521, 0.517),   // methane
         component(305.32, 48.72, 0.099, 0.02669, 0.1358, 0.424),    // ethane
         component(369.83, 42.48, 0.152, 0.03136, 0.2757, 0.447),    // propane
         component(425.12, 37.96, 0.200, 0.03443, 0.6767, 0.461)},   // n-butane
        "26.85", "5");
    solveOnce(st, prepared);
}
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

}  // namespace

BENCHMARK_MAIN();
