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
// "cricondenbar" and "cricondentherm" (Branch "critical" where it is the
// critical point itself, otherwise the branch of the nearest traced bubble
// or dew point; the volume columns empty). Numbers are the shortest
// texts that read back the same double. A report that gave a reason
// instead of numbers has no records.

#include <string>
#include <vector>

#include "solver/mixture_model.h"

namespace zolvant::report {

// The flash results as CSV, as `zolvant-cli flash --csv` prints them:
//
//   Equation,T (K),P (bar),Phases,Phase,Beta,Row,Component,z,Liquid x,
//   Vapour x,Liquid ln phi,Vapour ln phi,Liquid V (cm3/mol),Vapour V (cm3/mol),
//   Liquid Z,Vapour Z,Liquid density (g/cm3),Vapour density (g/cm3),
//   Bubble P (bar),Dew P (bar),Bubble T (K),Dew T (K),Notes
//
// (one line) with one record per equation and position in use (Row from 1,
// Component its name): the equation's values repeated on each of its
// records, a field empty where the value is absent (the missing phase, no
// density, a reason instead of numbers), each saturation list's values
// ascending and separated by a space, the notes joined by "; ".
std::string flashCsvHeader();
void appendFlashCsv(std::string& out, const MixtureReport& report, const std::vector<std::string>& names);
std::string flashCsv(const std::vector<zolvant::MixtureReport>& reports, const std::vector<std::string>& names);

// The envelope's header record, with its CRLF.
std::string envelopeCsvHeader();

// One report's records (no header).
void appendEnvelopeCsv(std::string& out, const MixtureReport& report);

// The header, then every report's records.
std::string envelopeCsv(const std::vector<zolvant::MixtureReport>& reports);

}  // namespace zolvant::report
