#pragma once
// One sweep point's results as a window keeps them: every cell text, mark
// and refusal of the point's case, and the stable phase of each component
// row, packed small (a sweep holds up to 100 000 points).

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "solver/grid.h"
#include "solver/phase.h"
#include "solver/sweep.h"

namespace zolvant {

class SweepPoint {
public:
    SweepPointTexts texts;  // the point's temperature and pressure as typed
    bool solved = false;
    std::string title, message;  // the refusal, when not solved
    int numComps = 0;
    std::array<bool, 4> deselected{};

    // "" for a cell the grid left empty.
    std::string_view text(int block, Column column, int row) const;
    std::optional<Mark> mark(int block, int row) const;
    // Component rows only, when asked for and the equation is defined there.
    std::optional<StablePhase> stable(int block, int row) const;

    static constexpr int kCells = kBlocks * 3 * (kMixtureRow + 1);
    // A point holding these cell texts (block, column, row order), nothing else yet.
    static SweepPoint withTexts(const std::array<std::string, kCells>& texts);
    void setMark(int block, int row, Mark mark);
    void setStable(int block, int row, StablePhase phase);

    static int cellIndex(int block, Column column, int row) {
        return (block * 3 + static_cast<int>(column)) * (kMixtureRow + 1) + row;
    }

private:
    std::string cells_;                               // every cell text, one after another
    std::array<std::uint16_t, kCells + 1> ends_{};    // where cell i ends in cells_ (ends_[0] == 0)
    std::array<std::int8_t, kBlocks * 4> marks_ = filled();
    std::array<std::int8_t, kBlocks * 4> stable_ = filled();
    static std::array<std::int8_t, kBlocks * 4> filled() {
        std::array<std::int8_t, kBlocks * 4> a{};
        a.fill(-1);
        return a;
    }
};

// Runs point `index` of the plan exactly as sweepPointCase gives it to
// runCase; with `stablePhases`, the stable phase of every component row in
// use by every equation (phaseView at the point's state).
SweepPoint computeSweepPoint(const SweepPlan& plan, const std::vector<double>& values, std::size_t index,
                             bool stablePhases);

}  // namespace zolvant
