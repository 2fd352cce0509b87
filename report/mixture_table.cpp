#include "report/mixture_table.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <optional>

#include "solver/text.h"

namespace zolvant::report {

namespace {

constexpr int kDigits = 7;

std::string cell(const std::optional<double>& v) {
    return v && std::isfinite(*v) ? formatDigits(*v, kDigits) : std::string("-");
}

std::string padded(std::string text, std::size_t width) {
    // Widths count characters; the names may be UTF-8.
    std::size_t chars = 0;
    for (const char c : text) chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    if (chars < width) text.append(width - chars, ' ');
    return text;
}

std::string joined(const std::vector<double>& values, const char* unit) {
    if (values.empty()) return "none";
    std::string s;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) s += ", ";
        s += formatDigits(values[i], kDigits);
    }
    return s + " " + unit;
}

}  // namespace

std::string flashTable(const MixtureReport& r, const std::vector<std::string>& names) {
    std::string out = r.equation + "  (T " + formatDigits(r.T, kDigits) + " K, P " + formatDigits(r.P, kDigits) +
                      " bar)\n";
    if (!r.ok) return out + "  no result: " + r.why + "\n";
    if (r.phases == 1) out += "  one phase: " + r.phase.value_or("") + "\n";
    else if (r.phases == 2) out += "  two phases, vapour fraction " + cell(r.beta) + "\n";
    else out += "  no flash result (see the notes)\n";

    std::size_t nameWidth = 9;
    for (int i = 0; i < r.m; ++i)
        if (static_cast<std::size_t>(i) < names.size()) nameWidth = std::max(nameWidth, names[static_cast<std::size_t>(i)].size());
    constexpr std::size_t w = 15;
    out += "  " + padded("Component", nameWidth) + "  " + padded("z", w) + padded("Liquid x", w) +
           padded("Vapour x", w) + padded("Liquid ln phi", w) + "Vapour ln phi\n";
    for (int i = 0; i < r.m; ++i) {
        const auto iu = static_cast<std::size_t>(i);
        const std::string name = iu < names.size() ? names[iu] : "Component " + std::to_string(i + 1);
        out += "  " + padded(name, nameWidth) + "  " + padded(cell(r.z[iu]), w) +
               padded(cell(r.liquid ? std::optional<double>(r.liquid->x[iu]) : std::nullopt), w) +
               padded(cell(r.vapour ? std::optional<double>(r.vapour->x[iu]) : std::nullopt), w) +
               padded(cell(r.liquid ? r.liquid->lnPhi[iu] : std::nullopt), w) +
               cell(r.vapour ? r.vapour->lnPhi[iu] : std::nullopt) + "\n";
    }
    out += "  " + padded("", nameWidth) + "  " + padded("", w) + padded("Liquid", w) + "Vapour\n";
    const auto row = [&](const char* label, const auto& get) {
        out += "  " + padded(label, nameWidth + 2 + w) +
               padded(cell(r.liquid ? get(*r.liquid) : std::nullopt), w) +
               cell(r.vapour ? get(*r.vapour) : std::nullopt) + "\n";
    };
    row("V (cm3/mol)", [](const PhaseReport& p) { return std::optional<double>(p.V); });
    row("Z", [](const PhaseReport& p) { return std::optional<double>(p.Z); });
    row("density (g/cm3)", [](const PhaseReport& p) { return p.density; });
    const SaturationLists& s = r.saturation;
    out += "  bubble P: " + joined(s.bubbleP, "bar") + "; dew P: " + joined(s.dewP, "bar") + "\n";
    out += "  bubble T: " + joined(s.bubbleT, "K") + "; dew T: " + joined(s.dewT, "K") + "\n";
    for (const std::string& n : r.notes) out += "  note: " + n + "\n";
    return out;
}

}  // namespace zolvant::report
