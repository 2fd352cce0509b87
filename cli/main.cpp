// zolvant-cli: the calculator's solver for batches of cases, and its
// component database, from a terminal. Each command is one entry in the
// table below.

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include <cstdio>

#include "cli/create_db_command.h"
#include "cli/list_command.h"
#include "cli/solve_command.h"
#include "cli/sweep_command.h"

namespace {

using zolvant::cli::ExitUsage;

struct Command {
    const char* name;
    const char* summary;
    int (*run)(const QStringList& arguments, QIODevice& in, QIODevice& out, QIODevice& err);
};

int solve(const QStringList& arguments, QIODevice& in, QIODevice& out, QIODevice& err) {
    return zolvant::cli::runSolveCommand(arguments, in, out, err);
}

int sweep(const QStringList& arguments, QIODevice&, QIODevice& out, QIODevice& err) {
    return zolvant::cli::runSweepCommand(arguments, out, err);
}

int list(const QStringList& arguments, QIODevice&, QIODevice& out, QIODevice& err) {
    return zolvant::cli::runListCommand(arguments, out, err);
}

int createDb(const QStringList& arguments, QIODevice&, QIODevice& out, QIODevice& err) {
    return zolvant::cli::runCreateDbCommand(arguments, out, err);
}

const Command kCommands[] = {
    {"solve", "Solve cases given as JSON Lines, or one mixture given by component names.", &solve},
    {"sweep", "Solve one mixture over a range of temperatures or pressures, as CSV.", &sweep},
    {"list", "List the components of the component database with their constants.", &list},
    {"create-db", "Create a component database, empty or from a CSV file.", &createDb},
};

QString usage() {
    QString text = QStringLiteral(
        "Usage: zolvant-cli <command> [options]\n"
        "\n"
        "Molar volumes and vapour Z of mixtures by six cubic equations of state, and the\n"
        "component database the calculator reads.\n"
        "\n"
        "Commands:\n");
    for (const Command& c : kCommands) text += QStringLiteral("  %1  %2\n").arg(QString::fromLatin1(c.name), -9).arg(QString::fromLatin1(c.summary));
    text += QStringLiteral("\n'zolvant-cli <command> --help' explains a command.\n");
    return text;
}

}  // namespace

int main(int argc, char* argv[]) {
    // Before anything else: the DBPath setting and the default database
    // beside the executable are found through the application object.
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zolvant-cli"));

    QFile in, out, err;
    in.open(stdin, QIODevice::ReadOnly);
    out.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered);
    err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered);

    const QStringList args = QCoreApplication::arguments();
    const QString command = args.value(1);
    if (command == QStringLiteral("--help") || command == QStringLiteral("-h") || command == QStringLiteral("help")) {
        out.write(usage().toUtf8());
        return 0;
    }
    for (const Command& c : kCommands) {
        if (command == QString::fromLatin1(c.name)) {
            QStringList rest = args.mid(2);
            rest.prepend(QStringLiteral("zolvant-cli ") + command);
            return c.run(rest, in, out, err);
        }
    }
    const QString problem = command.isEmpty() ? QStringLiteral("zolvant-cli: no command given\n\n")
                                              : QStringLiteral("zolvant-cli: unknown command '%1'\n\n").arg(command);
    err.write((problem + usage()).toUtf8());
    return ExitUsage;
}
