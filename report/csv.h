#pragma once
// CSV as every table of the program writes it (RFC 4180): a field holding a
// comma, a quote, CR or LF is quoted, its quotes doubled; every record ends
// with CRLF; the text is UTF-8 without byte-order mark. The one place that
// knows the quoting rule.

#include <QString>
#include <QStringList>

#include <string>
#include <string_view>

namespace zolvant::report {

// One field appended to `out`, quoted when it must be.
void appendCsvField(std::string& out, std::string_view field);

// The same rule for a Qt text.
QString csvField(const QString& field);

// The fields quoted, joined by commas, with the record's CRLF.
QString csvRecord(const QStringList& fields);

}  // namespace zolvant::report
