#include "solver/flash.h"

#include <algorithm>
#include <cmath>

namespace zolvant {
namespace {

using Matrix = std::array<std::array<double, kMaxComponents>, kMaxComponents>;

// Gaussian elimination with partial pivoting on the active sub-system.
bool solveLinear(int n, Matrix A, CompVector b, CompVector& x) {
    for (int c = 0; c < n; ++c) {
        int pivot = c;
        for (int r = c + 1; r < n; ++r)
            if (std::fabs(A[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]) >
                std::fabs(A[static_cast<std::size_t>(pivot)][static_cast<std::size_t>(c)]))
                pivot = r;
        const auto cu = static_cast<std::size_t>(c);
        if (!(std::fabs(A[static_cast<std::size_t>(pivot)][cu]) > 0)) return false;
        std::swap(A[cu], A[static_cast<std::size_t>(pivot)]);
        std::swap(b[cu], b[static_cast<std::size_t>(pivot)]);
        for (int r = c + 1; r < n; ++r) {
            const auto ru = static_cast<std::size_t>(r);
            const double factor = A[ru][cu] / A[cu][cu];
            for (int k = c; k < n; ++k) A[ru][static_cast<std::size_t>(k)] -= factor * A[cu][static_cast<std::size_t>(k)];
            b[ru] -= factor * b[cu];
        }
    }
    for (int r = n - 1; r >= 0; --r) {
        const auto ru = static_cast<std::size_t>(r);
        double s = b[ru];
        for (int k = r + 1; k < n; ++k) s -= A[ru][static_cast<std::size_t>(k)] * x[static_cast<std::size_t>(k)];
        x[ru] = s / A[ru][ru];
        if (!std::isfinite(x[ru])) return false;
    }
    return true;
}

// A split at given ln K: β, both compositions, both phases and the
// residual ln Ki + ln φi(V) − ln φi(L), in active order.
struct Split {
    double beta = 0.0;
    CompVector x{}, y{};
    PhasePoint L, V;
    CompVector residual{};  // active order
    double worst = 0.0;
};

bool splitAt(const Fluid& f, const CompVector& z, double P, const CompVector& lnK, Split& s) {
    CompVector K{};
    for (int ii = 0; ii < f.n; ++ii) {
        const auto i = static_cast<std::size_t>(f.active[static_cast<std::size_t>(ii)]);
        K[i] = std::exp(lnK[i]);
    }
    const std::optional<double> beta = rachfordRice(f, z, K);
    if (!beta) return false;
    s.beta = *beta;
    s.x = CompVector{};
    s.y = CompVector{};
    for (int ii = 0; ii < f.n; ++ii) {
        const auto i = static_cast<std::size_t>(f.active[static_cast<std::size_t>(ii)]);
        s.x[i] = z[i] / (1 + s.beta * (K[i] - 1));
        s.y[i] = K[i] * s.x[i];
    }
    if (!evaluatePhase(f, s.x, P, RootChoice::LowestGibbs, s.L)) return false;
    if (!evaluatePhase(f, s.y, P, RootChoice::LowestGibbs, s.V)) return false;
    s.worst = 0.0;
    for (int ii = 0; ii < f.n; ++ii) {
        const auto i = static_cast<std::size_t>(f.active[static_cast<std::size_t>(ii)]);
        s.residual[static_cast<std::size_t>(ii)] = lnK[i] + s.V.lnPhi[i] - s.L.lnPhi[i];
        if (!std::isfinite(s.residual[static_cast<std::size_t>(ii)])) return false;
        s.worst = std::max(s.worst, std::fabs(s.residual[static_cast<std::size_t>(ii)]));
    }
    return true;
}

// Largest |ln x_i + ln φ_iL − ln y_i − ln φ_iV| over the active positions.
double fugacityGap(const Fluid& f, const CompVector& x, const PhasePoint& L, const CompVector& y, const PhasePoint& V) {
    double gap = 0.0;
    for (int ii = 0; ii < f.n; ++ii) {
        const auto i = static_cast<std::size_t>(f.active[static_cast<std::size_t>(ii)]);
        gap = std::max(gap, std::fabs((std::log(x[i]) + L.lnPhi[i]) - (std::log(y[i]) + V.lnPhi[i])));
    }
    return gap;
}

FlashPhase phaseOf(const Fluid& f, const CompVector& x, const PhasePoint& p) {
    FlashPhase out;
    out.x = x;
    out.V = p.V;
    out.Z = p.Z;
    out.lnPhi = p.lnPhi;
    out.roots = p.roots;
    out.liquidLike = liquidLike(f, x, p.V);
    return out;
}

double largestLnRatio(const Fluid& f, const CompVector& a, const CompVector& b) {
    double d = 0.0;
    for (int ii = 0; ii < f.n; ++ii) {
        const auto i = static_cast<std::size_t>(f.active[static_cast<std::size_t>(ii)]);
        d = std::max(d, std::fabs(std::log(a[i]) - std::log(b[i])));
    }
    return d;
}

// Substitution, then Newton's method on ln K, to |ln fL − ln fV| ≤ 1e-10.
bool converge(const Fluid& f, const CompVector& z, double P, CompVector& lnK, const FlashOptions& options, Split& s,
              int& iterations, std::string& why) {
    bool newton = false;
    int newtonFailures = 0;
    for (int step = 0; step < options.maxSteps; ++step) {
        ++iterations;
        if (!splitAt(f, z, P, lnK, s)) {
            why = "the flash left the region where the split can be formed (all K on one side of 1)";
            return false;
        }
        if (s.worst <= kFugacityTolerance && fugacityGap(f, s.x, s.L, s.y, s.V) <= kFugacityTolerance) return true;
        if (!newton && (s.worst < 1e-3 || step >= 40) && newtonFailures < 3) newton = true;
        if (newton) {
            // Newton on ln K with a forward-difference Jacobian.
            Matrix J{};
            bool usable = true;
            for (int jj = 0; jj < f.n && usable; ++jj) {
                const auto j = static_cast<std::size_t>(f.active[static_cast<std::size_t>(jj)]);
                CompVector shifted = lnK;
                const double h = 1e-7 * std::max(1.0, std::fabs(lnK[j]));
                shifted[j] += h;
                Split t;
                if (!splitAt(f, z, P, shifted, t)) { usable = false; break; }
                for (int ii = 0; ii < f.n; ++ii)
                    J[static_cast<std::size_t>(ii)][static_cast<std::size_t>(jj)] =
                        (t.residual[static_cast<std::size_t>(ii)] - s.residual[static_cast<std::size_t>(ii)]) / h;
            }
            CompVector minus{}, delta{};
            for (int ii = 0; ii < f.n; ++ii) minus[static_cast<std::size_t>(ii)] = -s.residual[static_cast<std::size_t>(ii)];
            if (usable && solveLinear(f.n, J, minus, delta)) {
                // Halve the step while it makes the residual worse.
                double scale = 1.0;
                for (int tries = 0; tries < 6; ++tries, scale /= 2) {
                    CompVector trial = lnK;
                    for (int ii = 0; ii < f.n; ++ii)
                        trial[static_cast<std::size_t>(f.active[static_cast<std::size_t>(ii)])] +=
                            scale * delta[static_cast<std::size_t>(ii)];
                    Split t;
                    if (splitAt(f, z, P, trial, t) && t.worst < s.worst) {
                        lnK = trial;
                        usable = true;
                        break;
                    }
                    usable = false;
                }
                if (usable) continue;
            }
            newton = false;
            ++newtonFailures;
        }
        // Successive substitution.
        for (int ii = 0; ii < f.n; ++ii) {
            const auto i = static_cast<std::size_t>(f.active[static_cast<std::size_t>(ii)]);
            lnK[i] = s.L.lnPhi[i] - s.V.lnPhi[i];
        }
    }
    why = "the flash did not converge after " + std::to_string(options.maxSteps) + " steps";
    return false;
}

}  // namespace

std::optional<double> rachfordRice(const Fluid& f, const CompVector& z, const CompVector& K) {
    double kMax = 0.0, kMin = INFINITY;
    for (int ii = 0; ii < f.n; ++ii) {
        const auto i = static_cast<std::size_t>(f.active[static_cast<std::size_t>(ii)]);
        kMax = std::max(kMax, K[i]);
        kMin = std::min(kMin, K[i]);
    }
    if (!(kMax > 1 && kMin < 1) || !std::isfinite(kMax)) return std::nullopt;
    double lo = 1 / (1 - kMax), hi = 1 / (1 - kMin);
    double beta = 0.5;  // inside: lo < 0 and hi > 1
    for (int step = 0; step < 200; ++step) {
        double g = 0.0, dg = 0.0;
        for (int ii = 0; ii < f.n; ++ii) {
            const auto i = static_cast<std::size_t>(f.active[static_cast<std::size_t>(ii)]);
            const double km1 = K[i] - 1;
            const double t = 1 / (1 + beta * km1);
            g += z[i] * km1 * t;
            dg -= z[i] * km1 * km1 * t * t;
        }
        if (g == 0) return beta;
        if (g > 0) lo = beta; else hi = beta;
        double next = beta - g / dg;
        if (!(next > lo && next < hi)) next = lo + (hi - lo) / 2;
        if (std::fabs(next - beta) <= 1e-16 * std::max(1.0, std::fabs(beta)) || next == lo || next == hi) return next;
        beta = next;
    }
    return beta;
}

FlashResult flash(const Fluid& f, const CompVector& z, double P, const FlashOptions& options) {
    FlashResult r;
    r.feedStability = stabilityTest(f, z, P, StabilitySearch::FirstNegative);
    if (!r.feedStability.ok) {
        r.why = r.feedStability.why;
        return r;
    }
    auto single = [&]() {
        PhasePoint p;
        if (!evaluatePhase(f, z, P, RootChoice::LowestGibbs, p)) {
            r.why = "the feed has no root of the cubic at this state";
            return r;
        }
        r.ok = true;
        r.phases = 1;
        r.single = phaseOf(f, z, p);
        r.beta = r.single.liquidLike ? 0.0 : 1.0;
        return r;
    };
    if (r.feedStability.stable) return single();

    // Starts: K from the stationary point (the trial is the vapour when it
    // is the lighter), the same reversed, then Wilson's K. The first split
    // that converges off the feed with 0 < β < 1 is the answer.
    const StabilityResult& st = r.feedStability;
    std::array<CompVector, 3> starts{};
    const double sign = st.trialV > st.feedV ? 1.0 : -1.0;
    for (int ii = 0; ii < f.n; ++ii) {
        const auto i = static_cast<std::size_t>(f.active[static_cast<std::size_t>(ii)]);
        starts[0][i] = sign * (std::log(st.trial[i]) - std::log(z[i]));
        starts[1][i] = -starts[0][i];
        starts[2][i] = std::log(wilsonK(f, static_cast<int>(i), f.T, P));
    }
    Split s;
    bool found = false, outside = false;
    std::string why;
    for (const CompVector& start : starts) {
        CompVector lnK = start;
        std::string failure;
        if (!converge(f, z, P, lnK, options, s, r.iterations, failure)) {
            if (why.empty()) why = failure;
            continue;
        }
        if (largestLnRatio(f, s.x, s.y) < kTrivialDistance) {
            if (why.empty()) why = "the flash fell onto the trivial solution (both phases equal to the feed)";
            continue;
        }
        if (!(s.beta > 0 && s.beta < 1)) {
            outside = true;
            continue;
        }
        found = true;
        break;
    }
    if (!found) {
        // A split outside 0 < β < 1 where the tangent plane is only just
        // below the feed's: the feed is one phase to within that.
        if (outside && st.tm > -1e-8) {
            r.notes.push_back("the split converged outside 0 < beta < 1: the feed is one phase");
            return single();
        }
        r.why = outside ? "the stability test finds the feed unstable (tm " + std::to_string(st.tm) +
                              ") but no split with 0 < beta < 1 converged"
                        : why;
        return r;
    }
    // The denser phase is the liquid.
    r.ok = true;
    r.phases = 2;
    r.fugacityGap = fugacityGap(f, s.x, s.L, s.y, s.V);
    if (s.L.V <= s.V.V) {
        r.beta = s.beta;
        r.liquid = phaseOf(f, s.x, s.L);
        r.vapour = phaseOf(f, s.y, s.V);
    } else {
        r.beta = 1 - s.beta;
        r.liquid = phaseOf(f, s.y, s.V);
        r.vapour = phaseOf(f, s.x, s.L);
    }
    if (options.testPhases) {
        for (const FlashPhase* ph : {&r.liquid, &r.vapour}) {
            const FlashPhase* other = ph == &r.liquid ? &r.vapour : &r.liquid;
            const StabilityResult t = stabilityTest(f, ph->x, P, StabilitySearch::FirstNegative);
            if (t.ok && t.tm < -1e-8 && largestLnRatio(f, t.trial, other->x) > 1e-4 &&
                largestLnRatio(f, t.trial, ph->x) > 1e-4) {
                r.notes.push_back(std::string("the ") + (ph == &r.liquid ? "liquid" : "vapour") +
                                  " phase is itself unstable: a third phase may form");
                break;
            }
        }
    }
    return r;
}

}  // namespace zolvant
