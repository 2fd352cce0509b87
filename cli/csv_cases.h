#pragma once
// `zolvant-cli solve --input csv`: cases as rows of a CSV table (RFC 4180,
// UTF-8) whose first line is the header
//
//   Temperature (C),Pressure (bar),Component 1,Fraction 1,...,Component 4,Fraction 4
//
// Each row is one case: the temperature and pressure texts as typed into
// their boxes (empty: the box left empty / never left), then up to four
// components by their name in the component database, each with the text
// of its fraction box (empty: the box keeps its proposal). Trailing pairs
// may be empty or left out; a pair after an empty one is an error. A row
// is one line: a quoted value cannot hold a line break.

#include <QByteArray>
#include <QString>

#include <variant>

namespace zolvant::cli {

// The header, without a line end.
extern const char kCsvInputHeader[];

// Whether the line (its line end and a byte-order mark aside) is the header.
bool isCsvInputHeader(const QByteArray& line);

// One row as the JSON line of the same case, or what is wrong with the row.
std::variant<QByteArray, QString> csvRowAsCaseLine(const QByteArray& row);

// Added to the message of a JSON Lines input whose first line is not JSON.
QString notJsonLinesHint();

}  // namespace zolvant::cli
