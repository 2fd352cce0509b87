#include "report/mixture_insight.h"

#include <vector>

#include "solver/text.h"

namespace zolvant::report {

namespace {

std::string volumeText(const PhaseReport& p, bool liquid) {
    return formatMask(p.V, liquid ? Mask::MixLiquid : Mask::Vapour) + " cm³/mol, Z = " + formatMask(p.Z, Mask::Z);
}

std::string pressures(const std::vector<double>& list) {
    std::string s;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (i > 0) s += i + 1 == list.size() ? " and " : ", ";
        s += formatDigits(list[i], 4) + " bar";
    }
    return s;
}

std::string joined(const std::vector<std::string>& notes) {
    std::string s;
    for (const std::string& n : notes) {
        if (!s.empty()) s += "; ";
        s += n;
    }
    return s;
}

}  // namespace

bool anyKij(const MixtureReport& r) {
    for (int i = 0; i < r.m; ++i)
        for (int j = 0; j < r.m; ++j)
            if (i != j && r.kij[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)] != 0.0) return true;
    return false;
}

std::string oneFluidTag(const MixtureReport& r) {
    if (!r.ok) return {};
    if (r.phases == 2) return "V+L";
    if (r.phases == 1 && r.phase) return *r.phase == "liquid" ? "L" : "V";
    return {};
}

std::string oneFluidInsight(const MixtureReport& flash, const MixtureReport* saturation, bool kijFromDatabase) {
    std::string s = "One-fluid mixture (van der Waals mixing rule, ";
    s += kijFromDatabase ? "kij from the database" : "kij = 0";
    s += "), " + flash.equation + ": ";
    if (!flash.ok) return s + "no result: " + flash.why + ".";
    if (flash.phases == 1 && flash.phase) {
        const bool liquid = *flash.phase == "liquid";
        const auto& p = liquid ? flash.liquid : flash.vapour;
        s += liquid ? "one phase, liquid-like" : "one phase, vapour-like";
        if (p) s += ". V = " + volumeText(*p, liquid);
        s += ".";
    } else if (flash.phases == 2 && flash.beta) {
        s += "two phases, vapour fraction " + formatMask(*flash.beta, Mask::Fraction) + ".";
        if (flash.liquid) s += " Liquid V = " + volumeText(*flash.liquid, true) + ".";
        if (flash.vapour) s += " Vapour V = " + volumeText(*flash.vapour, false) + ".";
    } else {
        s += "no result";
        if (!flash.notes.empty()) s += ": " + joined(flash.notes);
        return s + ".";
    }
    if (!saturation) return s;
    const SaturationLists& sat = saturation->saturation;
    const std::string at = " at " + formatDigits(flash.T, 6) + " K";
    s += "\nBubble pressure" + at + ": " + (sat.bubbleP.empty() ? std::string("none") : pressures(sat.bubbleP));
    s += "; dew pressure: " + (sat.dewP.empty() ? std::string("none") : pressures(sat.dewP)) + ".";
    if (sat.bubbleP.empty() || sat.dewP.empty()) {
        // Only the reasons about pressures at this temperature; the lists at
        // the pressure are the Mixture Phases window's.
        std::vector<std::string> why;
        for (const std::string& n : sat.notes)
            if (n.find("temperature") == std::string::npos && n.find("cricondenbar") == std::string::npos) why.push_back(n);
        if (!why.empty()) {
            std::string text = joined(why);
            if (text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 'a' + 'A');
            s += " " + text + ".";
        }
    }
    return s;
}

}  // namespace zolvant::report
