// The equations' own view of a pure component: the real roots, the
// saturation pressure (against values computed once at 50 digits, and by
// the equal-area rule), the stable phase, how each grid root ended, and the
// explanation of a cell.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "solver/case.h"
#include "solver/insight.h"
#include "solver/phase.h"
#include "solver/tests/pressure_form.h"
#include "solver/solve.h"
#include "testsupport/recording_grid.h"

namespace zolvant {
namespace {

using testing::RecordingGrid;

struct Constants {
    double tc, pc, omega, k1, k2, k3;
};
constexpr Constants kButane{425.12, 37.96, 0.2, 0.03443, 0.6767, 0.461};
constexpr Constants kMethane{190.56, 45.99, 0.011, -0.00159, 0.1521, 0.517};
// The constants the frame's limit cases are pinned on.
constexpr Constants kButaneLike{425.1, 37.96, 0.2, 0.03443, 0, 0};
constexpr Constants kMethaneLike{190.6, 45.99, 0.011, -0.00159, 0, 0};

CaseComponent component(const Constants& c, const char* fraction = "1") {
    CaseComponent cc;
    cc.constants = {c.tc, c.pc, c.omega, c.k1, c.k2, c.k3};
    cc.fraction = fraction;
    return cc;
}

// The state as the window holds it after the entries were made.
CaseOutcome solved(std::vector<CaseComponent> components, const char* celsius, const char* pressure,
                   RecordingGrid& g) {
    CaseInput in;
    in.components = std::move(components);
    in.temperature = celsius;
    in.pressure = pressure;
    CaseOutcome out = runCase(in, g);
    EXPECT_TRUE(out.solved) << out.title << ": " << out.message;
    return out;
}
MixtureState stateOf(const Constants& c, const char* celsius, const char* pressure) {
    RecordingGrid g;
    return solved({component(c)}, celsius, pressure, g).state;
}

using testing::pressureOf;

double ulpsAway(double v, int n) {
    for (int i = 0; i < std::abs(n); ++i) v = std::nextafter(v, n > 0 ? INFINITY : -INFINITY);
    return v;
}

TEST(Roots, SatisfyThePressureEquationToTheLastBits) {
    struct Row {
        const char* what;
        Constants c;
        const char* celsius;
        const char* pressure;
        std::size_t count;  // real roots in every block
    };
    const Row rows[] = {
        {"n-butane at 300 K, 1 bar: liquid, unstable and vapour roots", kButane, "26.85", "1", 3},
        {"n-butane at 300 K, 50 bar: the liquid root alone", kButane, "26.85", "50", 1},
        {"n-butane at Tr 0.45 and a millibar: a vapour root near 1.6e7", kButane, "-81.85", "0.001", 3},
        {"methane above its critical temperature: one root", kMethane, "26.85", "1", 1},
        {"methane far above its critical pressure", kMethane, "26.85", "500", 1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const MixtureState s = stateOf(r.c, r.celsius, r.pressure);
        for (int block = 0; block < kBlocks; ++block) {
            SCOPED_TRACE(blockName(block));
            const EquationParameters p = equationParameters(block, s, 0);
            const std::vector<double> roots = phaseView(block, s, 0).roots;
            EXPECT_EQ(roots.size(), r.count);
            for (std::size_t i = 0; i < roots.size(); ++i) {
                const double V = roots[i];
                EXPECT_GT(V, p.b);
                if (i > 0) { EXPECT_GT(V, roots[i - 1]); }
                // The pressure equation changes sign within four units in the last place.
                const long double below = pressureOf(p, ulpsAway(V, -4)) - p.P;
                const long double above = pressureOf(p, ulpsAway(V, 4)) - p.P;
                EXPECT_LT(below * above, 0.0L) << "root " << V;
            }
        }
    }
}

struct Reference {
    Constants c;
    const char* celsius;
    int block;
    double psat;  // bar, from the same parameters at 50 digits
};
// Tr 0.45, 0.70 and 0.995 of n-butane; 0.60, 0.90 and 0.995 of methane.
const Reference kReferences[] = {
        {kButane, "-81.85", 0, 0.49848817393091028621},
        {kButane, "-81.85", 1, 0.017513314686675872024},
        {kButane, "-81.85", 2, 0.010196794106059443169},
        {kButane, "-81.85", 3, 0.0090210993480389479207},
        {kButane, "-81.85", 4, 0.0094806585231256311162},
        {kButane, "-81.85", 5, 0.009422869066678846334},
        {kButane, "24.43", 0, 7.6088801939723316801},
        {kButane, "24.43", 1, 3.318876065019429495},
        {kButane, "24.43", 2, 2.3860719170127192684},
        {kButane, "24.43", 3, 2.3885721289838827428},
        {kButane, "24.43", 4, 2.3944021160338597166},
        {kButane, "24.43", 5, 2.3944038577335701436},
        {kButane, "149.84", 0, 37.203795434076294634},
        {kButane, "149.84", 1, 36.907987832177895299},
        {kButane, "149.84", 2, 36.718190429584263064},
        {kButane, "149.84", 3, 36.744591382748585169},
        {kButane, "149.84", 4, 36.732118007111072847},
        {kButane, "149.84", 5, 36.731786893615344669},
        {kMethane, "-158.81", 0, 3.9959248052942323241},
        {kMethane, "-158.81", 1, 0.94206057022259863023},
        {kMethane, "-158.81", 2, 1.266656602632534548},
        {kMethane, "-158.81", 3, 1.2142054968984720896},
        {kMethane, "-158.81", 4, 1.255614412421055343},
        {kMethane, "-158.81", 5, 1.2572464242497761084},
        {kMethane, "-101.65", 0, 29.752492579800901382},
        {kMethane, "-101.65", 1, 24.733701982680686035},
        {kMethane, "-101.65", 2, 24.778151506292613389},
        {kMethane, "-101.65", 3, 24.888704720425236333},
        {kMethane, "-101.65", 4, 24.738127100612354319},
        {kMethane, "-101.65", 5, 24.727309718804866932},
        {kMethane, "-83.54", 0, 45.078388646007940853},
        {kMethane, "-83.54", 1, 44.721767889489962585},
        {kMethane, "-83.54", 2, 44.703416196258640002},
        {kMethane, "-83.54", 3, 44.720952768656883086},
        {kMethane, "-83.54", 4, 44.699941696225600696},
        {kMethane, "-83.54", 5, 44.699860295395187746},
};

TEST(SaturationPressure, MatchesHighPrecisionValues) {
    for (const Reference& r : kReferences) {
        SCOPED_TRACE(::testing::Message() << r.celsius << " C, " << blockName(r.block));
        const EquationParameters p = equationParameters(r.block, stateOf(r.c, r.celsius, "1"), 0);
        const Saturation s = saturationPressure(p);
        ASSERT_TRUE(s.pressure.has_value()) << s.none;
        EXPECT_NEAR(*s.pressure / r.psat, 1.0, 1e-12);
    }
}

// The integral of P dV from the liquid to the vapour root at Psat equals
// Psat times their difference: Simpson's rule over ln(V - b), where the
// integrand is smooth.
TEST(SaturationPressure, ObeysTheEqualAreaRule) {
    for (const Reference& r : kReferences) {
        SCOPED_TRACE(::testing::Message() << r.celsius << " C, " << blockName(r.block));
        EquationParameters p = equationParameters(r.block, stateOf(r.c, r.celsius, "1"), 0);
        const Saturation s = saturationPressure(p);
        ASSERT_TRUE(s.pressure.has_value());
        p.P = *s.pressure;
        const std::vector<double> roots = realRoots(p);
        ASSERT_GE(roots.size(), 2u);
        const long double b = p.b, lo = std::log(roots.front() - b), hi = std::log(roots.back() - b);
        const int n = 20000;
        const long double h = (hi - lo) / n;
        long double sum = 0;
        for (int i = 0; i <= n; ++i) {
            const long double gap = std::exp(lo + h * i);
            const long double f = pressureOf(p, b + gap) * gap;
            sum += f * (i == 0 || i == n ? 1 : i % 2 ? 4 : 2);
        }
        const long double area = sum * h / 3;
        EXPECT_NEAR(static_cast<double>(area / (p.P * (static_cast<long double>(roots.back()) - roots.front()))), 1.0, 1e-9);
    }
}

TEST(StablePhase, EitherSideOfTheSaturationPressure) {
    struct Row {
        const char* what;
        Constants c;
        const char* celsius;
        const char* pressure;
        int block;
        StablePhase stable;
    };
    // Psat of n-butane at 300 K: 2.5715 bar by Peng-Robinson, 7.9288 by van der Waals.
    const Row rows[] = {
        {"below Psat", kButane, "26.85", "2.57", 2, StablePhase::Vapour},
        {"above Psat", kButane, "26.85", "2.573", 2, StablePhase::Liquid},
        {"below Psat, van der Waals", kButane, "26.85", "7.92", 0, StablePhase::Vapour},
        {"above Psat, van der Waals", kButane, "26.85", "7.94", 0, StablePhase::Liquid},
        {"far above: only the liquid root", kButane, "26.85", "50", 3, StablePhase::Liquid},
        {"above the critical temperature", kMethane, "26.85", "1", 1, StablePhase::Supercritical},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const PhaseView v = phaseView(r.block, stateOf(r.c, r.celsius, r.pressure), 0);
        EXPECT_EQ(v.stable, r.stable);
        EXPECT_EQ(v.saturation.pressure.has_value(), r.stable != StablePhase::Supercritical);
    }
    const double psat = 2.57149184021517;
    EXPECT_EQ(comparedWithSaturation(psat, psat), StablePhase::Saturated);
    EXPECT_EQ(comparedWithSaturation(psat * (1 + 0.5e-10), psat), StablePhase::Saturated);
    EXPECT_EQ(comparedWithSaturation(psat * (1 + 2e-10), psat), StablePhase::Liquid);
    EXPECT_EQ(comparedWithSaturation(psat * (1 - 2e-10), psat), StablePhase::Vapour);
}

// A pressure sweep meets the same cubic at every point, so each thread
// remembers the last few loops and saturation pressures. Whatever the order
// of the questions and however many states push older ones out, the answer
// is the one computed afresh.
TEST(StablePhase, RememberedAnswersAreTheOnesComputedAfresh) {
    struct Asked {
        int block;
        MixtureState state;
    };
    std::vector<Asked> asked;
    for (const Constants& c : {kButane, kMethane, kButaneLike})
        for (const char* celsius : {"-150", "-20", "26.85", "100", "140"})
            for (const char* pressure : {"0.5", "2.57", "40"})
                for (int block = 0; block < kBlocks; ++block) asked.push_back({block, stateOf(c, celsius, pressure)});
    // 90 cubics (the pressure is not part of one): more than a thread remembers.

    auto same = [](const PhaseView& a, const PhaseView& b) {
        return a.defined == b.defined && a.roots == b.roots && a.lnPhiLiquid == b.lnPhiLiquid &&
               a.lnPhiVapour == b.lnPhiVapour && a.saturation.pressure == b.saturation.pressure &&
               a.saturation.none == b.saturation.none && a.stable == b.stable;
    };
    std::vector<PhaseView> afresh(asked.size());
    for (std::size_t i = 0; i < asked.size(); ++i)  // a new thread remembers nothing
        std::thread([&, i] { afresh[i] = phaseView(asked[i].block, asked[i].state, 0); }).join();

    // One thread, in order, backwards and strided: hits and evictions.
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < asked.size(); ++i) order.push_back(i);
    for (std::size_t i = asked.size(); i-- > 0;) order.push_back(i);
    for (std::size_t i = 0; i < asked.size(); ++i) order.push_back((i * 7) % asked.size());
    std::thread([&] {
        for (std::size_t i : order) {
            SCOPED_TRACE(i);
            EXPECT_TRUE(same(phaseView(asked[i].block, asked[i].state, 0), afresh[i]));
            const Saturation s = saturationPressure(equationParameters(asked[i].block, asked[i].state, 0));
            if (asked[i].state.tempK < asked[i].state.constant(0, Tc)) {
                EXPECT_EQ(s.pressure, afresh[i].saturation.pressure);
            }
        }
    }).join();
}

TEST(StablePhase, SupercriticalJustBelowTcWhereTheEquationHasNoLoop) {
    // The largest single temperature below Tc: van der Waals, whose own
    // critical temperature is Tc, still has a loop there; the Peng-Robinson
    // family (0.457235 and 0.077796) has its own a fraction of a kelvin lower.
    MixtureState s = stateOf(kButane, "26.85", "37");
    s.tempK = std::nextafter(s.constant(0, Tc), 0.0f);
    const PhaseView vdw = phaseView(0, s, 0), pr = phaseView(2, s, 0);
    EXPECT_LT(vdw.Tr, 1.0);
    EXPECT_TRUE(vdw.saturation.pressure.has_value()) << vdw.saturation.none;
    EXPECT_NE(vdw.stable, StablePhase::Supercritical);
    EXPECT_FALSE(pr.saturation.pressure.has_value());
    EXPECT_NE(pr.saturation.none.find("own critical temperature"), std::string::npos);
    EXPECT_EQ(pr.stable, StablePhase::Supercritical);
}

TEST(StablePhase, SaturationPressureBelowTheSmallestDouble) {
    // At 1 K the equations' vapour pressure of n-butane is far below 1e-308
    // bar: no number is given, and 1 bar is liquid.
    MixtureState s = stateOf(kButane, "26.85", "1");
    s.tempK = 1.0f;
    for (int block = 0; block < kBlocks; ++block) {
        SCOPED_TRACE(blockName(block));
        const PhaseView v = phaseView(block, s, 0);
        EXPECT_FALSE(v.saturation.pressure.has_value());
        EXPECT_EQ(v.saturation.none, "the saturation pressure lies outside the range of double precision");
        EXPECT_EQ(v.stable, StablePhase::Liquid);
    }
}

TEST(StablePhase, UndefinedStateHasNone) {
    const PhaseView v = phaseView(0, stateOf({425.1, 0, 0.2, 0, 0, 0}, "26.85", "1"), 0);
    EXPECT_FALSE(v.defined);
    EXPECT_FALSE(v.stable.has_value());
    EXPECT_TRUE(v.roots.empty());
    EXPECT_FALSE(v.lnPhiLiquid.has_value());
}

TEST(RootEnds, EveryReasonFromARealCase) {
    struct Row {
        const char* what;
        std::vector<CaseComponent> components;
        const char* celsius;
        const char* pressure;
        Phase phase;
        RootEnd end;
        int steps;
        const char* text;
    };
    const Row rows[] = {
        {"vapour converging at step 80", {component(kButaneLike)}, "26.85", "14.7956", Phase::Vapour, RootEnd::Converged, 80, "converged"},
        {"vapour not converged by step 80", {component(kButaneLike)}, "26.85", "14.7961", Phase::Vapour, RootEnd::StepLimit, 81, "step limit"},
        {"liquid converging at step 80", {component(kButaneLike)}, "86.26", "1", Phase::Liquid, RootEnd::Converged, 80, "converged"},
        {"liquid not converged by step 80", {component(kButaneLike)}, "86.29", "1", Phase::Liquid, RootEnd::StepLimit, 81, "step limit"},
        {"vapour falling below b", {component(kButaneLike)}, "26.85", "20", Phase::Vapour, RootEnd::BelowB, 5, "below b"},
        {"liquid rising above the ideal-gas volume", {component(kButaneLike)}, "100", "1", Phase::Liquid, RootEnd::AboveIdealGas, 33, "above ideal-gas volume"},
        {"liquid above Tc", {component(kMethaneLike)}, "26.85", "1", Phase::Liquid, RootEnd::AboveTc, 0, "above Tc"},
        {"critical pressure 0", {component({425.1, 0, 0.2, 0, 0, 0})}, "26.85", "1", Phase::Vapour, RootEnd::Undefined, 0, "undefined"},
        {"critical pressure 0, liquid", {component({425.1, 0, 0.2, 0, 0, 0})}, "26.85", "1", Phase::Liquid, RootEnd::Undefined, 0, "undefined"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        RecordingGrid g;
        solved(r.components, r.celsius, r.pressure, g);
        const auto root = g.root(0, 0, r.phase);
        ASSERT_TRUE(root.has_value());
        EXPECT_EQ(root->end, r.end);
        EXPECT_EQ(root->steps, r.steps);
        EXPECT_STREQ(rootEndText(root->end), r.text);
    }
}

// The insight of a case, with the root outcomes the grid recorded.
SolvedCase solvedCase(const CaseOutcome& out, const RecordingGrid& g, std::array<std::string, 4> names) {
    SolvedCase c;
    c.state = out.state;
    c.fractions = out.fractions;
    c.names = std::move(names);
    for (int b = 0; b < kBlocks; ++b)
        for (int row = 0; row < 4; ++row)
            for (Phase ph : {Phase::Vapour, Phase::Liquid})
                if (const auto r = g.root(b, row, ph)) c.roots.record(b, row, ph, RootOutcome{r->end, r->steps, r->value});
    return c;
}

TEST(CellInsight, SaysWhyACellIsNAAndWhatTheEquationHas) {
    RecordingGrid g;
    const CaseOutcome out = solved({component(kButaneLike)}, "26.85", "20", g);
    const SolvedCase c = solvedCase(out, g, {"n-Butane", "", "", ""});
    const std::string vapour = cellInsight(c, 0, Column::Vapour, 0, g.cell(0, Column::Vapour, 0));
    EXPECT_EQ(vapour,
              "n-Butane, Van der Waals, vapour: NA: the iteration stopped at step 5 of 80: the vapour iterate fell "
              "below b. The equation's only real root here is 161.6 cm\u00b3/mol. Tr = 0.706, Pr = 0.527. "
              "Saturation pressure at 300 K by this equation: 7.931 bar; at 20 bar the stable phase is liquid.");
    const std::string z = cellInsight(c, 0, Column::Z, 0, g.cell(0, Column::Z, 0));
    EXPECT_EQ(z, "n-Butane, Van der Waals, Z: NA, because the vapour volume is NA (the iteration stopped at step 5 of "
                 "80: the vapour iterate fell below b).");
    EXPECT_EQ(cellInsight(c, 0, Column::Vapour, 0, ""), "");             // an empty cell
    EXPECT_EQ(cellInsight(c, 0, Column::Vapour, 1, "24494.3"), "");      // a row not in use
    EXPECT_EQ(cellInsight(c, 0, Column::Vapour, kMixtureRow, "1"), "");  // no mixture row for one component
}

TEST(CellInsight, AColouredCellNamesTheMissingConstantAndWhatWasUsed) {
    // ω and K1 missing: Peng-Robinson and Soave mark ω, the Stryjek-Vera
    // equations K1 (which outranks ω); the other two have no mark.
    RecordingGrid g;
    CaseComponent noOmega;
    noOmega.constants = {300.0, 40.0, std::nullopt, std::nullopt, 0.5, 0.4};
    noOmega.fraction = "1";
    const CaseOutcome out = solved({noOmega}, "26.85", "1", g);
    const SolvedCase c = solvedCase(out, g, {"Nullomega", "", "", ""});
    struct Row { int block; const char* line; };
    const Row rows[] = {
        {0, nullptr},
        {1, nullptr},
        {2, "Reddish background: the acentric factor \u03c9 of Nullomega is missing (or 0) in the database; "
            "Peng-Robinson used \u03c9 = 0 instead."},
        {3, "Reddish background: the acentric factor \u03c9 of Nullomega is missing (or 0) in the database; "
            "Soave-Redlich-Kwong used \u03c9 = 0 instead."},
        {4, "Reddish background: the K1 of Nullomega is missing (or 0) in the database; PR-Stryjek-Vera 1 used "
            "K1 = 0 instead."},
        {5, "Reddish background: the K1 of Nullomega is missing (or 0) in the database; PR-Stryjek-Vera 2 used "
            "K1 = 0 instead."},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(blockName(r.block));
        // The line is there exactly where the grid put a colour.
        EXPECT_EQ(g.mark(r.block, 0).value_or(Mark::Window) != Mark::Window, r.line != nullptr);
        for (Column col : {Column::Liquid, Column::Vapour, Column::Z}) {
            const std::string tip = cellInsight(c, r.block, col, 0, g.cell(r.block, col, 0));
            ASSERT_FALSE(tip.empty());
            const auto lineAt = tip.find('\n');
            if (!r.line || col == Column::Liquid) {
                EXPECT_EQ(lineAt, std::string::npos) << tip;
            } else {
                ASSERT_NE(lineAt, std::string::npos) << tip;
                EXPECT_EQ(tip.substr(lineAt + 1), r.line);
            }
        }
    }
}

TEST(StablePhaseTag, SaysWhatTheSubjectAloneWouldBe) {
    struct Row { StablePhase phase; const char* text; };
    const Row rows[] = {
        {StablePhase::Vapour, "V: n-Butane alone at this state would be a vapour by Peng-Robinson: the pressure is "
                              "below its saturation pressure at this temperature."},
        {StablePhase::Liquid, "L: n-Butane alone at this state would be a liquid by Peng-Robinson: the pressure is "
                              "above its saturation pressure at this temperature."},
        {StablePhase::Saturated, "V=L: n-Butane alone at this state would be at saturation by Peng-Robinson: the "
                                 "pressure is its saturation pressure, where liquid and vapour coexist (V=L)."},
        {StablePhase::Supercritical, "SC: n-Butane alone at this state would be supercritical by Peng-Robinson: at "
                                     "or above its critical temperature, or where the equation has no saturation "
                                     "pressure, there is no separate liquid and vapour."},
    };
    for (const Row& r : rows) EXPECT_EQ(stablePhaseTagExplanation(r.phase, "n-Butane alone", "Peng-Robinson"), r.text);
}

}  // namespace
}  // namespace zolvant
