#include "report/mixture_csv.h"

#include <cmath>
#include <limits>

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

// The branch of the traced point nearest to (T, P), in relative terms.
const char* nearestBranch(const Envelope& e, double T, double P) {
    const char* branch = envelopeBranchText(EnvelopeBranch::Bubble);
    double best = std::numeric_limits<double>::infinity();
    for (const EnvelopePoint& p : e.points) {
        const double d = std::hypot((p.T - T) / T, (p.P - P) / P);
        if (d < best) {
            best = d;
            branch = envelopeBranchText(p.branch);
        }
    }
    return branch;
}

}  // namespace

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
        appendRecord(out, r.equation, "cricondenbar", nearestBranch(e, e.cricondenbar->T, e.cricondenbar->P),
                     e.cricondenbar->T, e.cricondenbar->P, nullptr, nullptr);
    if (e.cricondentherm)
        appendRecord(out, r.equation, "cricondentherm", nearestBranch(e, e.cricondentherm->T, e.cricondentherm->P),
                     e.cricondentherm->T, e.cricondentherm->P, nullptr, nullptr);
}

std::string envelopeCsv(const std::vector<zolvant::MixtureReport>& reports) {
    std::string out = envelopeCsvHeader();
    for (const MixtureReport& r : reports) appendEnvelopeCsv(out, r);
    return out;
}

}  // namespace zolvant::report
