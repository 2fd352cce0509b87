#pragma once
// `zolvant-cli solve --csv`: one CSV table (RFC 4180, UTF-8, CRLF) for all
// cases of a run.
//
//   Case,Equation,Row,Liquid (cm3/mol),Vapor (cm3/mol),Z,Mark,Error,Message
//
// A solved case gives one record per equation and row in use: the case's
// number (its place among the answered lines, as in the JSON output), the
// equation's name, the row ("n-Butane", "Component 2" for a row without a
// name, "Mixture" when more than one row is in use), the three cell texts
// and the mark of the vapour and Z cells as the JSON output writes it
// (empty, "window" or the colour number; always empty for the mixture).
// Error and Message stay empty. A case that is refused or is not a case
// gives one record with only Case, Error (the title: "Mixture ERROR",
// "Input ERROR", ...) and Message filled.

#include <QString>

#include <functional>
#include <string>
#include <string_view>

#include "report/case_report.h"
#include "report/csv.h"

namespace zolvant::report {

// The header record, with its CRLF.
QString csvHeader();

// The records of one case, each with its CRLF.
QString toCsvRecords(const CaseReport& report, int caseNumber);

// The same records in UTF-8 appended to `out`, each beginning with `lead`
// (the fields before Equation, already quoted, each followed by a comma)
// instead of the case's number: the sweep writes its points with them.
// `extra`, when given, appends further fields (each after a comma) at the
// end of every record: for block `block` and grid row `row`, or, for the one
// record of a refused case or a line that is not a case, block -1.
using CsvExtra = std::function<void(std::string& out, int block, int row)>;
void appendCsvRecords(std::string& out, std::string_view lead, const CaseReport& report, const CsvExtra& extra = {});

}  // namespace zolvant::report
