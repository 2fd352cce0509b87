#pragma once
// What a result cell says beyond its text: how its root was found, the
// equation's true roots, the saturation pressure and the stable phase, in a
// sentence or two. Read by the window's tooltips; computed on demand.

#include <array>
#include <string>

#include "solver/grid.h"
#include "solver/phase.h"
#include "solver/state.h"

namespace zolvant {

// What a Solve leaves behind for the insight, captured while the grid is
// filled: the state and fractions it solved, the row captions and how every
// root ended.
struct SolvedCase {
    MixtureState state;
    FractionTexts fractions;
    std::array<std::string, 4> names;  // "" shows as "Component N"
    RootLog roots;
    // The temperature (°C) and pressure (bar) boxes' texts as Solve accepted them.
    std::string temperatureText, pressureText;
};

// The tag that shows a stable phase beside a row: "V", "L", "V=L", "SC".
const char* stablePhaseTag(StablePhase s);

// What a stable-phase tag means, for `subject` at the solved state as
// `equation` describes it; the subject names what the tag stands for, e.g.
// "n-Butane alone" for a component row.
std::string stablePhaseTagExplanation(StablePhase s, const std::string& subject, const std::string& equation);

// The line a marked (coloured) vapour or Z cell adds to its explanation:
// which constant is missing for `name` and what `block`'s equation used
// instead; "" for Mark::Window.
std::string markExplanation(Mark mark, const std::string& name, int block);

// The explanation of the cell of `block`, `column`, `row` that shows `text`;
// "" for an empty cell or a row not in use.
std::string cellInsight(const SolvedCase& solved, int block, Column column, int row, const std::string& text);

}  // namespace zolvant
