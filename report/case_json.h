#pragma once
// The fast path of the case format: a reader for the lines a case is
// usually written as, and a writer of the answer straight into a buffer.
// Both give exactly what the QJson path gives (case_parser, case_report)
// and leave to it everything out of the ordinary: the reader declines any
// line that is not plain valid JSON of the case's shape (so every error
// message is the QJson path's own), the writer any text that is not ASCII.

#include <QByteArrayView>

#include <optional>
#include <string>

#include "report/case_parser.h"

namespace zolvant::report {

struct CaseReport;

// The case of `line`, or nullopt when the QJson path must decide (an
// error, escapes, non-ASCII bytes, a repeated key, a name the lookup does
// not find or cannot answer, ...).
std::optional<Case> readPlainCase(QByteArrayView line, const ComponentLookup& lookup);

// Appends the answer's JSON line (without newline) as toJsonLine writes it;
// false, with `out` as it was, when the report holds a text that is not
// ASCII or an input error (toJsonLine writes those).
bool appendPlainJsonLine(std::string& out, const CaseReport& report);

}  // namespace zolvant::report
