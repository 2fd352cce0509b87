#include "solver/stability.h"

#include <algorithm>
#include <cmath>

namespace zolvant {
namespace {

constexpr int kTrialSteps = 300;
constexpr double kTrialTolerance = 1e-10;
constexpr double kClearlyUnstableTm = 1e-6;

struct Trial {
    CompVector lnW{};
};

}  // namespace

StabilityResult stabilityTest(const Fluid& f, const CompVector& z, double P, StabilitySearch search) {
    const bool firstNegative = search == StabilitySearch::FirstNegative;
    const double tolerance = firstNegative ? 1e-7 : kTrialTolerance;
    StabilityResult r;
    PhasePoint feed;
    if (!evaluatePhase(f, z, P, RootChoice::LowestGibbs, feed)) {
        r.why = "the feed has no root of the cubic at this state";
        return r;
    }
    r.ok = true;
    r.feedV = feed.V;
    if (f.n < 2) return r;  // a pure fluid is one phase at its root of least Gibbs energy

    CompVector d{};
    for (int ii = 0; ii < f.n; ++ii) {
        const auto i = static_cast<std::size_t>(f.active[static_cast<std::size_t>(ii)]);
        d[i] = std::log(z[i]) + feed.lnPhi[i];
    }

    // The trials' starting ln W.
    std::array<Trial, 2 + kMaxComponents> trials{};
    int count = 0;
    {
        Trial vapourLike, liquidLike;
        for (int ii = 0; ii < f.n; ++ii) {
            const auto i = static_cast<std::size_t>(f.active[static_cast<std::size_t>(ii)]);
            const double lnK = std::log(wilsonK(f, static_cast<int>(i), f.T, P));
            vapourLike.lnW[i] = std::log(z[i]) + lnK;
            liquidLike.lnW[i] = std::log(z[i]) - lnK;
        }
        trials[static_cast<std::size_t>(count++)] = vapourLike;
        trials[static_cast<std::size_t>(count++)] = liquidLike;
        for (int pp = 0; pp < f.n; ++pp) {
            Trial t;
            for (int ii = 0; ii < f.n; ++ii) {
                const auto i = static_cast<std::size_t>(f.active[static_cast<std::size_t>(ii)]);
                t.lnW[i] = std::log(ii == pp ? 1 - 1e-3 : 1e-3 / (f.n - 1));
            }
            trials[static_cast<std::size_t>(count++)] = t;
        }
    }

    CompVector lnZ{};
    for (int ii = 0; ii < f.n; ++ii) {
        const auto i = static_cast<std::size_t>(f.active[static_cast<std::size_t>(ii)]);
        lnZ[i] = std::log(z[i]);
    }
    for (int t = 0; t < count; ++t) {
        CompVector lnW = trials[static_cast<std::size_t>(t)].lnW;
        CompVector W{}, w{};
        PhasePoint ph;
        bool finished = false, trivial = false;
        double tm = 0.0;
        for (int step = 0; step < kTrialSteps; ++step) {
            ++r.iterations;
            double sumW = 0.0;
            for (int ii = 0; ii < f.n; ++ii) {
                const auto i = static_cast<std::size_t>(f.active[static_cast<std::size_t>(ii)]);
                W[i] = std::exp(lnW[i]);
                sumW += W[i];
            }
            const double lnSum = std::log(sumW);
            double distance = 0.0;
            for (int ii = 0; ii < f.n; ++ii) {
                const auto i = static_cast<std::size_t>(f.active[static_cast<std::size_t>(ii)]);
                w[i] = W[i] / sumW;
                distance = std::max(distance, std::fabs(lnW[i] - lnSum - lnZ[i]));
            }
            if (distance < kTrivialDistance) { trivial = true; break; }
            if (!std::isfinite(sumW) || !evaluatePhase(f, w, P, RootChoice::LowestGibbs, ph)) break;
            double change = 0.0;
            tm = 1.0;  // a negative tm anywhere proves the feed unstable
            for (int ii = 0; ii < f.n; ++ii) {
                const auto i = static_cast<std::size_t>(f.active[static_cast<std::size_t>(ii)]);
                const double next = d[i] - ph.lnPhi[i];
                tm += W[i] * (lnW[i] - next - 1);
                change = std::max(change, std::fabs(next - lnW[i]));
                lnW[i] = next;
            }
            if (change < tolerance) { finished = true; break; }
        }
        if (trivial) continue;
        if (finished) {  // at the stationary point tm = 1 − Σ W
            double sumW = 0.0;
            for (int ii = 0; ii < f.n; ++ii) sumW += std::exp(lnW[static_cast<std::size_t>(f.active[static_cast<std::size_t>(ii)])]);
            tm = 1 - sumW;
        }
        if (tm < r.tm) {
            r.tm = tm;
            r.trial = w;
            r.trialV = ph.V;
        }
        if (firstNegative && r.tm < -kClearlyUnstableTm) break;
    }
    r.stable = !(r.tm < -kUnstableTm);
    return r;
}

}  // namespace zolvant
