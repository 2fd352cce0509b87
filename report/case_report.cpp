#include "report/case_report.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <algorithm>
#include <vector>

#include "report/case_insight.h"
#include "report/case_json.h"
#include "solver/text.h"

namespace zolvant::report {

void GridTexts::setCellText(int block, Column column, int row, const std::string& text) {
    texts_.at(static_cast<std::size_t>(block)).at(static_cast<std::size_t>(column)).at(static_cast<std::size_t>(row)) = text;
}
void GridTexts::setCellMark(int block, int row, Mark mark) {
    marks_.at(static_cast<std::size_t>(block)).at(static_cast<std::size_t>(row)) = mark;
}
const std::string& GridTexts::text(int block, Column column, int row) const {
    return texts_.at(static_cast<std::size_t>(block)).at(static_cast<std::size_t>(column)).at(static_cast<std::size_t>(row));
}
void GridTexts::rootDone(int block, int row, Phase phase, const RootOutcome& root) {
    roots_.record(block, row, phase, root);
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

// A component row's caption with its fraction text: "n-Butane (0.500)".
QString labelWithFraction(const CaseReport& r, int row) {
    return QStringLiteral("%1 (%2)").arg(rowCaption(r, row),
                                         QString::fromStdString(r.outcome.fractions[static_cast<std::size_t>(row)]));
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

QString rowCaption(const CaseReport& r, int row) {
    const auto k = static_cast<std::size_t>(row);
    // A row whose component Solve deselected has no name to show.
    const QString name = r.parsed.names[k];
    if (name.isEmpty() || r.outcome.deselected[k]) return QStringLiteral("Component %1").arg(row + 1);
    return name;
}

QString markText(std::optional<Mark> m) {
    if (!m) return QString();
    if (*m == Mark::Window) return QStringLiteral("window");
    return QString::number(markColour(*m));
}

QString inputErrorMessage(const CaseReport& r) {
    if (!r.inputError) return QString();
    return r.where.isEmpty() ? *r.inputError : r.where + QStringLiteral(": ") + *r.inputError;
}

QByteArray toJsonLine(const CaseReport& r, bool insight) {
    std::string plain;
    if (!insight && appendPlainJsonLine(plain, r)) return QByteArray::fromStdString(plain);
    return toJsonLineByQJson(r, insight);
}

QByteArray toJsonLineByQJson(const CaseReport& r, bool insight) {
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
            QJsonObject block{
                {QStringLiteral("name"), QString::fromLatin1(blockName(b))},
                {QStringLiteral("liquid"), column(r.grid, b, Column::Liquid)},
                {QStringLiteral("vapour"), column(r.grid, b, Column::Vapour)},
                {QStringLiteral("Z"), column(r.grid, b, Column::Z)},
                {QStringLiteral("mark"), marks},
            };
            if (insight) block[QStringLiteral("insight")] = insightArray(r, b);
            blocks.append(block);
        }
        o[QStringLiteral("blocks")] = blocks;
    }
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

// The heading of a table and, for a case that was not solved, its error
// line. True when the case was solved and its rows are to follow.
bool tableHeading(const CaseReport& r, QStringList& lines) {
    const QString heading = r.where.isEmpty() ? QStringLiteral("Case") : QStringLiteral("Case at ") + r.where;
    if (r.inputError) {
        lines << heading << QStringLiteral("  Input ERROR: ") + *r.inputError;
        return false;
    }
    if (!r.outcome.solved) {
        lines << heading
              << QStringLiteral("  %1: %2").arg(QString::fromStdString(r.outcome.title),
                                                QString::fromStdString(r.outcome.message));
        return false;
    }
    lines << QStringLiteral("%1: %2 K, %3 bar")
                 .arg(heading, QString::fromStdString(formatGeneral(r.outcome.state.tempK)),
                      QString::fromStdString(formatGeneral(r.outcome.state.pressBar)));
    if (!r.outcome.aboveCriticalMessage.empty())
        lines << QStringLiteral("  ") +
                     QString::fromStdString(r.outcome.aboveCriticalMessage).replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    return true;
}

QString toTable(const CaseReport& r, bool insight) {
    QStringList lines;
    if (!tableHeading(r, lines)) return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
    const int numComps = r.outcome.state.numComps;
    for (int b = 0; b < kBlocks; ++b) {
        lines << QString();
        lines << QStringLiteral("  %1 %2 %3 %4")
                     .arg(QString::fromLatin1(blockName(b)), -22)
                     .arg(QStringLiteral("Liquid"), 10)
                     .arg(QStringLiteral("Vapor"), 10)
                     .arg(QStringLiteral("Z"), 8);
        for (int row = 0; row < numComps && row < 4; ++row) {
            const QString label = labelWithFraction(r, row);
            lines << cellsLine(label, r.grid.text(b, Column::Liquid, row), r.grid.text(b, Column::Vapour, row),
                               r.grid.text(b, Column::Z, row), r.grid.mark(b, row));
        }
        lines << cellsLine(QStringLiteral("Mixture"), r.grid.text(b, Column::Liquid, kMixtureRow),
                           r.grid.text(b, Column::Vapour, kMixtureRow), r.grid.text(b, Column::Z, kMixtureRow),
                           std::nullopt);
        if (insight) lines << insightLines(r, b);
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString toWideTable(const CaseReport& r, bool insight) {
    QStringList lines;
    if (!tableHeading(r, lines)) return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
    const int rows = std::clamp<int>(r.outcome.state.numComps, 0, 4);
    std::vector<int> shown;  // grid rows, in order
    for (int row = 0; row < rows; ++row) shown.push_back(row);
    shown.push_back(kMixtureRow);

    // Every column as wide as its widest text, every block as wide as its
    // name; two blanks between blocks.
    const Column columns[3] = {Column::Liquid, Column::Vapour, Column::Z};
    const QString headings[3] = {QStringLiteral("Liquid"), QStringLiteral("Vapor"), QStringLiteral("Z")};
    std::array<int, 3> width{};
    for (int c = 0; c < 3; ++c) {
        width[static_cast<std::size_t>(c)] = static_cast<int>(headings[c].size());
        for (int b = 0; b < kBlocks; ++b)
            for (int row : shown)
                width[static_cast<std::size_t>(c)] = std::max<int>(width[static_cast<std::size_t>(c)],
                                                                   static_cast<int>(r.grid.text(b, columns[c], row).size()));
    }
    int blockWidth = width[0] + 1 + width[1] + 1 + width[2];
    for (int b = 0; b < kBlocks; ++b) blockWidth = std::max<int>(blockWidth, static_cast<int>(qstrlen(blockName(b))));
    width[0] += blockWidth - (width[0] + 1 + width[1] + 1 + width[2]);
    std::vector<QString> labels;
    int labelWidth = 0;
    for (int row : shown) {
        labels.push_back(row == kMixtureRow ? QStringLiteral("Mixture") : labelWithFraction(r, row));
        labelWidth = std::max<int>(labelWidth, static_cast<int>(labels.back().size()));
    }

    QString names = QStringLiteral("  ") + QString(labelWidth, QLatin1Char(' '));
    QString columnHeads = names;
    for (int b = 0; b < kBlocks; ++b) {
        const QString name = QString::fromLatin1(blockName(b));
        const int left = (blockWidth - static_cast<int>(name.size())) / 2;
        names += QStringLiteral("  ") + QString(left, QLatin1Char(' ')) + name.leftJustified(blockWidth - left);
        for (int c = 0; c < 3; ++c)
            columnHeads += (c == 0 ? QStringLiteral("  ") : QStringLiteral(" ")) +
                           headings[c].rightJustified(width[static_cast<std::size_t>(c)]);
    }
    // No trailing blanks after the last name.
    while (names.endsWith(QLatin1Char(' '))) names.chop(1);
    lines << QString() << names << columnHeads;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const int row = shown[i];
        QString line = QStringLiteral("  ") + labels[i].leftJustified(labelWidth);
        bool noOmega = false, noK1 = false;
        for (int b = 0; b < kBlocks; ++b) {
            for (int c = 0; c < 3; ++c)
                line += (c == 0 ? QStringLiteral("  ") : QStringLiteral(" ")) +
                        QString::fromStdString(r.grid.text(b, columns[c], row)).rightJustified(width[static_cast<std::size_t>(c)]);
            if (row != kMixtureRow) {
                noOmega = noOmega || r.grid.mark(b, row) == Mark::ZeroOmega;
                noK1 = noK1 || r.grid.mark(b, row) == Mark::ZeroK1;
            }
        }
        if (noOmega) line += QStringLiteral("  (acentric factor missing)");
        if (noK1) line += QStringLiteral("  (K1 missing)");
        lines << line;
    }
    if (insight)
        for (int b = 0; b < kBlocks; ++b) lines << QString() << QStringLiteral("  ") + QString::fromLatin1(blockName(b)) << insightLines(r, b);
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

}  // namespace zolvant::report
