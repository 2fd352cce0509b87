// Hand-checkable examples of every equation and of the mixture rule: the
// exact texts of the cells and, where known, the step at which each root
// converges. Each case runs from typed texts (temperature in °C) through the
// same path as the window, so tempK is exactly what the window stores.

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "solver/case.h"
#include "testsupport/recording_grid.h"

namespace zolvant {
namespace {

using testing::RecordingGrid;

enum Block { VDW = 0, RK = 1, PR = 2, SRK = 3, PRSV1 = 4, PRSV2 = 5 };

struct Constants {
    double tc, pc, omega = 0, k1 = 0, k2 = 0, k3 = 0;
};
// The constants the examples are built on.
constexpr Constants kButaneLike{425.1, 37.96, 0.2, 0.03443};
constexpr Constants kMethaneLike{190.6, 45.99};

struct Cells {
    int row;
    const char* liquid;  // nullptr: not checked
    const char* vapour;
    const char* z;
};

struct Example {
    const char* name;
    Block block;
    std::vector<std::pair<Constants, const char*>> components;  // constants, fraction typed
    const char* celsius;
    const char* pressure;
    std::vector<Cells> cells;
    int vapourStep = 0;  // row 0; 0 = not checked
    int liquidStep = 0;
    std::optional<Mark> mark = std::nullopt;  // row 0's vapour/Z background
};

Constants with(Constants c, double omega, double k1, double k2 = 0, double k3 = 0) {
    c.omega = omega;
    c.k1 = k1;
    c.k2 = k2;
    c.k3 = k3;
    return c;
}

const std::vector<Example>& examples() {
    static const std::vector<Example> table = {
        {"n-butane-like, VDW, 300 K, 1 bar", VDW, {{kButaneLike, "1"}}, "26.85", "1",
         {{0, "165.47", "24494.3", "0.9821"}}, 3, 14},
        {"n-butane-like, VDW, 300 K, 2 bar", VDW, {{kButaneLike, "1"}}, "26.85", "2",
         {{0, "165.24", "12015.3", "0.9635"}}},
        {"n-butane-like, RK, 300 K, 1 bar", RK, {{kButaneLike, "1"}}, "26.85", "1",
         {{0, "113.40", "24339.3", "0.9758"}}, 3, 9},
        {"n-butane-like, RK, 300 K, 2 bar", RK, {{kButaneLike, "1"}}, "26.85", "2",
         {{0, "113.32", "11855.0", "0.9506"}}},
        {"n-butane-like, PR, 300 K, 1 bar", PR, {{kButaneLike, "1"}}, "26.85", "1",
         {{0, "97.04", "24260.5", "0.9727"}}, 0, 0, Mark::Window},
        {"n-decane-like with omega 0.49 (light correlation), PR, 400 K, 1 bar", PR,
         {{with({617.7, 21.1}, 0.49, 0), "1"}}, "126.85", "1", {{0, "231.23", "30785.3", "0.9257"}}},
        {"n-decane-like with omega 0.6 (heavy correlation), PR, 400 K, 1 bar", PR,
         {{with({617.7, 21.1}, 0.6, 0), "1"}}, "126.85", "1", {{0, "228.37", "30642.4", "0.9214"}}},
        {"n-butane-like + methane-like above Tc, VDW mixture, 300 K, 1 bar", VDW,
         {{kButaneLike, "0.5"}, {kMethaneLike, "0.5"}}, "26.85", "1",
         {{0, "165.47", "24494.3", nullptr}, {1, "NA - Tc", "24892.7", nullptr}, {4, "165.47", "24693.5", "0.9900"}}},
        {"n-butane-like + methane-like above Tc, RK mixture, 300 K, 1 bar", RK,
         {{kButaneLike, "0.5"}, {kMethaneLike, "0.5"}}, "26.85", "1",
         {{1, "NA - Tc", nullptr, nullptr}, {4, "113.40", "24618.3", "0.9870"}}},
        {"n-butane-like, SRK, 250 K, 1 bar", SRK, {{kButaneLike, "1"}}, "-23.15", "1",
         {{0, "99.56", "19882.0", "0.9566"}}, 3, 6, Mark::Window},
        {"n-butane-like, SRK, 300 K, 1 bar", SRK, {{kButaneLike, "1"}}, "26.85", "1",
         {{0, "109.91", "24293.1", "0.9740"}}},
        {"n-butane-like, SRK, 300 K, 2 bar", SRK, {{kButaneLike, "1"}}, "26.85", "2",
         {{0, "109.85", "11806.3", "0.9467"}}},
        {"n-butane-like, PRSV1, 250 K, 1 bar", PRSV1, {{kButaneLike, "1"}}, "-23.15", "1",
         {{0, "88.19", "19852.5", "0.9551"}}, 4, 6, Mark::Window},
        {"n-butane-like without K1, PRSV1, 250 K, 1 bar", PRSV1, {{with(kButaneLike, 0.2, 0), "1"}}, "-23.15", "1",
         {{0, "88.26", "19855.4", "0.9553"}}, 0, 0, Mark::ZeroK1},
        {"n-butane-like with K2 0.6 and K3 0.46, PRSV2, 250 K, 1 bar", PRSV2,
         {{with(kButaneLike, 0.2, 0.03443, 0.6, 0.46), "1"}}, "-23.15", "1",
         {{0, "88.23", "19854.0", "0.9552"}}, 4, 6, Mark::Window},
        {"n-butane-like with K2 0 (as PRSV1), PRSV2, 250 K, 1 bar", PRSV2,
         {{with(kButaneLike, 0.2, 0.03443, 0, 0.46), "1"}}, "-23.15", "1",
         {{0, "88.19", "19852.5", "0.9551"}}},
    };
    return table;
}

CaseInput inputOf(const Example& e) {
    CaseInput in;
    for (const auto& [c, fraction] : e.components) {
        CaseComponent cc;
        cc.constants = {c.tc, c.pc, c.omega, c.k1, c.k2, c.k3};
        cc.fraction = fraction;
        in.components.push_back(cc);
    }
    in.temperature = e.celsius;
    in.pressure = e.pressure;
    return in;
}

class WorkedExample : public ::testing::TestWithParam<Example> {};

TEST_P(WorkedExample, CellsAndSteps) {
    const Example& e = GetParam();
    RecordingGrid g;
    const CaseOutcome out = runCase(inputOf(e), g);
    ASSERT_TRUE(out.solved) << out.title << ": " << out.message;

    for (const Cells& c : e.cells) {
        SCOPED_TRACE(::testing::Message() << "row " << c.row);
        if (c.liquid) { EXPECT_EQ(g.cell(e.block, Column::Liquid, c.row), c.liquid); }
        if (c.vapour) { EXPECT_EQ(g.cell(e.block, Column::Vapour, c.row), c.vapour); }
        if (c.z) { EXPECT_EQ(g.cell(e.block, Column::Z, c.row), c.z); }
    }
    if (e.vapourStep) {
        EXPECT_EQ(g.root(e.block, 0, Phase::Vapour)->steps, e.vapourStep);
        EXPECT_TRUE(g.root(e.block, 0, Phase::Vapour)->found);
    }
    if (e.liquidStep) {
        EXPECT_EQ(g.root(e.block, 0, Phase::Liquid)->steps, e.liquidStep);
        EXPECT_TRUE(g.root(e.block, 0, Phase::Liquid)->found);
    }
    if (e.mark) { EXPECT_EQ(g.mark(e.block, 0), e.mark); }
    if (e.components.size() == 1) {
        // One position: the mixture row stays as the clearing left it.
        for (Column c : {Column::Liquid, Column::Vapour, Column::Z}) EXPECT_EQ(g.cell(e.block, c, kMixtureRow), "");
    }
}

// The pressure each equation gives at (T, V), from its textbook form and
// parameters: an account of the roots that shares nothing with the
// fixed-point updates the grid is filled by.
double equationPressure(Block block, const Constants& c, double T, double V) {
    const double R = 83.14f;  // the gas constant as the program holds it
    const double tc = static_cast<float>(c.tc), pc = static_cast<float>(c.pc);
    const double w = static_cast<float>(c.omega), k1 = static_cast<float>(c.k1);
    const double k2 = static_cast<float>(c.k2), k3 = static_cast<float>(c.k3);
    const double tr = T / tc, sqrtTr = std::sqrt(tr);
    const double soaveLike = 0.42748 * R * R * tc * tc / pc, pengLike = 0.457235 * R * R * tc * tc / pc;
    const double bSoave = 0.08664 * R * tc / pc, bPeng = 0.077796 * R * tc / pc;
    auto square = [](double x) { return x * x; };
    const double kappa0 = 0.378893 + 1.4897153 * w - 0.17131848 * w * w + 0.0196554 * w * w * w;
    switch (block) {
    case VDW: {
        const double a = 27 * R * R * tc * tc / (64 * pc), b = R * tc / (8 * pc);
        return R * T / (V - b) - a / (V * V);
    }
    case RK: {
        const double a = 0.42748 * R * R * std::pow(tc, 2.5) / pc;
        return R * T / (V - bSoave) - a / (std::sqrt(T) * V * (V + bSoave));
    }
    case SRK: {
        const double m = 0.48508 + 1.55171 * w - 0.15613 * w * w;
        return R * T / (V - bSoave) - soaveLike * square(1 + m * (1 - sqrtTr)) / (V * (V + bSoave));
    }
    case PR:
    case PRSV1:
    case PRSV2: {
        double kappa = 0;
        if (block == PR)
            kappa = w <= 0.49 ? 0.37464 + 1.54226 * w - 0.26992 * w * w
                              : 0.379642 + 1.48503 * w - 0.164423 * w * w + 0.016666 * w * w * w;
        else if (block == PRSV1)
            kappa = kappa0 + k1 * (1 + sqrtTr) * (0.7 - tr);
        else
            kappa = kappa0 + (k1 + k2 * (k3 - tr) * (1 - sqrtTr)) * (1 + sqrtTr) * (0.7 - tr);
        const double aAlpha = pengLike * square(1 + kappa * (1 - sqrtTr));
        return R * T / (V - bPeng) - aAlpha / (V * V + 2 * bPeng * V - bPeng * bPeng);
    }
    }
    return NAN;
}

// Every volume the table shows for a component is a root of its equation:
// the pressure equation changes sign within a relative 10^-3 of it.
TEST_P(WorkedExample, ShownVolumesAreRootsOfThePressureEquation) {
    const Example& e = GetParam();
    RecordingGrid g;
    const CaseOutcome out = runCase(inputOf(e), g);
    ASSERT_TRUE(out.solved);
    const double T = out.state.tempK, P = out.state.pressBar;
    for (const Cells& c : e.cells) {
        if (c.row >= static_cast<int>(e.components.size())) continue;  // the mixture row is an average
        for (const char* text : {c.liquid, c.vapour}) {
            if (!text || !std::isdigit(static_cast<unsigned char>(text[0]))) continue;
            SCOPED_TRACE(::testing::Message() << "row " << c.row << ", volume " << text);
            const double V = std::strtod(text, nullptr);
            const Constants& k = e.components[static_cast<std::size_t>(c.row)].first;
            const double below = equationPressure(e.block, k, T, V * (1 - 1e-3)) - P;
            const double above = equationPressure(e.block, k, T, V * (1 + 1e-3)) - P;
            EXPECT_LT(below * above, 0.0) << "P - p(V): " << below << " below, " << above << " above";
        }
    }
}

std::string testName(const ::testing::TestParamInfo<Example>& info) {
    std::string name;
    bool gap = false;
    for (const char* p = info.param.name; *p; ++p) {
        const unsigned char ch = static_cast<unsigned char>(*p);
        if (std::isalnum(ch)) {
            if (gap && !name.empty()) name.push_back('_');
            name.push_back(static_cast<char>(ch));
            gap = false;
        } else {
            gap = true;
        }
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Equations, WorkedExample, ::testing::ValuesIn(examples()), testName);

}  // namespace
}  // namespace zolvant
