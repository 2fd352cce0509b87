#pragma once
// The real-mixture equation of state: the van der Waals one-fluid rule with
// binary interaction parameters kij over the grid's own pure-component
// parameters (equationParametersAt, the code the iteration runs), for every
// block. Plain C++, no Qt.
//
//   a_m = Σi Σj xi xj (1 − kij) √(ai aj),  a_ii = ai,  b_m = Σi xi bi
//   P = R·T / (V − b_m) − a_m / ((V + δ1·b_m)(V + δ2·b_m))
//
// ai is the grid's a(T) with α (and, for Redlich-Kwong, 1/√T) folded in, so
// one rule serves all six equations.
//
// Components: the positions 0..numComps−1 of the state. A position whose
// fraction is exactly 0 is left out of every sum (no term, not a zero
// term), so that a mixture with one nonzero fraction is the pure fluid of
// phase.h to the last bit: its roots and ln φ are computed by phase.cpp.
//
// Phase identification (one criterion, used everywhere): the phase
// identification parameter of Venkatarathnam and Oellrich,
//   Π = V·[ (∂²P/∂T∂V) / (∂P/∂T)_V − (∂²P/∂V²) / (∂P/∂V)_T ],
// computed analytically from the cubic at the phase's T, V and composition;
// Π > 1 is liquid-like, Π ≤ 1 vapour-like.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "solver/phase.h"
#include "solver/state.h"

namespace zolvant {

inline constexpr int kMaxComponents = 4;
using CompVector = std::array<double, kMaxComponents>;
using KijMatrix = std::array<std::array<double, kMaxComponents>, kMaxComponents>;

// Why kij cannot be used for the first n components ("" when it can): a
// value that is not finite, a nonzero diagonal, kij ≠ kji, or kij ≥ 1
// (a_ij would not be positive). The model never symmetrises silently.
std::string kijProblem(const KijMatrix& kij, int n);

// The feed as the grid reads it: each position's fraction text by the
// leading-number rule in single precision (the grid's shares), widened to
// double and divided by their sum, so that Solve's accepted total (within
// its tolerance of 1) becomes exactly a composition. Positions from
// numComps on are 0. A single nonzero fraction becomes exactly 1.
CompVector feedFractions(const MixtureState& s, const FractionTexts& fractions);

// Which real root of the cubic a phase takes.
enum class RootChoice {
    Smallest,  // the liquid side of the loop
    Largest,   // the vapour side
    LowestGibbs,  // the root of least Gibbs energy at this composition
};

// The mixture at one temperature. Compositions are in position order
// (0..m−1, the state's positions in use); only the active positions (a
// nonzero feed fraction) enter the sums.
struct Fluid {
    int block = 0;
    CubicFamily family = CubicFamily::VanDerWaals;
    double d1 = 0.0, d2 = 0.0;
    int m = 0;                                   // positions in use
    int n = 0;                                   // active positions
    std::array<int, kMaxComponents> active{};    // their indices, ascending
    std::array<bool, kMaxComponents> defined{};  // parameters usable (always for active)
    double T = 0.0, R = 0.0, RT = 0.0;
    CompVector a{}, b{};
    KijMatrix kij{};
    KijMatrix aij{};                             // (1 − kij)√(ai aj), aii = ai
    std::array<EquationParameters, kMaxComponents> pure{};  // the pure limit's own
    const MixtureState* state = nullptr;         // Tc, Pc, ω for Wilson's K
};

// The fluid of block `block` for the state's positions in use, those with
// a nonzero fraction in z active, at temperature T (K). nullopt with `why`
// when the arithmetic is undefined for an active position (a Tc or Pc of
// 0, b not positive, a value that is not finite), no position is active,
// or kij is unusable. The state must outlive the fluid.
std::optional<Fluid> makeFluid(int block, const MixtureState& s, const CompVector& z, const KijMatrix& kij,
                               double T, std::string& why);

// The same fluid at another temperature; false when undefined there.
bool setTemperature(Fluid& f, double T);

// One phase of the fluid at (T, P) and composition x.
struct PhasePoint {
    double Z = 0.0, V = 0.0;  // V in cm³/mol
    CompVector lnPhi{};       // every position in use; NaN where not defined
    int roots = 0;            // real roots the cubic has above b_m
};

// Every real root V > b_m of the mixture cubic at P, ascending. For one
// active component: realRoots of phase.h.
std::vector<double> mixtureRoots(const Fluid& f, const CompVector& x, double P);

// The phase at the chosen root; false when no root can be formed.
bool evaluatePhase(const Fluid& f, const CompVector& x, double P, RootChoice choice, PhasePoint& out);

// ln φi of every position in use at volume V (a root at P). A position
// absent from x gets its infinite-dilution value.
void lnPhiAt(const Fluid& f, const CompVector& x, double P, double V, CompVector& lnPhi);

// Π of Venkatarathnam and Oellrich at (T, V, x); and the verdict Π > 1.
double phaseIdentificationParameter(const Fluid& f, const CompVector& x, double V);
bool liquidLike(const Fluid& f, const CompVector& x, double V);

// Wilson's estimate of the K-value of position i at (T, P) from the
// state's Tc, Pc and ω.
double wilsonK(const Fluid& f, int i, double T, double P);

}  // namespace zolvant
