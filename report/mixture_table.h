#pragma once
// The flash result of one equation as a person reads it in a terminal, as
// `zolvant-cli flash` prints it by default: a heading with the state and
// the phase split, one line per component (feed, each phase's fraction and
// ln φ), the phases' V, Z and density, the saturation points and the notes.

#include <string>
#include <vector>

#include "solver/mixture_model.h"

namespace zolvant::report {

// `names` are the positions' captions (row order).
std::string flashTable(const MixtureReport& report, const std::vector<std::string>& names);

}  // namespace zolvant::report
