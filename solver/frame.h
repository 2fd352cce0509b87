#pragma once
// The iteration frame every equation of state runs: private to the solver.
// An equation supplies its parameters a and b, the vapour and liquid
// updates, the liquid divisor and (optionally) a colour mark; the position
// loop, the bounds, the 80-step limit, the tolerance, the masks, the "NA"
// texts and the mixture row are the same for all six and live only here.

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "solver/grid.h"
#include "solver/phase.h"
#include "solver/solve.h"
#include "solver/state.h"
#include "solver/text.h"

namespace zolvant::detail {

inline constexpr int kMaxSteps = 80;
inline constexpr float kTolerance = 0.0001f;

// Fixed-point iteration from v0. `outside(v)` is the bound test of the phase
// (`outsideEnd` names it); a value that is not finite can never converge and
// ends the root at once.
template <class Step, class Outside>
RootOutcome iterate(double v0, Step step, Outside outside, RootEnd outsideEnd) {
    double previous = v0;
    for (int n = 1;; ++n) {
        const double v = step(previous);
        if (!std::isfinite(v)) return {RootEnd::NotFinite, n, v};
        if (outside(v)) return {outsideEnd, n, v};
        if (n > kMaxSteps) return {RootEnd::StepLimit, n, v};
        if (std::fabs((v - previous) / v) < static_cast<double>(kTolerance)) return {RootEnd::Converged, n, v};
        previous = v;
    }
}

// The mole fraction of a position as the shares use it: the box's text read
// by the same leading-number rule as Solve's total check, in single
// precision. A text without a number (a box never filled) counts as 0, as it
// does in the total.
inline float fractionOf(const FractionTexts& f, int k) {
    return static_cast<float>(leadingNumber(f[static_cast<std::size_t>(k)]));
}

// Per-state values an equation may need, widened once.
struct StateValues {
    double T;   // tempK, or the temperature a model beside the grid asks for
    double P;   // pressBar
    double R;   // gasConstR, 83.13999938964844
    double R2;  // R squared in double precision
    // The grid's own temperature: T / Tc is the single-precision quotient
    // it stores. Any other temperature takes T / Tc in double, so that a
    // model varying T sees a smooth α(T).
    bool gridTemperature = true;
};

inline StateValues stateValues(const MixtureState& s) {
    return {static_cast<double>(s.tempK), static_cast<double>(s.pressBar), static_cast<double>(gasConstR),
            static_cast<double>(gasConstR) * static_cast<double>(gasConstR), true};
}

// The same values at temperature T (K): at T = tempK exactly those of the
// grid's state, reduced temperature included.
inline StateValues stateValuesAt(const MixtureState& s, double T) {
    StateValues sv = stateValues(s);
    sv.gridTemperature = T == sv.T;
    sv.T = T;
    return sv;
}

// T / Tc of position k: the grid's single-precision quotient at its own
// temperature, widened; T / Tc in double at any other.
inline double reducedTemperature(const MixtureState& s, const StateValues& sv, int k) {
    if (sv.gridTemperature) return static_cast<double>(s.tempK / s.constant(k, Tc));
    return sv.T / static_cast<double>(s.constant(k, Tc));
}

// A state temperature or pressure that is not a positive finite number
// (no temperature accepted yet, a typed value beyond single precision)
// leaves every equation undefined.
inline bool stateDefined(const MixtureState& s) {
    return std::isfinite(s.tempK) && s.tempK > 0.0f && std::isfinite(s.pressBar) && s.pressBar > 0.0f;
}

// A critical temperature or pressure of 0, a negative critical temperature,
// or parameters that overflow leave the equation undefined at a position:
// both roots are unavailable. Call after eq.parameters().
template <class Eq>
bool positionDefined(const Eq& eq, const MixtureState& s, int k) {
    const float tc = s.constant(k, Tc), pc = s.constant(k, Pc);
    return stateDefined(s) && tc > 0.0f && pc != 0.0f && eq.parametersFinite();
}

// The pressure equation behind an equation's updates at a position, from
// the very values its iteration uses.
template <class Eq>
EquationParameters parametersOf(Eq& eq, const MixtureState& s, int k, const StateValues& sv) {
    eq.parameters(s, sv, k);
    EquationParameters p;
    p.family = Eq::family;
    p.defined = positionDefined(eq, s, k) && std::isfinite(sv.T) && sv.T > 0;
    p.a = eq.attraction();
    p.b = eq.b;
    p.R = sv.R;
    p.T = sv.T;
    p.P = sv.P;
    return p;
}

// Eq must provide:
//   static constexpr int block;
//   static constexpr bool marks;                      // sets a colour mark
//   static constexpr CubicFamily family;              // δ1, δ2 of its pressure equation
//   double attraction() const;                        // its a(T) after parameters()
//   Mark mark(const MixtureState&, int k) const;      // when marks
//   void parameters(const MixtureState&, const StateValues&, int k);  // sets a, b
//   double a, b;                                      // after parameters()
//   bool parametersFinite() const;                    // a, b (and α) finite
//   double vapour(double V) const;                    // F_vap
//   void liquidStart();                               // the liquid divisor, if any
//   double divisor() const;                           // 1 when the update has none
//   double liquid(double V) const;                    // F_liq
// The frame sets eq.Vig and eq.Vigb before the iterations.
template <class Eq>
void solveBlock(Eq& eq, const MixtureState& s, const FractionTexts& f, ResultGrid& g) {
    constexpr int block = Eq::block;
    const StateValues sv = stateValues(s);
    MixTerms mixTerms{};
    MixResult mixResult{};
    const int positions = std::clamp<int>(s.numComps, 0, 4);

    for (int k = 0; k < positions; ++k) {
        const auto ku = static_cast<std::size_t>(k);
        if constexpr (Eq::marks) g.setCellMark(block, k, eq.mark(s, k));

        const float x = fractionOf(f, k);
        eq.parameters(s, sv, k);
        eq.Vig = (sv.T * sv.R) / sv.P;
        eq.Vigb = eq.Vig + eq.b;
        const bool defined = positionDefined(eq, s, k);

        // Vapour: from the ideal-gas volume, never below b.
        RootOutcome vap;
        if (defined) {
            const double b = eq.b;
            vap = iterate(eq.Vig, [&eq](double V) { return eq.vapour(V); },
                          [b](double V) { return V < b; }, RootEnd::BelowB);
        }
        g.rootDone(block, k, Phase::Vapour, vap);
        if (vap.converged()) {
            const double V = vap.value;
            g.setCellText(block, Column::Vapour, k, formatMask(V, Mask::Vapour));
            g.setCellText(block, Column::Z, k, formatMask(((sv.P * V) / sv.R) / sv.T, Mask::Z));
            mixTerms[0][ku] = static_cast<float>(static_cast<double>(x) * V);
            mixTerms[1][ku] = mixTerms[1][ku] + x;
        } else {
            g.setCellText(block, Column::Vapour, k, "NA");
            g.setCellText(block, Column::Z, k, "NA");
        }

        // Liquid: skipped above the critical temperature; from b, never
        // above the ideal-gas volume (both compared in single precision).
        if (s.aboveCritT[ku]) {
            g.rootDone(block, k, Phase::Liquid, RootOutcome{RootEnd::AboveTc, 0, 0.0});
            g.setCellText(block, Column::Liquid, k, "NA - Tc");
            continue;
        }
        RootOutcome liq;
        if (defined) {
            eq.liquidStart();
            const double D = eq.divisor();
            if (D != 0.0 && std::isfinite(D)) {
                const float vigSingle = static_cast<float>(eq.Vig);
                liq = iterate(eq.b, [&eq](double V) { return eq.liquid(V); },
                              [vigSingle](double V) { return static_cast<float>(V) > vigSingle; },
                              RootEnd::AboveIdealGas);
            }
        }
        g.rootDone(block, k, Phase::Liquid, liq);
        if (liq.converged()) {
            const double V = liq.value;
            g.setCellText(block, Column::Liquid, k, formatMask(V, Mask::Liquid));
            mixTerms[2][ku] = static_cast<float>(static_cast<double>(x) * V);
            mixTerms[3][ku] = mixTerms[3][ku] + x;
        } else {
            g.setCellText(block, Column::Liquid, k, "NA");
        }
    }

    // Mixture row: only when more than one position is in use.
    if (positions > 1) {
        MixtureVolumes(s, mixTerms, mixResult);
        if (mixResult[0] != 0.0f) {
            g.setCellText(block, Column::Vapour, kMixtureRow, formatMask(mixResult[0], Mask::Vapour));
            g.setCellText(block, Column::Z, kMixtureRow, formatMask(mixResult[1], Mask::Z));
        } else {
            g.setCellText(block, Column::Vapour, kMixtureRow, "NA");
            g.setCellText(block, Column::Z, kMixtureRow, "NA");
        }
        if (mixResult[2] != 0.0f)
            g.setCellText(block, Column::Liquid, kMixtureRow, formatMask(mixResult[2], Mask::MixLiquid));
        else
            g.setCellText(block, Column::Liquid, kMixtureRow, "NA");
    }
}

}  // namespace zolvant::detail
