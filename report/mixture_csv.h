#pragma once
// The phase envelopes as CSV, as `zolvant-cli envelope` prints them and the
// Mixture Phases window saves them (RFC 4180, UTF-8, CRLF):
//
//   Equation,Point,Branch,T (K),P (bar),Liquid V (cm3/mol),Vapour V (cm3/mol)
//
// For each report in the order given: its traced points in tracing order,
// Point numbered from 1, Branch "bubble", "dew" or "critical" (the critical
// point as the trace passed it), both phases' molar volumes; then its
// special points, one record each where the envelope has it, Point naming
// it: "critical" (Branch "critical", V in both volume columns),
// "cricondenbar" and "cricondentherm" (Branch the branch of the traced
// point nearest to it, the volume columns empty). Numbers are the shortest
// texts that read back the same double. A report that gave a reason
// instead of numbers has no records.

#include <string>
#include <vector>

#include "solver/mixture_model.h"

namespace zolvant::report {

// The header record, with its CRLF.
std::string envelopeCsvHeader();

// One report's records (no header).
void appendEnvelopeCsv(std::string& out, const MixtureReport& report);

// The header, then every report's records.
std::string envelopeCsv(const std::vector<zolvant::MixtureReport>& reports);

}  // namespace zolvant::report
