#include "cli/case_report.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include "solver/text.h"

namespace zolvant::cli {

void GridTexts::setCellText(int block, Column column, int row, const std::string& text) {
    texts_.at(static_cast<std::size_t>(block)).at(static_cast<std::size_t>(column)).at(static_cast<std::size_t>(row)) = text;
}
void GridTexts::setCellMark(int block, int row, Mark mark) {
    marks_.at(static_cast<std::size_t>(block)).at(static_cast<std::size_t>(row)) = mark;
}
const std::string& GridTexts::text(int block, Column column, int row) const {
    return texts_.at(static_cast<std::size_t>(block)).at(static_cast<std::size_t>(column)).at(static_cast<std::size_t>(row));
}
std::optional<Mark> GridTexts::mark(int block, int row) const {
    return marks_.at(static_cast<std::size_t>(block)).at(static_cast<std::size_t>(row));
}

CaseReport evaluateLine(const QByteArray& line, const QString& where, const ComponentLookup& lookup) {
    CaseReport r;
    r.where = where;
    auto parsed = parseCase(line, lookup);
    if (auto* message = std::get_if<QString>(&parsed)) {
        r.inputError = *message;
        return r;
    }
    r.parsed = std::get<Case>(std::move(parsed));
    r.outcome = runCase(r.parsed.input, r.grid);
    return r;
}

namespace {

QJsonObject errorObject(const QString& title, const QString& message) {
    return QJsonObject{{QStringLiteral("title"), title}, {QStringLiteral("message"), message}};
}

QJsonArray column(const GridTexts& g, int block, Column c) {
    QJsonArray a;
    for (int row = 0; row <= kMixtureRow; ++row) a.append(QString::fromStdString(g.text(block, c, row)));
    return a;
}

QJsonValue markValue(std::optional<Mark> m) {
    if (!m) return QJsonValue(QJsonValue::Null);
    if (*m == Mark::Window) return QStringLiteral("window");
    return static_cast<qint64>(markColour(*m));
}

QString cellsLine(const QString& label, const std::string& liquid, const std::string& vapour, const std::string& z,
                  std::optional<Mark> mark) {
    QString line = QStringLiteral("  %1 %2 %3 %4")
                       .arg(label, -22)
                       .arg(QString::fromStdString(liquid), 10)
                       .arg(QString::fromStdString(vapour), 10)
                       .arg(QString::fromStdString(z), 8);
    if (mark == Mark::ZeroOmega) line += QStringLiteral("  (acentric factor missing)");
    if (mark == Mark::ZeroK1) line += QStringLiteral("  (K1 missing)");
    return line;
}

}  // namespace

QString inputErrorMessage(const CaseReport& r) {
    if (!r.inputError) return QString();
    return r.where.isEmpty() ? *r.inputError : r.where + QStringLiteral(": ") + *r.inputError;
}

QByteArray toJsonLine(const CaseReport& r) {
    QJsonObject o;
    if (r.inputError) {
        o[QStringLiteral("ok")] = false;
        o[QStringLiteral("error")] = errorObject(QStringLiteral("Input ERROR"), inputErrorMessage(r));
    } else if (!r.outcome.solved) {
        o[QStringLiteral("ok")] = false;
        o[QStringLiteral("error")] =
            errorObject(QString::fromStdString(r.outcome.title), QString::fromStdString(r.outcome.message));
    } else {
        o[QStringLiteral("ok")] = true;
        o[QStringLiteral("numComps")] = r.outcome.state.numComps;
        QJsonArray blocks;
        for (int b = 0; b < kBlocks; ++b) {
            QJsonArray marks;
            for (int row = 0; row < 4; ++row) marks.append(markValue(r.grid.mark(b, row)));
            blocks.append(QJsonObject{
                {QStringLiteral("name"), QString::fromLatin1(blockName(b))},
                {QStringLiteral("liquid"), column(r.grid, b, Column::Liquid)},
                {QStringLiteral("vapour"), column(r.grid, b, Column::Vapour)},
                {QStringLiteral("Z"), column(r.grid, b, Column::Z)},
                {QStringLiteral("mark"), marks},
            });
        }
        o[QStringLiteral("blocks")] = blocks;
    }
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

QString toTable(const CaseReport& r) {
    QStringList lines;
    const QString heading = r.where.isEmpty() ? QStringLiteral("Case") : QStringLiteral("Case at ") + r.where;
    if (r.inputError || !r.outcome.solved) {
        lines << heading;
    } else {
        lines << QStringLiteral("%1: %2 K, %3 bar")
                     .arg(heading, QString::fromStdString(formatGeneral(r.outcome.state.tempK)),
                          QString::fromStdString(formatGeneral(r.outcome.state.pressBar)));
    }
    if (r.inputError) {
        lines << QStringLiteral("  Input ERROR: ") + *r.inputError;
        return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
    }
    if (!r.outcome.solved) {
        lines << QStringLiteral("  %1: %2").arg(QString::fromStdString(r.outcome.title),
                                              QString::fromStdString(r.outcome.message));
        return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
    }
    const int numComps = r.outcome.state.numComps;
    if (!r.outcome.aboveCriticalMessage.empty())
        lines << QStringLiteral("  ") +
                     QString::fromStdString(r.outcome.aboveCriticalMessage).replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    for (int b = 0; b < kBlocks; ++b) {
        lines << QString();
        lines << QStringLiteral("  %1 %2 %3 %4")
                     .arg(QString::fromLatin1(blockName(b)), -22)
                     .arg(QStringLiteral("Liquid"), 10)
                     .arg(QStringLiteral("Vapor"), 10)
                     .arg(QStringLiteral("Z"), 8);
        for (int row = 0; row < numComps && row < 4; ++row) {
            const auto k = static_cast<std::size_t>(row);
            // A row whose component Solve deselected has no name to show.
            QString label = r.parsed.names[k];
            if (label.isEmpty() || r.outcome.deselected[k]) label = QStringLiteral("Component %1").arg(row + 1);
            label += QStringLiteral(" (%1)").arg(QString::fromStdString(r.outcome.fractions[k]));
            lines << cellsLine(label, r.grid.text(b, Column::Liquid, row), r.grid.text(b, Column::Vapour, row),
                               r.grid.text(b, Column::Z, row), r.grid.mark(b, row));
        }
        lines << cellsLine(QStringLiteral("Mixture"), r.grid.text(b, Column::Liquid, kMixtureRow),
                           r.grid.text(b, Column::Vapour, kMixtureRow), r.grid.text(b, Column::Z, kMixtureRow),
                           std::nullopt);
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

}  // namespace zolvant::cli
