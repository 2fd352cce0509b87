#include "solver/mixture_eos.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "solver/frame.h"

namespace zolvant {
namespace {

std::string positionName(int k) { return "component " + std::to_string(k + 1); }

// Why the parameters of position k cannot be used ("" when they can).
std::string parameterProblem(const MixtureState& s, const EquationParameters& p, int k) {
    const float tc = s.constant(k, Tc), pc = s.constant(k, Pc);
    if (!std::isfinite(tc) || !std::isfinite(pc)) return positionName(k) + ": a critical constant is not finite";
    if (!(tc > 0.0f)) return positionName(k) + ": the critical temperature is 0 or negative";
    if (pc == 0.0f) return positionName(k) + ": the critical pressure is 0";
    if (!std::isfinite(p.a) || !std::isfinite(p.b)) return positionName(k) + ": a or b is not finite";
    if (!(p.b > 0.0)) return positionName(k) + ": b is not positive (a negative critical pressure)";
    if (!(p.a >= 0.0)) return positionName(k) + ": a is negative";
    if (!p.defined) return positionName(k) + ": the equation is undefined here";
    return {};
}

// b_m, a_m and Si = Σj xj aij over the active positions.
struct Mixed {
    double am = 0.0, bm = 0.0;
    CompVector S{};
};

Mixed mix(const Fluid& f, const CompVector& x) {
    Mixed m;
    for (int i = 0; i < f.m; ++i) {
        if (!f.defined[static_cast<std::size_t>(i)]) continue;
        double s = 0.0;
        for (int jj = 0; jj < f.n; ++jj) {
            const int j = f.active[static_cast<std::size_t>(jj)];
            s += x[static_cast<std::size_t>(j)] * f.aij[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)];
        }
        m.S[static_cast<std::size_t>(i)] = s;
    }
    for (int ii = 0; ii < f.n; ++ii) {
        const auto i = static_cast<std::size_t>(f.active[static_cast<std::size_t>(ii)]);
        m.am += x[i] * m.S[i];
        m.bm += x[i] * f.b[i];
    }
    return m;
}

// Real roots Z > B of Z³ + c2 Z² + c1 Z + c0, ascending, each polished by
// Newton's method on the cubic.
int cubicRootsAbove(double c2, double c1, double c0, double B, std::array<double, 3>& out) {
    auto f = [&](double z) { return ((z + c2) * z + c1) * z + c0; };
    auto df = [&](double z) { return (3 * z + 2 * c2) * z + c1; };
    auto polish = [&](double z) {
        for (int i = 0; i < 8; ++i) {
            const double d = df(z);
            if (d == 0.0) break;
            const double next = z - f(z) / d;
            if (!std::isfinite(next) || next == z) break;
            z = next;
        }
        return z;
    };
    std::array<double, 3> r{};
    int count = 0;
    const double shift = c2 / 3;
    const double p = c1 - c2 * shift;
    const double q = (2 * shift * shift - c1) * shift + c0;
    const double disc = (q / 2) * (q / 2) + (p / 3) * (p / 3) * (p / 3);
    if (disc > 0 || p >= 0) {
        const double sq = std::sqrt(std::max(disc, 0.0));
        r[0] = std::cbrt(-q / 2 + sq) + std::cbrt(-q / 2 - sq) - shift;
        count = 1;
    } else {
        const double m = 2 * std::sqrt(-p / 3);
        const double arg = std::clamp((3 * q) / (p * m), -1.0, 1.0);
        const double phi = std::acos(arg) / 3;
        for (int k = 0; k < 3; ++k) r[static_cast<std::size_t>(k)] = m * std::cos(phi - 2 * std::numbers::pi * k / 3) - shift;
        count = 3;
    }
    int kept = 0;
    for (int k = 0; k < count; ++k) {
        const double z = polish(r[static_cast<std::size_t>(k)]);
        if (std::isfinite(z) && z > B) out[static_cast<std::size_t>(kept++)] = z;
    }
    std::sort(out.begin(), out.begin() + kept);
    // Roots that polished onto the same value are one root.
    int unique = 0;
    for (int k = 0; k < kept; ++k)
        if (unique == 0 || out[static_cast<std::size_t>(k)] != out[static_cast<std::size_t>(unique - 1)])
            out[static_cast<std::size_t>(unique++)] = out[static_cast<std::size_t>(k)];
    return unique;
}

// A and B of the mixture and the cubic's roots in Z.
int rootsInZ(const Fluid& f, const Mixed& m, double P, double& A, double& B, std::array<double, 3>& z) {
    A = m.am * P / (f.RT * f.RT);
    B = m.bm * P / f.RT;
    const double u = f.d1 + f.d2, w = f.d1 * f.d2;
    const double c2 = (u - 1) * B - 1;
    const double c1 = A + w * B * B - u * B - u * B * B;
    const double c0 = -(A * B + w * B * B + w * B * B * B);
    return cubicRootsAbove(c2, c1, c0, B, z);
}

// The attraction integral factor: ln((Z + δ1B)/(Z + δ2B)) / (B(δ1 − δ2)),
// and its limit 1/Z for van der Waals.
double attractionFactor(const Fluid& f, double Z, double B) {
    if (f.family == CubicFamily::VanDerWaals) return 1.0 / Z;
    return std::log((Z + f.d1 * B) / (Z + f.d2 * B)) / (B * (f.d1 - f.d2));
}

// G_res/RT of the phase at root Z: Σ xi ln φi.
double residualGibbs(const Fluid& f, double Z, double A, double B) {
    return Z - 1 - std::log(Z - B) - A * attractionFactor(f, Z, B);
}

void lnPhiMixed(const Fluid& f, const Mixed& m, double A, double B, double Z, CompVector& lnPhi) {
    const double rep = std::log(Z - B);
    const double att = A * attractionFactor(f, Z, B);
    for (int i = 0; i < f.m; ++i) {
        const auto iu = static_cast<std::size_t>(i);
        if (!f.defined[iu]) { lnPhi[iu] = std::nan(""); continue; }
        const double bRatio = f.b[iu] / m.bm;
        lnPhi[iu] = bRatio * (Z - 1) - rep - att * (2 * m.S[iu] / m.am - bRatio);
    }
}

EquationParameters pureAt(const Fluid& f, int k, double P) {
    EquationParameters p = f.pure[static_cast<std::size_t>(k)];
    p.P = P;
    return p;
}

}  // namespace

CompVector feedFractions(const MixtureState& s, const FractionTexts& fractions) {
    CompVector z{};
    const int m = std::clamp<int>(s.numComps, 0, kMaxComponents);
    double sum = 0.0;
    for (int k = 0; k < m; ++k) {
        const double v = static_cast<double>(detail::fractionOf(fractions, k));
        z[static_cast<std::size_t>(k)] = std::isfinite(v) && v > 0 ? v : 0.0;
        sum += z[static_cast<std::size_t>(k)];
    }
    if (sum > 0)
        for (double& v : z) v /= sum;
    return z;
}

std::string kijProblem(const KijMatrix& kij, int n) {
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            const double v = kij[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)];
            if (!std::isfinite(v)) return "kij is not finite for the pair " + std::to_string(i + 1) + "," + std::to_string(j + 1);
            if (i == j && v != 0.0) return "kii is not 0 for component " + std::to_string(i + 1);
            if (v != kij[static_cast<std::size_t>(j)][static_cast<std::size_t>(i)])
                return "kij is not symmetric for the pair " + std::to_string(i + 1) + "," + std::to_string(j + 1);
            if (!(v < 1.0)) return "kij is 1 or more for the pair " + std::to_string(i + 1) + "," + std::to_string(j + 1);
        }
    return {};
}

std::optional<Fluid> makeFluid(int block, const MixtureState& s, const CompVector& z, const KijMatrix& kij,
                               double T, std::string& why) {
    Fluid f;
    f.block = block;
    f.state = &s;
    f.m = std::clamp<int>(s.numComps, 0, kMaxComponents);
    if (block < 0 || block >= kBlocks) { why = "no such equation"; return std::nullopt; }
    if (!(std::isfinite(T) && T > 0)) { why = "the temperature is not a positive finite number"; return std::nullopt; }
    for (int i = 0; i < f.m; ++i) {
        const double zi = z[static_cast<std::size_t>(i)];
        if (!std::isfinite(zi) || zi < 0) { why = positionName(i) + ": the mole fraction is negative or not finite"; return std::nullopt; }
        if (zi > 0) f.active[static_cast<std::size_t>(f.n++)] = i;
    }
    if (f.n == 0) { why = "no component has a nonzero mole fraction"; return std::nullopt; }
    why = kijProblem(kij, f.m);
    if (!why.empty()) return std::nullopt;
    f.kij = kij;
    if (!setTemperature(f, T)) {
        for (int ii = 0; ii < f.n; ++ii) {
            const int k = f.active[static_cast<std::size_t>(ii)];
            why = parameterProblem(s, equationParametersAt(block, s, k, T), k);
            if (!why.empty()) break;
        }
        if (why.empty()) why = "the mixture parameters are not finite";
        return std::nullopt;
    }
    return f;
}

bool setTemperature(Fluid& f, double T) {
    if (!(std::isfinite(T) && T > 0) || f.state == nullptr) return false;
    const MixtureState& s = *f.state;
    f.T = T;
    for (int k = 0; k < f.m; ++k) {
        const auto ku = static_cast<std::size_t>(k);
        const EquationParameters p = equationParametersAt(f.block, s, k, T);
        f.pure[ku] = p;
        f.family = p.family;
        f.R = p.R;
        f.defined[ku] = parameterProblem(s, p, k).empty();
        f.a[ku] = p.a;
        f.b[ku] = p.b;
    }
    for (int ii = 0; ii < f.n; ++ii)
        if (!f.defined[static_cast<std::size_t>(f.active[static_cast<std::size_t>(ii)])]) return false;
    f.d1 = delta1(f.family);
    f.d2 = delta2(f.family);
    f.RT = f.R * T;
    for (int i = 0; i < f.m; ++i)
        for (int j = 0; j < f.m; ++j) {
            const auto iu = static_cast<std::size_t>(i), ju = static_cast<std::size_t>(j);
            f.aij[iu][ju] = i == j ? f.a[iu] : (1 - f.kij[iu][ju]) * std::sqrt(f.a[iu] * f.a[ju]);
        }
    return std::isfinite(f.RT);
}

std::vector<double> mixtureRoots(const Fluid& f, const CompVector& x, double P) {
    if (f.n == 1) return realRoots(pureAt(f, f.active[0], P));
    const Mixed m = mix(f, x);
    double A, B;
    std::array<double, 3> z{};
    const int count = rootsInZ(f, m, P, A, B, z);
    std::vector<double> out;
    for (int k = 0; k < count; ++k) out.push_back(z[static_cast<std::size_t>(k)] * f.RT / P);
    return out;
}

bool evaluatePhase(const Fluid& f, const CompVector& x, double P, RootChoice choice, PhasePoint& out) {
    if (!(std::isfinite(P) && P > 0)) return false;
    if (f.n == 1) {
        // The pure fluid: phase.cpp's roots and ln φ, bit for bit.
        const int k = f.active[0];
        const EquationParameters p = pureAt(f, k, P);
        const std::vector<double> roots = realRoots(p);
        if (roots.empty()) return false;
        double V = choice == RootChoice::Smallest ? roots.front() : roots.back();
        double lnPhi = lnFugacityCoefficient(p, V);
        if (choice == RootChoice::LowestGibbs && roots.size() > 1) {
            const double liquid = lnFugacityCoefficient(p, roots.front());
            if (liquid < lnPhi) { V = roots.front(); lnPhi = liquid; }
        }
        out.roots = static_cast<int>(roots.size());
        out.V = V;
        out.Z = ((P * V) / p.R) / p.T;
        lnPhiAt(f, x, P, V, out.lnPhi);
        out.lnPhi[static_cast<std::size_t>(k)] = lnPhi;
        return true;
    }
    const Mixed m = mix(f, x);
    if (!(m.bm > 0) || !(m.am > 0)) return false;
    double A, B;
    std::array<double, 3> z{};
    const int count = rootsInZ(f, m, P, A, B, z);
    if (count == 0) return false;
    double Z = choice == RootChoice::Smallest ? z[0] : z[static_cast<std::size_t>(count - 1)];
    if (choice == RootChoice::LowestGibbs && count > 1) {
        const double gLiquid = residualGibbs(f, z[0], A, B);
        const double gVapour = residualGibbs(f, z[static_cast<std::size_t>(count - 1)], A, B);
        Z = gLiquid < gVapour ? z[0] : z[static_cast<std::size_t>(count - 1)];
    }
    out.roots = count;
    out.Z = Z;
    out.V = Z * f.RT / P;
    lnPhiMixed(f, m, A, B, Z, out.lnPhi);
    for (int i = 0; i < f.m; ++i)
        if (!std::isfinite(out.lnPhi[static_cast<std::size_t>(i)]) && f.defined[static_cast<std::size_t>(i)]) return false;
    return std::isfinite(out.V);
}

void lnPhiAt(const Fluid& f, const CompVector& x, double P, double V, CompVector& lnPhi) {
    const Mixed m = mix(f, x);
    const double Z = P * V / f.RT;
    const double A = m.am * P / (f.RT * f.RT);
    const double B = m.bm * P / f.RT;
    lnPhiMixed(f, m, A, B, Z, lnPhi);
}

double phaseIdentificationParameter(const Fluid& f, const CompVector& x, double V) {
    // da_m/dT from each ai's central difference on the smooth (double T/Tc) path.
    const double h = f.T * 1e-5;
    CompVector dadT{};
    for (int ii = 0; ii < f.n; ++ii) {
        const int k = f.active[static_cast<std::size_t>(ii)];
        const double up = equationParametersAt(f.block, *f.state, k, f.T + h).a;
        const double down = equationParametersAt(f.block, *f.state, k, f.T - h).a;
        dadT[static_cast<std::size_t>(k)] = (up - down) / (2 * h);
    }
    const Mixed m = mix(f, x);
    double dam = 0.0;
    for (int ii = 0; ii < f.n; ++ii)
        for (int jj = 0; jj < f.n; ++jj) {
            const auto i = static_cast<std::size_t>(f.active[static_cast<std::size_t>(ii)]);
            const auto j = static_cast<std::size_t>(f.active[static_cast<std::size_t>(jj)]);
            dam += x[i] * x[j] * f.aij[i][j] * 0.5 * (dadT[i] / f.a[i] + dadT[j] / f.a[j]);
        }
    const double b = m.bm, a = m.am, RT = f.RT, R = f.R;
    const double q = (V + f.d1 * b) * (V + f.d2 * b);
    const double dq = 2 * V + (f.d1 + f.d2) * b;
    const double gap = V - b;
    const double dPdT = R / gap - dam / q;
    const double d2PdTdV = -R / (gap * gap) + dam * dq / (q * q);
    const double dPdV = -RT / (gap * gap) + a * dq / (q * q);
    const double d2PdV2 = 2 * RT / (gap * gap * gap) + a * (2 / (q * q) - 2 * dq * dq / (q * q * q));
    return V * (d2PdTdV / dPdT - d2PdV2 / dPdV);
}

bool liquidLike(const Fluid& f, const CompVector& x, double V) { return phaseIdentificationParameter(f, x, V) > 1.0; }

double wilsonK(const Fluid& f, int i, double T, double P) {
    const MixtureState& s = *f.state;
    const double tc = s.constant(i, Tc), pc = s.constant(i, Pc), w = s.constant(i, Omega);
    return (pc / P) * std::exp(5.373 * (1 + w) * (1 - tc / T));
}

}  // namespace zolvant
