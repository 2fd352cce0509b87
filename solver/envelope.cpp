#include "solver/envelope.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace zolvant {
namespace {

using Clock = std::chrono::steady_clock;

constexpr double kFirstStep = 0.05, kLargestStep = 0.2, kSmallestStep = 1e-6;
constexpr double kCriticalOffset = 0.01;

std::string number(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.6g", v);
    return buf;
}

SaturationKind kindOf(double lnKRef) { return lnKRef > 0 ? SaturationKind::Bubble : SaturationKind::Dew; }

EnvelopePoint pointOf(const Fluid& f, const SaturationState& s, SaturationKind kind) {
    EnvelopePoint p;
    p.X = s.X;
    p.T = std::exp(s.X[static_cast<std::size_t>(f.n)]);
    p.P = std::exp(s.X[static_cast<std::size_t>(f.n + 1)]);
    const bool bubble = kind == SaturationKind::Bubble;
    p.branch = bubble ? EnvelopeBranch::Bubble : EnvelopeBranch::Dew;
    p.liquidV = bubble ? s.feedV : s.incipientV;
    p.vapourV = bubble ? s.incipientV : s.feedV;
    return p;
}

// Tangent scaled so that its largest component is 1 in size.
bool unitTangent(Fluid& f, const CompVector& z, SaturationKind kind, int held, const SaturationState& s, Unknowns& t) {
    if (!saturationSensitivity(f, z, kind, held, s, t)) return false;
    double m = 0.0;
    for (int k = 0; k < f.n + 2; ++k) m = std::max(m, std::fabs(t[static_cast<std::size_t>(k)]));
    if (!(m > 0) || !std::isfinite(m)) return false;
    for (double& v : t) v /= m;
    return true;
}

int largestOf(const Unknowns& t, int N) {
    int k = 0;
    for (int i = 1; i < N; ++i)
        if (std::fabs(t[static_cast<std::size_t>(i)]) > std::fabs(t[static_cast<std::size_t>(k)])) k = i;
    return k;
}

// The critical point between a bubble point a and a dew point b.
std::optional<CriticalPoint> locateCritical(Fluid& f, const CompVector& z, int ref, const EnvelopePoint& a,
                                            const EnvelopePoint& b) {
    const int N = f.n + 2;
    const double sa = a.X[static_cast<std::size_t>(ref)], sb = b.X[static_cast<std::size_t>(ref)];
    const double eps = std::min({kCriticalOffset, sa / 2, -sb / 2});
    SaturationState side[2];
    Unknowns slope[2];
    for (int k = 0; k < 2; ++k) {
        const double s = k == 0 ? eps : -eps;
        const double frac = (sa - s) / (sa - sb);
        for (int i = 0; i < N; ++i)
            side[k].X[static_cast<std::size_t>(i)] =
                a.X[static_cast<std::size_t>(i)] + frac * (b.X[static_cast<std::size_t>(i)] - a.X[static_cast<std::size_t>(i)]);
        const SaturationKind kind = k == 0 ? SaturationKind::Bubble : SaturationKind::Dew;
        std::string why;
        if (!solveSaturation(f, z, kind, ref, s, side[k], why) ||
            !saturationSensitivity(f, z, kind, ref, side[k], slope[k]))
            return std::nullopt;
    }
    // Cubic Hermite on [−ε, ε] at 0: (f0 + f1)/2 + ε(f0' − f1')/4, f0 at −ε.
    auto at0 = [&](int i) {
        const auto iu = static_cast<std::size_t>(i);
        return (side[1].X[iu] + side[0].X[iu]) / 2 + eps * (slope[1][iu] - slope[0][iu]) / 4;
    };
    CriticalPoint c;
    c.T = std::exp(at0(f.n));
    c.P = std::exp(at0(f.n + 1));
    if (!setTemperature(f, c.T)) return std::nullopt;
    const double guess = (side[0].feedV + side[1].feedV) / 2;
    const std::vector<double> roots = mixtureRoots(f, z, c.P);
    if (roots.empty()) return std::nullopt;
    c.V = roots.front();
    for (double v : roots)
        if (std::fabs(v - guess) < std::fabs(c.V - guess)) c.V = v;
    return c;
}

// The cricondenbar (largest P, variable = T) or cricondentherm (largest T,
// variable = P): a parabola through the largest point and its neighbours,
// then a saturation point solved at its vertex.
std::optional<ExtremePoint> extreme(Fluid& f, const CompVector& z, const std::vector<EnvelopePoint>& pts, bool pressure) {
    if (pts.empty()) return std::nullopt;
    auto value = [&](const EnvelopePoint& p) { return pressure ? p.P : p.T; };
    auto across = [&](const EnvelopePoint& p) { return pressure ? p.T : p.P; };
    std::size_t best = 0;
    for (std::size_t i = 1; i < pts.size(); ++i)
        if (value(pts[i]) > value(pts[best])) best = i;
    ExtremePoint e{pts[best].T, pts[best].P};
    if (best == 0 || best + 1 >= pts.size()) return e;
    const EnvelopePoint& a = pts[best - 1];
    const EnvelopePoint& m = pts[best];
    const EnvelopePoint& b = pts[best + 1];
    if (m.branch == EnvelopeBranch::Critical) return e;
    const double x0 = across(a), x1 = across(m), x2 = across(b);
    const double y0 = value(a), y1 = value(m), y2 = value(b);
    const double d = (x0 - x1) * (x0 - x2) * (x1 - x2);
    if (d == 0) return e;
    const double A = (x2 * (y1 - y0) + x1 * (y0 - y2) + x0 * (y2 - y1)) / d;
    const double B = (x2 * x2 * (y0 - y1) + x1 * x1 * (y2 - y0) + x0 * x0 * (y1 - y2)) / d;
    if (!(A < 0)) return e;
    const double xv = -B / (2 * A);
    if (!(xv > std::min({x0, x1, x2}) && xv < std::max({x0, x1, x2}))) return e;
    SaturationState s;
    s.X = m.X;
    const int held = pressure ? f.n : f.n + 1;
    const SaturationKind kind = m.branch == EnvelopeBranch::Bubble ? SaturationKind::Bubble : SaturationKind::Dew;
    std::string why;
    if (!solveSaturation(f, z, kind, held, std::log(xv), s, why)) return e;
    const EnvelopePoint p = pointOf(f, s, kind);
    if (value(p) < value(m)) return e;
    return ExtremePoint{p.T, p.P};
}

Envelope pureEnvelope(const Fluid& fluid, const EnvelopeOptions& options);

}  // namespace

const char* envelopeBranchText(EnvelopeBranch b) {
    switch (b) {
    case EnvelopeBranch::Bubble: return "bubble";
    case EnvelopeBranch::Dew: return "dew";
    case EnvelopeBranch::Critical: return "critical";
    }
    return "";
}

Envelope traceEnvelope(const Fluid& fluid, const CompVector& z, const EnvelopeOptions& options) {
    if (fluid.n == 1) return pureEnvelope(fluid, options);
    Envelope env;
    const auto started = Clock::now();
    Fluid f = fluid;
    const int n = f.n, N = n + 2;
    const double P0 = options.startPressure;
    // The first bubble point, from Wilson's estimate.
    SaturationState s;
    const double T0 = wilsonSaturationTemperature(f, z, P0, SaturationKind::Bubble);
    for (int ii = 0; ii < n; ++ii)
        s.X[static_cast<std::size_t>(ii)] = std::log(wilsonK(f, f.active[static_cast<std::size_t>(ii)], T0, P0));
    s.X[static_cast<std::size_t>(n)] = std::log(T0);
    s.X[static_cast<std::size_t>(n + 1)] = std::log(P0);
    std::string why;
    if (!solveSaturation(f, z, SaturationKind::Bubble, n + 1, std::log(P0), s, why)) {
        env.notes.push_back("no bubble point found at " + number(P0) + " bar to start the envelope: " + why);
        return env;
    }
    int ref = 0;
    for (int ii = 1; ii < n; ++ii)
        if (s.X[static_cast<std::size_t>(ii)] > s.X[static_cast<std::size_t>(ref)]) ref = ii;
    SaturationKind kind = kindOf(s.X[static_cast<std::size_t>(ref)]);
    if (kind != SaturationKind::Bubble) {
        env.notes.push_back("the start point is not a bubble point");
        return env;
    }
    env.points.push_back(pointOf(f, s, kind));
    int held = n + 1;
    Unknowns t{};
    if (!unitTangent(f, z, kind, held, s, t)) {
        env.notes.push_back("the envelope's direction cannot be found at its start");
        return env;
    }
    if (t[static_cast<std::size_t>(n + 1)] < 0)
        for (double& v : t) v = -v;
    double h = kFirstStep;
    while (true) {
        if (static_cast<int>(env.points.size()) >= options.maxPoints) {
            env.notes.push_back("stopped after " + std::to_string(options.maxPoints) + " points");
            break;
        }
        if (std::chrono::duration<double>(Clock::now() - started).count() > options.maxSeconds) {
            env.notes.push_back("stopped after " + number(options.maxSeconds) + " s");
            break;
        }
        const EnvelopePoint& last = env.points.back();
        const Unknowns lastX = s.X;
        const int nextHeld = largestOf(t, N);
        SaturationState next;
        for (int k = 0; k < N; ++k) next.X[static_cast<std::size_t>(k)] = lastX[static_cast<std::size_t>(k)] + h * t[static_cast<std::size_t>(k)];
        const SaturationKind nextKind = kindOf(next.X[static_cast<std::size_t>(ref)]);
        const bool ok = solveSaturation(f, z, nextKind, nextHeld, next.X[static_cast<std::size_t>(nextHeld)], next, why) &&
                        kindOf(next.X[static_cast<std::size_t>(ref)]) == nextKind;
        if (!ok) {
            h /= 2;
            if (h < kSmallestStep) {
                env.notes.push_back("the trace could not continue beyond T " + number(last.T) + " K, P " + number(last.P) +
                                    " bar: " + why);
                break;
            }
            continue;
        }
        if (nextKind != kind) {
            const EnvelopePoint bubbleSide = last;
            const EnvelopePoint dewSide = pointOf(f, next, nextKind);
            const std::optional<CriticalPoint> c = locateCritical(f, z, ref, bubbleSide, dewSide);
            if (c) {
                env.critical = c;
                EnvelopePoint cp;
                cp.T = c->T;
                cp.P = c->P;
                cp.branch = EnvelopeBranch::Critical;
                cp.liquidV = cp.vapourV = c->V;
                env.points.push_back(cp);
            } else {
                env.notes.push_back("the critical point lies between T " + number(bubbleSide.T) + " and " +
                                    number(dewSide.T) + " K but could not be refined");
            }
            kind = nextKind;
        }
        // Past the start pressure on the dew side: the last point at it.
        if (kind == SaturationKind::Dew && next.X[static_cast<std::size_t>(n + 1)] < std::log(P0)) {
            SaturationState end;
            end.X = next.X;
            if (solveSaturation(f, z, kind, n + 1, std::log(P0), end, why)) env.points.push_back(pointOf(f, end, kind));
            else env.points.push_back(pointOf(f, next, kind));
            env.complete = true;
            break;
        }
        const double Tn = std::exp(next.X[static_cast<std::size_t>(n)]), Pn = std::exp(next.X[static_cast<std::size_t>(n + 1)]);
        env.points.push_back(pointOf(f, next, kind));
        if (Tn > 1e4 || Pn > 1e5) {
            env.notes.push_back("the trace left the range of T up to 10 000 K and P up to 100 000 bar");
            break;
        }
        Unknowns tn{};
        if (!unitTangent(f, z, kind, nextHeld, next, tn)) {
            env.notes.push_back("the envelope's direction cannot be found at T " + number(Tn) + " K, P " + number(Pn) + " bar");
            break;
        }
        double dot = 0.0;
        for (int k = 0; k < N; ++k) dot += tn[static_cast<std::size_t>(k)] * t[static_cast<std::size_t>(k)];
        if (dot < 0)
            for (double& v : tn) v = -v;
        t = tn;
        s = next;
        held = nextHeld;
        if (next.iterations <= 3) h = std::min(h * 1.5, kLargestStep);
        else if (next.iterations >= 6) h *= 0.6;
    }
    if (env.complete && !env.critical)
        env.notes.push_back("no critical point was met along the envelope");
    env.cricondenbar = extreme(f, z, env.points, true);
    env.cricondentherm = extreme(f, z, env.points, false);
    return env;
}

namespace {

Envelope pureEnvelope(const Fluid& fluid, const EnvelopeOptions& options) {
    Envelope env;
    env.pure = true;
    const int k = fluid.active[0];
    auto paramsAt = [&](double T) { return equationParametersAt(fluid.block, *fluid.state, k, T); };
    const double tc = static_cast<double>(fluid.state->constant(k, Tc));
    // The equation's own critical temperature: the highest with a loop.
    double lo = 0.3 * tc, hi = 3 * tc;
    if (!isothermLoop(paramsAt(lo))) {
        env.notes.push_back("the equation's isotherm has no loop even at 0.3 Tc: no saturation curve");
        return env;
    }
    for (int i = 0; i < 60; ++i) {
        const double mid = (lo + hi) / 2;
        if (isothermLoop(paramsAt(mid))) lo = mid; else hi = mid;
    }
    const double Tcrit = lo;
    // The temperature of the start pressure: ln psat against 1/T by bisection.
    auto psat = [&](double T) { return saturationPressure(paramsAt(T)).pressure; };
    double a = 0.3 * tc, b = Tcrit;
    const std::optional<double> pLow = psat(a);
    if (pLow && *pLow < options.startPressure) {
        for (int i = 0; i < 60; ++i) {
            const double mid = (a + b) / 2;
            const std::optional<double> p = psat(mid);
            if (p && *p < options.startPressure) a = mid; else b = mid;
        }
    }
    const double Tstart = a;
    const int count = std::clamp(options.maxPoints - 1, 1, 40);
    for (int i = 0; i < count; ++i) {
        // Denser towards the critical point, where the curve bends.
        const double u = static_cast<double>(i) / count;
        const double T = Tstart + (Tcrit - Tstart) * (1 - (1 - u) * (1 - u));
        EquationParameters p = paramsAt(T);
        const Saturation sat = saturationPressure(p);
        if (!sat.pressure) continue;
        p.P = *sat.pressure;
        const std::vector<double> roots = realRoots(p);
        if (roots.empty()) continue;
        EnvelopePoint e;
        e.T = T;
        e.P = *sat.pressure;
        e.liquidV = roots.front();
        e.vapourV = roots.back();
        env.points.push_back(e);
    }
    const std::optional<IsothermLoop> loop = isothermLoop(paramsAt(Tcrit));
    if (loop) {
        CriticalPoint c{Tcrit, (loop->pMin + loop->pMax) / 2, (loop->vMin + loop->vMax) / 2};
        env.critical = c;
        EnvelopePoint e;
        e.T = c.T;
        e.P = c.P;
        e.branch = EnvelopeBranch::Critical;
        e.liquidV = e.vapourV = c.V;
        env.points.push_back(e);
        env.cricondenbar = ExtremePoint{c.T, c.P};
        env.cricondentherm = ExtremePoint{c.T, c.P};
    }
    env.complete = true;
    env.notes.push_back("one component: the equation's saturation curve up to its own critical point; the bubble and dew lines coincide");
    return env;
}

}  // namespace

}  // namespace zolvant
