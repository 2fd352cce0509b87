#pragma once
// The generic cubic's pressure form written out again, in extended
// precision, so that tests check the solver against something it did not
// compute itself.

#include <cmath>

#include "solver/phase.h"

namespace zolvant::testing {

inline long double pressureOf(const EquationParameters& p, long double V) {
    const long double r2 = std::sqrt(2.0L);
    const long double d1 = p.family == CubicFamily::VanDerWaals ? 0 : p.family == CubicFamily::RedlichKwong ? 1 : 1 + r2;
    const long double d2 = p.family == CubicFamily::PengRobinson ? 1 - r2 : 0;
    const long double b = p.b;
    return static_cast<long double>(p.R) * p.T / (V - b) - p.a / ((V + d1 * b) * (V + d2 * b));
}

}  // namespace zolvant::testing
