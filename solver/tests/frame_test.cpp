// The iteration frame all six equations share: the step limit, the two
// bounds, the liquid skip above the critical temperature, the mixture row,
// the colour marks and what happens where the arithmetic is undefined.

#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <string>
#include <vector>

#include "solver/case.h"
#include "solver/entry.h"
#include "solver/solve.h"
#include "testsupport/recording_grid.h"

namespace zolvant {
namespace {

using testing::RecordingGrid;

constexpr int VDW = 0;

CaseComponent component(double tc, double pc, const char* fraction, double omega = 0.2, double k1 = 0.03443) {
    CaseComponent c;
    c.constants = {tc, pc, omega, k1, 0.0, 0.0};
    c.fraction = fraction;
    return c;
}
CaseComponent butaneLike(const char* fraction = "1") { return component(425.1, 37.96, fraction); }
CaseComponent methaneLike(const char* fraction) { return component(190.6, 45.99, fraction, 0.011, -0.00159); }
CaseComponent decaneLike(const char* fraction) { return component(617.7, 21.1, fraction, 0.49, 0.0451); }

CaseInput caseOf(std::vector<CaseComponent> components, const char* celsius, const char* pressure) {
    CaseInput in;
    in.components = std::move(components);
    in.temperature = celsius;
    in.pressure = pressure;
    return in;
}

// Every text a cell can show: empty, "NA", "NA - Tc" or a plain decimal.
void expectOnlyShowableTexts(const RecordingGrid& g) {
    static const std::regex kShowable(R"(|NA|NA - Tc|-?[0-9]+\.[0-9]+)");
    for (const std::string& t : g.written) EXPECT_TRUE(std::regex_match(t, kShowable)) << "cell text \"" << t << "\"";
}

// Van der Waals roots without the step limit, for checking that an input
// really sits at the limit: the step at which each root meets the tolerance.
struct Uncapped {
    int vapour = 0, liquid = 0;
};
Uncapped uncappedVdw(double tc, double pc, const char* celsius, const char* pressure) {
    const double T = checkTemperature(celsius).tempK, P = *readPressure(pressure);
    const double R = gasConstR, R2 = R * R;
    const double a = ((R2 * 27) * (tc * tc)) / (pc * 64), b = (tc * R) / (pc * 8);
    const double vig = (T * R) / P;
    auto steps = [](double v, auto update) {
        for (int n = 1; n < 1000; ++n) {
            const double next = update(v);
            if (std::fabs((next - v) / next) < static_cast<double>(0.0001f)) return n;
            v = next;
        }
        return 0;
    };
    return {steps(vig, [&](double V) { return (vig + b) - ((V - b) * a) / ((V * V) * P); }),
            steps(b, [&](double V) { return (((-(V * V * V) + (V * V) * (b + vig)) + (b * a) / P) * P) / a; })};
}

TEST(Frame, StepLimitAndBounds) {
    struct Row {
        const char* what;
        const char* celsius;
        const char* pressure;
        Phase phase;
        int steps;
        bool found;
        const char* text;       // the volume cell
        int uncappedSteps;      // 0: the root never meets the tolerance in bounds
    };
    const Row rows[] = {
        {"vapour meeting the tolerance at step 80 is kept", "26.85", "14.7956", Phase::Vapour, 80, true, "840.1", 80},
        {"vapour that would meet it only at step 81 is NA", "26.85", "14.7961", Phase::Vapour, 81, false, "NA", 81},
        {"liquid meeting the tolerance at step 80 is kept", "86.26", "1", Phase::Liquid, 80, true, "223.43", 80},
        {"liquid that would meet it only at step 81 is NA", "86.29", "1", Phase::Liquid, 81, false, "NA", 81},
        {"vapour falling below b is NA before the limit", "26.85", "20", Phase::Vapour, 5, false, "NA", 0},
        {"liquid rising above the ideal-gas volume is NA before the limit", "100", "1", Phase::Liquid, 33, false, "NA", 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        RecordingGrid g;
        ASSERT_TRUE(runCase(caseOf({butaneLike()}, r.celsius, r.pressure), g).solved);
        const auto root = g.root(VDW, 0, r.phase);
        ASSERT_TRUE(root.has_value());
        EXPECT_EQ(root->steps, r.steps);
        EXPECT_EQ(root->found, r.found);
        if (r.phase == Phase::Vapour) {
            EXPECT_EQ(g.cell(VDW, Column::Vapour, 0), r.text);
            if (!r.found) {
                EXPECT_EQ(g.cell(VDW, Column::Z, 0), "NA");
            }
        } else {
            EXPECT_EQ(g.cell(VDW, Column::Liquid, 0), r.text);
        }
        if (r.uncappedSteps) {
            const Uncapped u = uncappedVdw(425.1f, 37.96f, r.celsius, r.pressure);
            EXPECT_EQ(r.phase == Phase::Vapour ? u.vapour : u.liquid, r.uncappedSteps);
        }
    }
}

TEST(Frame, AboveCriticalSkipsOnlyTheLiquid) {
    RecordingGrid g;
    // 176.85 °C = 450 K is above both critical temperatures.
    const CaseOutcome out = runCase(caseOf({butaneLike("0.5"), methaneLike("0.5")}, "176.85", "1"), g);
    ASSERT_TRUE(out.solved);
    EXPECT_EQ(out.aboveCriticalMessage, "Temperature exceeds critical temperature\r\nof 2 components.");
    for (int block = 0; block < kBlocks; ++block) {
        SCOPED_TRACE(blockName(block));
        for (int row : {0, 1}) {
            EXPECT_EQ(g.cell(block, Column::Liquid, row), "NA - Tc");
            // No liquid attempt at all: the root ends as skipped, at step 0.
            EXPECT_EQ(g.root(block, row, Phase::Liquid)->end, RootEnd::AboveTc);
            EXPECT_EQ(g.root(block, row, Phase::Liquid)->steps, 0);
            EXPECT_TRUE(g.root(block, row, Phase::Vapour)->found);
        }
        // No liquid root anywhere: the mixture liquid is NA, its vapour is not.
        EXPECT_EQ(g.cell(block, Column::Liquid, kMixtureRow), "NA");
        EXPECT_NE(g.cell(block, Column::Vapour, kMixtureRow), "NA");
    }
}

TEST(Frame, PositionWithFractionZeroIsSolvedButAddsNothing) {
    RecordingGrid gap, pair;
    const CaseOutcome withGap =
        runCase(caseOf({butaneLike("0.5"), decaneLike("0"), methaneLike("0.5")}, "26.85", "1"), gap);
    ASSERT_TRUE(withGap.solved);
    EXPECT_EQ(withGap.state.numComps, 3);
    EXPECT_EQ(withGap.fractions[1], "0.000");
    EXPECT_EQ(withGap.deselected, (std::array<bool, 4>{false, true, false, false}));
    ASSERT_TRUE(runCase(caseOf({butaneLike("0.5"), methaneLike("0.5")}, "26.85", "1"), pair).solved);

    for (int block = 0; block < kBlocks; ++block) {
        SCOPED_TRACE(blockName(block));
        for (Column c : {Column::Liquid, Column::Vapour, Column::Z}) {
            // Its own cells are filled with a number...
            EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(gap.cell(block, c, 1)[0])));
            // ...the mixture is that of the other two alone...
            EXPECT_EQ(gap.cell(block, c, kMixtureRow), pair.cell(block, c, kMixtureRow));
            // ...and the position not in use is only cleared.
            EXPECT_EQ(gap.cell(block, c, 3), "");
        }
        EXPECT_EQ(gap.cell(block, Column::Vapour, 2), pair.cell(block, Column::Vapour, 1));
    }
}

TEST(Frame, NoVapourRootAnywhereMakesTheMixtureVapourNA) {
    RecordingGrid g;
    ASSERT_TRUE(runCase(caseOf({butaneLike("0.5"), decaneLike("0.5")}, "26.85", "20"), g).solved);
    for (int block = 0; block < kBlocks; ++block) {
        SCOPED_TRACE(blockName(block));
        for (int row : {0, 1, kMixtureRow}) {
            EXPECT_EQ(g.cell(block, Column::Vapour, row), "NA");
            EXPECT_EQ(g.cell(block, Column::Z, row), "NA");
        }
        EXPECT_NE(g.cell(block, Column::Liquid, kMixtureRow), "NA");
    }
}

TEST(Frame, ColourMarks) {
    // Expected mark of a position per block; VDW and RK set none.
    struct Row { const char* what; double omega, k1; std::optional<Mark> marks[kBlocks]; };
    const std::optional<Mark> none;
    const Row rows[] = {
        {"omega and K1 given", 0.2, 0.03443, {none, none, Mark::Window, Mark::Window, Mark::Window, Mark::Window}},
        {"omega missing", 0.0, 0.03443, {none, none, Mark::ZeroOmega, Mark::ZeroOmega, Mark::ZeroOmega, Mark::ZeroOmega}},
        {"K1 missing", 0.2, 0.0, {none, none, Mark::Window, Mark::Window, Mark::ZeroK1, Mark::ZeroK1}},
        {"both missing", 0.0, 0.0, {none, none, Mark::ZeroOmega, Mark::ZeroOmega, Mark::ZeroK1, Mark::ZeroK1}},
        {"negative omega", -0.1, 0.03443, {none, none, Mark::Window, Mark::Window, Mark::Window, Mark::Window}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        RecordingGrid g;
        // Row 1 carries the constants under test; row 0 stays fully given.
        ASSERT_TRUE(runCase(caseOf({butaneLike("0.5"), component(425.1, 37.96, "0.5", r.omega, r.k1)}, "26.85", "1"), g)
                        .solved);
        for (int block = 0; block < kBlocks; ++block) {
            SCOPED_TRACE(blockName(block));
            EXPECT_EQ(g.mark(block, 1), r.marks[block]);
            EXPECT_EQ(g.mark(block, 0), block < 2 ? none : std::optional<Mark>(Mark::Window));
            EXPECT_FALSE(g.mark(block, 2).has_value());  // rows not in use are left alone
        }
    }
}

TEST(Frame, UndefinedArithmeticShowsNA) {
    struct Row {
        const char* what;
        std::vector<CaseComponent> components;
        const char* celsius;
        const char* pressure;
        const char* vapour0;  // row 0's vapour cell in every block; nullptr: not checked
        const char* liquid0;
    };
    const Row rows[] = {
        {"critical temperature 0", {component(0, 37.96, "1")}, "26.85", "1", "NA", "NA - Tc"},
        {"critical pressure 0", {component(425.1, 0, "1")}, "26.85", "1", "NA", "NA"},
        {"critical temperature and pressure 0", {component(0, 0, "1")}, "26.85", "1", "NA", "NA - Tc"},
        {"negative critical temperature", {component(-100, 37.96, "1")}, "26.85", "1", "NA", "NA - Tc"},
        {"pressure beyond single precision", {butaneLike()}, "26.85", "1e39", "NA", "NA"},
        {"temperature beyond single precision", {butaneLike()}, "1e39", "1", "NA", "NA - Tc"},
        {"pressure far below single precision's normal range", {butaneLike()}, "26.85", "1e-44", nullptr, nullptr},
        {"critical pressure 0 beside a sound component",
         {component(425.1, 0, "0.5"), methaneLike("0.5")}, "26.85", "1", "NA", "NA"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        CaseInput in;
        in.components = r.components;
        in.temperature = r.celsius;
        in.pressure = r.pressure;
        RecordingGrid g;
        ASSERT_TRUE(runCase(in, g).solved);
        expectOnlyShowableTexts(g);
        for (int block = 0; block < kBlocks; ++block) {
            SCOPED_TRACE(blockName(block));
            if (r.vapour0) {
                EXPECT_EQ(g.cell(block, Column::Vapour, 0), r.vapour0);
                EXPECT_EQ(g.cell(block, Column::Z, 0), r.vapour0);
            }
            if (r.liquid0) {
                EXPECT_EQ(g.cell(block, Column::Liquid, 0), r.liquid0);
            }
        }
    }
}

TEST(Frame, UndefinedPositionDropsOutOfTheMixture) {
    RecordingGrid mixed, alone;
    ASSERT_TRUE(runCase(caseOf({component(425.1, 0, "0.5"), methaneLike("0.5")}, "26.85", "1"), mixed).solved);
    ASSERT_TRUE(runCase(caseOf({methaneLike("1")}, "26.85", "1"), alone).solved);
    for (int block = 0; block < kBlocks; ++block) {
        SCOPED_TRACE(blockName(block));
        EXPECT_EQ(mixed.cell(block, Column::Vapour, kMixtureRow), alone.cell(block, Column::Vapour, 0));
        EXPECT_EQ(mixed.cell(block, Column::Liquid, kMixtureRow), "NA");  // methane-like is above Tc
    }
}

TEST(Frame, StateWithoutAcceptedTemperatureIsNA) {
    // Solve pressed before the temperature box was ever left: tempK is 0.
    MixtureState s;
    s.numComps = 2;
    for (int k = 0; k < 2; ++k) {
        s.constant(k, Tc) = 425.1f;
        s.constant(k, Pc) = 37.96f;
    }
    s.pressBar = 1.0f;
    RecordingGrid g;
    ClearResults(g);
    SolveAll(s, {"0.500", "0.500", "", ""}, g);
    for (int block = 0; block < kBlocks; ++block)
        for (int row : {0, 1, kMixtureRow})
            for (Column c : {Column::Liquid, Column::Vapour, Column::Z}) EXPECT_EQ(g.cell(block, c, row), "NA");
}

TEST(MixtureRule, AveragesEachPhaseOverThePositionsThatHaveIt) {
    MixtureState s;
    s.numComps = 3;
    s.tempK = 300.0f;
    s.pressBar = 2.0f;
    MixTerms t{};
    // Vapour at positions 0 and 2 only, liquid at position 1 only; position 3
    // is not in use and must be ignored.
    t[0] = {0.25f * 1000.0f, 0.0f, 0.25f * 3000.0f, 999.0f};
    t[1] = {0.25f, 0.0f, 0.25f, 1.0f};
    t[2] = {0.0f, 0.5f * 100.0f, 0.0f, 999.0f};
    t[3] = {0.0f, 0.5f, 0.0f, 1.0f};
    MixResult r{-1, -1, -1};
    MixtureVolumes(s, t, r);
    EXPECT_EQ(r[0], 2000.0f);
    EXPECT_NEAR(r[1], 2.0 * 2000.0 / (83.14 * 300.0), 1e-6);
    EXPECT_EQ(r[2], 100.0f);

    MixTerms empty{};
    MixtureVolumes(s, empty, r);
    EXPECT_EQ(r, (MixResult{0.0f, 0.0f, 0.0f}));
}

}  // namespace
}  // namespace zolvant
