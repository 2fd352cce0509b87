#include "cli/import_mdb_command.h"

#include <QCommandLineParser>

#include "cli/command_support.h"
#include "db/access/access_import.h"

namespace zolvant::cli {
namespace {

const char kDescription[] =
    "Imports the components of an Access database (Jet 3: Access 97; Jet 4: Access\n"
    "2000-2003; ACE: .accdb of Access 2007 and later, without a password) into a new\n"
    "component database at NEW_FILE, for the calculator window or for --db of the other\n"
    "commands.\n"
    "\n"
    "The Access file's table tblComps is read with its fields Component, MolWt, CritTemp,\n"
    "CritPress, CritVol, AcentricF, K1, K2 and K3 (found by name, in any case); every record\n"
    "is stored in the file's order with every value exactly as Access stored it. Further\n"
    "columns are left out and named. A record without a Component name stops the import,\n"
    "unless --name-unnamed is given. The Access file is only read; an existing NEW_FILE is\n"
    "never overwritten.\n"
    "\n"
    "Exit status: 0 when imported, 1 when refused (the reason on standard error), 2 for\n"
    "wrong usage.";

}  // namespace

int runImportMdbCommand(const QStringList& arguments, QIODevice& out, QIODevice& err) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    const QCommandLineOption nameUnnamed(
        QStringLiteral("name-unnamed"),
        QStringLiteral("Store records without a Component name as \"(unnamed N)\", N being the record's position in "
                       "the Access table (default: refuse the import and list them)."));
    parser.addOption(nameUnnamed);
    parser.addPositionalArgument(QStringLiteral("ACCESS_FILE"), QStringLiteral("The Access database to read."));
    parser.addPositionalArgument(QStringLiteral("NEW_FILE"), QStringLiteral("The component database to create."));
    if (const auto done = parseCommandLine(parser, arguments, QStringLiteral("[options] ACCESS_FILE NEW_FILE"), out, err))
        return *done;
    const QStringList positional = parser.positionalArguments();
    if (positional.size() < 2)
        return usageError(arguments, positional.isEmpty() ? QStringLiteral("no ACCESS_FILE and NEW_FILE given")
                                                          : QStringLiteral("no NEW_FILE given"),
                          err);
    if (positional.size() > 2)
        return usageError(arguments, QStringLiteral("unexpected '%1'").arg(positional[2]), err);
    const QString access = positional[0], target = positional[1];

    db::AccessImportOptions options;
    options.nameUnnamed = parser.isSet(nameUnnamed);
    try {
        const db::AccessImportResult r = db::importAccessDatabase(toFileName(access), toFileName(target), options);
        const QString text = QString::fromStdString(
            db::importSummary(r, access.toStdString(), target.toStdString()));
        writeText(out, text);
    } catch (const db::UnnamedRecordsError& e) {
        return failure(arguments,
                       QString::fromStdString(e.description()) +
                           QStringLiteral(" To import them so, run the command again with --name-unnamed."),
                       err);
    } catch (const db::DbError& e) {
        return failure(arguments, QString::fromStdString(e.description()), err);
    }
    return ExitOk;
}

}  // namespace zolvant::cli
