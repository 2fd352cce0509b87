#include "solver/sweep.h"

#include <cmath>

#include "solver/text.h"

namespace zolvant {

std::string sweepRangeProblem(const SweepRange& r) {
    if (r.points < kMinSweepPoints || r.points > kMaxSweepPoints)
        return "the number of points must be from " + std::to_string(kMinSweepPoints) + " to " +
               std::to_string(kMaxSweepPoints);
    if (!std::isfinite(r.from) || !std::isfinite(r.to)) return "the range's ends must be finite numbers";
    if (r.spacing == SweepSpacing::Geometric && !(r.from > 0.0 && r.to > 0.0))
        return "geometric spacing needs both ends of the range above 0";
    return std::string();
}

std::vector<double> sweepValues(const SweepRange& r) {
    if (!sweepRangeProblem(r).empty()) return {};
    const auto n = static_cast<std::size_t>(r.points);
    std::vector<double> v(n);
    const double last = static_cast<double>(n - 1);
    if (r.spacing == SweepSpacing::Linear) {
        // from + i·step accumulates no error from point to point; the step
        // is computed once.
        const double step = (r.to - r.from) / last;
        for (std::size_t i = 0; i < n; ++i) v[i] = r.from + static_cast<double>(i) * step;
    } else {
        const double ratio = std::log(r.to / r.from);
        for (std::size_t i = 0; i < n; ++i) v[i] = r.from * std::exp(ratio * (static_cast<double>(i) / last));
    }
    // Rounding never moves the ends.
    v.front() = r.from;
    v.back() = r.to;
    return v;
}

SweepPointTexts sweepPointTexts(const SweepPlan& plan, const std::vector<double>& values, std::size_t index) {
    SweepPointTexts t{plan.mixture.temperature.value_or(std::string()), plan.mixture.pressure.value_or(std::string())};
    (plan.variable == SweepVariable::Pressure ? t.pressure : t.temperature) = shortestText(values.at(index));
    return t;
}

CaseInput sweepPointCase(const SweepPlan& plan, const std::vector<double>& values, std::size_t index) {
    CaseInput c = plan.mixture;
    const std::string text = shortestText(values.at(index));
    (plan.variable == SweepVariable::Pressure ? c.pressure : c.temperature) = text;
    return c;
}

}  // namespace zolvant
