#pragma once
// The Solve command's decisions and the six equations of state.
// The window acts on the decisions (message boxes, focus, captions, hiding
// rows); everything that decides what is computed lives here.

#include <array>
#include <cstdint>
#include <string>

#include "solver/grid.h"
#include "solver/state.h"

namespace zolvant {

struct SolveCheck {
    bool accepted = false;
    std::string title;              // "Mixture ERROR" / "Temperature ERROR" / "Pressure ERROR" when refused
    std::string message;
    bool focusTemperature = false;  // the temperature box gets the focus after the message
    bool focusPressure = false;     // the pressure box gets the focus after the message
    std::int16_t numComps = 0;      // numComps after the scan (written even when refused)
    std::array<bool, 4> deselect{}; // rows whose fraction is not positive: their component choice is cleared
};

// What the temperature and pressure boxes show when Solve is pressed.
struct ShownConditions {
    std::string temperature;  // °C
    std::string pressure;     // bar
};

// Solve's checks, in this order: the scan of the four fraction texts and
// their total, then the temperature box, then the pressure. Solve answers
// only for what the boxes show: a box that does not read as a number (empty
// after Clear, or any other text) refuses, whatever the state still holds
// from an earlier entry. A pressure that does read as a number was stored
// when its box was left; it must be above 0. currentNumComps is the value
// before the scan (the scan does not reset it).
SolveCheck checkSolve(const FractionTexts& fractions, const ShownConditions& shown, float pressBar,
                      std::int16_t currentNumComps);

// The equations, each filling its own block (rows 0..numComps-1, then the
// mixture row when numComps > 1). They read the fraction texts again for
// every share, as the window's boxes are read.
void SolveVDW(const MixtureState& s, const FractionTexts& f, ResultGrid& g);
void SolveRK(const MixtureState& s, const FractionTexts& f, ResultGrid& g);
void SolvePR(const MixtureState& s, const FractionTexts& f, ResultGrid& g);
void SolveSRK(const MixtureState& s, const FractionTexts& f, ResultGrid& g);
void SolvePRSV1(const MixtureState& s, const FractionTexts& f, ResultGrid& g);
void SolvePRSV2(const MixtureState& s, const FractionTexts& f, ResultGrid& g);

// All six, in the grid's order.
void SolveAll(const MixtureState& s, const FractionTexts& f, ResultGrid& g);

// The colour mark block `block` gives position k's vapour and Z cells (the
// same rule its iteration applies); Mark::Window for the blocks without one.
Mark cellMark(int block, const MixtureState& s, int k);

// Empties rows 0..4 of all 18 columns (the window hides unused rows itself).
void ClearResults(ResultGrid& g);

// The mixture rule: shares collected by one equation routine in, the
// mixture's vapour volume, vapour Z and liquid volume out (0 = no value).
using MixTerms = std::array<std::array<float, 4>, 4>;  // [q][k]
using MixResult = std::array<float, 3>;
void MixtureVolumes(const MixtureState& s, const MixTerms& mixTerms, MixResult& mixResult);

}  // namespace zolvant
