#pragma once
// `zolvant-cli solve --insight`: the equations' own view of every row in
// use (its roots, fugacity, saturation pressure, stable phase and how the
// grid's roots ended), as the JSON key "insight" of each block and as lines
// under each block of the tables.

#include <QJsonArray>
#include <QStringList>

#include "report/case_report.h"

namespace zolvant::report {

// One object per row in use (index = position), with exactly the keys
// Tr, Pr, Psat, stable, roots, lnPhiLiquid, lnPhiVapour, vapourSteps,
// vapourEnd, liquidSteps, liquidEnd.
QJsonArray insightArray(const CaseReport& report, int block);

// The same facts for a person, two lines per row, indented under the block.
QStringList insightLines(const CaseReport& report, int block);

}  // namespace zolvant::report
