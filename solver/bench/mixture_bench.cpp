// Cost of the real-mixture model: the PT flash, bubble and dew pressures
// and the whole phase envelope of methane/ethane/propane/n-butane
// 0.70/0.15/0.10/0.05 at −43.15 °C and 40 bar (constants of
// data/components.csv), kij methane–ethane −0.0059 for every equation.

#include <benchmark/benchmark.h>

#include <string>

#include "solver/flash.h"
#include "solver/mixture_entry.h"

namespace {

using namespace zolvant;

struct Prepared {
    MixtureState state;
    CompVector z{};
    KijMatrix kij{};
};

const Prepared& fourAlkanes() {
    static const Prepared p = [] {
        Prepared out;
        MixtureEntry entry;
        const ComponentConstants constants[4] = {{190.56, 45.99, 0.011, -0.00159, 0.1521, 0.517},
                                                 {305.32, 48.72, 0.099, 0.02669, 0.1358, 0.424},
                                                 {369.83, 42.48, 0.152, 0.03136, 0.2757, 0.447},
                                                 {425.12, 37.96, 0.200, 0.03443, 0.6767, 0.461}};
        const char* fractions[4] = {"0.70", "0.15", "0.10", "0.05"};
        FractionTexts texts;
        for (int k = 0; k < 4; ++k) {
            entry.chooseComponent(k, constants[k]);
            texts[static_cast<std::size_t>(k)] = entry.leaveFraction(k, fractions[k]).text;
        }
        entry.leaveTemperature("-43.15");
        entry.leavePressure("40");
        struct NoGrid : ResultGrid {
            void setCellText(int, Column, int, const std::string&) override {}
            void setCellMark(int, int, Mark) override {}
        } grid;
        entry.solve(texts, grid);
        out.state = entry.state();
        out.z = feedFractions(out.state, texts);
        out.kij[0][1] = out.kij[1][0] = -0.0059;
        return out;
    }();
    return p;
}

void BM_Flash(benchmark::State& st) {
    const int block = static_cast<int>(st.range(0));
    const bool testPhases = st.range(1) != 0;
    const Prepared& p = fourAlkanes();
    const double T = static_cast<double>(p.state.tempK), P = static_cast<double>(p.state.pressBar);
    int phases = 0;
    for (auto _ : st) {
        std::string why;
        const std::optional<Fluid> f = makeFluid(block, p.state, p.z, p.kij, T, why);
        FlashOptions o;
        o.testPhases = testPhases;
        const FlashResult r = flash(*f, p.z, P, o);
        phases = r.phases;
        benchmark::DoNotOptimize(r.beta);
    }
    st.SetLabel(std::string(blockName(block)) + (testPhases ? ", phases tested" : "") + ", phases " + std::to_string(phases));
}
BENCHMARK(BM_Flash)->ArgsProduct({{0, 1, 2, 3, 4, 5}, {0, 1}})->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
