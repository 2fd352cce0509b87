#include "cli/case_csv.h"

#include <QStringList>

#include <algorithm>

namespace zolvant::cli {

namespace {

QString record(const QStringList& fields) {
    QStringList quoted;
    for (const QString& f : fields) quoted << csvField(f);
    return quoted.join(QLatin1Char(',')) + QStringLiteral("\r\n");
}

QString cell(const CaseReport& r, int block, Column column, int row) {
    return QString::fromStdString(r.grid.text(block, column, row));
}

}  // namespace

QString csvField(const QString& field) {
    const bool quote = std::any_of(field.begin(), field.end(), [](QChar ch) {
        return ch == QLatin1Char(',') || ch == QLatin1Char('"') || ch == QLatin1Char('\r') || ch == QLatin1Char('\n');
    });
    if (!quote) return field;
    QString escaped = field;
    escaped.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

QString csvHeader() {
    return record({QStringLiteral("Case"), QStringLiteral("Equation"), QStringLiteral("Row"),
                   QStringLiteral("Liquid (cm3/mol)"), QStringLiteral("Vapor (cm3/mol)"), QStringLiteral("Z"),
                   QStringLiteral("Mark"), QStringLiteral("Error"), QStringLiteral("Message")});
}

QString toCsvRecords(const CaseReport& r, int caseNumber) {
    const QString number = QString::number(caseNumber);
    const auto error = [&number](const QString& title, const QString& message) {
        return record({number, QString(), QString(), QString(), QString(), QString(), QString(), title, message});
    };
    if (r.inputError) return error(QStringLiteral("Input ERROR"), inputErrorMessage(r));
    if (!r.outcome.solved)
        return error(QString::fromStdString(r.outcome.title), QString::fromStdString(r.outcome.message));

    const int rows = std::clamp<int>(r.outcome.state.numComps, 0, 4);
    QString out;
    for (int b = 0; b < kBlocks; ++b) {
        const QString equation = QString::fromLatin1(blockName(b));
        const auto add = [&](const QString& caption, int row, const QString& mark) {
            out += record({number, equation, caption, cell(r, b, Column::Liquid, row), cell(r, b, Column::Vapour, row),
                           cell(r, b, Column::Z, row), mark, QString(), QString()});
        };
        for (int row = 0; row < rows; ++row) add(rowCaption(r, row), row, markText(r.grid.mark(b, row)));
        // The mixture row is written only when more than one row is in use.
        if (rows > 1) add(QStringLiteral("Mixture"), kMixtureRow, QString());
    }
    return out;
}

}  // namespace zolvant::cli
