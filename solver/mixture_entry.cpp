#include "solver/mixture_entry.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "solver/entry.h"
#include "solver/text.h"

namespace zolvant {

float MixtureEntry::storedConstant(int prop, const std::optional<double>& value) {
    if (!value) return prop == Tc || prop == Pc ? 1.0f : 0.0f;
    const double v = *value;
    constexpr double maxFloat = std::numeric_limits<float>::max();
    constexpr float inf = std::numeric_limits<float>::infinity();
    // A double beyond the float range has no single-precision value to
    // convert to: say so with an infinity rather than leave it to the cast.
    if (std::isnan(v) || std::fabs(v) <= maxFloat) return static_cast<float>(v);
    return v > 0 ? inf : -inf;
}

void MixtureEntry::chooseComponent(int row, const ComponentConstants& constants) {
    if (row < 0 || row > 3) return;
    for (int p = 0; p < 6; ++p) state_.constant(row, p) = storedConstant(p, constants[static_cast<std::size_t>(p)]);
}

std::string MixtureEntry::enterFraction(const FractionTexts& boxes, int index) const {
    return proposeFraction(boxes, index);
}

FractionLeft MixtureEntry::leaveFraction(int index, std::string_view text) {
    FractionLeft left;
    left.text = cleanFraction(text);
    const double value = leadingNumber(left.text);
    left.deselect = value == 0;
    if (value > 0) state_.numComps = static_cast<std::int16_t>(index + 1);
    return left;
}

TemperatureLeft MixtureEntry::leaveTemperature(std::string_view text) {
    TemperatureLeft left;
    const TemperatureCheck check = checkTemperature(text);
    if (!check.accepted) {
        left.title = check.title;
        left.message = check.message;
        left.emptyBox = check.emptyBox;
        return left;
    }
    left.accepted = true;
    state_.tempK = check.tempK;
    const int count = markAboveCritical(state_);
    left.rows = std::clamp<int>(state_.numComps, 0, 4);
    left.messageLine = aboveCriticalMessage(count);
    return left;
}

void MixtureEntry::leavePressure(std::string_view text) {
    if (const std::optional<float> p = readPressure(text)) state_.pressBar = *p;
}

SolveCheck MixtureEntry::solve(const FractionTexts& boxes, const ShownConditions& shown, ResultGrid& grid,
                               const std::function<void(const SolveCheck&)>& checked) {
    const SolveCheck check = checkSolve(boxes, shown, state_.pressBar, state_.numComps);
    state_.numComps = check.numComps;
    if (checked) checked(check);
    if (!check.accepted) return check;
    ClearResults(grid);
    SolveAll(state_, boxes, grid);
    return check;
}

}  // namespace zolvant
