// A whole Solve on arbitrary constants, temperature, pressure and fractions
// (any bit pattern: zeros, negatives, denormals, infinities, NaN): no crash,
// no hang (every root stops within its steps), and every cell empty, "NA",
// "NA - Tc" or a number in its mask's shape.

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <string>

#include "fuzz/cell_checks.h"
#include "solver/entry.h"
#include "solver/phase.h"
#include "solver/solve.h"
#include "solver/text.h"

using namespace zolvant;
using namespace zolvant::fuzz;

namespace {

class CheckingGrid : public ResultGrid {
public:
    std::array<std::array<std::array<std::string, 5>, 3>, kBlocks> text;
    std::array<std::array<int, 4>, kBlocks> vapourRoots{}, liquidRoots{}, skipped{};
    std::array<std::array<int, 4>, kBlocks> marks{};

    void setCellText(int block, Column column, int row, const std::string& t) override {
        FUZZ_CHECK(block >= 0 && block < kBlocks && row >= 0 && row <= kMixtureRow, "cell out of the grid");
        const std::string where = std::string(blockName(block)) + " column " +
                                  std::to_string(static_cast<int>(column)) + " row " + std::to_string(row) + ": " + show(t);
        FUZZ_CHECK(isAllowedCell(t, column, row), where);
        text[static_cast<std::size_t>(block)][static_cast<std::size_t>(column)][static_cast<std::size_t>(row)] = t;
    }
    void setCellMark(int block, int row, Mark) override {
        FUZZ_CHECK(block >= 0 && block < kBlocks && row >= 0 && row < kMixtureRow, "mark out of the grid");
        ++marks[static_cast<std::size_t>(block)][static_cast<std::size_t>(row)];
    }
    void rootDone(int block, int row, Phase phase, const RootOutcome& root) override {
        FUZZ_CHECK(block >= 0 && block < kBlocks && row >= 0 && row < kMixtureRow, "root out of the grid");
        const int steps = root.steps;
        // The 80-step limit: a root is refused at step 81 at the latest.
        FUZZ_CHECK(steps >= 0 && steps <= 81, "steps " + std::to_string(steps));
        FUZZ_CHECK(!root.converged() || (steps >= 1 && steps <= 80), "found at step " + std::to_string(steps));
        FUZZ_CHECK(root.end != RootEnd::StepLimit || steps == 81, "step limit at step " + std::to_string(steps));
        FUZZ_CHECK((root.end == RootEnd::Undefined || root.end == RootEnd::AboveTc) == (steps == 0),
                   "no step taken but not undefined or skipped");
        // Each phase ends only in its own bound; the vapour is never skipped.
        FUZZ_CHECK(root.end != (phase == Phase::Vapour ? RootEnd::AboveIdealGas : RootEnd::BelowB), "wrong bound");
        FUZZ_CHECK(phase == Phase::Liquid || root.end != RootEnd::AboveTc, "vapour skipped");
        auto& slot = phase == Phase::Vapour ? vapourRoots : liquidRoots;
        ++slot[static_cast<std::size_t>(block)][static_cast<std::size_t>(row)];
        if (root.end == RootEnd::AboveTc) ++skipped[static_cast<std::size_t>(block)][static_cast<std::size_t>(row)];
    }
};

float anyFloat(FuzzedDataProvider& in) {
    // Half the time a raw bit pattern, otherwise a plausible magnitude.
    if (in.ConsumeBool()) {
        const auto bits = in.ConsumeIntegral<std::uint32_t>();
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }
    return in.ConsumeFloatingPointInRange<float>(-2000.0f, 2000.0f);
}

// The insight of a position: it ends, its roots are finite, ascending and
// above b, a saturation pressure is a positive double or has a reason why
// there is none.
void checkInsight(int block, const MixtureState& s, int k) {
    const PhaseView v = phaseView(block, s, k);
    const std::string where = std::string(blockName(block)) + " insight row " + std::to_string(k);
    if (!v.defined) {
        FUZZ_CHECK(!v.stable && v.roots.empty() && !v.saturation.pressure, where + ": undefined but not empty");
        return;
    }
    const double b = equationParameters(block, s, k).b;
    FUZZ_CHECK(!v.roots.empty(), where + ": no root");
    for (std::size_t i = 0; i < v.roots.size(); ++i) {
        FUZZ_CHECK(std::isfinite(v.roots[i]) && v.roots[i] > b, where + ": root " + shortestText(v.roots[i]));
        FUZZ_CHECK(i == 0 || v.roots[i] > v.roots[i - 1], where + ": roots not ascending");
    }
    FUZZ_CHECK(v.lnPhiLiquid && v.lnPhiVapour, where + ": no ln phi");
    if (v.saturation.pressure)
        FUZZ_CHECK(std::isfinite(*v.saturation.pressure) && *v.saturation.pressure > 0.0, where + ": Psat");
    if (v.stable == StablePhase::Saturated)
        FUZZ_CHECK(v.saturation.pressure.has_value(), where + ": saturated without a saturation pressure");
    if (!v.saturation.pressure) FUZZ_CHECK(!v.saturation.none.empty(), where + ": no saturation pressure, no reason");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    MixtureState s;
    FractionTexts f;
    s.numComps = in.ConsumeIntegralInRange<std::int16_t>(0, 4);
    for (int k = 0; k < 4; ++k) {
        for (int p = 0; p < 6; ++p) s.constant(k, p) = anyFloat(in);
        s.aboveCritT[static_cast<std::size_t>(k)] = in.ConsumeBool();
        // A cleaned fraction ("0.000" to "1.000") or, rarely, raw text.
        f[static_cast<std::size_t>(k)] =
            in.ConsumeBool() ? formatMask(in.ConsumeIntegralInRange<int>(0, 1000) / 1000.0, Mask::Fraction)
                             : in.ConsumeRandomLengthString(12);
    }
    s.tempK = anyFloat(in);
    s.pressBar = anyFloat(in);
    if (in.ConsumeBool()) markAboveCritical(s);  // as the temperature box does

    CheckingGrid g;
    ClearResults(g);
    SolveAll(s, f, g);

    // Every position in use has all three cells written and both roots tried
    // (the liquid only below Tc); the mixture row is written when more than
    // one position is in use; nothing beyond is touched.
    const int positions = s.numComps;
    for (int b = 0; b < kBlocks; ++b) {
        const auto bu = static_cast<std::size_t>(b);
        for (int row = 0; row <= kMixtureRow; ++row) {
            const auto ru = static_cast<std::size_t>(row);
            const bool used = row < kMixtureRow ? row < positions : positions > 1;
            for (Column c : {Column::Liquid, Column::Vapour, Column::Z}) {
                const std::string& t = g.text[bu][static_cast<std::size_t>(c)][ru];
                FUZZ_CHECK(t.empty() != used, std::string(blockName(b)) + " row " + std::to_string(row) + ": " + show(t));
            }
            if (row == kMixtureRow) continue;
            FUZZ_CHECK(g.vapourRoots[bu][ru] == (used ? 1 : 0), "vapour root count");
            // The liquid ends once per position in use: skipped exactly above Tc.
            FUZZ_CHECK(g.liquidRoots[bu][ru] == (used ? 1 : 0), "liquid root count");
            FUZZ_CHECK(g.skipped[bu][ru] == (used && s.aboveCritT[ru] ? 1 : 0), "liquid skipped");
            if (used && s.aboveCritT[ru]) FUZZ_CHECK(g.text[bu][0][ru] == "NA - Tc", show(g.text[bu][0][ru]));
            FUZZ_CHECK(g.marks[bu][ru] == (used && b >= 2 ? 1 : 0), "mark count");
            if (used) checkInsight(b, s, row);
        }
    }
    return 0;
}
