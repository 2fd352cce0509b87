#include "solver/phase.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

namespace zolvant {
namespace {

// Extended precision for the root polishing and the fugacity balance, so
// that the double results are exact to their last bits.
using LD = long double;

struct Cubic {
    LD a, b, RT, d1, d2;
};

Cubic cubicOf(const EquationParameters& p) {
    // δ in extended precision: 1 ± √2 rounded to double would shift the roots by several units in the last place.
    const LD r2 = std::sqrt(LD(2));
    const LD d1 = p.family == CubicFamily::VanDerWaals ? 0 : p.family == CubicFamily::RedlichKwong ? 1 : 1 + r2;
    const LD d2 = p.family == CubicFamily::PengRobinson ? 1 - r2 : 0;
    return {p.a, p.b, static_cast<LD>(p.R) * static_cast<LD>(p.T), d1, d2};
}

LD pressure(const Cubic& c, LD V) { return c.RT / (V - c.b) - c.a / ((V + c.d1 * c.b) * (V + c.d2 * c.b)); }

// dP/dV.
LD slope(const Cubic& c, LD V) {
    const LD q = (V + c.d1 * c.b) * (V + c.d2 * c.b);
    const LD gap = V - c.b;
    return -c.RT / (gap * gap) + c.a * (2 * V + (c.d1 + c.d2) * c.b) / (q * q);
}

// The root of pressure(V) = P in [lo, hi], where pressure − P is positive
// at lo (or lo is b) and negative at hi: Newton kept inside the bracket,
// bisection where a Newton step would leave it.
LD rootBetween(const Cubic& c, LD P, LD lo, LD hi, bool increasing = false) {
    // f(V) = ±(pressure − P), oriented so that f > 0 at lo.
    const LD sign = increasing ? -1 : 1;
    auto f = [&](LD V) { return sign * (pressure(c, V) - P); };
    LD x = (lo + hi) / 2;
    for (int i = 0; i < 400; ++i) {
        const LD fx = f(x);
        if (fx == 0) return x;
        if (fx > 0) lo = x; else hi = x;
        const LD d = sign * slope(c, x);
        LD next = x - fx / d;
        if (!(next > lo && next < hi)) next = lo + (hi - lo) / 2;
        if (next == x || next == lo || next == hi) return x;
        x = next;
    }
    return x;
}

// The volume grid for finding the loop: V = b·(1 + e^s). Coarse: the
// golden section below finds a maximum of the slope between two points.
constexpr int kGrid = 600;
constexpr LD kSLow = -40, kSHigh = 20;
LD volumeAt(const Cubic& c, LD s) { return c.b * (1 + std::exp(s)); }

struct Loop {
    LD vMin, pMin, vMax, pMax;
};

// A zero of the slope between s values where it is negative (neg) and
// positive (pos).
LD slopeZero(const Cubic& c, LD neg, LD pos) {
    for (int i = 0; i < 200; ++i) {
        const LD mid = (neg + pos) / 2;
        if (mid == neg || mid == pos) break;
        if (slope(c, volumeAt(c, mid)) > 0) pos = mid; else neg = mid;
    }
    return (neg + pos) / 2;
}

std::optional<Loop> loopOf(const Cubic& c) {
    if (!(c.a > 0) || !(c.b > 0) || !(c.RT > 0)) return std::nullopt;
    auto sAt = [](int i) { return kSLow + (kSHigh - kSLow) * static_cast<LD>(i) / kGrid; };
    // The slope's highest interior local maximum on the grid (far out it
    // rises towards 0 from below, which is no loop).
    std::array<LD, kGrid + 1> g;
    for (int i = 0; i <= kGrid; ++i) g[static_cast<std::size_t>(i)] = slope(c, volumeAt(c, sAt(i)));
    int best = 0;
    LD bestSlope = -std::numeric_limits<LD>::infinity();
    for (std::size_t i = 1; i < kGrid; ++i)
        if (g[i] >= g[i - 1] && g[i] >= g[i + 1] && g[i] > bestSlope) {
            bestSlope = g[i];
            best = static_cast<int>(i);
        }
    if (best == 0) return std::nullopt;
    // The slope's maximum between the neighbours (golden section), so that
    // a loop narrower than the grid is found too.
    LD lo = sAt(best - 1), hi = sAt(best + 1);
    const LD ratio = (std::sqrt(LD(5)) - 1) / 2;
    LD x1 = hi - ratio * (hi - lo), x2 = lo + ratio * (hi - lo);
    LD g1 = slope(c, volumeAt(c, x1)), g2 = slope(c, volumeAt(c, x2));
    for (int i = 0; i < 200 && hi - lo > 1e-16L; ++i) {
        if (g1 < g2) { lo = x1; x1 = x2; g1 = g2; x2 = lo + ratio * (hi - lo); g2 = slope(c, volumeAt(c, x2)); }
        else { hi = x2; x2 = x1; g2 = g1; x1 = hi - ratio * (hi - lo); g1 = slope(c, volumeAt(c, x1)); }
    }
    const LD sTop = g1 > g2 ? x1 : x2;
    if (!(std::max(g1, g2) > 0)) return std::nullopt;
    // The nearest grid points on either side where P falls again.
    int left = best - 1, right = best + 1;
    while (left > 0 && !(g[static_cast<std::size_t>(left)] < 0)) --left;
    while (right < kGrid && !(g[static_cast<std::size_t>(right)] < 0)) ++right;
    if (!(g[static_cast<std::size_t>(left)] < 0) || !(g[static_cast<std::size_t>(right)] < 0)) return std::nullopt;
    const LD vMin = volumeAt(c, slopeZero(c, sAt(left), sTop));
    const LD vMax = volumeAt(c, slopeZero(c, sAt(right), sTop));
    return Loop{vMin, pressure(c, vMin), vMax, pressure(c, vMax)};
}

// The real roots at P, ascending, in extended precision.
std::vector<LD> rootsAt(const Cubic& c, const std::optional<Loop>& loop, LD P) {
    std::vector<LD> r;
    const LD vapourEnd = c.b + c.RT / P;  // every root lies below it (a > 0)
    if (!loop) {
        r.push_back(rootBetween(c, P, c.b, vapourEnd));
        return r;
    }
    if (P >= loop->pMin) r.push_back(rootBetween(c, P, c.b, loop->vMin));
    if (P > loop->pMin && P < loop->pMax) r.push_back(rootBetween(c, P, loop->vMin, loop->vMax, true));
    if (P <= loop->pMax) r.push_back(rootBetween(c, P, loop->vMax, vapourEnd));
    return r;
}

LD lnPhi(const Cubic& c, LD P, LD V) {
    const LD Z = P * V / c.RT;
    const LD repulsion = std::log(P * (V - c.b) / c.RT);
    LD attraction;
    if (c.d1 == c.d2)
        attraction = c.a / (c.RT * V);
    else
        attraction = c.a / (c.b * c.RT * (c.d1 - c.d2)) * std::log((V + c.d1 * c.b) / (V + c.d2 * c.b));
    return Z - 1 - repulsion - attraction;
}

bool usable(const EquationParameters& p) {
    return p.defined && std::isfinite(p.a) && std::isfinite(p.b) && p.b > 0 && p.a >= 0 && p.R > 0 && p.T > 0 &&
           std::isfinite(p.T);
}

}  // namespace

double delta1(CubicFamily f) {
    switch (f) {
    case CubicFamily::VanDerWaals: return 0.0;
    case CubicFamily::RedlichKwong: return 1.0;
    case CubicFamily::PengRobinson: return 1.0 + std::sqrt(2.0);
    }
    return 0.0;
}
double delta2(CubicFamily f) { return f == CubicFamily::PengRobinson ? 1.0 - std::sqrt(2.0) : 0.0; }

double pressureAt(const EquationParameters& p, double V) { return static_cast<double>(pressure(cubicOf(p), V)); }

std::optional<IsothermLoop> isothermLoop(const EquationParameters& p) {
    if (!usable(p)) return std::nullopt;
    const auto loop = loopOf(cubicOf(p));
    if (!loop) return std::nullopt;
    return IsothermLoop{static_cast<double>(loop->vMin), static_cast<double>(loop->pMin),
                        static_cast<double>(loop->vMax), static_cast<double>(loop->pMax)};
}

std::vector<double> realRoots(const EquationParameters& p) {
    std::vector<double> out;
    if (!usable(p) || !(p.P > 0) || !std::isfinite(p.P)) return out;
    const Cubic c = cubicOf(p);
    for (LD v : rootsAt(c, loopOf(c), p.P)) {
        const double d = static_cast<double>(v);
        if (d > p.b && (out.empty() || d > out.back())) out.push_back(d);
    }
    return out;
}

double lnFugacityCoefficient(const EquationParameters& p, double V) {
    return static_cast<double>(lnPhi(cubicOf(p), p.P, V));
}

namespace {

// The saturation pressure in extended precision, which reaches far below
// the smallest double (at very low reduced temperatures).
struct ExactSaturation {
    std::optional<LD> pressure;
    std::string none;
};

ExactSaturation saturationOf(const Cubic& c, const std::optional<Loop>& loop) {
    ExactSaturation none;
    if (!loop) {
        none.none = "the isotherm has no loop: the temperature is at or above this equation's own critical temperature";
        return none;
    }
    // The difference ln φ(liquid) − ln φ(vapour) falls with P (its slope in
    // ln P is −(Z_vapour − Z_liquid)); it is zero at the saturation pressure.
    auto balance = [&](LD P, LD& slopeInLnP) {
        const LD vl = rootBetween(c, P, c.b, loop->vMin);
        const LD vv = rootBetween(c, P, loop->vMax, c.b + c.RT / P);
        slopeInLnP = -P * (vv - vl) / c.RT;
        return lnPhi(c, P, vl) - lnPhi(c, P, vv);
    };
    LD hiP = loop->pMax, loP = loop->pMin;
    LD unused;
    if (!(loP > 0)) {
        // The loop dips below zero pressure: walk down from the maximum
        // until the vapour is the more stable phase.
        // Steps of 2^-32 reach the smallest extended value in about 500.
        loP = hiP;
        for (int i = 0; i < 600; ++i) {
            loP /= 4294967296.0L;
            if (!(loP > 0)) break;
            if (balance(loP, unused) > 0) break;
        }
        if (!(loP > 0)) {
            // Below every extended value (far below the smallest double):
            // 0 stands for it, so that every pressure is above it.
            ExactSaturation tiny;
            tiny.pressure = 0;
            return tiny;
        }
    }
    if (!(loP > 0) || !(balance(loP, unused) > 0) || !(balance(hiP, unused) < 0)) {
        none.none = "no pressure in the isotherm's loop gives equal fugacities";
        return none;
    }
    LD lo = std::log(loP), hi = std::log(hiP);
    LD x = (lo + hi) / 2;
    for (int i = 0; i < 300; ++i) {
        LD d;
        const LD h = balance(std::exp(x), d);
        if (h == 0) { lo = hi = x; break; }
        if (h > 0) lo = x; else hi = x;
        LD next = x - h / d;
        if (!(next > lo && next < hi)) next = lo + (hi - lo) / 2;
        if (std::fabs(next - x) < 1e-16L || hi - lo < 1e-16L) { x = next; lo = hi = x; break; }
        x = next;
    }
    if (!(hi - lo < 1e-12L)) {
        none.none = "the equal-fugacity pressure did not converge";
        return none;
    }
    ExactSaturation s;
    s.pressure = std::exp(x);
    return s;
}

Saturation inDouble(const ExactSaturation& e) {
    if (!e.pressure) return {std::nullopt, e.none};
    const double d = static_cast<double>(*e.pressure);
    if (!std::isnormal(d)) return {std::nullopt, "the saturation pressure lies outside the range of double precision"};
    return {d, std::string()};
}

// The loop and the saturation of the last few cubics met on this thread.
// Neither depends on the pressure, and a pressure sweep asks for the same
// few at every point; both are pure functions of the cubic, so a
// remembered one is the one that would be computed. Keyed by the bits of
// what the cubic is made of.
class CubicMemo {
public:
    struct Entry {
        bool filled = false;
        std::array<std::uint64_t, 4> key{};
        CubicFamily family = CubicFamily::VanDerWaals;
        std::optional<Loop> loop;
        std::optional<ExactSaturation> saturation;  // found when first asked for
    };

    Entry& of(const EquationParameters& p, const Cubic& c) {
        const std::array<std::uint64_t, 4> key{bits(p.a), bits(p.b), bits(p.R), bits(p.T)};
        for (Entry& e : entries_)
            if (e.filled && e.key == key && e.family == p.family) return e;
        Entry& e = entries_[next_];
        next_ = (next_ + 1) % entries_.size();
        e = Entry{true, key, p.family, loopOf(c), std::nullopt};
        return e;
    }
    const ExactSaturation& saturation(Entry& e, const Cubic& c) {
        if (!e.saturation) e.saturation = saturationOf(c, e.loop);
        return *e.saturation;
    }

private:
    static std::uint64_t bits(double d) {
        std::uint64_t u;
        std::memcpy(&u, &d, sizeof u);
        return u;
    }
    std::array<Entry, 32> entries_{};
    std::size_t next_ = 0;
};

CubicMemo& cubicMemo() {
    thread_local CubicMemo memo;
    return memo;
}

}  // namespace

Saturation saturationPressure(const EquationParameters& p) {
    if (!usable(p)) return Saturation{std::nullopt, "the equation is undefined here"};
    const Cubic c = cubicOf(p);
    CubicMemo& memo = cubicMemo();
    return inDouble(memo.saturation(memo.of(p, c), c));
}

const char* stablePhaseText(StablePhase s) {
    switch (s) {
    case StablePhase::Vapour: return "vapour";
    case StablePhase::Liquid: return "liquid";
    case StablePhase::Saturated: return "saturated";
    case StablePhase::Supercritical: return "supercritical";
    }
    return "";
}

PhaseView phaseView(int block, const MixtureState& s, int k) {
    PhaseView v;
    if (k < 0 || k >= 4) return v;
    const EquationParameters p = equationParameters(block, s, k);
    v.Tr = static_cast<double>(s.tempK) / static_cast<double>(s.constant(k, Tc));
    v.Pr = static_cast<double>(s.pressBar) / static_cast<double>(s.constant(k, Pc));
    v.defined = usable(p) && p.P > 0 && std::isfinite(p.P);
    if (!v.defined) {
        v.saturation.none = "the equation is undefined here";
        return v;
    }
    const Cubic c = cubicOf(p);
    CubicMemo& memo = cubicMemo();
    CubicMemo::Entry& remembered = memo.of(p, c);
    const std::optional<Loop> loop = remembered.loop;
    for (LD root : rootsAt(c, loop, p.P)) {
        const double d = static_cast<double>(root);
        if (d > p.b && (v.roots.empty() || d > v.roots.back())) v.roots.push_back(d);
    }
    if (v.roots.empty()) {
        v.defined = false;
        v.saturation.none = "the equation is undefined here";
        return v;
    }
    v.lnPhiLiquid = lnFugacityCoefficient(p, v.roots.front());
    v.lnPhiVapour = lnFugacityCoefficient(p, v.roots.back());
    if (v.Tr >= 1.0) {
        v.saturation.none = "the temperature is at or above the critical temperature";
        v.stable = StablePhase::Supercritical;
        return v;
    }
    const ExactSaturation exact = memo.saturation(remembered, c);
    v.saturation = inDouble(exact);
    if (!exact.pressure) {
        // Below Tc but without a loop: this equation's own critical
        // temperature lies below Tc. Any other failure leaves the phase open.
        if (!loop) v.stable = StablePhase::Supercritical;
        return v;
    }
    if (v.saturation.pressure)
        v.stable = comparedWithSaturation(p.P, *v.saturation.pressure);
    else  // far from any pressure a double holds
        v.stable = static_cast<LD>(p.P) < *exact.pressure ? StablePhase::Vapour : StablePhase::Liquid;
    return v;
}

StablePhase comparedWithSaturation(double P, double psat) {
    const double rel = (P - psat) / psat;
    return std::fabs(rel) <= kSaturatedTolerance ? StablePhase::Saturated
           : rel < 0                              ? StablePhase::Vapour
                                                  : StablePhase::Liquid;
}

const char* rootEndText(RootEnd e) {
    switch (e) {
    case RootEnd::Converged: return "converged";
    case RootEnd::BelowB: return "below b";
    case RootEnd::AboveIdealGas: return "above ideal-gas volume";
    case RootEnd::StepLimit: return "step limit";
    case RootEnd::NotFinite:
    case RootEnd::Undefined: return "undefined";
    case RootEnd::AboveTc: return "above Tc";
    }
    return "";
}

void RootLog::record(int block, int row, Phase phase, const RootOutcome& root) {
    if (block < 0 || block >= kBlocks || row < 0 || row >= 4) return;
    roots_[static_cast<std::size_t>(block)][static_cast<std::size_t>(row)][phase == Phase::Vapour ? 0 : 1] = root;
}

std::optional<RootOutcome> RootLog::outcome(int block, int row, Phase phase) const {
    if (block < 0 || block >= kBlocks || row < 0 || row >= 4) return std::nullopt;
    return roots_[static_cast<std::size_t>(block)][static_cast<std::size_t>(row)][phase == Phase::Vapour ? 0 : 1];
}

void RootLog::clear() { roots_ = {}; }

}  // namespace zolvant
