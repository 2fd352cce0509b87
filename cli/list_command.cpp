#include "cli/list_command.h"

#include <QCommandLineParser>

#include <array>

#include "cli/command_support.h"
#include "db/components_csv.h"
#include "solver/text.h"

namespace zolvant::cli {
namespace {

const char kDescription[] =
    "Prints the components of the component database with their constants, in the order\n"
    "of its query qryCritCos (by name), which is the order of the calculator's component\n"
    "lists: the name, the molecular weight MolWt, CritTemp (K), CritPress (bar), CritVol,\n"
    "the acentric factor AcentricF, the PRSV constants K1, K2, K3 and the CAS registry\n"
    "number. A missing value is shown empty. With --find, only the components whose name\n"
    "contains TEXT (case aside) or whose CAS number begins with it.\n"
    "\n"
    "Exit status: 0 when listed, 1 when the database does not open or --find finds\n"
    "nothing (the reason on standard error), 2 for wrong usage.";

QString cellText(const db::FieldValue& v) {
    if (const double* d = std::get_if<double>(&v)) return QString::fromStdString(formatGeneral(*d));
    if (const std::string* s = std::get_if<std::string>(&v)) return QString::fromStdString(*s);
    return QString();
}

}  // namespace

QString componentTable(const std::vector<db::ComponentRow>& rows) {
    constexpr std::size_t kColumns = db::kComponentFields.size() + 1;  // and CAS
    std::vector<std::array<QString, kColumns>> cells;
    std::array<QString, kColumns> heading;
    for (std::size_t c = 0; c + 1 < kColumns; ++c) heading[c] = QString::fromLatin1(db::kComponentFields[c]);
    heading[kColumns - 1] = QString::fromLatin1(db::kCasField);
    cells.push_back(heading);
    for (const db::ComponentRow& r : rows)
        cells.push_back({cellText(r.Component), cellText(r.MolWt), cellText(r.CritTemp), cellText(r.CritPress),
                         cellText(r.CritVol), cellText(r.AcentricF), cellText(r.K1), cellText(r.K2),
                         cellText(r.K3), cellText(r.CAS)});

    std::array<qsizetype, kColumns> width{};
    for (const auto& row : cells)
        for (std::size_t c = 0; c < kColumns; ++c) width[c] = std::max(width[c], row[c].size());

    QString text;
    for (const auto& row : cells) {
        QString line = row[0].leftJustified(width[0]);
        for (std::size_t c = 1; c + 1 < kColumns; ++c) line += QStringLiteral("  ") + row[c].rightJustified(width[c]);
        line += QStringLiteral("  ") + row[kColumns - 1].leftJustified(width[kColumns - 1]);  // a text, as the name
        while (line.endsWith(QLatin1Char(' '))) line.chop(1);
        text += line + QLatin1Char('\n');
    }
    return text;
}

int runListCommand(const QStringList& arguments, QIODevice& out, QIODevice& err) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    parser.addOption(databaseOption());
    const QCommandLineOption find(QStringLiteral("find"),
                                  QStringLiteral("Only the components whose name contains TEXT, case aside, or "
                                                 "whose CAS number begins with it."),
                                  QStringLiteral("TEXT"));
    parser.addOption(find);
    if (const auto done = parseCommandLine(parser, arguments, QStringLiteral("[options]"), out, err)) return *done;
    if (const QString problem = unexpectedArgumentProblem(parser); !problem.isEmpty())
        return usageError(arguments, problem, err);

    const QString path = componentDatabasePath(parser);
    std::vector<db::ComponentRow> rows;
    try {
        rows = db::listComponents(toFileName(path));
    } catch (const db::DbError& e) {
        if (e.number() == db::kAccessDatabase)
            return failure(arguments,
                           QStringLiteral("'%1' is an Access database: its components must be imported into a new "
                                          "Zolvant database first, with 'zolvant-cli import-mdb %1 NEW_FILE'; then "
                                          "list NEW_FILE with --db.")
                               .arg(path),
                           err);
        return failure(arguments,
                       QStringLiteral("the component database '%1' does not open: %2")
                           .arg(path, QString::fromStdString(e.description())),
                       err);
    }
    if (parser.isSet(find)) {
        const std::string text = parser.value(find).toStdString();
        if (text.empty()) return usageError(arguments, QStringLiteral("--find needs a text to look for"), err);
        const std::string folded = db::foldCase(text);
        std::erase_if(rows, [&](const db::ComponentRow& r) {
            const auto* cas = std::get_if<std::string>(&r.CAS);
            return db::foldCase(db::componentName(r.Component)).find(folded) == std::string::npos &&
                   !(cas && cas->compare(0, text.size(), text) == 0);
        });
        if (rows.empty())
            return failure(arguments,
                           QStringLiteral("no component of '%1' has a name containing \"%2\" or a CAS number "
                                          "beginning with it")
                               .arg(path, parser.value(find)),
                           err);
    }
    writeText(out, componentTable(rows));
    return ExitOk;
}

}  // namespace zolvant::cli
