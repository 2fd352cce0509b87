#include "report/case_csv.h"

#include <QStringList>

#include <algorithm>
#include <array>

namespace zolvant::report {

QString csvHeader() {
    return csvRecord({QStringLiteral("Case"), QStringLiteral("Equation"), QStringLiteral("Row"),
                      QStringLiteral("Liquid (cm3/mol)"), QStringLiteral("Vapor (cm3/mol)"), QStringLiteral("Z"),
                      QStringLiteral("Mark"), QStringLiteral("Error"), QStringLiteral("Message")});
}

void appendCsvRecords(std::string& out, std::string_view lead, const CaseReport& r, const CsvExtra& extra) {
    const auto error = [&](std::string_view title, std::string_view message) {
        out += lead;
        out += ",,,,,,";
        appendCsvField(out, title);
        out += ',';
        appendCsvField(out, message);
        if (extra) extra(out, -1, -1);
        out += "\r\n";
    };
    if (r.inputError) return error("Input ERROR", inputErrorMessage(r).toStdString());
    if (!r.outcome.solved) return error(r.outcome.title, r.outcome.message);

    const int rows = std::clamp<int>(r.outcome.state.numComps, 0, 4);
    std::array<std::string, 4> captions;
    for (int row = 0; row < rows; ++row) captions[static_cast<std::size_t>(row)] = rowCaption(r, row).toStdString();
    for (int b = 0; b < kBlocks; ++b) {
        const auto add = [&](std::string_view caption, int row, std::string_view mark) {
            out += lead;
            appendCsvField(out, blockName(b));
            out += ',';
            appendCsvField(out, caption);
            for (const Column c : {Column::Liquid, Column::Vapour, Column::Z}) {
                out += ',';
                appendCsvField(out, r.grid.text(b, c, row));
            }
            out += ',';
            out += mark;
            out += ",,";
            if (extra) extra(out, b, row);
            out += "\r\n";
        };
        for (int row = 0; row < rows; ++row) {
            const std::optional<Mark> m = r.grid.mark(b, row);
            add(captions[static_cast<std::size_t>(row)], row,
                !m ? std::string() : *m == Mark::Window ? std::string("window") : std::to_string(markColour(*m)));
        }
        // The mixture row is written only when more than one row is in use.
        if (rows > 1) add("Mixture", kMixtureRow, std::string_view());
    }
}

QString toCsvRecords(const CaseReport& r, int caseNumber) {
    std::string out;
    const std::string lead = std::to_string(caseNumber) + ',';
    appendCsvRecords(out, lead, r);
    return QString::fromStdString(out);
}

}  // namespace zolvant::report
