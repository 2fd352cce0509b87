#include "report/mixture_csv.h"

#include <cmath>
#include <cstddef>
#include <limits>
#include <optional>

#include "report/csv.h"
#include "solver/text.h"

namespace zolvant::report {

namespace {

void appendRecord(std::string& out, const std::string& equation, const std::string& point, const char* branch,
                  double T, double P, const double* liquidV, const double* vapourV) {
    appendCsvField(out, equation);
    out += ',';
    appendCsvField(out, point);
    out += ',';
    out += branch;
    out += ',';
    out += shortestText(T);
    out += ',';
    out += shortestText(P);
    out += ',';
    if (liquidV) out += shortestText(*liquidV);
    out += ',';
    if (vapourV) out += shortestText(*vapourV);
    out += "\r\n";
}

// The branch a special point lies on: "critical" where it is the critical
// point itself, otherwise that of the nearest traced bubble or dew point
// (in relative terms).
const char* branchOf(const Envelope& e, double T, double P) {
    if (e.critical && e.critical->T == T && e.critical->P == P) return envelopeBranchText(EnvelopeBranch::Critical);
    const char* branch = envelopeBranchText(EnvelopeBranch::Bubble);
    double best = std::numeric_limits<double>::infinity();
    for (const EnvelopePoint& p : e.points) {
        if (p.branch == EnvelopeBranch::Critical) continue;
        const double d = std::hypot((p.T - T) / T, (p.P - P) / P);
        if (d < best) {
            best = d;
            branch = envelopeBranchText(p.branch);
        }
    }
    return branch;
}

void field(std::string& out, double v) {
    out += ',';
    if (std::isfinite(v)) out += shortestText(v);
}

void field(std::string& out, const std::optional<double>& v) {
    if (v) return field(out, *v);
    out += ',';
}

void field(std::string& out, const std::vector<double>& values) {
    out += ',';
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) out += ' ';
        out += shortestText(values[i]);
    }
}

}  // namespace

std::string flashCsvHeader() {
    return "Equation,T (K),P (bar),Phases,Phase,Beta,Row,Component,z,Liquid x,Vapour x,Liquid ln phi,"
           "Vapour ln phi,Liquid V (cm3/mol),Vapour V (cm3/mol),Liquid Z,Vapour Z,Liquid density (g/cm3),"
           "Vapour density (g/cm3),Bubble P (bar),Dew P (bar),Bubble T (K),Dew T (K),Notes\r\n";
}

void appendFlashCsv(std::string& out, const MixtureReport& r, const std::vector<std::string>& names) {
    std::string notes = r.ok ? std::string() : r.why;
    if (r.ok)
        for (const std::string& n : r.notes) notes += (notes.empty() ? "" : "; ") + n;
    const std::optional<PhaseReport> none;
    const std::optional<PhaseReport>& L = r.ok ? r.liquid : none;
    const std::optional<PhaseReport>& V = r.ok ? r.vapour : none;
    for (int i = 0; i < r.m; ++i) {
        const auto iu = static_cast<std::size_t>(i);
        appendCsvField(out, r.equation);
        field(out, r.T);
        field(out, r.P);
        out += ',';
        if (r.ok && r.phases > 0) out += std::to_string(r.phases);
        out += ',';
        if (r.ok && r.phase) out += *r.phase;
        field(out, r.ok ? r.beta : std::nullopt);
        out += ',';
        out += std::to_string(i + 1);
        out += ',';
        if (iu < names.size()) appendCsvField(out, names[iu]);
        field(out, r.z[iu]);
        field(out, L ? std::optional<double>(L->x[iu]) : std::nullopt);
        field(out, V ? std::optional<double>(V->x[iu]) : std::nullopt);
        field(out, L ? L->lnPhi[iu] : std::nullopt);
        field(out, V ? V->lnPhi[iu] : std::nullopt);
        field(out, L ? std::optional<double>(L->V) : std::nullopt);
        field(out, V ? std::optional<double>(V->V) : std::nullopt);
        field(out, L ? std::optional<double>(L->Z) : std::nullopt);
        field(out, V ? std::optional<double>(V->Z) : std::nullopt);
        field(out, L ? L->density : std::nullopt);
        field(out, V ? V->density : std::nullopt);
        const SaturationLists empty;
        const SaturationLists& s = r.ok ? r.saturation : empty;
        field(out, s.bubbleP);
        field(out, s.dewP);
        field(out, s.bubbleT);
        field(out, s.dewT);
        out += ',';
        appendCsvField(out, notes);
        out += "\r\n";
    }
}

std::string flashCsv(const std::vector<zolvant::MixtureReport>& reports, const std::vector<std::string>& names) {
    std::string out = flashCsvHeader();
    for (const MixtureReport& r : reports) appendFlashCsv(out, r, names);
    return out;
}

std::string envelopeCsvHeader() {
    return "Equation,Point,Branch,T (K),P (bar),Liquid V (cm3/mol),Vapour V (cm3/mol)\r\n";
}

void appendEnvelopeCsv(std::string& out, const MixtureReport& r) {
    if (!r.ok) return;
    const Envelope& e = r.envelope;
    int n = 0;
    for (const EnvelopePoint& p : e.points)
        appendRecord(out, r.equation, std::to_string(++n), envelopeBranchText(p.branch), p.T, p.P, &p.liquidV,
                     &p.vapourV);
    if (e.critical)
        appendRecord(out, r.equation, "critical", envelopeBranchText(EnvelopeBranch::Critical), e.critical->T,
                     e.critical->P, &e.critical->V, &e.critical->V);
    if (e.cricondenbar)
        appendRecord(out, r.equation, "cricondenbar", branchOf(e, e.cricondenbar->T, e.cricondenbar->P),
                     e.cricondenbar->T, e.cricondenbar->P, nullptr, nullptr);
    if (e.cricondentherm)
        appendRecord(out, r.equation, "cricondentherm", branchOf(e, e.cricondentherm->T, e.cricondentherm->P),
                     e.cricondentherm->T, e.cricondentherm->P, nullptr, nullptr);
}

std::string envelopeCsv(const std::vector<zolvant::MixtureReport>& reports) {
    std::string out = envelopeCsvHeader();
    for (const MixtureReport& r : reports) appendEnvelopeCsv(out, r);
    return out;
}

}  // namespace zolvant::report
