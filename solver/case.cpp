#include "solver/case.h"

#include <algorithm>

#include "solver/mixture_entry.h"

namespace zolvant {

CaseOutcome runCase(const CaseInput& input, ResultGrid& grid) {
    CaseOutcome out;
    MixtureEntry entry;
    FractionTexts& f = out.fractions;
    const std::size_t count = std::min<std::size_t>(input.components.size(), 4);

    // Each component box is left with its component chosen, then its
    // fraction box is entered (proposal) and left (cleaning).
    for (std::size_t k = 0; k < count; ++k) {
        const CaseComponent& c = input.components[k];
        const int row = static_cast<int>(k);
        entry.chooseComponent(row, c.constants);
        f[k] = entry.enterFraction(f, row);
        if (c.fraction) f[k] = *c.fraction;
        f[k] = entry.leaveFraction(row, f[k]).text;
    }

    const ShownConditions shown{input.temperature.value_or(std::string()), input.pressure.value_or(std::string())};
    const TemperatureLeft t = entry.leaveTemperature(shown.temperature);
    if (!t.accepted) {
        out.title = t.title;
        out.message = t.message;
        out.state = entry.state();
        return out;
    }
    out.aboveCriticalMessage = t.messageLine;

    if (input.pressure) entry.leavePressure(*input.pressure);

    // The boxes show what was typed; a pressure never given leaves its box
    // empty, which Solve refuses.
    const SolveCheck check = entry.solve(f, shown, grid);
    out.state = entry.state();
    for (std::size_t k = 0; k < 4; ++k) out.deselected[k] = check.deselect[k] && k < count;
    if (!check.accepted) {
        out.title = check.title;
        out.message = check.message;
        return out;
    }
    out.solved = true;
    return out;
}

}  // namespace zolvant
