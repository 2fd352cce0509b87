#pragma once
// Everything the real-mixture model says about a state, by one equation,
// in one call: what a front end (the command-line tool, a window) prints.
//
// Inputs: the grid's MixtureState (constants, tempK, pressBar), the feed
// z in position order (feedFractions of mixture_eos.h reads it from the
// fraction texts as the grid does), a symmetric kij matrix in position
// order (the caller picks the pairs that apply to the equation; the model
// refuses an unsymmetric one rather than symmetrising it), and each
// position's molar mass in g/mol (nullopt: no density).

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "solver/envelope.h"
#include "solver/flash.h"
#include "solver/mixture_eos.h"

namespace zolvant {

using MolarMasses = std::array<std::optional<double>, kMaxComponents>;

struct PhaseReport {
    CompVector x{};                                  // mole fractions, positions 0..m−1
    double V = 0.0;                                  // cm³/mol
    double Z = 0.0;
    std::optional<double> density;                   // g/cm³; nullopt when a needed MolWt is missing
    std::array<std::optional<double>, kMaxComponents> lnPhi{};  // nullopt where not defined
};

// The saturation points at the state's T (pressures) and P (temperatures),
// each list ascending and possibly empty; `notes` says why a list is empty.
struct SaturationLists {
    std::vector<double> bubbleP, dewP;  // bar, at T
    std::vector<double> bubbleT, dewT;  // K, at P
    std::vector<std::string> notes;
};

struct MixtureReport {
    int block = 0;
    std::string equation;               // the grid's block name
    bool ok = false;                    // false: `why` instead of any number (undefined
    std::string why;                    //   parameters, unusable kij, bad T or P)
    double T = 0.0, P = 0.0;            // K, bar
    int m = 0;                          // positions in use
    CompVector z{};
    KijMatrix kij{};
    int phases = 0;                     // 1 or 2; 0 when the flash gave a reason (in notes)
    std::optional<std::string> phase;   // "liquid" or "vapour" for one phase
    std::optional<double> beta;         // vapour fraction for two phases
    std::optional<PhaseReport> liquid, vapour;
    SaturationLists saturation;
    Envelope envelope;
    std::vector<std::string> notes;     // the flash's and the saturation lists' reasons
};

struct ReportOptions {
    bool saturation = true;  // the four lists (and so the envelope they come from)
    EnvelopeOptions envelope;
};

MixtureReport mixtureReport(int block, const MixtureState& s, const CompVector& z, const KijMatrix& kij,
                            const MolarMasses& molWt, const ReportOptions& options = {});

// The saturation points of z at T and P from its traced envelope: every
// crossing of T (or P), each refined by Newton's method at that T (or P);
// below the envelope's start pressure, a direct solve from its end points.
// For one active component the equation's saturation pressure (phase.h),
// bit for bit, and its inverse.
SaturationLists saturationPoints(const Fluid& f, const CompVector& z, const Envelope& env, double T, double P);

}  // namespace zolvant
