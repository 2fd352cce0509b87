// zolvant-cli: the calculator's solver for batches of cases, and its
// component database, from a terminal. Each command is one entry in the
// table below.

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include <memory>
#include <string_view>
#include <unistd.h>

#ifdef ZOLVANT_CLI_PICTURES
#include <QGuiApplication>

#include "chart/envelope_chart.h"
#include "chart/isotherm_chart.h"
#endif

#include "cli/add_defaults_command.h"
#include "cli/create_db_command.h"
#include "cli/import_mdb_command.h"
#include "cli/isotherm_command.h"
#include "cli/list_command.h"
#include "cli/mixture_commands.h"
#include "cli/output.h"
#include "cli/solve_command.h"
#include "cli/sweep_command.h"
#include "zolvant/version.h"

namespace {

using zolvant::cli::CheckedOutput;
using zolvant::cli::endCommand;
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

int isotherm(const QStringList& arguments, QIODevice&, QIODevice& out, QIODevice& err) {
#ifdef ZOLVANT_CLI_PICTURES
    return zolvant::cli::runIsothermCommand(arguments, out, err, &zolvant::plot::writeIsothermPicture);
#else
    return zolvant::cli::runIsothermCommand(arguments, out, err);
#endif
}

int flash(const QStringList& arguments, QIODevice&, QIODevice& out, QIODevice& err) {
    return zolvant::cli::runFlashCommand(arguments, out, err);
}

int envelope(const QStringList& arguments, QIODevice&, QIODevice& out, QIODevice& err) {
#ifdef ZOLVANT_CLI_PICTURES
    return zolvant::cli::runEnvelopeCommand(arguments, out, err, &zolvant::plot::writeEnvelopePicture);
#else
    return zolvant::cli::runEnvelopeCommand(arguments, out, err);
#endif
}

int addDefaults(const QStringList& arguments, QIODevice&, QIODevice& out, QIODevice& err) {
    return zolvant::cli::runAddDefaultsCommand(arguments, out, err);
}

int importMdb(const QStringList& arguments, QIODevice&, QIODevice& out, QIODevice& err) {
    return zolvant::cli::runImportMdbCommand(arguments, out, err);
}

const Command kCommands[] = {
    {"solve", "Solve cases given as JSON Lines, or one mixture given by component names.", &solve},
    {"sweep", "Solve one mixture over a range of temperatures or pressures, as CSV.", &sweep},
    {"flash", "Phases, compositions, bubble and dew points of a real mixture (with kij) at a state.", &flash},
    {"envelope", "The phase envelope of a real mixture by the six equations (CSV), or draw it.", &envelope},
    {"list", "List the components of the component database with their constants.", &list},
    {"create-db", "Create a component database, empty or from a CSV file.", &createDb},
    {"isotherm", "Print the P-V isotherms of one component by the six equations (CSV), or draw them.", &isotherm},
    {"import-mdb", "Import the components of an Access database into a new component database.", &importMdb},
    {"add-defaults", "Add the default components and interaction parameters a database lacks.", &addDefaults},
};

QString usage() {
    QString text = QStringLiteral(
        "Usage: zolvant-cli <command> [options]\n"
        "\n"
        "Molar volumes and vapour Z of mixtures by six cubic equations of state, and the\n"
        "component database the calculator reads.\n"
        "\n"
        "Commands:\n");
    for (const Command& c : kCommands) text += QStringLiteral("  %1  %2\n").arg(QString::fromLatin1(c.name), -12).arg(QString::fromLatin1(c.summary));
    text += QStringLiteral("\n'zolvant-cli <command> --help' explains a command; 'zolvant-cli --version' "
                           "prints the version.\n"
                           "\n"
                           "Exit status: 0 done; 1 a failure, said on standard error (a failed write to standard\n"
                           "output too); 2 wrong usage; 141 when the reader of standard output has gone (a\n"
                           "closed pipe), quietly.\n");
    return text;
}

}  // namespace

int main(int argc, char* argv[]) {
    // Every write is checked: a closed pipe is a failed write to notice,
    // not a signal that ends the program unseen.
    zolvant::cli::ignoreBrokenPipes();
    CheckedOutput out(STDOUT_FILENO), err(STDERR_FILENO);
    const QString program = QStringLiteral("zolvant-cli");
    if (argc == 2 && (std::string_view(argv[1]) == "--version")) {
        out.write("zolvant-cli " ZOLVANT_VERSION "\n");
        return endCommand(program, 0, out, err);
    }
    // Before anything else: the DBPath setting and the seed beside the
    // executable are found through the application object. Pictures need
    // fonts, which only a GUI application has; it draws on the offscreen
    // platform, so no display is needed.
    std::unique_ptr<QCoreApplication> app;
#ifdef ZOLVANT_CLI_PICTURES
    bool plots = false;
    for (int i = 1; i < argc; ++i) plots = plots || QByteArray(argv[i]).startsWith("--plot");
    if (argc > 1 && (QByteArray(argv[1]) == "isotherm" || QByteArray(argv[1]) == "envelope") && plots) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
#endif
    if (!app) app = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zolvant-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZOLVANT_VERSION));

    QFile in;
    in.open(stdin, QIODevice::ReadOnly);

    const QStringList args = QCoreApplication::arguments();
    const QString command = args.value(1);
    if (command == QStringLiteral("--help") || command == QStringLiteral("-h") || command == QStringLiteral("help")) {
        out.write(usage().toUtf8());
        return endCommand(program, 0, out, err);
    }
    for (const Command& c : kCommands) {
        if (command == QString::fromLatin1(c.name)) {
            QStringList rest = args.mid(2);
            rest.prepend(QStringLiteral("zolvant-cli ") + command);
            return endCommand(rest.constFirst(), c.run(rest, in, out, err), out, err);
        }
    }
    const QString problem = command.isEmpty() ? QStringLiteral("zolvant-cli: no command given\n\n")
                                              : QStringLiteral("zolvant-cli: unknown command '%1'\n\n").arg(command);
    err.write((problem + usage()).toUtf8());
    return ExitUsage;
}
