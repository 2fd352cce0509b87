#include "cli/create_db_command.h"

#include <QCommandLineParser>

#include "cli/command_support.h"
#include "db/components_csv.h"

namespace zolvant::cli {
namespace {

const char kDescription[] =
    "Creates a new component database at FILE, for the calculator window or for --db of\n"
    "the other commands: empty, or holding the records of a CSV file.\n"
    "\n"
    "The CSV file's first line names the fields of tblComps, each once, in any order:\n"
    "  Component,MolWt,CritTemp,CritPress,CritVol,AcentricF,K1,K2,K3\n"
    "and may name CAS (the CAS registry number) as well.\n"
    "Each further line is one component with as many values as the header; an empty value\n"
    "is a missing one; a value holding a comma is quoted (\"...\"). Every component needs a\n"
    "name. A line that cannot be stored is reported by its number and nothing is written.\n"
    "An existing FILE is never overwritten.\n"
    "\n"
    "Exit status: 0 when created, 1 when refused (the reason on standard error), 2 for\n"
    "wrong usage.";

// The engine names the line and the file at the start of its description;
// the command says them its own way.
QString withoutLinePrefix(const db::CsvLineError& e, const QString& csvPath) {
    const QString description = QString::fromStdString(e.description());
    const QString prefix = QStringLiteral("Line %1 of '%2': ").arg(QString::number(e.line()), csvPath);
    return description.startsWith(prefix) ? description.mid(prefix.size()) : description;
}

}  // namespace

int runCreateDbCommand(const QStringList& arguments, QIODevice& out, QIODevice& err) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    const QCommandLineOption from =
        fileOption(QStringLiteral("from"), QStringLiteral("Fill the new database from this CSV file (default: create it "
                                                          "empty)."));
    parser.addOption(from);
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The database file to create."));
    if (const auto done = parseCommandLine(parser, arguments, QStringLiteral("[options] FILE"), out, err)) return *done;

    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) return usageError(arguments, QStringLiteral("no FILE given"), err);
    if (positional.size() > 1)
        return usageError(arguments, QStringLiteral("one FILE only; unexpected '%1'").arg(positional[1]), err);
    const QString path = positional.constFirst();

    try {
        if (!parser.isSet(from)) {
            db::createEmptyDatabase(toFileName(path));
            writeText(out, QStringLiteral("Created %1, an empty component database.\n").arg(path));
        } else {
            const QString csv = parser.value(from);
            try {
                const int count = db::createDatabaseFromCsv(toFileName(path), toFileName(csv));
                writeText(out, (count == 1 ? QStringLiteral("Created %1 with %2 component.\n")
                                           : QStringLiteral("Created %1 with %2 components.\n"))
                                   .arg(path, QString::number(count)));
            } catch (const db::CsvLineError& e) {
                return failure(arguments,
                               QStringLiteral("%1, line %2: %3 Nothing was written.")
                                   .arg(csv, QString::number(e.line()), withoutLinePrefix(e, csv)),
                               err);
            }
        }
    } catch (const db::DbError& e) {
        return failure(arguments, QString::fromStdString(e.description()), err);
    }
    return ExitOk;
}

}  // namespace zolvant::cli
