#pragma once
// One mixture specification run from typed texts to a filled grid: the
// entries the main window gets when the same case is typed in its natural
// order (components, each fraction, temperature, pressure, then Solve), made
// on a MixtureEntry as the window makes them. The command-line tool and the
// tests run their cases through it.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "solver/grid.h"
#include "solver/mixture_entry.h"
#include "solver/state.h"

namespace zolvant {

struct CaseComponent {
    // As a component box chooses them (see MixtureEntry::storedConstant).
    ComponentConstants constants{};
    // The whole text of the fraction box when it is left; nullopt when the
    // box is passed without typing, so that it keeps its proposal.
    std::optional<std::string> fraction;
};

struct CaseInput {
    std::vector<CaseComponent> components;  // at most four; more are ignored
    std::optional<std::string> temperature; // °C; nullopt is an empty box
    std::optional<std::string> pressure;    // bar; nullopt: the box is never left
};

struct CaseOutcome {
    bool solved = false;
    std::string title;    // the refusing check's message box, when not solved
    std::string message;
    MixtureState state;   // the mixture state as Solve left it
    FractionTexts fractions;
    std::array<bool, 4> deselected{};  // rows whose component choice Solve cleared
    std::string aboveCriticalMessage;  // lblMsg after the temperature was accepted
};

// Runs the case; writes the grid (cleared, then all six blocks) only when
// every check accepts.
CaseOutcome runCase(const CaseInput& input, ResultGrid& grid);

}  // namespace zolvant
