#include "solver/isotherm.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "solver/text.h"

namespace zolvant {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr int kMaxHalvings = 6;

double finiteOrNaN(double p) { return std::isfinite(p) ? p : kNaN; }

struct Sampler {
    const std::function<double(double)>& pressure;
    double step;
    double low, high;  // no refinement where both ends lie beyond one edge
    std::size_t budget;
    std::vector<CurvePoint> out;

    bool needsSplit(const CurvePoint& a, const CurvePoint& b) const {
        if (!std::isfinite(a.P) || !std::isfinite(b.P)) return false;
        if ((a.P > high && b.P > high) || (a.P < low && b.P < low)) return false;
        return std::fabs(b.P - a.P) > step;
    }
    // Appends the points strictly between a and b, then b.
    void refine(const CurvePoint& a, const CurvePoint& b, int depth) {
        if (depth < kMaxHalvings && out.size() < budget && needsSplit(a, b)) {
            const double vm = std::sqrt(a.V * b.V);
            if (vm > a.V && vm < b.V) {
                const CurvePoint m{vm, finiteOrNaN(pressure(vm))};
                refine(a, m, depth + 1);
                refine(m, b, depth + 1);
                return;
            }
        }
        out.push_back(b);
    }
};

std::string captionOf(const SolvedCase& c, int row) {
    const std::string& name = c.names[static_cast<std::size_t>(row)];
    return name.empty() ? "Component " + std::to_string(row + 1) : name;
}

// The curve's facts before sampling: whether it exists, its roots, loop and
// saturation line.
IsothermCurve describe(const SolvedCase& solved, int block, int row) {
    IsothermCurve c;
    c.block = block;
    c.name = blockName(block);
    c.parameters = equationParameters(block, solved.state, row);
    c.liquid = solved.roots.outcome(block, row, Phase::Liquid);
    c.vapour = solved.roots.outcome(block, row, Phase::Vapour);
    const EquationParameters& p = c.parameters;
    c.defined = p.defined && std::isfinite(p.a) && std::isfinite(p.b) && p.b > 0 && p.a >= 0 && p.T > 0 &&
                std::isfinite(curveEnd(p)) && curveEnd(p) > curveStart(p);
    if (!c.defined) {
        c.note = "undefined here (a critical constant is 0 or negative, or the state is out of range)";
        return c;
    }
    c.roots = realRoots(p);
    c.loop = isothermLoop(p);
    c.saturation = saturationPressure(p);
    if (c.saturation.pressure) {
        EquationParameters atSat = p;
        atSat.P = *c.saturation.pressure;
        const std::vector<double> r = realRoots(atSat);
        if (r.size() >= 2) {
            c.saturationLiquid = r.front();
            c.saturationVapour = r.back();
        }
    }
    return c;
}

// The grid as the model needs it: how each root ended, no cell texts.
class RootRecorder : public ResultGrid {
public:
    RootLog log;
    void setCellText(int, Column, int, const std::string&) override {}
    void setCellMark(int, int, Mark) override {}
    void rootDone(int block, int row, Phase phase, const RootOutcome& root) override {
        log.record(block, row, phase, root);
    }
};

}  // namespace

PureCase solvePure(const CaseComponent& component, const std::string& celsius, const std::string& pressure,
                   const std::string& name) {
    CaseInput input;
    input.components = {component};
    input.components.front().fraction = "1";
    input.temperature = celsius;
    input.pressure = pressure;
    RootRecorder grid;
    PureCase c;
    c.outcome = runCase(input, grid);
    c.solved.state = c.outcome.state;
    c.solved.fractions = c.outcome.fractions;
    c.solved.names[0] = name;
    c.solved.roots = grid.log;
    return c;
}

std::vector<CurvePoint> sampleCurve(const std::function<double(double)>& pressure, double vLow, double vHigh,
                                    int count, const PressureWindow& window, const std::vector<double>& extra) {
    std::vector<CurvePoint> none;
    if (!(vLow > 0) || !(vHigh > vLow) || !std::isfinite(vHigh) || count < 2) return none;
    std::vector<double> vs;
    vs.reserve(static_cast<std::size_t>(count) + extra.size());
    const double ratio = std::log(vHigh / vLow);
    for (int i = 0; i < count; ++i)
        vs.push_back(i == count - 1 ? vHigh : vLow * std::exp(ratio * static_cast<double>(i) / (count - 1)));
    for (double v : extra)
        if (v > vLow && v < vHigh) vs.push_back(v);
    std::sort(vs.begin(), vs.end());
    vs.erase(std::unique(vs.begin(), vs.end()), vs.end());

    Sampler s{pressure, (window.high - window.low) / 200.0, window.low, window.high,
              static_cast<std::size_t>(count) * 4, {}};
    s.out.reserve(s.budget);
    CurvePoint prev{vs.front(), finiteOrNaN(pressure(vs.front()))};
    s.out.push_back(prev);
    for (std::size_t i = 1; i < vs.size(); ++i) {
        const CurvePoint next{vs[i], finiteOrNaN(pressure(vs[i]))};
        s.refine(prev, next, 0);
        prev = next;
    }
    return std::move(s.out);
}

double curveStart(const EquationParameters& p) { return p.b * (1.0 + 1e-4); }
double curveEnd(const EquationParameters& p) { return 4.0 * p.R * p.T / p.P; }

PressureWindow isothermPressureWindow(const IsothermModel& m) {
    double top = m.P, bottom = 0.0;
    for (const IsothermCurve& c : m.curves) {
        if (!c.defined) continue;
        if (c.loop) {
            if (std::isfinite(c.loop->pMax)) top = std::max(top, c.loop->pMax);
            if (std::isfinite(c.loop->pMin)) bottom = std::min(bottom, c.loop->pMin);
        }
        if (c.saturation.pressure) top = std::max(top, *c.saturation.pressure);
    }
    if (!(top > bottom)) top = bottom + 1.0;
    const double span = top - bottom;
    PressureWindow w;
    w.high = top + 0.25 * span;
    w.low = bottom < 0 ? bottom - 0.05 * span : 0.0;
    return w;
}

IsothermModel isothermModel(const SolvedCase& solved, int row, int points) {
    IsothermModel m;
    m.row = row;
    m.T = static_cast<double>(solved.state.tempK);
    m.P = static_cast<double>(solved.state.pressBar);
    if (row < 0 || row >= 4) return m;
    m.component = captionOf(solved, row);
    for (int e = 0; e < kBlocks; ++e) m.curves[static_cast<std::size_t>(e)] = describe(solved, e, row);
    // Refinement is measured against the window the picture will show.
    const PressureWindow window = isothermPressureWindow(m);
    for (IsothermCurve& c : m.curves) {
        if (!c.defined) continue;
        std::vector<double> extra = c.roots;
        if (c.loop) {
            extra.push_back(c.loop->vMin);
            extra.push_back(c.loop->vMax);
        }
        if (c.saturationLiquid) extra.push_back(*c.saturationLiquid);
        if (c.saturationVapour) extra.push_back(*c.saturationVapour);
        for (const auto& r : {c.liquid, c.vapour})
            if (r && r->converged()) extra.push_back(r->value);
        const EquationParameters p = c.parameters;
        c.points = sampleCurve([&p](double V) { return pressureAt(p, V); }, curveStart(p), curveEnd(p), points,
                               window, extra);
    }
    return m;
}

}  // namespace zolvant
