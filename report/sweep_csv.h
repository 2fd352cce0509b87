#pragma once
// The sweep's CSV table, as `zolvant-cli sweep` prints it and the Sweep
// window saves it (RFC 4180, UTF-8, CRLF):
//
//   Point,Temperature (C),Pressure (bar),Equation,Row,Liquid (cm3/mol),Vapor (cm3/mol),Z,Mark,Error,Message
//
// then, with the insight, Stable and Psat (bar). One record per point,
// equation and row in use, as `solve --csv` writes a case's records, each
// led by the point's number (from 1) and texts.

#include <QString>

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "report/case_report.h"
#include "solver/sweep.h"
#include "solver/sweep_point.h"

namespace zolvant::report {

// The header record, with its CRLF.
std::string sweepCsvHeader(bool insight);

// The records of point `index` (0-based) whose case gave `report`.
void appendSweepPointCsv(std::string& out, std::size_t index, const SweepPointTexts& texts, const CaseReport& report,
                         bool insight);

// The same records from a point kept by computeSweepPoint (no insight
// columns): `names` are the rows' component names, as the case gave them.
void appendSweepPointCsv(std::string& out, std::size_t index, const SweepPoint& point,
                         const std::array<QString, 4>& names);

// The whole table of kept points, header first, without the insight.
std::string sweepCsv(const std::vector<SweepPoint>& points, const std::array<QString, 4>& names);

}  // namespace zolvant::report
