#pragma once
// The Mixture Phases window's data as CSV (RFC 4180, CRLF, UTF-8): one
// record per equation with its flash and saturation points, under the header
// kMixturePhasesHeader. The window appends the envelope points as
// `zolvant-cli envelope` writes them.

#include <string>
#include <vector>

#include "solver/mixture_model.h"

namespace zolvant::report {

inline constexpr const char* kMixturePhasesHeader =
    "Equation,Phases,Vapour fraction,Liquid V (cm3/mol),Vapour V (cm3/mol),Liquid Z,Vapour Z,"
    "Bubble P (bar),Dew P (bar),Bubble T (C),Dew T (C)";

// The header and one record per report, in the order given. Phases is 1
// or 2 (empty when the flash gave a reason); the vapour fraction is empty
// for one phase and the absent phase's V and Z are empty; each bubble or
// dew list is its values ascending, separated by ";" (temperatures in °C),
// empty when there is none. Numbers as shortest round-trip text.
std::string mixturePhasesCsv(const std::vector<MixtureReport>& reports);

}  // namespace zolvant::report
