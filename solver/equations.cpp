// The six cubic equations of state. Each supplies only its parameters, its
// two updates and its colour mark; solveBlock (frame.h) does the rest.
// Operand order and grouping are deliberate: they decide the last bits of
// every result and so, near a rounding edge, a shown digit or a step count.

#include <cmath>

#include "solver/frame.h"
#include "solver/solve.h"

namespace zolvant {
namespace {

using detail::StateValues;

// The part every equation shares: the values the frame fills in and the
// constants of the position being solved.
struct EquationBase {
    double a = 0.0, b = 0.0;
    double Vig = 0.0, Vigb = 0.0;  // set by the frame
    double T = 0.0, P = 0.0, R = 0.0;
    double D = 1.0;

    double divisor() const { return D; }
    bool parametersFinite() const { return std::isfinite(a) && std::isfinite(b); }

    void setState(const StateValues& sv) { T = sv.T; P = sv.P; R = sv.R; }
};

using detail::reducedTemperature;

// Peng-Robinson-Stryjek-Vera: K1 missing outranks ω missing.
Mark prsvMark(const MixtureState& s, int k) {
    if (s.constant(k, K1) == 0.0f) return Mark::ZeroK1;
    if (s.constant(k, Omega) == 0.0f) return Mark::ZeroOmega;
    return Mark::Window;
}

// P = RT/(V − b) − a/V²; α = 1, a = 27R²Tc²/(64Pc), b = RTc/(8Pc); no correlation, so no source key.
struct VanDerWaals : EquationBase {
    static constexpr int block = 0;
    static constexpr bool marks = false;
    static constexpr CubicFamily family = CubicFamily::VanDerWaals;
    double attraction() const { return a; }

    void parameters(const MixtureState& s, const StateValues& sv, int k) {
        setState(sv);
        const double tc = s.constant(k, Tc), pc = s.constant(k, Pc);
        a = ((sv.R2 * 27) * (tc * tc)) / (pc * 64);
        b = (tc * R) / (pc * 8);
    }
    double vapour(double V) const { return Vigb - ((V - b) * a) / ((V * V) * P); }
    void liquidStart() {}
    double liquid(double V) const {
        return (((-(V * V * V) + (V * V) * (b + Vig)) + (b * a) / P) * P) / a;
    }
};

// P = RT/(V − b) − a/(√T·V(V + b)); α = 1/√T (hence Tc^2.5 in a = 0.42748R²Tc^2.5/Pc); no correlation, no source key.
// 7.20324954711914 = 0.08664 × R in double, with R = 83.14f as stored (83.13999938964844): b = 0.08664RTc/Pc.
struct RedlichKwong : EquationBase {
    static constexpr int block = 1;
    static constexpr bool marks = false;
    static constexpr CubicFamily family = CubicFamily::RedlichKwong;
    double sqrtT = 0.0;
    double attraction() const { return a / sqrtT; }
    double RT1 = 0.0;  // T × R in single precision

    void parameters(const MixtureState& s, const StateValues& sv, int k) {
        setState(sv);
        const double tc = s.constant(k, Tc), pc = s.constant(k, Pc);
        a = ((sv.R2 * 0.42748) * std::pow(tc, 2.5)) / pc;
        b = (tc * 7.20324954711914) / pc;
        sqrtT = std::sqrt(T);
        RT1 = static_cast<double>(s.tempK * gasConstR);
    }
    double vapour(double V) const { return Vigb - ((V - b) * a) / ((V + b) * (V * (sqrtT * P))); }
    void liquidStart() { D = ((b * b) + ((b * R) * T) / P) - (a / P) / sqrtT; }
    double liquid(double V) const {
        return (((V * V * V) - ((V * V) * RT1) / P) - (b * a) / (P * sqrtT)) / D;
    }
};

// P = RT/(V − b) − aα/(V² + 2bV − b²); α = [1 + κ(1 − √Tr)]², κ(ω) of Peng and Robinson (1976; 1978 above ω = 0.49); no key in data/SOURCES.md.
// 6.46795939251709 = 0.077796 × R in double, with R = 83.14f as stored (83.13999938964844): b = 0.077796RTc/Pc.
struct PengRobinson : EquationBase {
    static constexpr int block = 2;
    static constexpr bool marks = true;
    static constexpr CubicFamily family = CubicFamily::PengRobinson;
    double attraction() const { return a; }  // α is part of a here
    Mark mark(const MixtureState& s, int k) const {
        return s.constant(k, Omega) == 0.0f ? Mark::ZeroOmega : Mark::Window;
    }

    void parameters(const MixtureState& s, const StateValues& sv, int k) {
        setState(sv);
        const double tr = reducedTemperature(s, sv, k);
        const double tc = s.constant(k, Tc), pc = s.constant(k, Pc);
        const float omegaSingle = s.constant(k, Omega);
        const double w = omegaSingle;
        const double ac = ((sv.R2 * 0.457235) * (tc * tc)) / pc;
        b = (tc * 6.46795939251709) / pc;
        const double kappa = omegaSingle <= 0.49f
                                 ? (w * 1.54226 + 0.37464) - (w * w) * 0.26992
                                 : ((w * 1.48503 + 0.379642) - (w * w) * 0.164423) + ((w * w) * w) * 0.016666;
        const double t = kappa * (1 - std::sqrt(tr)) + 1;
        const double alpha = t * t;
        a = alpha * ac;
    }
    double vapour(double V) const {
        return Vigb - ((V - b) * a) / ((((V * V) + V * (2 * b)) - (b * b)) * P);
    }
    void liquidStart() { D = (3 * (b * b) + ((((2 * b) * R) * T) / P)) - a / P; }
    double liquid(double V) const {
        return (((V * V * V) + (V * V) * (b - Vig)) + (((b * b * b) + (((b * b) * R) * T) / P) - (a * b) / P)) / D;
    }
};

// P = RT/(V − b) − aα/(V(V + b)); α = [1 + m(1 − √Tr)]², m = 0.48508 + 1.55171ω − 0.15613ω² (Graboski and Daubert, 1978); no key in data/SOURCES.md.
// b uses RK's 7.20324954711914 = 0.08664 × R (R = 83.14f as stored).
struct SoaveRedlichKwong : EquationBase {
    static constexpr int block = 3;
    static constexpr bool marks = true;
    static constexpr CubicFamily family = CubicFamily::RedlichKwong;
    double attraction() const { return alpha * a; }
    Mark mark(const MixtureState& s, int k) const {
        return s.constant(k, Omega) == 0.0f ? Mark::ZeroOmega : Mark::Window;
    }
    double alpha = 0.0;
    double RT1 = 0.0;

    void parameters(const MixtureState& s, const StateValues& sv, int k) {
        setState(sv);
        const double tr = reducedTemperature(s, sv, k);
        const double tc = s.constant(k, Tc), pc = s.constant(k, Pc);
        const double w = s.constant(k, Omega);
        a = ((sv.R2 * 0.42748) * (tc * tc)) / pc;
        b = (tc * 7.20324954711914) / pc;
        const double sqrtTr = std::sqrt(tr);
        const double m = (w * 1.55171 + 0.48508) - (w * w) * 0.15613;
        const double t = m * (1 - sqrtTr) + 1;
        alpha = t * t;
        RT1 = static_cast<double>(s.tempK * gasConstR);
    }
    bool parametersFinite() const { return EquationBase::parametersFinite() && std::isfinite(alpha); }
    double vapour(double V) const { return Vigb - ((alpha * a) * (V - b)) / ((P * V) * (V + b)); }
    void liquidStart() { D = (((b * b) * P) + ((b * R) * T)) - alpha * a; }
    double liquid(double V) const { return ((P * (V * V * V) - RT1 * (V * V)) - (alpha * a) * b) / D; }
};

// PRSV1 and PRSV2 share everything but κ and α.
// PR's P(V) and α = [1 + κ(1 − √Tr)]² with κ0 = 0.378893 + 1.4897153ω − 0.17131848ω² + 0.0196554ω³ [SV1].
// b uses PR's 6.46795939251709 = 0.077796 × R (R = 83.14f as stored).
struct StryjekVeraBase : EquationBase {
    static constexpr bool marks = true;
    static constexpr CubicFamily family = CubicFamily::PengRobinson;
    double attraction() const { return alpha * a; }
    Mark mark(const MixtureState& s, int k) const { return prsvMark(s, k); }
    double alpha = 0.0;
    double twoB = 0.0;

    // a, b and κ0; returns κ0.
    double common(const MixtureState& s, const StateValues& sv, int k) {
        setState(sv);
        const double tc = s.constant(k, Tc), pc = s.constant(k, Pc);
        const double w = s.constant(k, Omega);
        a = ((sv.R2 * 0.457235) * (tc * tc)) / pc;
        b = (tc * 6.46795939251709) / pc;
        twoB = b + b;
        return ((w * 1.4897153 + 0.378893) - (w * w) * 0.17131848) + ((w * w) * w) * 0.0196554;
    }
    bool parametersFinite() const { return EquationBase::parametersFinite() && std::isfinite(alpha); }
    double vapour(double V) const {
        return Vigb - ((alpha * a) * (V - b)) / (P * (((V * V) + twoB * V) - (b * b)));
    }
    void liquidStart() { D = (3 * (b * b) + ((twoB * R) * T) / P) - (alpha * a) / P; }
    double liquid(double V) const {
        return (((V * V * V) + (b - Vig) * (V * V)) + (((b * b * b) + (((b * b) * R) * T) / P) - ((alpha * a) * b) / P)) / D;
    }
};

// PRSV1: PR's P(V); α = [1 + κ(1 − √Tr)]², κ = κ0 + κ1(1 + √Tr)(0.7 − Tr); κ1 = K1 from [SV1], or [PV].
struct StryjekVera1 : StryjekVeraBase {
    static constexpr int block = 4;
    void parameters(const MixtureState& s, const StateValues& sv, int k) {
        const double tr = reducedTemperature(s, sv, k);
        const double kappa0 = common(s, sv, k);
        const double sqrtTr = std::sqrt(tr);
        const double k1 = s.constant(k, K1);
        const double kappa = kappa0 + (k1 * (sqrtTr + 1)) * (0.7 - tr);
        const double t = 1 + kappa * (1 - sqrtTr);
        alpha = t * t;
    }
};

// PRSV2: PR's P(V); α = [1 + κ(1 − √Tr)]², κ = κ0 + [κ1 + κ2(κ3 − Tr)(1 − √Tr)](1 + √Tr)(0.7 − Tr); κ2, κ3 = K2, K3 from [SV2].
struct StryjekVera2 : StryjekVeraBase {
    static constexpr int block = 5;
    void parameters(const MixtureState& s, const StateValues& sv, int k) {
        const double tr = reducedTemperature(s, sv, k);
        const double kappa0 = common(s, sv, k);
        const double sqrtTr = std::sqrt(tr);
        const double k1 = s.constant(k, K1), k2 = s.constant(k, K2), k3 = s.constant(k, K3);
        const double kappa = kappa0 + (((((k3 - tr) * k2) * (1 - sqrtTr) + k1) * (sqrtTr + 1)) * (0.7 - tr));
        // Here T / Tc is the double quotient of the two stored values.
        const double tOverTc = T / static_cast<double>(s.constant(k, Tc));
        const double t = 1 + kappa * (1 - std::sqrt(tOverTc));
        alpha = t * t;
    }
};

template <class Eq>
void run(const MixtureState& s, const FractionTexts& f, ResultGrid& g) {
    Eq eq;
    detail::solveBlock(eq, s, f, g);
}

template <class Eq>
EquationParameters parametersAt(const MixtureState& s, int k, const StateValues& sv) {
    Eq eq;
    return detail::parametersOf(eq, s, k, sv);
}

}  // namespace

EquationParameters equationParametersAt(int block, const MixtureState& s, int k, double T) {
    if (k < 0 || k >= 4) return {};
    const StateValues sv = detail::stateValuesAt(s, T);
    switch (block) {
    case 0: return parametersAt<VanDerWaals>(s, k, sv);
    case 1: return parametersAt<RedlichKwong>(s, k, sv);
    case 2: return parametersAt<PengRobinson>(s, k, sv);
    case 3: return parametersAt<SoaveRedlichKwong>(s, k, sv);
    case 4: return parametersAt<StryjekVera1>(s, k, sv);
    case 5: return parametersAt<StryjekVera2>(s, k, sv);
    default: return {};
    }
}

EquationParameters equationParameters(int block, const MixtureState& s, int k) {
    return equationParametersAt(block, s, k, static_cast<double>(s.tempK));
}

void SolveVDW(const MixtureState& s, const FractionTexts& f, ResultGrid& g) { run<VanDerWaals>(s, f, g); }
void SolveRK(const MixtureState& s, const FractionTexts& f, ResultGrid& g) { run<RedlichKwong>(s, f, g); }
void SolvePR(const MixtureState& s, const FractionTexts& f, ResultGrid& g) { run<PengRobinson>(s, f, g); }
void SolveSRK(const MixtureState& s, const FractionTexts& f, ResultGrid& g) { run<SoaveRedlichKwong>(s, f, g); }
void SolvePRSV1(const MixtureState& s, const FractionTexts& f, ResultGrid& g) { run<StryjekVera1>(s, f, g); }
void SolvePRSV2(const MixtureState& s, const FractionTexts& f, ResultGrid& g) { run<StryjekVera2>(s, f, g); }

void SolveAll(const MixtureState& s, const FractionTexts& f, ResultGrid& g) {
    SolveVDW(s, f, g);
    SolveRK(s, f, g);
    SolvePR(s, f, g);
    SolveSRK(s, f, g);
    SolvePRSV1(s, f, g);
    SolvePRSV2(s, f, g);
}

}  // namespace zolvant
