#include "report/mixture_phases_csv.h"

#include "report/csv.h"
#include "solver/text.h"

namespace zolvant::report {

namespace {

constexpr double kKelvinOffset = 273.15;

std::string list(const std::vector<double>& values, double offset) {
    std::string s;
    for (double v : values) {
        if (!s.empty()) s += ';';
        s += shortestText(v - offset);
    }
    return s;
}

void field(std::string& out, const std::string& text) {
    out += ',';
    appendCsvField(out, text);
}

}  // namespace

std::string mixturePhasesCsv(const std::vector<MixtureReport>& reports) {
    std::string s = std::string(kMixturePhasesHeader) + "\r\n";
    for (const MixtureReport& r : reports) {
        appendCsvField(s, r.equation);
        const bool two = r.ok && r.phases == 2;
        const bool one = r.ok && r.phases == 1;
        field(s, two ? "2" : one ? "1" : "");
        field(s, two && r.beta ? shortestText(*r.beta) : "");
        const bool haveL = (one || two) && r.liquid, haveV = (one || two) && r.vapour;
        field(s, haveL ? shortestText(r.liquid->V) : "");
        field(s, haveV ? shortestText(r.vapour->V) : "");
        field(s, haveL ? shortestText(r.liquid->Z) : "");
        field(s, haveV ? shortestText(r.vapour->Z) : "");
        field(s, list(r.saturation.bubbleP, 0.0));
        field(s, list(r.saturation.dewP, 0.0));
        field(s, list(r.saturation.bubbleT, kKelvinOffset));
        field(s, list(r.saturation.dewT, kKelvinOffset));
        s += "\r\n";
    }
    return s;
}

}  // namespace zolvant::report
