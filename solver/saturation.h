#pragma once
// Saturation points of a feed z: the equations the phase envelope and the
// bubble and dew points share, and Newton's method on them.
//
// One form covers both kinds: the feed phase (composition z) and an
// incipient phase w = K·z, with Σ zi Ki = 1 and ln Ki + ln φi(w) − ln φi(z)
// = 0 for every active i. At a bubble point the feed takes the cubic's
// smallest root and the incipient phase the largest; at a dew point the
// other way round (so on the dew side the light components' K are below
// 1). The unknowns are X = (ln K of each active position, ln T, ln P); one
// of them is specified.

#include <array>
#include <string>

#include "solver/mixture_eos.h"

namespace zolvant {

enum class SaturationKind { Bubble, Dew };

inline constexpr int kMaxUnknowns = kMaxComponents + 2;
using Unknowns = std::array<double, kMaxUnknowns>;  // active ln K…, ln T, ln P

// The sum |ln f_feed − ln f_incipient| to which a saturation point is
// solved, and the largest |ln K| under which a solution is the feed itself.
inline constexpr double kSaturationTolerance = 1e-10;
inline constexpr double kTrivialLnK = 1e-6;

struct SaturationState {
    Unknowns X{};
    int iterations = 0;
    double feedV = 0.0, incipientV = 0.0;  // cm³/mol
    CompVector incipient{};                // w, position order
};

// Newton's method from X with X[held] held at `value`; at most maxSteps
// steps, each limited in size. On success X is the solution and true; on
// failure `why` says what went wrong ("did not converge after N steps",
// "fell onto the trivial solution", …). `f` is set to each temperature
// tried and left at the solution's.
bool solveSaturation(Fluid& f, const CompVector& z, SaturationKind kind, int held, double value, SaturationState& s,
                     std::string& why, int maxSteps = 40);

// dX/dS at a solution, with X[held] = S: the direction the envelope takes.
bool saturationSensitivity(Fluid& f, const CompVector& z, SaturationKind kind, int held, const SaturationState& s,
                           Unknowns& dXdS);

// Wilson's bubble (or dew) temperature at P: the start of a trace.
double wilsonSaturationTemperature(const Fluid& f, const CompVector& z, double P, SaturationKind kind);

}  // namespace zolvant
