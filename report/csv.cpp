#include "report/csv.h"

#include <algorithm>

namespace zolvant::report {

namespace {

bool needsQuotes(std::string_view field) {
    // A plain loop: find_first_of asks memchr once per character.
    return std::any_of(field.begin(), field.end(), [](char ch) { return ch == ',' || ch == '"' || ch == '\r' || ch == '\n'; });
}

}  // namespace

void appendCsvField(std::string& out, std::string_view field) {
    if (!needsQuotes(field)) {
        out += field;
        return;
    }
    out += '"';
    for (char ch : field) {
        if (ch == '"') out += '"';
        out += ch;
    }
    out += '"';
}

QString csvField(const QString& field) {
    // The special characters are ASCII: UTF-8 keeps them as single bytes.
    const QByteArray utf8 = field.toUtf8();
    if (!needsQuotes(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())))) return field;
    std::string out;
    appendCsvField(out, std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
    return QString::fromStdString(out);
}

QString csvRecord(const QStringList& fields) {
    std::string out;
    bool first = true;
    for (const QString& f : fields) {
        if (!first) out += ',';
        first = false;
        const QByteArray utf8 = f.toUtf8();
        appendCsvField(out, std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
    }
    out += "\r\n";
    return QString::fromStdString(out);
}

}  // namespace zolvant::report
