#pragma once
// The cases of `zolvant-cli solve` from their sources to the output: read in
// blocks as they come, parsed, solved and written out on all cores (the
// names looked up by one thread at a time), and each block's answers
// written and flushed in order as soon as they are all done. A pipe or a
// terminal delivers what has been typed so far, so a case sent alone gets
// its answer at once; a file is read a megabyte at a time, so the memory
// stays bounded whatever its length.

#include <QIODevice>
#include <QString>

#include <functional>
#include <string>
#include <vector>

#include "report/case_report.h"

namespace zolvant::cli {

using report::CaseReport;
using report::ComponentLookup;

struct CaseSource {
    QString label;  // "" for standard input
    QIODevice* device;
};

struct StreamCounts {
    int lines = 0;     // lines answered (blank lines are skipped)
    int badLines = 0;  // of them, lines that were not cases
    bool outputFailed = false;  // a write to `out` failed: reading stopped there
};

// How the cases are written: JSON Lines, or CSV rows under their header
// (csv_cases.h).
enum class InputForm { JsonLines, Csv };

// format(report, caseNumber) appends the answer of one line; it runs on the
// worker threads, once per answered line.
using CaseFormat = std::function<void(std::string& out, const CaseReport& report, int caseNumber)>;

// A CSV source's header is not a case; a first line that is not the header
// is answered as a line that is not a case. A JSON Lines source whose first
// line does not begin as JSON ('{' or '[') is told how to give CSV.
StreamCounts solveCases(const std::vector<CaseSource>& sources, const ComponentLookup& lookup, const CaseFormat& format,
                        QIODevice& out, InputForm input = InputForm::JsonLines);

}  // namespace zolvant::cli
