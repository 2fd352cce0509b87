#pragma once
// The model fluid of the phase-diagram figures: the reduced van der Waals
// equation, with the vapour pressure from Maxwell's equal-area rule, so the
// isotherms, the saturation dome, the vapour-pressure curve and the
// constant-volume lines of the figures belong to one and the same fluid.

#include <functional>

namespace zolvant::drawing {

// Pr = 8 Tr / (3 Vr - 1) - 3 / Vr^2.
double vdwP(double v, double t);

// Slope of an isochore in the P-T plane (the equation is linear in T).
double vdwIsochoreSlope(double v);

struct Saturation {
    double p;   // vapour pressure
    double vl;  // saturated liquid volume
    double vg;  // saturated vapour volume
};

// A root of f between lo and hi, where f changes sign, by 200 halvings.
double bisect(double lo, double hi, const std::function<double(double)> &f);

// Below the critical temperature: the spinodal volumes bound the liquid and
// vapour branches, and the vapour pressure is the one whose horizontal line
// cuts equal areas from the loop. At and above it: the critical point.
Saturation vdwSaturation(double t);

// The isotherm as drawn: the stable branches joined by the flat two-phase
// line below the critical temperature.
double vdwIsothermP(double v, double t, const Saturation &sat);

}  // namespace zolvant::drawing
