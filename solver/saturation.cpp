#include "solver/saturation.h"

#include <algorithm>
#include <cmath>

namespace zolvant {
namespace {

using Matrix = std::array<Unknowns, kMaxUnknowns>;

bool solveLinear(int n, Matrix A, Unknowns b, Unknowns& x) {
    for (int c = 0; c < n; ++c) {
        const auto cu = static_cast<std::size_t>(c);
        std::size_t pivot = cu;
        for (auto r = cu + 1; r < static_cast<std::size_t>(n); ++r)
            if (std::fabs(A[r][cu]) > std::fabs(A[pivot][cu])) pivot = r;
        if (!(std::fabs(A[pivot][cu]) > 0)) return false;
        std::swap(A[cu], A[pivot]);
        std::swap(b[cu], b[pivot]);
        for (auto r = cu + 1; r < static_cast<std::size_t>(n); ++r) {
            const double factor = A[r][cu] / A[cu][cu];
            for (auto k = cu; k < static_cast<std::size_t>(n); ++k) A[r][k] -= factor * A[cu][k];
            b[r] -= factor * b[cu];
        }
    }
    for (int r = n - 1; r >= 0; --r) {
        const auto ru = static_cast<std::size_t>(r);
        double s = b[ru];
        for (auto k = ru + 1; k < static_cast<std::size_t>(n); ++k) s -= A[ru][k] * x[k];
        x[ru] = s / A[ru][ru];
        if (!std::isfinite(x[ru])) return false;
    }
    return true;
}

RootChoice feedRoot(SaturationKind k) { return k == SaturationKind::Bubble ? RootChoice::Smallest : RootChoice::Largest; }
RootChoice incipientRoot(SaturationKind k) { return k == SaturationKind::Bubble ? RootChoice::Largest : RootChoice::Smallest; }

struct Residual {
    Unknowns F{};
    PhasePoint feed, incipient;
    CompVector w{};
};

// The residuals at X. With `feed` given (same T and P), the feed phase is
// not evaluated again.
bool residualAt(Fluid& f, const CompVector& z, SaturationKind kind, const Unknowns& X, int held, double value,
                Residual& r, const PhasePoint* feed = nullptr) {
    const int n = f.n;
    const double T = std::exp(X[static_cast<std::size_t>(n)]);
    const double P = std::exp(X[static_cast<std::size_t>(n + 1)]);
    if (!std::isfinite(T) || !std::isfinite(P) || !(P > 0)) return false;
    if (f.T != T && !setTemperature(f, T)) return false;
    double sum = 0.0;
    r.w = CompVector{};
    for (int ii = 0; ii < n; ++ii) {
        const auto i = static_cast<std::size_t>(f.active[static_cast<std::size_t>(ii)]);
        r.w[i] = z[i] * std::exp(X[static_cast<std::size_t>(ii)]);
        sum += r.w[i];
    }
    if (!(sum > 0) || !std::isfinite(sum)) return false;
    CompVector wn = r.w;
    for (double& v : wn) v /= sum;
    if (feed) r.feed = *feed;
    else if (!evaluatePhase(f, z, P, feedRoot(kind), r.feed)) return false;
    if (!evaluatePhase(f, wn, P, incipientRoot(kind), r.incipient)) return false;
    for (int ii = 0; ii < n; ++ii) {
        const auto i = static_cast<std::size_t>(f.active[static_cast<std::size_t>(ii)]);
        r.F[static_cast<std::size_t>(ii)] = X[static_cast<std::size_t>(ii)] + r.incipient.lnPhi[i] - r.feed.lnPhi[i];
    }
    r.F[static_cast<std::size_t>(n)] = sum - 1;
    r.F[static_cast<std::size_t>(n + 1)] = X[static_cast<std::size_t>(held)] - value;
    r.w = wn;
    for (int k = 0; k < n + 2; ++k)
        if (!std::isfinite(r.F[static_cast<std::size_t>(k)])) return false;
    return true;
}

bool jacobianAt(Fluid& f, const CompVector& z, SaturationKind kind, const Unknowns& X, int held, double value,
                const Residual& base, Matrix& J) {
    const int N = f.n + 2;
    for (int j = 0; j < N; ++j) {
        const auto ju = static_cast<std::size_t>(j);
        Unknowns shifted = X;
        const double h = 1e-7 * std::max(1.0, std::fabs(X[ju]));
        shifted[ju] += h;
        Residual r;
        const bool onlyK = j < f.n;
        if (!residualAt(f, z, kind, shifted, held, value, r, onlyK ? &base.feed : nullptr)) return false;
        for (int i = 0; i < N; ++i) J[static_cast<std::size_t>(i)][ju] = (r.F[static_cast<std::size_t>(i)] - base.F[static_cast<std::size_t>(i)]) / h;
    }
    // Back to the base temperature for the caller.
    return setTemperature(f, std::exp(X[static_cast<std::size_t>(f.n)]));
}

double largest(const Unknowns& F, int N) {
    double m = 0.0;
    for (int k = 0; k < N; ++k) m = std::max(m, std::fabs(F[static_cast<std::size_t>(k)]));
    return m;
}

}  // namespace

bool solveSaturation(Fluid& f, const CompVector& z, SaturationKind kind, int held, double value, SaturationState& s,
                     std::string& why, int maxSteps) {
    const int n = f.n, N = n + 2;
    s.X[static_cast<std::size_t>(held)] = value;
    s.iterations = 0;
    for (int step = 0; step <= maxSteps; ++step) {
        Residual r;
        if (!residualAt(f, z, kind, s.X, held, value, r)) {
            why = "the saturation equations could not be evaluated (no root of the cubic, or T or P out of range)";
            return false;
        }
        if (largest(r.F, N) <= kSaturationTolerance) {
            double lnK = 0.0;
            for (int ii = 0; ii < n; ++ii) lnK = std::max(lnK, std::fabs(s.X[static_cast<std::size_t>(ii)]));
            if (lnK < kTrivialLnK) {
                why = "fell onto the trivial solution (the incipient phase equal to the feed)";
                return false;
            }
            s.feedV = r.feed.V;
            s.incipientV = r.incipient.V;
            s.incipient = r.w;
            return true;
        }
        if (step == maxSteps) break;
        ++s.iterations;
        Matrix J{};
        Unknowns minus{}, delta{};
        for (int k = 0; k < N; ++k) minus[static_cast<std::size_t>(k)] = -r.F[static_cast<std::size_t>(k)];
        if (!jacobianAt(f, z, kind, s.X, held, value, r, J) || !solveLinear(N, J, minus, delta)) {
            why = "the saturation equations' Jacobian is singular";
            return false;
        }
        // Limit a step: ln K by 1, ln T by 0.1, ln P by 0.5.
        double scale = 1.0;
        for (int k = 0; k < N; ++k) {
            const double limit = k < n ? 1.0 : k == n ? 0.1 : 0.5;
            const double d = std::fabs(delta[static_cast<std::size_t>(k)]);
            if (d * scale > limit) scale = limit / d;
        }
        for (int k = 0; k < N; ++k) s.X[static_cast<std::size_t>(k)] += scale * delta[static_cast<std::size_t>(k)];
        s.X[static_cast<std::size_t>(held)] = value;
    }
    why = "did not converge after " + std::to_string(maxSteps) + " steps";
    return false;
}

bool saturationSensitivity(Fluid& f, const CompVector& z, SaturationKind kind, int held, const SaturationState& s,
                           Unknowns& dXdS) {
    const int N = f.n + 2;
    Residual r;
    const double value = s.X[static_cast<std::size_t>(held)];
    if (!residualAt(f, z, kind, s.X, held, value, r)) return false;
    Matrix J{};
    if (!jacobianAt(f, z, kind, s.X, held, value, r, J)) return false;
    Unknowns rhs{};
    rhs[static_cast<std::size_t>(N - 1)] = 1.0;
    return solveLinear(N, J, rhs, dXdS);
}

double wilsonSaturationTemperature(const Fluid& f, const CompVector& z, double P, SaturationKind kind) {
    auto excess = [&](double T) {
        double sum = 0.0;
        for (int ii = 0; ii < f.n; ++ii) {
            const int i = f.active[static_cast<std::size_t>(ii)];
            const double K = wilsonK(f, i, T, P);
            sum += kind == SaturationKind::Bubble ? z[static_cast<std::size_t>(i)] * K : z[static_cast<std::size_t>(i)] / K;
        }
        return kind == SaturationKind::Bubble ? sum - 1 : 1 - sum;  // rises with T
    };
    double lo = 1.0, hi = 20000.0;
    for (int i = 0; i < 200 && hi - lo > 1e-9 * hi; ++i) {
        const double mid = std::sqrt(lo * hi);
        if (excess(mid) > 0) hi = mid; else lo = mid;
    }
    return std::sqrt(lo * hi);
}

}  // namespace zolvant
