#pragma once
// The P–V isotherms of one component at the state of a Solve: for each of
// the six equations its curve, the roots the grid shows, the cubic's real
// roots at the state pressure and the saturation line. The window draws it
// and `zolvant-cli isotherm` prints it; both read it from here. Everything
// comes from the phase module (the parameters the iteration used, its roots
// and its saturation pressure): nothing is recomputed another way.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "solver/case.h"
#include "solver/insight.h"
#include "solver/phase.h"

namespace zolvant {

// One sample of a curve; a non-finite P (NaN) is a gap, never joined across.
struct CurvePoint {
    double V = 0.0;  // cm³/mol
    double P = 0.0;  // bar
};

// Base samples per curve unless asked otherwise, and the allowed range.
inline constexpr int kIsothermPoints = 400;
inline constexpr int kIsothermPointsMin = 10;
inline constexpr int kIsothermPointsMax = 100000;

// A pressure window that shows the loops and the state pressure: from the
// lowest loop minimum (or 0) to a little above the highest of the state
// pressure, the loop maxima and the saturation pressures; the liquid
// branch's climb towards b is cut off there.
struct PressureWindow {
    double low = 0.0, high = 1.0;
};

// Samples P(V) from vLow to vHigh (both > 0): `count` volumes in geometric
// progression (even steps on the logarithmic volume axis), then a geometric
// midpoint inserted wherever a step changes P by more than 1/200 of the
// window's height, up to six halvings per step and at most 4·count points
// in all, so that the loop stays smooth where it turns. Steps lying wholly
// above or below the window are not refined: they are clipped anyway.
// `extra` volumes in range (roots, the loop's extremes, saturation volumes)
// are sampled exactly too, so the curve passes through them. Ascending in
// V; a non-finite pressure is stored as NaN, a gap.
std::vector<CurvePoint> sampleCurve(const std::function<double(double)>& pressure, double vLow, double vHigh,
                                    int count, const PressureWindow& window, const std::vector<double>& extra = {});

struct IsothermCurve {
    int block = 0;
    std::string name;  // the grid's block heading
    EquationParameters parameters;
    bool defined = false;  // false: no curve (the reason is in `note`)
    std::string note;
    std::vector<CurvePoint> points;
    std::vector<double> roots;  // the cubic's real roots at the state pressure, ascending
    // The grid's own roots: how the iteration ended, its value when it converged.
    std::optional<RootOutcome> liquid, vapour;
    std::optional<IsothermLoop> loop;
    Saturation saturation;                        // pressure, or why there is none
    std::optional<double> saturationLiquid, saturationVapour;  // volumes at it
};

struct IsothermModel {
    int row = 0;
    std::string component;  // the row's caption ("Component N" when it has none)
    double T = 0.0;         // K, as the equations used it
    double P = 0.0;         // bar
    std::array<IsothermCurve, kBlocks> curves;
};

// One component alone at a state, its entries made as the window makes
// them (fraction 1): the case's outcome and, when solved, what a Solve
// leaves for the isotherm model (the roots' outcomes included).
struct PureCase {
    CaseOutcome outcome;
    SolvedCase solved;
};
PureCase solvePure(const CaseComponent& component, const std::string& celsius, const std::string& pressure,
                   const std::string& name);

// The model of row `row` (0..numComps-1) of a Solve.
IsothermModel isothermModel(const SolvedCase& solved, int row, int points = kIsothermPoints);

// The volume range every curve of a model spans: from just above its own b
// to four times the ideal-gas volume at the state.
double curveStart(const EquationParameters& p);
double curveEnd(const EquationParameters& p);

PressureWindow isothermPressureWindow(const IsothermModel& m);

}  // namespace zolvant
