#pragma once
// A result grid that remembers everything written to it, for tests.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "solver/grid.h"

namespace zolvant::testing {

struct RootRecord {
    int steps = 0;
    bool found = false;  // converged
    RootEnd end = RootEnd::Undefined;
    double value = 0.0;
};

class RecordingGrid : public ResultGrid {
public:
    // A cell never written reads as this, so that "left alone" and
    // "emptied" can be told apart.
    static constexpr const char* kUntouched = "<untouched>";

    RecordingGrid() {
        for (auto& block : text)
            for (auto& column : block) column.fill(kUntouched);
    }

    void setCellText(int block, Column column, int row, const std::string& t) override {
        text.at(static_cast<std::size_t>(block)).at(static_cast<std::size_t>(column)).at(static_cast<std::size_t>(row)) = t;
        written.push_back(t);
    }
    void setCellMark(int block, int row, Mark m) override {
        marks.at(static_cast<std::size_t>(block)).at(static_cast<std::size_t>(row)) = m;
    }
    void rootDone(int block, int row, Phase phase, const RootOutcome& r) override {
        auto& slot = phase == Phase::Vapour ? vapourRoots : liquidRoots;
        slot.at(static_cast<std::size_t>(block)).at(static_cast<std::size_t>(row)) =
            RootRecord{r.steps, r.converged(), r.end, r.value};
    }

    const std::string& cell(int block, Column c, int row) const {
        return text[static_cast<std::size_t>(block)][static_cast<std::size_t>(c)][static_cast<std::size_t>(row)];
    }
    std::optional<Mark> mark(int block, int row) const {
        return marks[static_cast<std::size_t>(block)][static_cast<std::size_t>(row)];
    }
    std::optional<RootRecord> root(int block, int row, Phase p) const {
        const auto& slot = p == Phase::Vapour ? vapourRoots : liquidRoots;
        return slot[static_cast<std::size_t>(block)][static_cast<std::size_t>(row)];
    }

    std::array<std::array<std::array<std::string, 5>, 3>, kBlocks> text;
    std::array<std::array<std::optional<Mark>, 4>, kBlocks> marks{};
    std::array<std::array<std::optional<RootRecord>, 4>, kBlocks> vapourRoots{}, liquidRoots{};
    std::vector<std::string> written;  // every text in the order written
};

}  // namespace zolvant::testing
