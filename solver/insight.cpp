#include "solver/insight.h"

#include <algorithm>

#include "solver/frame.h"
#include "solver/solve.h"
#include "solver/text.h"

namespace zolvant {
namespace {

const char* const kVolume = " cm\u00b3/mol";

std::string caption(const SolvedCase& c, int row) {
    const std::string& name = c.names[static_cast<std::size_t>(row)];
    return name.empty() ? "Component " + std::to_string(row + 1) : name;
}

std::string volume(double v) { return formatDigits(v, 6) + kVolume; }

const char* phaseName(Phase p) { return p == Phase::Vapour ? "vapour" : "liquid"; }

// Why a root that did not converge ended, as a clause.
std::string whyNot(const RootOutcome& r, Phase phase) {
    const std::string at = "at step " + std::to_string(r.steps) + " of " + std::to_string(detail::kMaxSteps);
    switch (r.end) {
    case RootEnd::Converged: return "converged " + at;
    case RootEnd::BelowB: return "the iteration stopped " + at + ": the vapour iterate fell below b";
    case RootEnd::AboveIdealGas:
        return "the iteration stopped " + at + ": the liquid iterate rose above the ideal-gas volume";
    case RootEnd::StepLimit:
        return "no convergence by step " + std::to_string(detail::kMaxSteps) + " (the result of step " +
               std::to_string(r.steps) + " is discarded)";
    case RootEnd::NotFinite: return "the iteration ran off to infinity " + at;
    case RootEnd::Undefined:
        return std::string("the equation is undefined here (a critical constant is 0 or negative, or the ") +
               "state or the parameters are out of range); no " + phaseName(phase) + " iteration was run";
    case RootEnd::AboveTc: return "the component is above its critical temperature: no liquid";
    }
    return {};
}

// The root of the phase the equation has, and whether the iteration found it.
std::string rootSentence(const PhaseView& v, Phase phase, bool found) {
    if (v.roots.empty()) return {};
    if (v.roots.size() == 1)
        return " The equation's only real root here is " + volume(v.roots.front()) + ".";
    const double root = phase == Phase::Liquid ? v.roots.front() : v.roots.back();
    return " The equation's " + std::string(phaseName(phase)) + " root is " + volume(root) +
           (found ? "." : "; the iteration missed it.");
}

std::string stateSentence(const SolvedCase& c, const PhaseView& v, Phase phase, bool found) {
    std::string s = " Tr = " + formatDigits(v.Tr, 3) + ", Pr = " + formatDigits(v.Pr, 3) + ".";
    const std::string T = formatGeneral(c.state.tempK), P = formatGeneral(c.state.pressBar);
    if (v.stable == StablePhase::Supercritical) {
        if (v.Tr >= 1.0)
            return s + " Above the critical temperature there is no saturation pressure: the fluid is supercritical.";
        return s + " This equation has no saturation pressure at " + T +
               " K (its own critical temperature lies below Tc): by it the fluid is supercritical.";
    }
    if (!v.saturation.pressure) return v.saturation.none.empty() ? s : s + " No saturation pressure: " + v.saturation.none + ".";
    s += " Saturation pressure at " + T + " K by this equation: " + formatDigits(*v.saturation.pressure, 4) +
         " bar; at " + P + " bar the stable phase is " + stablePhaseText(*v.stable);
    const bool own = (phase == Phase::Vapour && v.stable == StablePhase::Vapour) ||
                     (phase == Phase::Liquid && v.stable == StablePhase::Liquid);
    if (v.stable == StablePhase::Saturated) return s + ": liquid and vapour coexist.";
    if (!found) return s + ".";
    if (own) return s + ": this " + phaseName(phase) + " volume is the stable one.";
    if (v.roots.size() > 1) return s + ": this " + std::string(phaseName(phase)) + " volume is metastable.";
    return s + ".";
}

// Z as the deviation from the ideal gas it shows.
std::string zMeaning(const std::string& text, const char* of) {
    const double z = leadingNumber(text);
    std::string s = text + " = P\u00b7V/(R\u00b7T) of " + of + "; Z = 1 is the ideal gas.";
    if (z < 1.0)
        s += " Here the volume is " + formatDigits((1.0 - z) * 100.0, 3) +
             " % below the ideal gas's: the attraction between the molecules outweighs their own volume.";
    else if (z > 1.0)
        s += " Here the volume is " + formatDigits((z - 1.0) * 100.0, 3) +
             " % above the ideal gas's: the molecules' own volume outweighs their attraction.";
    return s;
}

std::string componentCell(const SolvedCase& c, int block, Column column, int row, const std::string& text) {
    const std::string head = caption(c, row) + ", " + blockName(block) + ", ";
    const PhaseView v = phaseView(block, c.state, row);
    if (column == Column::Z) {
        const auto vap = c.roots.outcome(block, row, Phase::Vapour);
        if (vap && vap->converged()) return head + "Z: " + zMeaning(text, "the vapour volume");
        return head + "Z: NA, because the vapour volume is NA" + (vap ? " (" + whyNot(*vap, Phase::Vapour) + ")" : "") + ".";
    }
    const Phase phase = column == Column::Liquid ? Phase::Liquid : Phase::Vapour;
    const auto r = c.roots.outcome(block, row, phase);
    if (r && r->end == RootEnd::AboveTc) {
        return head + "liquid: NA - Tc. The temperature " + formatGeneral(c.state.tempK) +
               " K is at or above the critical temperature " + formatGeneral(c.state.constant(row, Tc)) +
               " K: there is no liquid." + rootSentence(v, Phase::Vapour, true) + stateSentence(c, v, phase, false);
    }
    const bool found = r && r->converged();
    std::string s = head + phaseName(phase) + ": ";
    if (found)
        s += text + kVolume + ", converged at step " + std::to_string(r->steps) + " of " +
             std::to_string(detail::kMaxSteps) + ".";
    else
        s += text + ": " + (r ? whyNot(*r, phase) : std::string("no root was computed")) + ".";
    return s + rootSentence(v, phase, found) + stateSentence(c, v, phase, found);
}

std::string mixtureCell(const SolvedCase& c, int block, Column column, const std::string& text) {
    const std::string head = std::string("Mixture, ") + blockName(block) + ", ";
    const Phase phase = column == Column::Liquid ? Phase::Liquid : Phase::Vapour;
    std::string entered, missing;
    for (int k = 0; k < std::clamp<int>(c.state.numComps, 0, 4); ++k) {
        if (!(detail::fractionOf(c.fractions, k) > 0.0f)) continue;
        const std::string item = caption(c, k) + " (" + c.fractions[static_cast<std::size_t>(k)] + ")";
        const auto r = c.roots.outcome(block, k, phase);
        std::string& list = r && r->converged() ? entered : missing;
        list += (list.empty() ? "" : ", ") + item;
    }
    const std::string rule =
        " The mixture volume is the mole-fraction average of the pure-component volumes (no interaction "
        "between the species).";
    const std::string without =
        missing.empty() ? "" : " Without a " + std::string(phaseName(phase)) + " volume, left out: " + missing + ".";
    if (column == Column::Z) {
        if (text == "NA") return head + "Z: NA, because the mixture has no vapour volume." + without;
        return head + "Z: " + zMeaning(text, "the mixture's vapour volume") + " Averaged over " + entered + "." +
               without + rule;
    }
    if (text == "NA") return head + phaseName(phase) + ": NA: no row has a " + phaseName(phase) + " volume." + without + rule;
    return head + phaseName(phase) + ": " + text + kVolume + ", the mole-fraction average of the " + phaseName(phase) +
           " volumes of " + entered + "." + without + rule;
}

}  // namespace

const char* stablePhaseTag(StablePhase s) {
    switch (s) {
    case StablePhase::Vapour: return "V";
    case StablePhase::Liquid: return "L";
    case StablePhase::Saturated: return "V=L";
    case StablePhase::Supercritical: return "SC";
    }
    return "";
}

std::string stablePhaseTagExplanation(StablePhase s, const std::string& subject, const std::string& equation) {
    const std::string head = std::string(stablePhaseTag(s)) + ": " + subject + " at this state would be ";
    const std::string by = " by " + equation;
    switch (s) {
    case StablePhase::Vapour:
        return head + "a vapour" + by + ": the pressure is below its saturation pressure at this temperature.";
    case StablePhase::Liquid:
        return head + "a liquid" + by + ": the pressure is above its saturation pressure at this temperature.";
    case StablePhase::Saturated:
        return head + "at saturation" + by + ": the pressure is its saturation pressure, where liquid and vapour "
               "coexist (V=L).";
    case StablePhase::Supercritical:
        return head + "supercritical" + by + ": at or above its critical temperature, or where the equation has "
               "no saturation pressure, there is no separate liquid and vapour.";
    }
    return {};
}

std::string markExplanation(Mark mark, const std::string& name, int block) {
    const char* constant = mark == Mark::ZeroOmega ? "acentric factor \u03c9" : mark == Mark::ZeroK1 ? "K1" : nullptr;
    if (!constant) return {};
    const char* symbol = mark == Mark::ZeroOmega ? "\u03c9" : "K1";
    return std::string("Reddish background: the ") + constant + " of " + name +
           " is missing (or 0) in the database; " + blockName(block) + " used " + symbol + " = 0 instead.";
}

std::string cellInsight(const SolvedCase& solved, int block, Column column, int row, const std::string& text) {
    if (text.empty() || block < 0 || block >= kBlocks || row < 0 || row > kMixtureRow) return {};
    if (row == kMixtureRow) return solved.state.numComps > 1 ? mixtureCell(solved, block, column, text) : std::string();
    if (row >= solved.state.numComps) return {};
    std::string s = componentCell(solved, block, column, row, text);
    // The colour of a vapour or Z cell says a constant was missing: its own line.
    if (column != Column::Liquid) {
        const std::string mark = markExplanation(cellMark(block, solved.state, row), caption(solved, row), block);
        if (!mark.empty()) s += "\n" + mark;
    }
    return s;
}

}  // namespace zolvant
