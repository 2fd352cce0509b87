#pragma once
// `zolvant-cli solve --echo`: each output record carries the inputs of its
// case, so that a results file can be read without its input beside it.
//
//   CSV: ten fields after Message, named as the CSV input's header:
//     Temperature (C),Pressure (bar),Component 1,Fraction 1,...,Fraction 4
//   the temperature and pressure texts, then each component's name ("" for
//   one given by its constants alone) and fraction text ("" where the box
//   keeps its proposal); all ten empty for a line that is not a case.
//   JSON: the key "input" last in each line:
//     {"temperature": T, "pressure": P, "components": [{"name": N, "fraction": F}, ...]}
//   texts as given, null where a text or name is not given; "input": null
//   for a line that is not a case.

#include <string>

#include "report/case_report.h"

namespace zolvant::report {

// The ten field names, each after a comma, without CRLF.
std::string echoCsvHeaderFields();

// The case's ten fields, each after a comma.
void appendEchoCsvFields(std::string& out, const CaseReport& report);

// `line` is one JSON object, with or without its line end: the key "input"
// is added at its end, the line end kept.
void addEchoJson(std::string& line, const CaseReport& report);

}  // namespace zolvant::report
