#include "solver/sweep_point.h"

#include <algorithm>

#include "solver/case.h"

namespace zolvant {
namespace {

// What runCase writes, cell by cell, before it is packed.
class CellRecorder : public ResultGrid {
public:
    std::array<std::string, SweepPoint::kCells> texts;
    std::array<std::optional<Mark>, kBlocks * 4> marks;
    void setCellText(int block, Column column, int row, const std::string& text) override {
        texts.at(static_cast<std::size_t>(SweepPoint::cellIndex(block, column, row))) = text;
    }
    void setCellMark(int block, int row, Mark mark) override {
        marks.at(static_cast<std::size_t>(block * 4 + row)) = mark;
    }
};

}  // namespace

SweepPoint SweepPoint::withTexts(const std::array<std::string, kCells>& texts) {
    SweepPoint p;
    std::size_t size = 0;
    for (const std::string& t : texts) size += t.size();
    p.cells_.reserve(size);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        p.cells_ += texts[i];
        // A cell text is a number or a short word: the sum never nears 65 535.
        p.ends_[i + 1] = static_cast<std::uint16_t>(std::min<std::size_t>(p.cells_.size(), 0xFFFF));
    }
    return p;
}

std::string_view SweepPoint::text(int block, Column column, int row) const {
    if (block < 0 || block >= kBlocks || row < 0 || row > kMixtureRow) return {};
    const auto i = static_cast<std::size_t>(cellIndex(block, column, row));
    return std::string_view(cells_).substr(ends_[i], ends_[i + 1] - ends_[i]);
}

std::optional<Mark> SweepPoint::mark(int block, int row) const {
    if (block < 0 || block >= kBlocks || row < 0 || row > 3) return std::nullopt;
    const std::int8_t m = marks_[static_cast<std::size_t>(block * 4 + row)];
    if (m < 0) return std::nullopt;
    return static_cast<Mark>(m);
}

std::optional<StablePhase> SweepPoint::stable(int block, int row) const {
    if (block < 0 || block >= kBlocks || row < 0 || row > 3) return std::nullopt;
    const std::int8_t s = stable_[static_cast<std::size_t>(block * 4 + row)];
    if (s < 0) return std::nullopt;
    return static_cast<StablePhase>(s);
}

void SweepPoint::setMark(int block, int row, Mark mark) {
    marks_.at(static_cast<std::size_t>(block * 4 + row)) = static_cast<std::int8_t>(mark);
}

void SweepPoint::setStable(int block, int row, StablePhase phase) {
    stable_.at(static_cast<std::size_t>(block * 4 + row)) = static_cast<std::int8_t>(phase);
}

SweepPoint computeSweepPoint(const SweepPlan& plan, const std::vector<double>& values, std::size_t index,
                             bool stablePhases) {
    CellRecorder grid;
    const CaseOutcome out = runCase(sweepPointCase(plan, values, index), grid);
    SweepPoint p = SweepPoint::withTexts(grid.texts);
    p.texts = sweepPointTexts(plan, values, index);
    p.solved = out.solved;
    p.title = out.title;
    p.message = out.message;
    p.numComps = std::clamp<int>(out.state.numComps, 0, 4);
    p.deselected = out.deselected;
    for (int b = 0; b < kBlocks; ++b)
        for (int row = 0; row < 4; ++row) {
            if (const auto m = grid.marks[static_cast<std::size_t>(b * 4 + row)]) p.setMark(b, row, *m);
            if (stablePhases && out.solved && row < p.numComps)
                if (const auto s = phaseView(b, out.state, row).stable) p.setStable(b, row, *s);
        }
    return p;
}

}  // namespace zolvant
