// The phase envelope and the saturation points: through separately solved
// bubble and dew points, flashes either side of them, the critical point
// where the phases meet, the retrograde double dew point, the pure limit,
// and the traps near the critical point and at vanishing fractions.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "solver/envelope.h"
#include "solver/flash.h"
#include "solver/mixture_model.h"
#include "solver/tests/seed_mixture.h"

namespace zolvant {
namespace {

using testing::seedCase;
using testing::SeedCase;
using Components = std::vector<std::pair<std::string, std::string>>;

const Components kFourAlkanes = {{"Methane", "0.70"}, {"Ethane", "0.15"}, {"Propane", "0.10"}, {"n-Butane", "0.05"}};
const Components kButaneMethane = {{"n-Butane", "0.5"}, {"Methane", "0.5"}};

Fluid fluidOf(int block, const MixtureState& s, const CompVector& z, const KijMatrix& kij, double T) {
    std::string why;
    const std::optional<Fluid> f = makeFluid(block, s, z, kij, T, why);
    EXPECT_TRUE(f.has_value()) << why;
    return f.value_or(Fluid{});
}

// A bubble or dew pressure at T solved from Wilson's estimate alone (K and
// P from Wilson's correlation), without the envelope.
std::optional<double> directPressure(Fluid f, const CompVector& z, SaturationKind kind, double T) {
    double sum = 0.0;
    for (int ii = 0; ii < f.n; ++ii) {
        const int i = f.active[static_cast<std::size_t>(ii)];
        const double kp = wilsonK(f, i, T, 1.0);  // K·P
        sum += kind == SaturationKind::Bubble ? z[static_cast<std::size_t>(i)] * kp : z[static_cast<std::size_t>(i)] / kp;
    }
    const double P = kind == SaturationKind::Bubble ? sum : 1 / sum;
    SaturationState s;
    for (int ii = 0; ii < f.n; ++ii) {
        const double lnK = std::log(wilsonK(f, f.active[static_cast<std::size_t>(ii)], T, P));
        s.X[static_cast<std::size_t>(ii)] = kind == SaturationKind::Bubble ? lnK : -lnK;
    }
    s.X[static_cast<std::size_t>(f.n)] = std::log(T);
    s.X[static_cast<std::size_t>(f.n + 1)] = std::log(P);
    std::string why;
    if (!solveSaturation(f, z, kind, f.n, std::log(T), s, why)) return std::nullopt;
    return std::exp(s.X[static_cast<std::size_t>(f.n + 1)]);
}

// ln P of the traced branch at T, by linear interpolation in ln P between its points.
std::optional<double> tracedPressure(const Envelope& e, EnvelopeBranch branch, double T) {
    for (std::size_t i = 0; i + 1 < e.points.size(); ++i) {
        const EnvelopePoint& a = e.points[i];
        const EnvelopePoint& b = e.points[i + 1];
        if (a.branch != branch || b.branch != branch || (a.T - T) * (b.T - T) > 0) continue;
        const double f = (T - a.T) / (b.T - a.T);
        return std::exp(std::log(a.P) + f * (std::log(b.P) - std::log(a.P)));
    }
    return std::nullopt;
}

TEST(Envelope, PassesThroughSeparatelySolvedBubbleAndDewPoints) {
    const auto c = seedCase(kFourAlkanes, "-43.15", "40");
    const CompVector z = feedFractions(c.state, c.fractions);
    for (int block = 0; block < kBlocks; ++block) {
        SCOPED_TRACE(blockName(block));
        const Fluid f = fluidOf(block, c.state, z, KijMatrix{}, static_cast<double>(c.state.tempK));
        const Envelope e = traceEnvelope(f, z);
        ASSERT_TRUE(e.complete) << (e.notes.empty() ? "" : e.notes.front());
        ASSERT_TRUE(e.critical.has_value());
        EXPECT_GE(e.cricondenbar->P, e.critical->P);
        EXPECT_GE(e.cricondentherm->T, e.critical->T);
        // Temperatures inside both traced branches, below the critical one.
        const double low = std::max(e.points.front().T, e.points.back().T), high = e.critical->T;
        for (double T : {low + 0.2 * (high - low), low + 0.7 * (high - low)}) {
            for (SaturationKind kind : {SaturationKind::Bubble, SaturationKind::Dew}) {
                const auto direct = directPressure(f, z, kind, T);
                ASSERT_TRUE(direct.has_value()) << T;
                const auto traced = tracedPressure(e, kind == SaturationKind::Bubble ? EnvelopeBranch::Bubble : EnvelopeBranch::Dew, T);
                ASSERT_TRUE(traced.has_value()) << T;
                EXPECT_NEAR(*traced, *direct, 0.01 * *direct) << T;
                const SaturationLists lists = saturationPoints(f, z, e, T, 1.0);
                const std::vector<double>& list = kind == SaturationKind::Bubble ? lists.bubbleP : lists.dewP;
                ASSERT_EQ(list.size(), 1u) << T;
                EXPECT_NEAR(list[0], *direct, 1e-9 * *direct) << T;
            }
        }
    }
}

TEST(Envelope, CriticalPointIsWhereThePhaseCompositionsMeet) {
    const auto c = seedCase(kFourAlkanes, "-43.15", "40");
    const CompVector z = feedFractions(c.state, c.fractions);
    for (int block = 0; block < kBlocks; ++block) {
        SCOPED_TRACE(blockName(block));
        Fluid f = fluidOf(block, c.state, z, KijMatrix{}, static_cast<double>(c.state.tempK));
        const Envelope e = traceEnvelope(f, z);
        ASSERT_TRUE(e.critical.has_value());
        // Saturation points with the light component's ln K at ±0.01, solved from
        // the traced points either side: they bracket the critical point, their
        // midpoint is it within 0.1 K and 0.1 bar, and their incipient phase is
        // the feed within 0.01 (the compositions meet there).
        std::size_t at = 0;
        while (e.points[at].branch != EnvelopeBranch::Critical) ++at;
        double Tside[2] = {0, 0}, Pside[2] = {0, 0};
        for (int side : {-1, 1}) {
            const EnvelopePoint& near = e.points[at + static_cast<std::size_t>(side)];
            // Start: on the straight line from the neighbour to the critical point.
            const double target = side < 0 ? 0.01 : -0.01;
            const double frac = target / near.X[0];
            SaturationState s;
            for (int i = 0; i < f.n; ++i) s.X[static_cast<std::size_t>(i)] = frac * near.X[static_cast<std::size_t>(i)];
            s.X[static_cast<std::size_t>(f.n)] = std::log(e.critical->T) + frac * (std::log(near.T) - std::log(e.critical->T));
            s.X[static_cast<std::size_t>(f.n + 1)] = std::log(e.critical->P) + frac * (std::log(near.P) - std::log(e.critical->P));
            std::string why;
            const SaturationKind kind = side < 0 ? SaturationKind::Bubble : SaturationKind::Dew;
            ASSERT_TRUE(solveSaturation(f, z, kind, 0, target, s, why, 100)) << why << " side " << side;
            const double T = std::exp(s.X[static_cast<std::size_t>(f.n)]), P = std::exp(s.X[static_cast<std::size_t>(f.n + 1)]);
            Tside[side < 0 ? 0 : 1] = T;
            Pside[side < 0 ? 0 : 1] = P;
            for (int i = 0; i < 4; ++i) EXPECT_NEAR(s.incipient[static_cast<std::size_t>(i)], z[static_cast<std::size_t>(i)], 0.01);
            EXPECT_NEAR(s.feedV, e.critical->V, 0.1 * e.critical->V);
        }
        EXPECT_LT(Tside[0], e.critical->T);
        EXPECT_GT(Tside[1], e.critical->T);
        EXPECT_NEAR((Tside[0] + Tside[1]) / 2, e.critical->T, 0.1);
        EXPECT_NEAR((Pside[0] + Pside[1]) / 2, e.critical->P, 0.1);
    }
}

// The retrograde region: between the critical temperature and the
// cricondentherm the dew line is crossed twice and there is no bubble point.
TEST(SaturationPoints, TwoDewPressuresInTheRetrogradeRegion) {
    const auto c = seedCase(kFourAlkanes, "-43.15", "40");
    const CompVector z = feedFractions(c.state, c.fractions);
    const Fluid f = fluidOf(2, c.state, z, KijMatrix{}, static_cast<double>(c.state.tempK));
    const Envelope e = traceEnvelope(f, z);
    ASSERT_TRUE(e.critical && e.cricondentherm);
    const double T = (e.critical->T + e.cricondentherm->T) / 2;
    const SaturationLists lists = saturationPoints(f, z, e, T, 1.0);
    ASSERT_EQ(lists.dewP.size(), 2u);
    EXPECT_LT(lists.dewP[0], lists.dewP[1]);
    EXPECT_TRUE(lists.bubbleP.empty());
    bool said = false;
    for (const std::string& n : lists.notes) said = said || n.find("above the critical temperature") != std::string::npos;
    EXPECT_TRUE(said);
    const SaturationLists hot = saturationPoints(f, z, e, e.cricondentherm->T + 1, e.cricondenbar->P + 1);
    EXPECT_TRUE(hot.bubbleP.empty() && hot.dewP.empty() && hot.bubbleT.empty() && hot.dewT.empty());
    std::string all;
    for (const std::string& n : hot.notes) all += n + "\n";
    EXPECT_NE(all.find("above the cricondentherm"), std::string::npos) << all;
    EXPECT_NE(all.find("above the cricondenbar"), std::string::npos) << all;
}

// Flashes either side of every bubble and dew pressure at T: inside, two
// phases with β near 0 (bubble) or 1 (dew); outside, one phase.
TEST(SaturationPoints, FlashesJustInsideAndOutsideAreTwoPhasesThenOne) {
    const auto c = seedCase(kButaneMethane, "26.85", "1");
    const CompVector z = feedFractions(c.state, c.fractions);
    for (int block = 1; block < kBlocks; ++block) {
        SCOPED_TRACE(blockName(block));
        const Fluid f = fluidOf(block, c.state, z, KijMatrix{}, static_cast<double>(c.state.tempK));
        const Envelope e = traceEnvelope(f, z);
        const SaturationLists lists = saturationPoints(f, z, e, f.T, 1.0);
        ASSERT_EQ(lists.bubbleP.size(), 1u);
        ASSERT_EQ(lists.dewP.size(), 1u);
        const double bubble = lists.bubbleP[0], dew = lists.dewP[0];
        EXPECT_LT(dew, bubble);
        struct Probe {
            double P;
            int phases;
            double beta;  // expected within 0.01 for two phases
        };
        for (const Probe& p : {Probe{bubble * (1 - 1e-4), 2, 0.0}, Probe{bubble * (1 + 1e-4), 1, 0.0},
                               Probe{dew * (1 + 1e-4), 2, 1.0}, Probe{dew * (1 - 1e-4), 1, 1.0}}) {
            SCOPED_TRACE(p.P);
            const FlashResult r = flash(f, z, p.P);
            ASSERT_TRUE(r.ok) << r.why;
            ASSERT_EQ(r.phases, p.phases);
            if (p.phases == 2) {
                EXPECT_NEAR(r.beta, p.beta, 0.01);
                EXPECT_LE(r.fugacityGap, kFugacityTolerance);
            } else {
                EXPECT_EQ(r.single.liquidLike, p.beta == 0.0);
            }
        }
        // The bubble temperature at the bubble pressure found at T is T.
        const SaturationLists back = saturationPoints(f, z, e, f.T, bubble);
        bool found = false;
        for (double T : back.bubbleT) found = found || std::fabs(T - f.T) < 1e-7 * f.T;
        EXPECT_TRUE(found);
        const SaturationLists backDew = saturationPoints(f, z, e, f.T, dew);
        found = false;
        for (double T : backDew.dewT) found = found || std::fabs(T - f.T) < 1e-7 * f.T;
        EXPECT_TRUE(found);
    }
}

TEST(SaturationPoints, TheIssuesDewPointOfButaneAndMethane) {
    const auto c = seedCase(kButaneMethane, "26.85", "1");
    const CompVector z = feedFractions(c.state, c.fractions);
    const MixtureReport r = mixtureReport(2, c.state, z, KijMatrix{}, c.molWt);
    ASSERT_TRUE(r.ok) << r.why;
    EXPECT_EQ(r.phases, 1);
    EXPECT_EQ(r.phase, "vapour");
    ASSERT_TRUE(r.vapour.has_value());
    EXPECT_NEAR(r.vapour->V, 24662, 1.0);
    ASSERT_TRUE(r.vapour->density.has_value());
    EXPECT_NEAR(*r.vapour->density, (0.5 * 58.123 + 0.5 * 16.043) / r.vapour->V, 1e-15);
    ASSERT_EQ(r.saturation.dewP.size(), 1u);
    EXPECT_NEAR(r.saturation.dewP[0], 5.4, 0.1);
}

// The pure limit: one component alone, and each of a binary with the
// other's fraction 0, gives the phase insight's saturation pressure bit
// for bit, and its saturation temperature back.
TEST(SaturationPoints, PureLimitIsThePhaseInsightsSaturationPressure) {
    for (const Components& comps : {Components{{"n-Butane", "1"}}, kButaneMethane}) {
        const auto c = seedCase(comps, "26.85", "1");
        for (int block = 0; block < kBlocks; ++block) {
            SCOPED_TRACE(blockName(block));
            const CompVector z{1, 0, 0, 0};
            const MixtureReport r = mixtureReport(block, c.state, z, KijMatrix{}, c.molWt);
            ASSERT_TRUE(r.ok) << r.why;
            const PhaseView view = phaseView(block, c.state, 0);
            ASSERT_TRUE(view.saturation.pressure.has_value());
            ASSERT_EQ(r.saturation.bubbleP.size(), 1u);
            EXPECT_EQ(r.saturation.bubbleP[0], *view.saturation.pressure);
            EXPECT_EQ(r.saturation.dewP[0], *view.saturation.pressure);
            EXPECT_TRUE(r.envelope.pure);
            ASSERT_TRUE(r.envelope.critical.has_value());
            EXPECT_EQ(r.phases, 1);
            const Fluid f = fluidOf(block, c.state, z, KijMatrix{}, r.T);
            const SaturationLists back = saturationPoints(f, z, r.envelope, r.T, *view.saturation.pressure);
            ASSERT_EQ(back.bubbleT.size(), 1u);
            EXPECT_NEAR(back.bubbleT[0], r.T, 1e-6);
        }
    }
}

// Traps: states within 0.1 K and 0.1 bar of the critical point, and a feed
// with a fraction of 1e-12, give a consistent answer or a stated reason.
TEST(Traps, NearTheCriticalPointAndVanishingFractions) {
    const auto c = seedCase(kFourAlkanes, "-43.15", "40");
    const CompVector z = feedFractions(c.state, c.fractions);
    for (int block = 0; block < kBlocks; ++block) {
        SCOPED_TRACE(blockName(block));
        Fluid f = fluidOf(block, c.state, z, KijMatrix{}, static_cast<double>(c.state.tempK));
        const Envelope e = traceEnvelope(f, z);
        ASSERT_TRUE(e.critical.has_value());
        for (double dT : {-0.1, 0.0, 0.1})
            for (double dP : {-0.1, 0.0, 0.1}) {
                const double T = e.critical->T + dT, P = e.critical->P + dP;
                Fluid g = fluidOf(block, c.state, z, KijMatrix{}, T);
                const FlashResult r = flash(g, z, P);
                if (!r.ok) {
                    EXPECT_FALSE(r.why.empty());
                    continue;
                }
                if (r.phases == 2) {
                    EXPECT_LE(r.fugacityGap, kFugacityTolerance);
                    double distance = 0;
                    for (int i = 0; i < 4; ++i)
                        distance = std::max(distance, std::fabs(r.liquid.x[static_cast<std::size_t>(i)] -
                                                                r.vapour.x[static_cast<std::size_t>(i)]));
                    EXPECT_GT(distance, 1e-6) << "a split equal to the feed";
                    for (int i = 0; i < 4; ++i)
                        EXPECT_NEAR((1 - r.beta) * r.liquid.x[static_cast<std::size_t>(i)] +
                                        r.beta * r.vapour.x[static_cast<std::size_t>(i)],
                                    z[static_cast<std::size_t>(i)], 1e-12);
                } else {
                    EXPECT_TRUE(r.feedStability.stable || r.feedStability.tm > -1e-8);
                }
            }
    }
    // n-butane at 1e-12 (a fraction the boxes cannot hold: given to the model directly).
    const auto trace = seedCase({{"Methane", "0.7"}, {"Ethane", "0.2"}, {"n-Butane", "0.1"}}, "-43.15", "40");
    const CompVector zt{0.7, 0.3 - 1e-12, 1e-12, 0.0};
    for (int block = 0; block < kBlocks; ++block) {
        SCOPED_TRACE(blockName(block));
        const MixtureReport r = mixtureReport(block, trace.state, zt, KijMatrix{}, trace.molWt);
        ASSERT_TRUE(r.ok) << r.why;
        if (r.phases == 0) {
            EXPECT_FALSE(r.notes.empty());
        }
        // A saturation point, not the feed again: next to it, on one side, the feed splits.
        const Fluid f = fluidOf(block, trace.state, zt, KijMatrix{}, r.T);
        for (const auto& list : {r.saturation.bubbleP, r.saturation.dewP}) {
            for (double P : list) {
                const FlashResult below = flash(f, zt, P * (1 - 1e-3));
                const FlashResult above = flash(f, zt, P * (1 + 1e-3));
                EXPECT_TRUE(below.phases == 2 || above.phases == 2) << P;
            }
        }
        if (r.envelope.points.empty()) {
            EXPECT_FALSE(r.envelope.notes.empty());
        }
    }
}

TEST(Report, KijOverrideChangesTheMixtureAndAnUndefinedComponentGivesAReason) {
    const auto c = seedCase({{"Methane", "0.7"}, {"Ethane", "0.3"}}, "0", "50");
    const CompVector z = feedFractions(c.state, c.fractions);
    KijMatrix kij{};
    kij[0][1] = kij[1][0] = -0.0059;
    ReportOptions quick;
    quick.saturation = false;
    const MixtureReport plain = mixtureReport(2, c.state, z, KijMatrix{}, c.molWt, quick);
    const MixtureReport with = mixtureReport(2, c.state, z, kij, c.molWt, quick);
    ASSERT_TRUE(plain.vapour && with.vapour);
    EXPECT_NEAR(plain.vapour->Z, 0.7515, 5e-5);
    EXPECT_NEAR(with.vapour->Z, 0.7501, 5e-5);
    EXPECT_EQ(with.kij[1][0], -0.0059);
    kij[1][0] = 0.0;
    const MixtureReport refused = mixtureReport(2, c.state, z, kij, c.molWt, quick);
    EXPECT_FALSE(refused.ok);
    EXPECT_NE(refused.why.find("symmetric"), std::string::npos);
    MixtureState broken = c.state;
    broken.constant(1, Tc) = 0.0f;
    const MixtureReport undefined = mixtureReport(2, broken, z, KijMatrix{}, c.molWt, quick);
    EXPECT_FALSE(undefined.ok);
    EXPECT_FALSE(undefined.why.empty());
    MolarMasses none = c.molWt;
    none[1].reset();
    const MixtureReport noDensity = mixtureReport(2, c.state, z, KijMatrix{}, none, quick);
    ASSERT_TRUE(noDensity.vapour.has_value());
    EXPECT_FALSE(noDensity.vapour->density.has_value());
}

}  // namespace
}  // namespace zolvant
