#include "solver/case.h"

#include <algorithm>

#include "solver/entry.h"
#include "solver/solve.h"
#include "solver/text.h"

namespace zolvant {

CaseOutcome runCase(const CaseInput& input, ResultGrid& grid) {
    CaseOutcome out;
    MixtureState& s = out.state;
    FractionTexts& f = out.fractions;
    const std::size_t count = std::min<std::size_t>(input.components.size(), 4);

    // Each component box is left with its component chosen, then its
    // fraction box is entered (proposal) and left (cleaning).
    for (std::size_t k = 0; k < count; ++k) {
        const CaseComponent& c = input.components[k];
        const int row = static_cast<int>(k);
        for (int p = 0; p < 6; ++p) {
            const auto& v = c.constants[static_cast<std::size_t>(p)];
            s.constant(row, p) = v ? static_cast<float>(*v) : (p == Tc || p == Pc ? 1.0f : 0.0f);
        }
        f[k] = proposeFraction(f, row);
        if (c.fraction) f[k] = *c.fraction;
        f[k] = cleanFraction(f[k]);
        if (leadingNumber(f[k]) > 0.0) s.numComps = static_cast<std::int16_t>(row + 1);
    }

    const TemperatureCheck t = checkTemperature(input.temperature.value_or(std::string()));
    if (!t.accepted) {
        out.title = t.title;
        out.message = t.message;
        return out;
    }
    s.tempK = t.tempK;
    out.aboveCriticalMessage = aboveCriticalMessage(markAboveCritical(s));

    if (input.pressure)
        if (const std::optional<float> p = readPressure(*input.pressure)) s.pressBar = *p;

    const SolveCheck check = checkSolve(f, s.pressBar, s.numComps);
    s.numComps = check.numComps;
    for (std::size_t k = 0; k < 4; ++k) out.deselected[k] = check.deselect[k] && k < count;
    if (!check.accepted) {
        out.title = check.title;
        out.message = check.message;
        return out;
    }
    ClearResults(grid);
    SolveAll(s, f, grid);
    out.solved = true;
    return out;
}

}  // namespace zolvant
