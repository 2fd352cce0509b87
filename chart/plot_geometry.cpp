#include "chart/plot_geometry.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace zolvant::plot {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool usableRange(double low, double high) { return std::isfinite(low) && std::isfinite(high) && low < high; }

// The decimals a step of `step` needs to tell its ticks apart.
int decimalsFor(double step) {
    int d = 0;
    double s = step;
    while (d < 12 && std::fabs(s - std::round(s)) > 1e-9 * std::max(1.0, std::fabs(s))) {
        s *= 10;
        ++d;
    }
    return d;
}

}  // namespace

std::string tickLabel(double value, int decimals) {
    if (!std::isfinite(value)) return {};
    const double mag = std::fabs(value);
    char buf[64];
    std::to_chars_result r;
    if (mag != 0 && (mag < 1e-4 || mag >= 1e6)) {
        r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
        std::string s(buf, r.ptr);
        // "1e+06" -> "1E+06": the same notation as the grid's general format.
        for (char& c : s)
            if (c == 'e') c = 'E';
        return s;
    }
    r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    std::string s(buf, r.ptr);
    if (s.find('.') != std::string::npos) {
        s.erase(s.find_last_not_of('0') + 1);
        if (s.back() == '.') s.pop_back();
    }
    if (s.find_first_not_of("-0") == std::string::npos) return "0";  // never "-0"
    return s;
}

std::vector<Tick> logTicks(double low, double high) {
    std::vector<Tick> ticks;
    if (!usableRange(low, high) || !(low > 0)) return ticks;
    const int first = static_cast<int>(std::floor(std::log10(low)));
    const int last = static_cast<int>(std::ceil(std::log10(high)));
    int decades = 0;
    for (int k = first; k <= last; ++k) {
        const double p = std::pow(10.0, k);
        if (p >= low && p <= high) ++decades;
    }
    const bool labelHalves = decades < 2;
    for (int k = first; k <= last; ++k) {
        const double p = std::pow(10.0, k);
        const int decimals = k < 0 ? -k : 0;
        for (int m = 1; m <= 9; ++m) {
            const double v = m * p;
            if (v < low || v > high) continue;
            const bool major = m == 1 || (labelHalves && (m == 2 || m == 5));
            ticks.push_back({v, major, major ? tickLabel(v, decimals) : std::string()});
        }
    }
    return ticks;
}

std::vector<Tick> linearTicks(double low, double high, int most) {
    std::vector<Tick> ticks;
    if (!usableRange(low, high) || most < 2) return ticks;
    const double raw = (high - low) / (most - 1);
    const double p = std::pow(10.0, std::floor(std::log10(raw)));
    double step = p;
    for (double m : {1.0, 2.0, 5.0, 10.0}) {
        step = m * p;
        if ((std::floor(high / step + 1e-9) - std::ceil(low / step - 1e-9)) + 1 <= most) break;
    }
    const int decimals = decimalsFor(step);
    // The tolerance keeps an end that is a multiple of the step (0.3 / 0.1
    // is 2.9999999999999996).
    for (double n = std::ceil(low / step - 1e-9); n * step <= high + 1e-9 * step; n += 1) {
        const double v = n * step;
        ticks.push_back({v, true, tickLabel(v, decimals)});
    }
    return ticks;
}

double AxisMap::toPixel(double value) const {
    double t;
    if (scale == Scale::Log) {
        if (!(value > 0)) return kNaN;
        t = std::log(value / low) / std::log(high / low);
    } else {
        t = (value - low) / (high - low);
    }
    return pixel0 + t * (pixel1 - pixel0);
}

double AxisMap::toData(double pixel) const {
    const double t = (pixel - pixel0) / (pixel1 - pixel0);
    if (scale == Scale::Log) return low * std::exp(t * std::log(high / low));
    return low + t * (high - low);
}

std::optional<std::pair<PixelPoint, PixelPoint>> clipSegment(PixelPoint a, PixelPoint b, const PixelRect& r) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    double t0 = 0.0, t1 = 1.0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x - r.left, r.right - a.x, a.y - r.top, r.bottom - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return std::nullopt;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) {
            if (t > t1) return std::nullopt;
            if (t > t0) t0 = t;
        } else {
            if (t < t0) return std::nullopt;
            if (t < t1) t1 = t;
        }
    }
    const PixelPoint from = t0 == 0.0 ? a : PixelPoint{a.x + t0 * dx, a.y + t0 * dy};
    const PixelPoint to = t1 == 1.0 ? b : PixelPoint{a.x + t1 * dx, a.y + t1 * dy};
    return std::make_pair(from, to);
}

std::vector<Polyline> clippedPolylines(const std::vector<DataPoint>& points, const AxisMap& x, const AxisMap& y,
                                       const PixelRect& r) {
    std::vector<Polyline> lines;
    bool joined = false;  // the last line ends at the previous point, unclipped
    for (std::size_t i = 1; i < points.size(); ++i) {
        const PixelPoint a{x.toPixel(points[i - 1].x), y.toPixel(points[i - 1].y)};
        const PixelPoint b{x.toPixel(points[i].x), y.toPixel(points[i].y)};
        const bool finite = std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(b.x) && std::isfinite(b.y);
        const auto piece = finite ? clipSegment(a, b, r) : std::nullopt;
        if (!piece) {
            joined = false;
            continue;
        }
        const bool startsAtA = piece->first.x == a.x && piece->first.y == a.y;
        if (!(joined && startsAtA)) lines.push_back({piece->first});
        lines.back().push_back(piece->second);
        joined = piece->second.x == b.x && piece->second.y == b.y;
    }
    // A lone point (a series of one, or a single point between gaps) draws nothing.
    return lines;
}

}  // namespace zolvant::plot
