#pragma once
// The PT flash of a mixture: one phase, or two with the vapour fraction β.
//
// The feed's stability is tested first (stability.h). A stable feed is one
// phase at its root of least Gibbs energy, called liquid or vapour by the
// phase identification parameter (mixture_eos.h). An unstable one is split:
// K-values from the stationary point found, successive substitution with a
// Rachford–Rice solve that admits a negative flash (β outside [0, 1]) and
// never leaves its bracket (Newton safeguarded by bisection), then Newton's
// method on ln K (numerical Jacobian) until every |ln f_iL − ln f_iV| ≤
// 1e-10. A result equal to the feed (the trivial solution) is never
// reported as two phases. Each phase of a two-phase result is itself
// tested; when one is unstable the notes say "a third phase may form".

#include <optional>
#include <string>
#include <vector>

#include "solver/mixture_eos.h"
#include "solver/stability.h"

namespace zolvant {

inline constexpr double kFugacityTolerance = 1e-10;

// Rachford–Rice: Σ zi (Ki − 1) / (1 + β(Ki − 1)) = 0 within its
// asymptotes 1/(1 − Kmax) < β < 1/(1 − Kmin). nullopt when every Ki is on
// one side of 1 (no root).
std::optional<double> rachfordRice(const Fluid& f, const CompVector& z, const CompVector& K);

struct FlashPhase {
    CompVector x{};      // mole fractions, position order
    double V = 0.0;      // cm³/mol
    double Z = 0.0;
    CompVector lnPhi{};  // every position in use (absent ones at infinite dilution)
    bool liquidLike = false;
    int roots = 0;       // real roots of its cubic
};

struct FlashResult {
    bool ok = false;
    std::string why;                   // when not ok
    int phases = 0;                    // 1 or 2 when ok
    double beta = 0.0;                 // vapour fraction (two phases)
    FlashPhase liquid, vapour;         // one phase: `single` only
    FlashPhase single;
    StabilityResult feedStability;
    double fugacityGap = 0.0;          // largest |ln f_iL − ln f_iV| (two phases)
    int iterations = 0;                // substitution and Newton steps
    std::vector<std::string> notes;
};

struct FlashOptions {
    bool testPhases = true;  // the stability test of each phase of a split
    int maxSteps = 500;
};

FlashResult flash(const Fluid& f, const CompVector& z, double P, const FlashOptions& options = {});

}  // namespace zolvant
