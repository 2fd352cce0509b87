#pragma once
// What a result cell may show, shared by the Solve and case-parser targets.

#include <string>

#include "fuzz/fuzz_support.h"
#include "solver/grid.h"

namespace zolvant::fuzz {

// Decimals of a cell's mask: "###0.0" vapour, "0.0000" Z, "##0.00" liquid,
// "#0.00" mixture liquid.
inline int cellDecimals(Column c) { return c == Column::Vapour ? 1 : c == Column::Z ? 4 : 2; }

// Empty, "NA", "NA - Tc" (a position's liquid only) or a number in its mask's shape.
inline bool isAllowedCell(const std::string& text, Column c, int row) {
    if (text.empty() || text == "NA") return true;
    if (text == "NA - Tc") return c == Column::Liquid && row < kMixtureRow;
    return hasMaskShape(text, cellDecimals(c));
}

}  // namespace zolvant::fuzz
