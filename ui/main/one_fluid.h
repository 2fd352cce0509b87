#pragma once
// The one-fluid result of each equation at the last accepted Solve, for the
// mixture row's tooltip and tag: the flash of every equation at once (tens
// of microseconds each), the bubble and dew pressures (which need the
// envelope, about a millisecond and a half each) only when first asked for.
// The kij are the database's pairs of the solved names, read at the Solve.

#include <array>
#include <optional>
#include <string>

#include "solver/grid.h"
#include "solver/mixture_model.h"
#include "solver/state.h"

namespace zolvant::db {
class Database;
}

namespace zolvant::ui {

class OneFluid {
public:
    // A new Solve of `state` with these fraction texts and row names; `db`
    // (may be null) gives the kij.
    void solved(const MixtureState& state, const FractionTexts& fractions, const std::array<std::string, 4>& names,
                const db::Database* db);
    void clear();

    // The flash of `block`, nullptr when nothing is solved or for one component.
    const MixtureReport* flash(int block) const;
    // The same state with its saturation lists, computed on first call.
    const MixtureReport* saturation(int block) const;
    // Whether the block's pairs came from the database (some are not 0).
    bool kijFromDatabase(int block) const;

private:
    bool have_ = false;
    MixtureState state_{};
    CompVector z_{};
    std::array<KijMatrix, kBlocks> kij_{};  // as db::kijMatrices gives them
    std::array<std::optional<MixtureReport>, kBlocks> flash_{};
    mutable std::array<std::optional<MixtureReport>, kBlocks> saturation_{};
};

}  // namespace zolvant::ui
