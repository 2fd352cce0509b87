#pragma once
// A sweep: one mixture at many states, one variable varied over a range.
// Every point is a case in its own right: its varied value is typed as the
// shortest text that reads back the grid value, and the case is run by
// runCase, exactly as a Solve of those entries, so each point's cells,
// marks and refusals are what the window shows for that state.

#include <cstddef>
#include <string>
#include <vector>

#include "solver/case.h"

namespace zolvant {

enum class SweepVariable { Pressure, Temperature };  // bar at a fixed temperature, °C at a fixed pressure
enum class SweepSpacing { Linear, Geometric };

struct SweepRange {
    double from = 0.0, to = 0.0;  // both ends are points
    int points = 0;               // kMinSweepPoints..kMaxSweepPoints
    SweepSpacing spacing = SweepSpacing::Linear;
};
inline constexpr int kMinSweepPoints = 2;
inline constexpr int kMaxSweepPoints = 100000;

// What is wrong with the range, "" when it can be swept.
std::string sweepRangeProblem(const SweepRange& range);

// The grid values, first == from and last == to exactly; linear steps of
// (to - from) / (points - 1), or a constant ratio for geometric spacing.
// Empty when the range has a problem.
std::vector<double> sweepValues(const SweepRange& range);

struct SweepPlan {
    CaseInput mixture;  // components and fractions; the fixed variable's text
    SweepVariable variable = SweepVariable::Pressure;
    SweepRange range;
};

// The texts of point `index` (0-based) as typed into the boxes.
struct SweepPointTexts {
    std::string temperature, pressure;
};
SweepPointTexts sweepPointTexts(const SweepPlan& plan, const std::vector<double>& values, std::size_t index);

// The case of point `index`: the mixture with the point's texts.
CaseInput sweepPointCase(const SweepPlan& plan, const std::vector<double>& values, std::size_t index);

}  // namespace zolvant
