#pragma once
// The real-mixture results of one solved state by every equation asked for,
// as `zolvant-cli flash`, `zolvant-cli envelope` and the Mixture Phases
// window all compute them: one path from the grid's MixtureState to the
// model (solver/mixture_model.h), so that a window and the command line
// never disagree about a mixture.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "solver/grid.h"
#include "solver/mixture_model.h"

namespace zolvant::report {

// One kij matrix per equation block, in the grid's order (what
// db::kijMatrices returns for the rows' names: Peng-Robinson pairs for PR,
// PRSV1 and PRSV2, Soave-Redlich-Kwong pairs for SRK, none for van der
// Waals and Redlich-Kwong).
using KijByBlock = std::array<KijMatrix, kBlocks>;

// A pair of positions (rows) whose kij is replaced in every block.
struct KijOverride {
    int i = 0, j = 0;
    double value = 0.0;
};

// kij with the overrides applied symmetrically to every block.
KijByBlock withOverrides(KijByBlock kij, const std::vector<KijOverride>& overrides);

// The block an equation name stands for: the grid's block name compared
// case aside ("peng-robinson", "PR-Stryjek-Vera 1"). nullopt: none.
std::optional<int> equationBlock(std::string_view name);

// The grid's equation names, in its order, joined by ", " (for messages).
std::string equationNames();

// One report per block of `blocks` (every block, in the grid's order, when
// empty), each by mixtureReport on the state's positions in use with its
// block's kij. The blocks are computed side by side on the machine's cores;
// the result is in the order asked.
std::vector<MixtureReport> mixtureReports(const MixtureState& s, const CompVector& z, const KijByBlock& kij,
                                          const MolarMasses& molWt, const std::vector<int>& blocks = {},
                                          const ReportOptions& options = {});

}  // namespace zolvant::report
