#pragma once
// The isotherms as CSV, as `zolvant-cli isotherm` prints them and the
// Isotherms window saves them: the header `Equation,V (cm3/mol),P (bar)`,
// one record per curve point, the equations in the grid's order, numbers as
// the shortest text that reads back the value, a gap (a pressure that is
// not finite) as an empty P; CRLF line ends.

#include <string>

#include "solver/isotherm.h"

namespace zolvant::report {

std::string isothermCsv(const IsothermModel& m);

}  // namespace zolvant::report
