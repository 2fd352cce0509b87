#pragma once
// The phase envelope of a feed: the P–T boundary traced by continuation
// (Michelsen's method) in the unknowns ln K, ln T, ln P of saturation.h.
//
// - Start: the bubble point at `startPressure` (1 bar unless asked
//   otherwise), its temperature first estimated by Wilson's K-values.
// - Each step: the tangent dX/dS at the last point; the specified
//   variable for the next point is the one that changes most along it
//   (the largest |dXk/dS|); the next guess is the last point moved along
//   the tangent by h (linear extrapolation) in that variable.
// - Step control: h grows by half after a point that took at most 3
//   Newton steps, shrinks to 0.6 h after one that took 6 or more, is
//   halved after a failure, and lies between 1e-6 and 0.2.
// - The critical point: where the ln K pass through zero (the sign of the
//   start's largest ln K, the lightest component's, changes); there the feed turns from the
//   liquid to the vapour and the incipient phase from vapour to liquid.
//   It is refined from two points solved at ln K = ±0.01 (Hermite
//   interpolation with their tangents) and its V is the feed's root there.
// - The trace ends on the dew branch at the start pressure, after
//   maxPoints points, after maxSeconds, or where no step succeeds; an
//   incomplete envelope keeps what was traced and says why in `notes`.
// - One active component: the equation's own saturation curve (phase.h's
//   saturation pressure) from the start pressure to the equation's own
//   critical point, where the isotherm's loop vanishes; every point
//   labelled "bubble" (the dew line is the same).

#include <optional>
#include <string>
#include <vector>

#include "solver/mixture_eos.h"
#include "solver/saturation.h"

namespace zolvant {

enum class EnvelopeBranch { Bubble, Dew, Critical };
const char* envelopeBranchText(EnvelopeBranch b);  // "bubble", "dew", "critical"

struct EnvelopePoint {
    double T = 0.0, P = 0.0;  // K, bar
    EnvelopeBranch branch = EnvelopeBranch::Bubble;
    double liquidV = 0.0, vapourV = 0.0;  // cm³/mol
    Unknowns X{};             // the solution (not for the critical point)
};

struct CriticalPoint {
    double T = 0.0, P = 0.0, V = 0.0;
};
struct ExtremePoint {
    double T = 0.0, P = 0.0;
};

struct EnvelopeOptions {
    int maxPoints = 200;
    double startPressure = 1.0;  // bar
    double maxSeconds = 0.5;
};

struct Envelope {
    std::vector<EnvelopePoint> points;  // in tracing order
    std::optional<CriticalPoint> critical;
    std::optional<ExtremePoint> cricondenbar, cricondentherm;
    bool complete = false;              // reached the dew branch's end
    std::vector<std::string> notes;
    bool pure = false;                  // one active component
};

Envelope traceEnvelope(const Fluid& fluid, const CompVector& z, const EnvelopeOptions& options = {});

}  // namespace zolvant
