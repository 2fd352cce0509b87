#pragma once
// The result grid as the equations see it. The main window implements it on
// its text boxes, the command-line tool as a table, tests as a recorder.

#include <cstdint>
#include <string>

namespace zolvant {

inline constexpr int kBlocks = 6;      // VDW, RK, PR, SRK, PRSV1, PRSV2
inline constexpr int kMixtureRow = 4;  // rows 0..3 are positions

enum class Column { Liquid = 0, Vapour = 1, Z = 2 };
enum class Phase { Vapour, Liquid };

// How a root attempt of the iteration ended.
enum class RootEnd {
    Converged,      // the relative change fell below the tolerance
    BelowB,         // a vapour iterate fell below b
    AboveIdealGas,  // a liquid iterate rose above the ideal-gas volume
    StepLimit,      // no convergence by the last allowed step
    NotFinite,      // an iterate overflowed or became NaN
    Undefined,      // the parameters (or the liquid divisor) cannot be formed
    AboveTc,        // the liquid is skipped for a position above its critical temperature
};

// A root attempt: how it ended, at which step (the step whose result was
// tested; 0 when no step was taken) and that step's value (meaningful when
// converged).
struct RootOutcome {
    RootEnd end = RootEnd::Undefined;
    int steps = 0;
    double value = 0.0;
    bool converged() const { return end == RootEnd::Converged; }
};

// Background of a position's vapour and Z cells.
enum class Mark {
    Window,     // the window-background system colour
    ZeroOmega,  // 10526944: acentric factor missing (0)
    ZeroK1,     // 11579632: K1 missing (0)
};
// Colour number 0x00BBGGRR of a mark; 0 for Window, which has none of its own.
constexpr std::uint32_t markColour(Mark m) {
    return m == Mark::ZeroOmega ? 10526944u : m == Mark::ZeroK1 ? 11579632u : 0u;
}

const char* blockName(int block);  // "Van der Waals" … "PR-Stryjek-Vera 2"

class ResultGrid {
public:
    virtual ~ResultGrid() = default;
    virtual void setCellText(int block, Column column, int row, const std::string& text) = 0;
    // Vapour and Z cells of a position row (never the liquid cell, never row 4).
    virtual void setCellMark(int block, int row, Mark mark) = 0;
    // Every root of a position in use ends here, once per phase: the vapour,
    // then the liquid (a liquid skipped as "NA - Tc" ends as AboveTc, step 0).
    virtual void rootDone(int block, int row, Phase phase, const RootOutcome& root) {
        (void)block; (void)row; (void)phase; (void)root;
    }
};

}  // namespace zolvant
