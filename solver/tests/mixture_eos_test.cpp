// The one-fluid mixture model's equation of state: the grid's own
// parameters at any temperature, the pure limit bit for bit against the
// phase insight, ln φ against an independently written residual Helmholtz
// energy, and the issue's reference states.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "solver/mixture_eos.h"
#include "solver/phase.h"
#include "solver/tests/seed_mixture.h"

namespace zolvant {
namespace {

using testing::seedCase;

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

KijMatrix noKij() { return KijMatrix{}; }

Fluid fluidOf(int block, const MixtureState& s, const CompVector& z, const KijMatrix& kij, double T) {
    std::string why;
    const std::optional<Fluid> f = makeFluid(block, s, z, kij, T, why);
    EXPECT_TRUE(f.has_value()) << why;
    return f.value_or(Fluid{});
}

const std::vector<std::pair<std::string, std::string>> kFourAlkanes = {
    {"Methane", "0.70"}, {"Ethane", "0.15"}, {"Propane", "0.10"}, {"n-Butane", "0.05"}};

TEST(MixtureParameters, AtTheGridTemperatureTheIterationsOwnValuesAndSmoothBeside) {
    for (const char* celsius : {"-43.15", "26.85", "-150", "100.3"}) {
        SCOPED_TRACE(celsius);
        const auto c = seedCase(kFourAlkanes, celsius, "40");
        const double T = static_cast<double>(c.state.tempK);
        for (int block = 0; block < kBlocks; ++block) {
            SCOPED_TRACE(blockName(block));
            for (int k = 0; k < 4; ++k) {
                const EquationParameters grid = equationParameters(block, c.state, k);
                const EquationParameters at = equationParametersAt(block, c.state, k, T);
                EXPECT_TRUE(sameBits(grid.a, at.a) && sameBits(grid.b, at.b) && sameBits(grid.T, at.T))
                    << "position " << k;
                // One unit in the last place of T away: the double T/Tc path, within
                // a relative 1e-7 of the grid's value (the single-precision T/Tc).
                const EquationParameters beside = equationParametersAt(block, c.state, k, std::nextafter(T, 1e9));
                EXPECT_TRUE(sameBits(grid.b, beside.b));
                EXPECT_NEAR(beside.a, grid.a, 1e-7 * grid.a);
                // The fluid at T takes exactly those values.
                const Fluid f = fluidOf(block, c.state, feedFractions(c.state, c.fractions), noKij(), T);
                EXPECT_TRUE(sameBits(f.a[static_cast<std::size_t>(k)], grid.a));
                EXPECT_TRUE(sameBits(f.aij[static_cast<std::size_t>(k)][static_cast<std::size_t>(k)], grid.a));
            }
        }
    }
}

TEST(MixtureParameters, FractionsAreTheGridsSharesNormalised) {
    const auto c = seedCase({{"n-Butane", "0.5"}, {"Methane", "0.5"}}, "26.85", "1");
    const CompVector z = feedFractions(c.state, c.fractions);
    EXPECT_EQ(z[0], 0.5);
    EXPECT_EQ(z[1], 0.5);
    EXPECT_EQ(z[2], 0.0);
    const auto one = seedCase({{"n-Butane", "1"}}, "26.85", "1");
    EXPECT_EQ(feedFractions(one.state, one.fractions)[0], 1.0);
}

// Every state the pure limit is checked at: one component alone, and each
// component of a binary with the other's fraction exactly 0.
TEST(PureLimit, RootsAndLnPhiAreThePhaseInsightsBitForBit) {
    struct Row {
        const char* what;
        std::vector<std::pair<std::string, std::string>> components;
        const char* celsius;
        const char* pressure;
    };
    const Row rows[] = {
        {"n-butane alone at 300 K, 1 bar: three roots", {{"n-Butane", "1"}}, "26.85", "1"},
        {"methane alone, supercritical", {{"Methane", "1"}}, "26.85", "50"},
        {"n-butane/methane at 300 K, 1 bar", {{"n-Butane", "0.5"}, {"Methane", "0.5"}}, "26.85", "1"},
        {"ethane/propane at -20 C, 10 bar", {{"Ethane", "0.4"}, {"Propane", "0.6"}}, "-20", "10"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const auto c = seedCase(r.components, r.celsius, r.pressure);
        const double T = static_cast<double>(c.state.tempK), P = static_cast<double>(c.state.pressBar);
        for (int block = 0; block < kBlocks; ++block) {
            SCOPED_TRACE(blockName(block));
            for (int k = 0; k < c.state.numComps; ++k) {
                CompVector z{};
                z[static_cast<std::size_t>(k)] = 1.0;
                KijMatrix kij{};
                kij[0][1] = kij[1][0] = 0.07;  // no effect when the other fraction is 0
                const Fluid f = fluidOf(block, c.state, z, kij, T);
                const PhaseView view = phaseView(block, c.state, k);
                const std::vector<double> roots = mixtureRoots(f, z, P);
                ASSERT_EQ(roots.size(), view.roots.size());
                for (std::size_t i = 0; i < roots.size(); ++i) EXPECT_TRUE(sameBits(roots[i], view.roots[i]));
                PhasePoint liquid, vapour;
                ASSERT_TRUE(evaluatePhase(f, z, P, RootChoice::Smallest, liquid));
                ASSERT_TRUE(evaluatePhase(f, z, P, RootChoice::Largest, vapour));
                const auto ku = static_cast<std::size_t>(k);
                EXPECT_TRUE(sameBits(liquid.V, view.roots.front()));
                EXPECT_TRUE(sameBits(vapour.V, view.roots.back()));
                EXPECT_TRUE(sameBits(liquid.lnPhi[ku], *view.lnPhiLiquid));
                EXPECT_TRUE(sameBits(vapour.lnPhi[ku], *view.lnPhiVapour));
            }
        }
    }
}

// The residual Helmholtz energy of n moles in volume V, written out from
// the pressure equation, in extended precision:
//   F = A_res/(RT) = −n ln(1 − B/V) − D/(RT) ∫_V^∞ dV'/((V' + δ1B)(V' + δ2B))
// with B = Σ ni bi and D = Σ Σ ni nj (1 − kij) √(ai aj).
// ln φi = (∂F/∂ni) at T, V − ln Z.
long double residualHelmholtz(const Fluid& f, const std::vector<long double>& n, long double V) {
    const long double r2 = std::sqrt(2.0L);
    const long double d1 = f.family == CubicFamily::VanDerWaals ? 0 : f.family == CubicFamily::RedlichKwong ? 1 : 1 + r2;
    const long double d2 = f.family == CubicFamily::PengRobinson ? 1 - r2 : 0;
    long double total = 0, B = 0, D = 0;
    for (int i = 0; i < f.m; ++i) {
        const auto iu = static_cast<std::size_t>(i);
        total += n[iu];
        B += n[iu] * f.b[iu];
        for (int j = 0; j < f.m; ++j) {
            const auto ju = static_cast<std::size_t>(j);
            D += n[iu] * n[ju] * (1 - static_cast<long double>(f.kij[iu][ju])) *
                 std::sqrt(static_cast<long double>(f.a[iu]) * f.a[ju]);
        }
    }
    const long double RT = static_cast<long double>(f.R) * f.T;
    const long double integral =
        d1 == d2 ? 1 / (V + d1 * B) : std::log((V + d1 * B) / (V + d2 * B)) / (B * (d1 - d2));
    return -total * std::log(1 - B / V) - D / RT * integral;
}

TEST(LnPhi, IsTheDerivativeOfAnIndependentHelmholtzEnergy) {
    const auto c = seedCase(kFourAlkanes, "-43.15", "40");
    const double T = static_cast<double>(c.state.tempK);
    KijMatrix kij{};
    const double pairs[4][4] = {{0, 0.02, 0.03, 0.04}, {0.02, 0, -0.01, 0.05}, {0.03, -0.01, 0, 0.06}, {0.04, 0.05, 0.06, 0}};
    for (std::size_t i = 0; i < 4; ++i)
        for (std::size_t j = 0; j < 4; ++j) kij[i][j] = pairs[i][j];
    const CompVector x{0.3, 0.25, 0.25, 0.2};
    for (int block = 0; block < kBlocks; ++block) {
        SCOPED_TRACE(blockName(block));
        const Fluid f = fluidOf(block, c.state, x, kij, T);
        for (double P : {1.0, 40.0, 150.0}) {
            for (RootChoice choice : {RootChoice::Smallest, RootChoice::Largest}) {
                PhasePoint ph;
                ASSERT_TRUE(evaluatePhase(f, x, P, choice, ph));
                // The root satisfies the pressure equation written from F: P = RT(n/V − ∂F/∂V).
                std::vector<long double> n(x.begin(), x.end());
                const long double V = ph.V, hV = V * 1e-6L;
                const long double dFdV = (residualHelmholtz(f, n, V + hV) - residualHelmholtz(f, n, V - hV)) / (2 * hV);
                const long double RT = static_cast<long double>(f.R) * f.T;
                EXPECT_NEAR(static_cast<double>(RT * (1 / V - dFdV)), P, 1e-7 * P);
                for (int i = 0; i < 4; ++i) {
                    const auto iu = static_cast<std::size_t>(i);
                    std::vector<long double> up = n, down = n;
                    const long double h = 1e-6L;
                    up[iu] += h;
                    down[iu] -= h;
                    const long double dF = (residualHelmholtz(f, up, V) - residualHelmholtz(f, down, V)) / (2 * h);
                    const double expected = static_cast<double>(dF - std::log(static_cast<long double>(ph.Z)));
                    EXPECT_NEAR(ph.lnPhi[iu], expected, 1e-8) << "P " << P << " component " << i;
                }
            }
        }
    }
}

TEST(LnPhi, AnAbsentComponentGetsItsInfiniteDilutionValue) {
    const auto c = seedCase(kFourAlkanes, "-43.15", "40");
    const double T = static_cast<double>(c.state.tempK);
    const CompVector x{0.7, 0.3, 0.0, 0.0};
    const CompVector nearly{0.7, 0.3 - 1e-9, 1e-9, 0.0};
    for (int block = 0; block < kBlocks; ++block) {
        SCOPED_TRACE(blockName(block));
        const Fluid absent = fluidOf(block, c.state, x, noKij(), T);
        const Fluid present = fluidOf(block, c.state, nearly, noKij(), T);
        EXPECT_EQ(absent.n, 2);
        PhasePoint a, p;
        ASSERT_TRUE(evaluatePhase(absent, x, 40.0, RootChoice::Largest, a));
        ASSERT_TRUE(evaluatePhase(present, nearly, 40.0, RootChoice::Largest, p));
        EXPECT_NEAR(a.lnPhi[2], p.lnPhi[2], 1e-7);
    }
}

TEST(ReferenceStates, OneFluidZOfTheIssuesMixtures) {
    struct Row {
        const char* what;
        std::vector<std::pair<std::string, std::string>> components;
        const char* celsius;
        const char* pressure;
        double k01;
        double Z;
        double tolerance;
    };
    const Row rows[] = {
        {"methane/ethane 70/30, 0 C, 50 bar, kij 0", {{"Methane", "0.7"}, {"Ethane", "0.3"}}, "0", "50", 0.0, 0.7515, 5e-5},
        {"the same with kij -0.0059", {{"Methane", "0.7"}, {"Ethane", "0.3"}}, "0", "50", -0.0059, 0.7501, 5e-5},
        {"n-butane/methane 50/50, 26.85 C, 1 bar", {{"n-Butane", "0.5"}, {"Methane", "0.5"}}, "26.85", "1", 0.0, 0.9888, 5e-5},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const auto c = seedCase(r.components, r.celsius, r.pressure);
        KijMatrix kij{};
        kij[0][1] = kij[1][0] = r.k01;
        const CompVector z = feedFractions(c.state, c.fractions);
        const Fluid f = fluidOf(2, c.state, z, kij, static_cast<double>(c.state.tempK));
        PhasePoint ph;
        ASSERT_TRUE(evaluatePhase(f, z, static_cast<double>(c.state.pressBar), RootChoice::LowestGibbs, ph));
        EXPECT_NEAR(ph.Z, r.Z, r.tolerance);
        EXPECT_FALSE(liquidLike(f, z, ph.V));
    }
    // The n-butane/methane vapour: V ≈ 24 662 cm³/mol.
    const auto c = seedCase({{"n-Butane", "0.5"}, {"Methane", "0.5"}}, "26.85", "1");
    const CompVector z = feedFractions(c.state, c.fractions);
    const Fluid f = fluidOf(2, c.state, z, noKij(), static_cast<double>(c.state.tempK));
    PhasePoint ph;
    ASSERT_TRUE(evaluatePhase(f, z, 1.0, RootChoice::LowestGibbs, ph));
    EXPECT_NEAR(ph.V, 24662, 1.0);
}

TEST(PhaseIdentification, LiquidAndVapourRootsOfAPureFluidBelowTc) {
    const auto c = seedCase({{"n-Butane", "1"}}, "26.85", "1");
    const CompVector z{1, 0, 0, 0};
    for (int block = 0; block < kBlocks; ++block) {
        SCOPED_TRACE(blockName(block));
        const Fluid f = fluidOf(block, c.state, z, noKij(), static_cast<double>(c.state.tempK));
        PhasePoint liquid, vapour;
        ASSERT_TRUE(evaluatePhase(f, z, 1.0, RootChoice::Smallest, liquid));
        ASSERT_TRUE(evaluatePhase(f, z, 1.0, RootChoice::Largest, vapour));
        EXPECT_TRUE(liquidLike(f, z, liquid.V));
        EXPECT_FALSE(liquidLike(f, z, vapour.V));
    }
}

TEST(Kij, RefusedWhenNotSymmetricNotFiniteOrWithADiagonal) {
    const auto c = seedCase({{"Methane", "0.7"}, {"Ethane", "0.3"}}, "0", "50");
    const CompVector z{0.7, 0.3, 0, 0};
    struct Row {
        const char* what;
        double k01, k10, k00;
        const char* reason;
    };
    const Row rows[] = {
        {"asymmetric", 0.01, 0.02, 0.0, "not symmetric"},
        {"not finite", NAN, NAN, 0.0, "not finite"},
        {"a diagonal term", 0.01, 0.01, 0.1, "kii is not 0"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        KijMatrix kij{};
        kij[0][1] = r.k01;
        kij[1][0] = r.k10;
        kij[0][0] = r.k00;
        std::string why;
        EXPECT_FALSE(makeFluid(2, c.state, z, kij, 273.15, why).has_value());
        EXPECT_NE(why.find(r.reason), std::string::npos) << why;
    }
}

TEST(Undefined, AReasonInsteadOfAFluid) {
    MixtureState s;
    s.numComps = 2;
    s.tempK = 300.0f;
    s.pressBar = 10.0f;
    s.constant(0, Tc) = 0.0f;
    s.constant(0, Pc) = 45.0f;
    s.constant(1, Tc) = 305.32f;
    s.constant(1, Pc) = -48.72f;
    std::string why;
    EXPECT_FALSE(makeFluid(2, s, CompVector{0.5, 0.5, 0, 0}, KijMatrix{}, 300.0, why).has_value());
    EXPECT_NE(why.find("critical temperature is 0"), std::string::npos) << why;
    EXPECT_FALSE(makeFluid(2, s, CompVector{0.0, 1.0, 0, 0}, KijMatrix{}, 300.0, why).has_value());
    EXPECT_NE(why.find("b is not positive"), std::string::npos) << why;
    EXPECT_FALSE(makeFluid(2, s, CompVector{0.0, 1.0, 0, 0}, KijMatrix{}, NAN, why).has_value());
}

}  // namespace
}  // namespace zolvant
