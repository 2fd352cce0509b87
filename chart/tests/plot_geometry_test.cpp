// The chart's arithmetic as tables: decade and linear ticks, the axis
// mapping both ways, segment clipping, and polylines that break at gaps and
// at every exit from the plotting area.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "chart/plot_geometry.h"

namespace zolvant::plot {
namespace {

std::string labels(const std::vector<Tick>& ticks) {
    std::string s;
    for (const Tick& t : ticks)
        if (t.major) s += (s.empty() ? "" : " ") + t.label;
    return s;
}
int minors(const std::vector<Tick>& ticks) {
    int n = 0;
    for (const Tick& t : ticks) n += !t.major;
    return n;
}

TEST(LogTicks, DecadesAreLabelledAndTheirMultiplesAreMinor) {
    struct Row {
        double low, high;
        const char* labels;
        int minors;
    } rows[] = {
        {97, 99768, "100 1000 10000", 3 * 8},
        {1, 10, "1 10", 8},
        {2, 50, "2 5 10 20 50", 8},                      // one decade inside: 2 and 5 times labelled too
        {0.001, 0.1, "0.001 0.01 0.1", 16},
        {1e5, 1e7, "100000 1E+06 1E+07", 16},
        {5, 5, "", 0},                                    // empty range
        {0, 10, "", 0},                                   // not positive
        {-1, 10, "", 0},
        {1, INFINITY, "", 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::to_string(r.low) + " .. " + std::to_string(r.high));
        const auto t = logTicks(r.low, r.high);
        EXPECT_EQ(labels(t), r.labels);
        for (const Tick& tick : t) {
            EXPECT_GE(tick.value, r.low);
            EXPECT_LE(tick.value, r.high);
        }
        EXPECT_EQ(minors(t), r.minors);
    }
}

TEST(LinearTicks, StepsOfOneTwoOrFiveTimesAPowerOfTen) {
    struct Row {
        double low, high;
        int most;
        const char* labels;
    } rows[] = {
        {0, 1, 8, "0 0.2 0.4 0.6 0.8 1"},
        {-183, 61, 8, "-150 -100 -50 0 50"},
        {0, 1.25, 6, "0 0.5 1"},
        {-0.3, 0.3, 8, "-0.3 -0.2 -0.1 0 0.1 0.2 0.3"},
        {990, 1010, 5, "990 995 1000 1005 1010"},
        {990, 1010, 4, "990 1000 1010"},
        {0, 2e6, 5, "0 500000 1E+06 1.5E+06 2E+06"},
        {1, 1, 8, ""},
        {2, 1, 8, ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::to_string(r.low) + " .. " + std::to_string(r.high));
        const auto t = linearTicks(r.low, r.high, r.most);
        EXPECT_EQ(labels(t), r.labels);
        EXPECT_LE(static_cast<int>(t.size()), r.most);
    }
}

TEST(AxisMap, MapsBothWaysOnLinearAndLogAxes) {
    struct Row {
        AxisMap map;
        double value, pixel;
    } rows[] = {
        {{Scale::Linear, 0, 10, 100, 200}, 5, 150},
        {{Scale::Linear, -50, 50, 400, 0}, 0, 200},   // y grows upwards
        {{Scale::Linear, -50, 50, 400, 0}, 100, -200},  // beyond the range: beyond the pixels
        {{Scale::Log, 10, 1000, 0, 200}, 100, 100},
        {{Scale::Log, 10, 1000, 0, 200}, 10, 0},
        {{Scale::Log, 1, 1e4, 0, 400}, 1e3, 300},
    };
    for (const Row& r : rows) {
        EXPECT_NEAR(r.map.toPixel(r.value), r.pixel, 1e-9);
        EXPECT_NEAR(r.map.toData(r.pixel), r.value, 1e-9 * std::fabs(r.value) + 1e-12);
    }
    const AxisMap log{Scale::Log, 10, 1000, 0, 200};
    EXPECT_TRUE(std::isnan(log.toPixel(0)));
    EXPECT_TRUE(std::isnan(log.toPixel(-5)));
}

TEST(ClipSegment, KeepsThePartInside) {
    const PixelRect r{0, 0, 100, 50};
    struct Row {
        PixelPoint a, b;
        bool inside;
        PixelPoint from, to;
    } rows[] = {
        {{10, 10}, {20, 20}, true, {10, 10}, {20, 20}},        // wholly inside
        {{-50, 25}, {150, 25}, true, {0, 25}, {100, 25}},      // through both sides
        {{50, -50}, {50, 25}, true, {50, 0}, {50, 25}},        // enters from the top
        {{-10, -10}, {-5, 100}, false, {}, {}},                // passes by on the left
        {{110, 0}, {200, 50}, false, {}, {}},
        {{0, 60}, {100, 60}, false, {}, {}},                   // below, parallel
        {{100, 50}, {100, 50}, true, {100, 50}, {100, 50}},    // a point on the corner
    };
    for (const Row& row : rows) {
        const auto c = clipSegment(row.a, row.b, r);
        ASSERT_EQ(c.has_value(), row.inside) << row.a.x << "," << row.a.y;
        if (!c) continue;
        EXPECT_NEAR(c->first.x, row.from.x, 1e-12);
        EXPECT_NEAR(c->first.y, row.from.y, 1e-12);
        EXPECT_NEAR(c->second.x, row.to.x, 1e-12);
        EXPECT_NEAR(c->second.y, row.to.y, 1e-12);
    }
}

TEST(ClippedPolylines, BreakAtGapsAndAtEveryExit) {
    const AxisMap x{Scale::Linear, 0, 10, 0, 10};
    const AxisMap y{Scale::Linear, 0, 10, 10, 0};  // pixel y = 10 - value
    const PixelRect r{0, 0, 10, 10};
    const double nan = std::nan("");
    struct Row {
        const char* what;
        std::vector<DataPoint> points;
        std::vector<std::size_t> sizes;  // points per polyline
    } rows[] = {
        {"inside: one line", {{1, 1}, {2, 2}, {3, 3}}, {3}},
        {"a gap splits it", {{1, 1}, {2, 2}, {3, nan}, {4, 4}, {5, 5}}, {2, 2}},
        {"a gap is never bridged, even by a single point", {{1, 1}, {2, nan}, {3, 3}, {4, nan}, {5, 5}}, {}},
        {"an excursion above the top makes two lines", {{1, 5}, {2, 50}, {3, 5}}, {2, 2}},
        {"a segment passing through from far above to far below", {{1, 1e6}, {1.5, -1e6}}, {2}},
        {"wholly outside: nothing", {{1, 20}, {2, 30}}, {}},
        {"a non-finite x is a gap too", {{1, 1}, {INFINITY, 2}, {3, 3}}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const auto lines = clippedPolylines(row.points, x, y, r);
        ASSERT_EQ(lines.size(), row.sizes.size());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(lines[i].size(), row.sizes[i]);
            for (const PixelPoint& p : lines[i]) {
                EXPECT_GE(p.x, r.left);
                EXPECT_LE(p.x, r.right);
                EXPECT_GE(p.y, r.top);
                EXPECT_LE(p.y, r.bottom);
            }
        }
    }
}

TEST(TickLabel, PlainInTheMiddleExponentOutside) {
    struct Row {
        double v;
        int decimals;
        const char* text;
    } rows[] = {{0, 0, "0"}, {-0.0, 2, "0"}, {100, 0, "100"}, {0.25, 2, "0.25"}, {-50, 0, "-50"},
                {1e6, 0, "1E+06"}, {2e-5, 5, "2E-05"}, {1.5, 2, "1.5"}, {-2.50, 2, "-2.5"}, {123456, 0, "123456"}};
    for (const Row& r : rows) EXPECT_EQ(tickLabel(r.v, r.decimals), r.text) << r.v;
}

}  // namespace
}  // namespace zolvant::plot
