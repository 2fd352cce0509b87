#pragma once
// The equations' own view of a pure component at the grid's state: the real
// roots of each cubic, the fugacity coefficient, the saturation pressure,
// the stable phase, and how the grid's iteration ended. Everything here is
// computed from the parameters the iteration itself used and only reads
// the grid's results: no text, colour or step count of the grid changes.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "solver/grid.h"
#include "solver/state.h"

namespace zolvant {

// The pressure equation every block solves:
//   P = R·T / (V − b) − a / ((V + δ1·b)(V + δ2·b))
// δ1, δ2 = (0, 0) van der Waals, (1, 0) Redlich-Kwong and Soave,
// (1 + √2, 1 − √2) Peng-Robinson and Stryjek-Vera.
enum class CubicFamily { VanDerWaals, RedlichKwong, PengRobinson };
double delta1(CubicFamily f);
double delta2(CubicFamily f);

struct EquationParameters {
    CubicFamily family = CubicFamily::VanDerWaals;
    bool defined = false;  // the iteration could run at all (its "undefined" test)
    double a = 0.0;        // a(T): α and, for Redlich-Kwong, 1/√T included
    double b = 0.0;
    double R = 0.0, T = 0.0, P = 0.0;
};

// The parameters block `block` (0 VDW … 5 PRSV2) uses at position k: the
// same code and the same values as its iteration.
EquationParameters equationParameters(int block, const MixtureState& s, int k);

// The same code at any temperature T (K), the state's pressure kept: at
// T = double(s.tempK) bit for bit equationParameters (T / Tc then is the
// single-precision quotient the grid stores); at any other T the reduced
// temperature is T / Tc in double, so that a(T) is smooth in T.
EquationParameters equationParametersAt(int block, const MixtureState& s, int k, double T);

// The pressure equation at volume V (cm³/mol), in bar.
double pressureAt(const EquationParameters& p, double V);

// Every real root V > b of the cubic at p.P, ascending; each is the double
// nearest the exact root of the pressure equation or next to it.
std::vector<double> realRoots(const EquationParameters& p);

// ln φ of the pure fluid at volume V and pressure p.P.
double lnFugacityCoefficient(const EquationParameters& p, double V);

// The isotherm's van der Waals loop: its local minimum (liquid side) and
// maximum; nullopt when the isotherm falls monotonically.
struct IsothermLoop {
    double vMin, pMin, vMax, pMax;
};
std::optional<IsothermLoop> isothermLoop(const EquationParameters& p);

// The pressure at which the smallest and the largest root have equal
// fugacity, to a relative 1e-10 (p.P is not used). No value, with the
// reason, when there is none or it cannot be found.
struct Saturation {
    std::optional<double> pressure;  // bar
    std::string none;                // why there is none
};
Saturation saturationPressure(const EquationParameters& p);

enum class StablePhase { Vapour, Liquid, Saturated, Supercritical };
const char* stablePhaseText(StablePhase s);  // "vapour", "liquid", "saturated", "supercritical"

// Relative distance within which a pressure counts as the saturation pressure.
inline constexpr double kSaturatedTolerance = 1e-10;

// Vapour below the saturation pressure, liquid above it, saturated within
// kSaturatedTolerance of it (relative).
StablePhase comparedWithSaturation(double P, double psat);

// Everything the equation says about position k at the state.
struct PhaseView {
    bool defined = false;
    double Tr = 0.0, Pr = 0.0;       // T / Tc and P / Pc of the stored values
    std::vector<double> roots;       // ascending; empty when undefined
    std::optional<double> lnPhiLiquid, lnPhiVapour;  // smallest and largest root
    Saturation saturation;
    std::optional<StablePhase> stable;  // nullopt only when undefined
};
PhaseView phaseView(int block, const MixtureState& s, int k);

// How a root ended, as the insight names it: "converged", "below b",
// "above ideal-gas volume", "step limit", "undefined" (also for an iterate
// that is not finite), "above Tc".
const char* rootEndText(RootEnd e);

// The outcomes the iteration reported through ResultGrid::rootDone.
class RootLog {
public:
    void record(int block, int row, Phase phase, const RootOutcome& root);
    std::optional<RootOutcome> outcome(int block, int row, Phase phase) const;
    void clear();

private:
    std::array<std::array<std::array<std::optional<RootOutcome>, 2>, 4>, kBlocks> roots_{};
};

}  // namespace zolvant
