// Cost of the real-mixture model: the PT flash, bubble and dew pressures
// and the whole phase envelope of methane/ethane/propane/n-butane
// 0.70/0.15/0.10/0.05 at −43.15 °C and 40 bar (constants of
// data/components.csv), kij methane–ethane −0.0059 for every equation.

#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

#include "solver/envelope.h"
#include "solver/flash.h"
#include "solver/mixture_model.h"
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

// One bubble or dew pressure at −43.15 °C, Newton from the neighbouring
// points of the traced envelope (the envelope itself traced once, outside
// the loop).
void BM_SaturationPressure(benchmark::State& st) {
    const int block = static_cast<int>(st.range(0));
    const bool bubble = st.range(1) == 0;
    const Prepared& p = fourAlkanes();
    const double T = static_cast<double>(p.state.tempK);
    std::string why;
    const std::optional<Fluid> f = makeFluid(block, p.state, p.z, p.kij, T, why);
    const Envelope env = traceEnvelope(*f, p.z);
    EnvelopePoint a, b;
    for (std::size_t i = 0; i + 1 < env.points.size(); ++i) {
        const EnvelopePoint& u = env.points[i];
        const EnvelopePoint& v = env.points[i + 1];
        const EnvelopeBranch want = bubble ? EnvelopeBranch::Bubble : EnvelopeBranch::Dew;
        if (u.branch == want && v.branch == want && (u.T - T) * (v.T - T) <= 0) { a = u; b = v; }
    }
    const int n = f->n;
    Unknowns guess = a.X;
    const double frac = (std::log(T) - a.X[static_cast<std::size_t>(n)]) / (b.X[static_cast<std::size_t>(n)] - a.X[static_cast<std::size_t>(n)]);
    for (int k = 0; k < n + 2; ++k)
        guess[static_cast<std::size_t>(k)] += frac * (b.X[static_cast<std::size_t>(k)] - a.X[static_cast<std::size_t>(k)]);
    double P = 0.0;
    for (auto _ : st) {
        Fluid g = *f;
        SaturationState s;
        s.X = guess;
        if (solveSaturation(g, p.z, bubble ? SaturationKind::Bubble : SaturationKind::Dew, n, std::log(T), s, why))
            P = std::exp(s.X[static_cast<std::size_t>(n + 1)]);
        benchmark::DoNotOptimize(P);
    }
    st.SetLabel(std::string(blockName(block)) + (bubble ? " bubble P " : " dew P ") + std::to_string(P) + " bar");
}
BENCHMARK(BM_SaturationPressure)->ArgsProduct({{0, 1, 2, 3, 4, 5}, {0, 1}})->Unit(benchmark::kMicrosecond);

// The whole envelope (start at 1 bar, at most 200 points).
void BM_Envelope(benchmark::State& st) {
    const int block = static_cast<int>(st.range(0));
    const Prepared& p = fourAlkanes();
    std::string why;
    const std::optional<Fluid> f = makeFluid(block, p.state, p.z, p.kij, static_cast<double>(p.state.tempK), why);
    std::size_t points = 0;
    for (auto _ : st) {
        const Envelope env = traceEnvelope(*f, p.z);
        points = env.points.size();
        benchmark::DoNotOptimize(points);
    }
    st.SetLabel(std::string(blockName(block)) + ", " + std::to_string(points) + " points");
}
BENCHMARK(BM_Envelope)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

// Everything a front end asks for at once: flash, the four saturation lists and the envelope.
void BM_Report(benchmark::State& st) {
    const Prepared& p = fourAlkanes();
    for (auto _ : st) {
        const MixtureReport r = mixtureReport(2, p.state, p.z, p.kij, MolarMasses{16.043, 30.070, 44.097, 58.123});
        benchmark::DoNotOptimize(r.phases);
    }
}
BENCHMARK(BM_Report)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
