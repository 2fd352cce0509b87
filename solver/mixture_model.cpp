#include "solver/mixture_model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace zolvant {
namespace {

std::string number(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.6g", v);
    return buf;
}

void sortUnique(std::vector<double>& v) {
    std::sort(v.begin(), v.end());
    std::vector<double> out;
    for (double x : v)
        if (out.empty() || std::fabs(x - out.back()) > 1e-9 * std::fabs(x)) out.push_back(x);
    v = out;
}

SaturationKind kindOf(EnvelopeBranch b) { return b == EnvelopeBranch::Dew ? SaturationKind::Dew : SaturationKind::Bubble; }

// One saturation point at T (ln T held) or P (ln P held) from the guess X.
std::optional<double> refine(const Fluid& fluid, const CompVector& z, SaturationKind kind, bool atT, double value,
                             const Unknowns& guess, std::string& why) {
    Fluid f = fluid;
    SaturationState s;
    s.X = guess;
    const int held = atT ? f.n : f.n + 1;
    if (!solveSaturation(f, z, kind, held, std::log(value), s, why)) return std::nullopt;
    return std::exp(s.X[static_cast<std::size_t>(atT ? f.n + 1 : f.n)]);
}

// Every crossing of value by the traced branches (T when atT, else P).
void crossings(const Fluid& f, const CompVector& z, const Envelope& env, bool atT, double value,
               std::vector<double>& bubble, std::vector<double>& dew, std::vector<std::string>& notes) {
    const std::vector<EnvelopePoint>& pts = env.points;
    auto along = [&](const EnvelopePoint& p) { return atT ? p.T : p.P; };
    const int lnIndex = atT ? f.n : f.n + 1;
    for (std::size_t i = 0; i + 1 < pts.size(); ++i) {
        const EnvelopePoint& a = pts[i];
        const EnvelopePoint& b = pts[i + 1];
        const double va = along(a), vb = along(b);
        if (!((va - value) * (vb - value) <= 0) || va == vb) continue;
        if (vb == value && i + 2 < pts.size()) continue;  // counted with the next segment
        // The side of the critical point the segment lies on.
        const EnvelopePoint& solved = a.branch == EnvelopeBranch::Critical ? b : a;
        const SaturationKind kind = kindOf(solved.branch);
        Unknowns guess = solved.X;
        if (a.branch != EnvelopeBranch::Critical && b.branch != EnvelopeBranch::Critical) {
            const double frac = (std::log(value) - a.X[static_cast<std::size_t>(lnIndex)]) /
                                (b.X[static_cast<std::size_t>(lnIndex)] - a.X[static_cast<std::size_t>(lnIndex)]);
            for (int k = 0; k < f.n + 2; ++k)
                guess[static_cast<std::size_t>(k)] = a.X[static_cast<std::size_t>(k)] +
                                                     frac * (b.X[static_cast<std::size_t>(k)] - a.X[static_cast<std::size_t>(k)]);
        }
        std::string why;
        const std::optional<double> r = refine(f, z, kind, atT, value, guess, why);
        const char* what = kind == SaturationKind::Bubble ? "bubble" : "dew";
        if (r) (kind == SaturationKind::Bubble ? bubble : dew).push_back(*r);
        else notes.push_back(std::string("a ") + what + " point between " + number(atT ? a.P : a.T) + " and " +
                             number(atT ? b.P : b.T) + (atT ? " bar" : " K") + " was not found: " + why);
    }
}

// Below the start pressure: from the first (bubble) and last (dew) points.
void beyondStart(const Fluid& f, const CompVector& z, const Envelope& env, bool atT, double value,
                 std::vector<double>& bubble, std::vector<double>& dew) {
    if (env.points.empty()) return;
    const EnvelopePoint& first = env.points.front();
    const EnvelopePoint& last = env.points.back();
    std::string why;
    if (atT ? value < first.T : value < first.P) {
        if (const auto r = refine(f, z, SaturationKind::Bubble, atT, value, first.X, why)) bubble.push_back(*r);
    }
    if (env.complete && last.branch == EnvelopeBranch::Dew && (atT ? value < last.T : value < last.P)) {
        if (const auto r = refine(f, z, SaturationKind::Dew, atT, value, last.X, why)) dew.push_back(*r);
    }
}

SaturationLists purePoints(const Fluid& f, const Envelope& env, double T, double P) {
    SaturationLists out;
    const int k = f.active[0];
    const Saturation sat = saturationPressure(equationParametersAt(f.block, *f.state, k, T));
    if (sat.pressure) {
        out.bubbleP.push_back(*sat.pressure);
        out.dewP.push_back(*sat.pressure);
    } else {
        out.notes.push_back("no saturation pressure at " + number(T) + " K: " + sat.none);
    }
    if (!env.critical || env.points.empty()) {
        out.notes.push_back("no saturation temperature: the equation's critical point was not found");
        return out;
    }
    if (P > env.critical->P) {
        out.notes.push_back("above the equation's critical pressure (" + number(env.critical->P) + " bar): no saturation temperature");
        return out;
    }
    // ln psat rises with T: bisection between a temperature below and the critical one.
    double lo = env.points.front().T, hi = env.critical->T;
    for (int i = 0; i < 20; ++i) {
        const auto p = saturationPressure(equationParametersAt(f.block, *f.state, k, lo)).pressure;
        if (p && *p < P) break;
        lo *= 0.8;
    }
    for (int i = 0; i < 100 && hi - lo > 1e-12 * hi; ++i) {
        const double mid = (lo + hi) / 2;
        const auto p = saturationPressure(equationParametersAt(f.block, *f.state, k, mid)).pressure;
        if (p && *p < P) lo = mid; else hi = mid;
    }
    const double Ts = (lo + hi) / 2;
    out.bubbleT.push_back(Ts);
    out.dewT.push_back(Ts);
    return out;
}

}  // namespace

SaturationLists saturationPoints(const Fluid& f, const CompVector& z, const Envelope& env, double T, double P) {
    if (f.n == 1) return purePoints(f, env, T, P);
    SaturationLists out;
    if (env.points.empty()) {
        double highest = 0.0;
        for (int ii = 0; ii < f.n; ++ii)
            highest = std::max(highest, static_cast<double>(f.state->constant(f.active[static_cast<std::size_t>(ii)], Tc)));
        if (T > highest) out.notes.push_back("T above every component's Tc: no envelope there");
        for (const std::string& n : env.notes) out.notes.push_back("no envelope: " + n);
        return out;
    }
    crossings(f, z, env, true, T, out.bubbleP, out.dewP, out.notes);
    crossings(f, z, env, false, P, out.bubbleT, out.dewT, out.notes);
    beyondStart(f, z, env, true, T, out.bubbleP, out.dewP);
    beyondStart(f, z, env, false, P, out.bubbleT, out.dewT);
    for (auto* v : {&out.bubbleP, &out.dewP, &out.bubbleT, &out.dewT}) sortUnique(*v);

    const bool thermHigh = env.cricondentherm && T > env.cricondentherm->T;
    const bool barHigh = env.cricondenbar && P > env.cricondenbar->P;
    if (thermHigh) out.notes.push_back("above the cricondentherm (" + number(env.cricondentherm->T) + " K): no bubble or dew pressure");
    if (barHigh) out.notes.push_back("above the cricondenbar (" + number(env.cricondenbar->P) + " bar): no bubble or dew temperature");
    if (!thermHigh && out.bubbleP.empty())
        out.notes.push_back(env.critical && T > env.critical->T
                                ? "above the critical temperature (" + number(env.critical->T) + " K): no bubble pressure"
                                : "no bubble pressure at this temperature on the traced envelope");
    if (!thermHigh && out.dewP.empty()) out.notes.push_back("no dew pressure at this temperature on the traced envelope");
    if (!barHigh && out.bubbleT.empty())
        out.notes.push_back(env.critical && P > env.critical->P
                                ? "above the critical pressure (" + number(env.critical->P) + " bar): no bubble temperature"
                                : "no bubble temperature at this pressure on the traced envelope");
    if (!barHigh && out.dewT.empty()) out.notes.push_back("no dew temperature at this pressure on the traced envelope");
    if (!env.complete)
        for (const std::string& n : env.notes) out.notes.push_back("the envelope is incomplete: " + n);
    return out;
}

MixtureReport mixtureReport(int block, const MixtureState& s, const CompVector& z, const KijMatrix& kij,
                            const MolarMasses& molWt, const ReportOptions& options) {
    MixtureReport r;
    r.block = block;
    r.equation = block >= 0 && block < kBlocks ? blockName(block) : "";
    r.T = static_cast<double>(s.tempK);
    r.P = static_cast<double>(s.pressBar);
    r.m = std::clamp<int>(s.numComps, 0, kMaxComponents);
    r.z = z;
    r.kij = kij;
    std::string why;
    const std::optional<Fluid> fluid = makeFluid(block, s, z, kij, r.T, why);
    if (!fluid) {
        r.why = why;
        return r;
    }
    if (!(std::isfinite(r.P) && r.P > 0)) {
        r.why = "the pressure is not a positive finite number";
        return r;
    }
    const FlashResult fl = flash(*fluid, z, r.P);
    auto report = [&](const FlashPhase& p) {
        PhaseReport out;
        out.x = p.x;
        out.V = p.V;
        out.Z = p.Z;
        double mass = 0.0;
        bool known = true;
        for (int i = 0; i < r.m; ++i) {
            const auto iu = static_cast<std::size_t>(i);
            if (fluid->defined[iu] && std::isfinite(p.lnPhi[iu])) out.lnPhi[iu] = p.lnPhi[iu];
            if (p.x[iu] == 0) continue;
            if (!molWt[iu] || !(*molWt[iu] > 0) || !std::isfinite(*molWt[iu])) known = false;
            else mass += p.x[iu] * *molWt[iu];
        }
        if (known) out.density = mass / p.V;
        return out;
    };
    if (!fl.ok) {
        r.notes.push_back("flash: " + fl.why);
    } else if (fl.phases == 1) {
        r.phases = 1;
        r.phase = fl.single.liquidLike ? "liquid" : "vapour";
        (fl.single.liquidLike ? r.liquid : r.vapour) = report(fl.single);
    } else {
        r.phases = 2;
        r.beta = fl.beta;
        r.liquid = report(fl.liquid);
        r.vapour = report(fl.vapour);
    }
    for (const std::string& n : fl.notes) r.notes.push_back(n);
    for (const auto& ph : {r.liquid, r.vapour})
        if (ph && !ph->density) {
            r.notes.push_back("no density: a molar mass is missing");
            break;
        }
    if (options.saturation) {
        r.envelope = traceEnvelope(*fluid, z, options.envelope);
        r.saturation = saturationPoints(*fluid, z, r.envelope, r.T, r.P);
        for (const std::string& n : r.saturation.notes) r.notes.push_back(n);
    }
    r.ok = true;
    return r;
}

}  // namespace zolvant
