#include "tools/pictures/vdw_fluid.h"

#include <algorithm>
#include <cmath>

namespace zolvant::drawing {

double vdwP(double v, double t) { return 8.0 * t / (3.0 * v - 1.0) - 3.0 / (v * v); }

double vdwIsochoreSlope(double v) { return 8.0 / (3.0 * v - 1.0); }

double bisect(double lo, double hi, const std::function<double(double)> &f)
{
    double flo = f(lo);
    for (int i = 0; i < 200; ++i) {
        const double mid = 0.5 * (lo + hi);
        const double fm = f(mid);
        if ((fm > 0) == (flo > 0)) {
            lo = mid;
            flo = fm;
        } else {
            hi = mid;
        }
    }
    return 0.5 * (lo + hi);
}

Saturation vdwSaturation(double t)
{
    if (t >= 1.0 - 1e-9)
        return {1.0, 1.0, 1.0};
    // dP/dV = 0  <=>  4 t V^3 = (3 V - 1)^2; one root on each side of V = 1.
    const auto g = [t](double v) { return 4.0 * t * v * v * v - (3.0 * v - 1.0) * (3.0 * v - 1.0); };
    const double s1 = bisect(1.0 / 3.0 + 1e-12, 1.0, g);
    const double s2 = bisect(1.0, 1e4, g);
    const auto volumeOn = [t](double p, double lo, double hi) {
        return bisect(lo, hi, [t, p](double v) { return vdwP(v, t) - p; });
    };
    const auto areaExcess = [&](double p) {
        const double vl = volumeOn(p, 1.0 / 3.0 + 1e-12, s1);
        const double vg = volumeOn(p, s2, 1e6);
        return 8.0 * t / 3.0 * std::log((3.0 * vg - 1.0) / (3.0 * vl - 1.0)) + 3.0 / vg - 3.0 / vl
               - p * (vg - vl);
    };
    const double p = bisect(std::max(vdwP(s1, t), 1e-9), vdwP(s2, t), areaExcess);
    return {p, volumeOn(p, 1.0 / 3.0 + 1e-12, s1), volumeOn(p, s2, 1e6)};
}

double vdwIsothermP(double v, double t, const Saturation &sat)
{
    if (t < 1.0 && v > sat.vl && v < sat.vg)
        return sat.p;
    return vdwP(v, t);
}

}  // namespace zolvant::drawing
