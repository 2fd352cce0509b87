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
    "the acentric factor AcentricF and the PRSV constants K1, K2, K3. A missing value is\n"
    "shown empty.\n"
    "\n"
    "Exit status: 0 when listed, 1 when the database does not open (the reason on\n"
    "standard error), 2 for wrong usage.";

QString cellText(const db::FieldValue& v) {
    if (const double* d = std::get_if<double>(&v)) return QString::fromStdString(formatGeneral(*d));
    if (const std::string* s = std::get_if<std::string>(&v)) return QString::fromStdString(*s);
    return QString();
}

}  // namespace

QString componentTable(const std::vector<db::ComponentRow>& rows) {
    constexpr std::size_t kColumns = db::kComponentFields.size();
    std::vector<std::array<QString, kColumns>> cells;
    std::array<QString, kColumns> heading;
    for (std::size_t c = 0; c < kColumns; ++c) heading[c] = QString::fromLatin1(db::kComponentFields[c]);
    cells.push_back(heading);
    for (const db::ComponentRow& r : rows)
        cells.push_back({cellText(r.Component), cellText(r.MolWt), cellText(r.CritTemp), cellText(r.CritPress),
                         cellText(r.CritVol), cellText(r.AcentricF), cellText(r.K1), cellText(r.K2),
                         cellText(r.K3)});

    std::array<qsizetype, kColumns> width{};
    for (const auto& row : cells)
        for (std::size_t c = 0; c < kColumns; ++c) width[c] = std::max(width[c], row[c].size());

    QString text;
    for (const auto& row : cells) {
        QString line = row[0].leftJustified(width[0]);
        for (std::size_t c = 1; c < kColumns; ++c) line += QStringLiteral("  ") + row[c].rightJustified(width[c]);
        while (line.endsWith(QLatin1Char(' '))) line.chop(1);
        text += line + QLatin1Char('\n');
    }
    return text;
}

int runListCommand(const QStringList& arguments, QIODevice& out, QIODevice& err) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    parser.addOption(databaseOption());
    if (const auto done = parseCommandLine(parser, arguments, QStringLiteral("[options]"), out, err)) return *done;
    if (!parser.positionalArguments().isEmpty())
        return usageError(arguments,
                          QStringLiteral("unexpected argument '%1' (the database is given with --db)")
                              .arg(parser.positionalArguments().constFirst()),
                          err);

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
    writeText(out, componentTable(rows));
    return ExitOk;
}

}  // namespace zolvant::cli
