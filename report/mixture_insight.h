#pragma once
// What the main window says about its mixture row beyond the grid's
// averages: the one-fluid result of one equation at the solved state (phase
// state, volumes and Z with the grid's masks, bubble and dew pressure at the
// temperature, the kij used), and the tag drawn beside the mixture Z cell.

#include <string>

#include "solver/mixture_model.h"

namespace zolvant::report {

// "V" or "L" for one phase (the model's liquid-like criterion), "V+L" for
// two; "" when the flash gave a reason instead of a result.
std::string oneFluidTag(const MixtureReport& r);

// The insight's sentences. `saturation` is the report whose bubble and dew
// pressures are quoted (the same state with its saturation lists), or
// nullptr when they are not known. `kijFromDatabase`: the pairs came from
// the database (and at least one is not 0).
std::string oneFluidInsight(const MixtureReport& flash, const MixtureReport* saturation, bool kijFromDatabase);

// Whether any pair of the first r.m positions has a nonzero kij.
bool anyKij(const MixtureReport& r);

}  // namespace zolvant::report
