#pragma once
// Phase stability of a mixture at (T, P, z): Michelsen's tangent-plane
// distance. Trial phases start from Wilson's K-values in both directions
// (z·K, vapour-like; z/K, liquid-like) and near each pure active
// component; each is iterated by successive substitution to its stationary
// point. The feed is unstable when a stationary point other than the feed
// itself has a negative modified tangent-plane distance tm = 1 − Σ Wi.

#include <string>

#include "solver/mixture_eos.h"

namespace zolvant {

// A trial that ends within this of the feed's composition (largest
// |ln wi − ln zi|) has found the feed again: the trivial solution.
inline constexpr double kTrivialDistance = 1e-5;
// tm below −this is a negative tangent-plane distance.
inline constexpr double kUnstableTm = 1e-10;

struct StabilityResult {
    bool ok = false;         // the test could run
    std::string why;         // when not
    bool stable = true;
    double tm = 0.0;         // the most negative stationary tm found (0 when none)
    CompVector trial{};      // its composition (position order)
    double trialV = 0.0;     // its molar volume, cm³/mol
    double feedV = 0.0;      // the feed's, at its root of least Gibbs energy
    int iterations = 0;      // summed over the trials
};

// Every trial to its stationary point (to 1e-10 in ln W), the most negative
// reported; or, where only the verdict and a start for a split are
// needed, to 1e-7 and stopping at the first clearly negative tm (< −1e-6).
enum class StabilitySearch { MostNegative, FirstNegative };

StabilityResult stabilityTest(const Fluid& f, const CompVector& z, double P,
                              StabilitySearch search = StabilitySearch::MostNegative);

}  // namespace zolvant
