#pragma once
// The arithmetic of a chart, without any drawing: axis ticks, the
// data-to-pixel mapping of linear and logarithmic axes, and the cutting of
// a sampled series into clipped polylines. Plain C++ so that tests call it
// directly, as tables.

#include <optional>
#include <string>
#include <vector>

namespace zolvant::plot {

enum class Scale { Linear, Log };

struct Tick {
    double value = 0.0;
    bool major = true;  // labelled
    std::string label;  // empty for a minor tick
};

// Decade ticks of a logarithmic axis: a labelled tick at every power of ten
// in [low, high], unlabelled ticks at 2…9 times each; when fewer than two
// decades fall inside, 2 and 5 times each power are labelled too. Empty
// unless 0 < low < high and both finite.
std::vector<Tick> logTicks(double low, double high);

// Ticks of a linear axis at 1, 2 or 5 times a power of ten, the step giving
// at most `most` ticks in [low, high]; labels in plain notation with the
// digits the step needs ("-50", "0", "0.25"). Empty unless low < high.
std::vector<Tick> linearTicks(double low, double high, int most = 8);

// The text of a tick value: plain notation for magnitudes from 1e-4 to
// below 1e6 with at most `decimals` decimals, "1E+06" style outside.
std::string tickLabel(double value, int decimals);

// One axis from its data range to a pixel range (pixel1 may be below
// pixel0: a y axis grows upwards).
struct AxisMap {
    Scale scale = Scale::Linear;
    double low = 0.0, high = 1.0;       // data
    double pixel0 = 0.0, pixel1 = 1.0;  // pixels of low and high
    double toPixel(double value) const;  // NaN for a value ≤ 0 on a log axis
    double toData(double pixel) const;
};

struct PixelPoint {
    double x = 0.0, y = 0.0;
};
struct PixelRect {
    double left = 0.0, top = 0.0, right = 1.0, bottom = 1.0;
};

// The part of the segment a–b inside r (Liang–Barsky); nullopt when none.
std::optional<std::pair<PixelPoint, PixelPoint>> clipSegment(PixelPoint a, PixelPoint b, const PixelRect& r);

// A series of (x, y) data points mapped and clipped to r: one polyline per
// run of finite points that stays inside, so a gap (a non-finite x or y)
// and every exit from the rectangle end a line. Points outside are replaced
// by where the segment crosses the edge.
using Polyline = std::vector<PixelPoint>;
struct DataPoint {
    double x = 0.0, y = 0.0;
};
std::vector<Polyline> clippedPolylines(const std::vector<DataPoint>& points, const AxisMap& x, const AxisMap& y,
                                       const PixelRect& r);

}  // namespace zolvant::plot
