#include "cli/add_defaults_command.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include "cli/command_support.h"
#include "db/database.h"
#include "db/defaults.h"
#include "db/settings.h"

namespace zolvant::cli {
namespace {

const char kDescription[] =
    "Adds to the component database every component of the default database whose name\n"
    "it lacks (names compared case aside) and every default binary interaction parameter\n"
    "(kij) both of whose components it has and that it lacks. Nothing it holds is changed\n"
    "or removed; a database of an earlier version first gets the CAS column and the table\n"
    "of interaction parameters. All of it is stored, or nothing.\n"
    "\n"
    "The database is --db, or the one the other commands read; the default database\n"
    "itself is never written.\n"
    "\n"
    "Exit status: 0 when done (also when nothing was missing), 1 when refused (the reason\n"
    "on standard error), 2 for wrong usage.";

QString counted(int n, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromLatin1(n == 1 ? one : many));
}

}  // namespace

int runAddDefaultsCommand(const QStringList& arguments, QIODevice& out, QIODevice& err) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    parser.addOption(databaseOption());
    if (const auto done = parseCommandLine(parser, arguments, QStringLiteral("[options]"), out, err)) return *done;
    if (const QString problem = unexpectedArgumentProblem(parser); !problem.isEmpty())
        return usageError(arguments, problem, err);

    const QString seed = db::seedDbPath();
    if (seed.isEmpty() || !QFileInfo::exists(seed))
        return failure(arguments,
                       QStringLiteral("the default database is not there (looked for '%1')").arg(seed), err);
    const QString path = componentDatabasePath(parser);
    const QFileInfo target(path), source(seed);
    if (target.exists() && target.canonicalFilePath() == source.canonicalFilePath())
        return failure(arguments,
                       QStringLiteral("'%1' is the default database, which is never written; give your own "
                                      "database with --db")
                           .arg(path),
                       err);
    try {
        const db::AddedDefaults added = db::addDefaultComponents(toFileName(path), toFileName(seed));
        writeText(out, QStringLiteral("Added %1 and %2 to %3.\n")
                           .arg(counted(added.components, "component", "components"),
                                counted(added.pairs, "interaction parameter", "interaction parameters"), path));
    } catch (const db::DbError& e) {
        return failure(arguments,
                       QStringLiteral("nothing was added to '%1': %2").arg(path, QString::fromStdString(e.description())),
                       err);
    }
    return ExitOk;
}

}  // namespace zolvant::cli
