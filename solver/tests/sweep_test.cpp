// The sweep's grid of points: the count asked for, both ends exact, even
// steps or a constant ratio, every point's text reading back its value; and
// the ordered parallel runner that computes the points.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <set>

#include "solver/ordered_parallel.h"
#include "solver/sweep.h"
#include "solver/text.h"

namespace zolvant {
namespace {

TEST(SweepGrid, CountEndsAndSpacing) {
    const SweepRange ranges[] = {
        {1, 60, 60, SweepSpacing::Linear},      {26.85, -40.15, 7, SweepSpacing::Linear},
        {0.1, 0.3, 3, SweepSpacing::Linear},    {-273.15, 1e4, 100000, SweepSpacing::Linear},
        {0.5, 80, 17, SweepSpacing::Geometric}, {100, 0.001, 2, SweepSpacing::Geometric},
        {1e-3, 1e3, 99999, SweepSpacing::Geometric}, {5, 5, 4, SweepSpacing::Linear},
    };
    for (const SweepRange& r : ranges) {
        SCOPED_TRACE(std::to_string(r.from) + ".." + std::to_string(r.to) + " x" + std::to_string(r.points));
        ASSERT_EQ(sweepRangeProblem(r), "");
        const std::vector<double> v = sweepValues(r);
        ASSERT_EQ(v.size(), static_cast<std::size_t>(r.points));
        EXPECT_EQ(v.front(), r.from);
        EXPECT_EQ(v.back(), r.to);
        const double n = r.points - 1;
        for (std::size_t i = 1; i < v.size(); ++i) {
            if (r.spacing == SweepSpacing::Linear) {
                const double step = (r.to - r.from) / n;
                EXPECT_NEAR(v[i] - v[i - 1], step, 1e-9 * (std::abs(r.from) + std::abs(r.to))) << i;
            } else {
                EXPECT_NEAR(std::log(v[i] / v[i - 1]), std::log(r.to / r.from) / n, 1e-12) << i;
            }
            // Strictly in order unless the range is one value: no point is
            // repeated, the last included once.
            if (r.from != r.to) {
                EXPECT_NE(v[i], v[i - 1]) << i;
            }
            if (i >= 100 && i + 100 < v.size()) i += 997;  // large grids: a sample
        }
    }
    // The classic off-by-one: 1 to 60 in 60 points are the whole numbers.
    const std::vector<double> whole = sweepValues({1, 60, 60, SweepSpacing::Linear});
    for (std::size_t i = 0; i < whole.size(); ++i) EXPECT_EQ(whole[i], static_cast<double>(i + 1));
}

TEST(SweepGrid, PointTextsReadBackTheirValues) {
    SweepPlan plan;
    plan.mixture.temperature = "26.85";
    plan.mixture.pressure = "ignored";
    plan.variable = SweepVariable::Pressure;
    plan.range = {0.1, 7.3, 1001, SweepSpacing::Linear};
    const std::vector<double> v = sweepValues(plan.range);
    for (std::size_t i = 0; i < v.size(); ++i) {
        const SweepPointTexts t = sweepPointTexts(plan, v, i);
        EXPECT_EQ(t.temperature, "26.85");
        ASSERT_EQ(readNumber(t.pressure), v[i]) << t.pressure;
        const CaseInput c = sweepPointCase(plan, v, i);
        EXPECT_EQ(c.pressure, t.pressure);
        EXPECT_EQ(c.temperature, "26.85");
    }
    EXPECT_EQ(sweepPointTexts(plan, v, 0).pressure, "0.1");
    EXPECT_EQ(sweepPointTexts(plan, v, 1000).pressure, "7.3");

    plan.variable = SweepVariable::Temperature;
    plan.mixture.pressure = "5";
    plan.range = {-50, 25, 4, SweepSpacing::Linear};
    const std::vector<double> t = sweepValues(plan.range);
    const char* expected[] = {"-50", "-25", "0", "25"};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(sweepPointTexts(plan, t, i).temperature, expected[i]);
        EXPECT_EQ(sweepPointCase(plan, t, i).pressure, "5");
    }
}

TEST(SweepGrid, RangesThatCannotBeSwept) {
    const double inf = INFINITY;
    const SweepRange wrong[] = {
        {1, 2, 1, SweepSpacing::Linear},        {1, 2, 100001, SweepSpacing::Linear},
        {0, 2, 5, SweepSpacing::Geometric},     {-1, -2, 5, SweepSpacing::Geometric},
        {1, inf, 5, SweepSpacing::Linear},      {NAN, 1, 5, SweepSpacing::Linear},
    };
    for (const SweepRange& r : wrong) {
        EXPECT_NE(sweepRangeProblem(r), "");
        EXPECT_TRUE(sweepValues(r).empty());
    }
}

TEST(OrderedParallel, EveryItemOnceAndInOrder) {
    for (const unsigned threads : {1u, 2u, 7u}) {
        for (const std::size_t count : {std::size_t{0}, std::size_t{1}, std::size_t{5}, std::size_t{1000}}) {
            std::vector<std::size_t> seen;
            std::atomic<int> made{0};
            runOrdered<std::size_t>(
                count, threads, 16, [&](std::size_t i) { ++made; return i * 3; },
                [&](std::size_t i, std::size_t&& v) {
                    EXPECT_EQ(v, i * 3);
                    seen.push_back(i);
                    return true;
                });
            ASSERT_EQ(seen.size(), count);
            for (std::size_t i = 0; i < count; ++i) EXPECT_EQ(seen[i], i);
            EXPECT_EQ(made.load(), static_cast<int>(count));
        }
    }
    // Stopping ends the work after the round in hand.
    std::size_t consumed = 0;
    std::atomic<int> made{0};
    runOrdered<int>(
        1000, 2, 10, [&](std::size_t) { return ++made; }, [&](std::size_t, int&&) { return ++consumed < 5; });
    EXPECT_EQ(consumed, 5u);
    EXPECT_LE(made.load(), 20);
}

}  // namespace
}  // namespace zolvant
