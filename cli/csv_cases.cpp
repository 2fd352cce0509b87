#include "cli/csv_cases.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <string>
#include <vector>

#include "db/components_csv.h"

namespace zolvant::cli {

const char kCsvInputHeader[] =
    "Temperature (C),Pressure (bar),Component 1,Fraction 1,Component 2,Fraction 2,Component 3,Fraction 3,"
    "Component 4,Fraction 4";

namespace {

constexpr int kFields = 10;

QByteArray withoutLineEnd(QByteArray line) {
    if (line.startsWith("\xEF\xBB\xBF")) line.remove(0, 3);
    while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
    return line;
}

}  // namespace

bool isCsvInputHeader(const QByteArray& line) { return withoutLineEnd(line) == kCsvInputHeader; }

std::variant<QByteArray, QString> csvRowAsCaseLine(const QByteArray& row) {
    std::vector<db::CsvRecord> records;
    try {
        records = db::detail::parseCsv(withoutLineEnd(row).toStdString(), std::string());
    } catch (const db::CsvLineError& e) {
        // The reader names the line of its own text; the caller names the row.
        const std::string what = e.what();
        const std::size_t at = what.find("': ");
        return QStringLiteral("not a CSV row: ") +
               QString::fromStdString(at == std::string::npos ? what : what.substr(at + 3));
    }
    if (records.size() != 1)
        return QStringLiteral("not a CSV row: a row is one line (a quoted value cannot hold a line break)");
    std::vector<std::string>& cells = records.front().cells;
    if (static_cast<int>(cells.size()) > kFields)
        return QStringLiteral("%1 values; a row has at most %2 (%3)").arg(cells.size()).arg(kFields).arg(
            QString::fromLatin1(kCsvInputHeader));
    cells.resize(kFields);
    // Values are taken as given, spaces included, as typed into the boxes.
    const auto text = [](const std::string& cell) { return QString::fromStdString(cell); };

    QJsonObject c;
    if (!text(cells[0]).isEmpty()) c[QStringLiteral("temperature")] = text(cells[0]);
    if (!text(cells[1]).isEmpty()) c[QStringLiteral("pressure")] = text(cells[1]);
    QJsonArray components;
    int emptyPair = 0;  // the first pair left empty, 1-based
    for (int k = 1; k <= 4; ++k) {
        const QString name = text(cells[static_cast<std::size_t>(2 * k)]);
        const QString fraction = text(cells[static_cast<std::size_t>(2 * k + 1)]);
        if (name.isEmpty()) {
            if (!fraction.isEmpty()) return QStringLiteral("Fraction %1 is given without Component %1").arg(k);
            if (!emptyPair) emptyPair = k;
            continue;
        }
        if (emptyPair)
            return QStringLiteral("Component %1 follows the empty Component %2: the components fill the boxes in order")
                .arg(k)
                .arg(emptyPair);
        QJsonObject component{{QStringLiteral("name"), name}};
        if (!fraction.isEmpty()) component[QStringLiteral("fraction")] = fraction;
        components.append(component);
    }
    c[QStringLiteral("components")] = components;
    return QJsonDocument(c).toJson(QJsonDocument::Compact);
}

QString notJsonLinesHint() {
    return QStringLiteral(" (solve reads JSON Lines, one case per line as a JSON object; for a CSV table whose "
                          "first line is the header %1, give --input csv)")
        .arg(QString::fromLatin1(kCsvInputHeader));
}

}  // namespace zolvant::cli
