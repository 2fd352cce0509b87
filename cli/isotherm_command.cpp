#include "cli/isotherm_command.h"

#include <QCommandLineParser>

#include <array>

#include "cli/command_support.h"
#include "cli/database_components.h"
#include "report/isotherm_csv.h"
#include "solver/case.h"
#include "solver/text.h"

namespace zolvant::cli {
namespace {

const char* const kHelp =
    "Prints the P-V isotherms of one component at a state, by each of the six\n"
    "equations of state, as CSV: the header `Equation,V (cm3/mol),P (bar)`, then one\n"
    "record per curve point, the equations in the grid's order; a gap (a pressure\n"
    "that is not finite) has an empty P. The state is processed as the window\n"
    "processes it (the texts of -T and -P as if typed; the component's fraction 1).\n"
    "\n"
    "The component is a name of the component database (see --db), or its\n"
    "constants: --Tc and --Pc (a missing one counts as 1), --omega, --K1, --K2,\n"
    "--K3 (missing ones count as 0); constants given beside a name replace the\n"
    "database's.\n"
    "\n"
    "--plot FILE.png or FILE.svg also writes the isotherm window's picture of it\n"
    "(no display needed), whole or not at all.\n"
    "\n"
    "Exit status: 0 when written; 1 when the state is refused, the component cannot be\n"
    "found or the picture cannot be written (the reason on standard error); 2 for wrong\n"
    "usage.";

}  // namespace

int runIsothermCommand(const QStringList& arguments, QIODevice& out, QIODevice& err, const IsothermPlotter& plotter) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kHelp));
    const QCommandLineOption temperature = temperatureOption(QStringLiteral("Temperature in degrees Celsius, as typed."));
    const QCommandLineOption pressure = pressureOption(QStringLiteral("Pressure in bar, as typed."));
    parser.addOption(temperature);
    parser.addOption(pressure);
    std::array<QCommandLineOption, 6> constants{
        QCommandLineOption(QStringLiteral("Tc"), QStringLiteral("Critical temperature (K)."), QStringLiteral("K")),
        QCommandLineOption(QStringLiteral("Pc"), QStringLiteral("Critical pressure (bar)."), QStringLiteral("BAR")),
        QCommandLineOption(QStringLiteral("omega"), QStringLiteral("Acentric factor."), QStringLiteral("VALUE")),
        QCommandLineOption(QStringLiteral("K1"), QStringLiteral("PRSV constant K1."), QStringLiteral("VALUE")),
        QCommandLineOption(QStringLiteral("K2"), QStringLiteral("PRSV constant K2."), QStringLiteral("VALUE")),
        QCommandLineOption(QStringLiteral("K3"), QStringLiteral("PRSV constant K3."), QStringLiteral("VALUE")),
    };
    for (const QCommandLineOption& o : constants) parser.addOption(o);
    parser.addOption(databaseOption());
    const QCommandLineOption points = wholeNumberOption(QStringLiteral("points"),
                                                        QStringLiteral("Base points per curve (%1 to %2; default %3); "
                                                                       "more are added where the curve turns.")
                                                            .arg(kIsothermPointsMin)
                                                            .arg(kIsothermPointsMax)
                                                            .arg(kIsothermPoints));
    parser.addOption(points);
    const QCommandLineOption plot =
        fileOption(QStringLiteral("plot"), QStringLiteral("Also write the picture to FILE (.png or .svg)."));
    parser.addOption(plot);
    parser.addPositionalArgument(QStringLiteral("NAME"), QStringLiteral("A component of the component database."));
    if (const auto done = parseCommandLine(parser, arguments,
                                           QStringLiteral("-T CELSIUS -P BAR (NAME | --Tc K --Pc BAR ...) [--plot FILE]"),
                                           out, err))
        return *done;

    const Checked<QString> tText = requiredValue(parser, temperature);
    if (!tText) return usageError(arguments, tText.problem, err);
    const Checked<QString> pText = requiredValue(parser, pressure);
    if (!pText) return usageError(arguments, pText.problem, err);
    const QStringList names = parser.positionalArguments();
    if (names.size() > 1)
        return usageError(arguments, QStringLiteral("one component at a time (%1 given)").arg(names.size()), err);
    bool anyConstant = false;
    for (const QCommandLineOption& o : constants) anyConstant = anyConstant || parser.isSet(o);
    if (names.isEmpty() && !anyConstant)
        return usageError(arguments, QStringLiteral("no component: give a NAME or its constants (--Tc, --Pc, ...)"),
                          err);
    const Checked<int> count = wholeNumber(parser, points, kIsothermPointsMin, kIsothermPointsMax, kIsothermPoints);
    if (!count) return usageError(arguments, count.problem, err);
    QString plotPath;
    if (parser.isSet(plot)) {
        plotPath = parser.value(plot);
        const QString lower = plotPath.toLower();
        if (!lower.endsWith(QStringLiteral(".png")) && !lower.endsWith(QStringLiteral(".svg")))
            return usageError(arguments, QStringLiteral("--plot names a .png or .svg file, not '%1'").arg(plotPath),
                              err);
        if (!plotter)
            return failure(arguments, QStringLiteral("this zolvant-cli was built without pictures (--plot)"), err);
    }

    CaseComponent component;
    QString name;
    if (!names.isEmpty()) {
        name = names.front();
        DatabaseComponents db([&parser] { return componentDatabasePath(parser); });
        try {
            const auto found = db.find(name);
            if (!found)
                return failure(arguments,
                               QStringLiteral("no component named \"%1\" in the component database '%2'")
                                       .arg(name, componentDatabasePath(parser)) +
                                   db.suggestionsFor(name),
                               err);
            component.constants = *found;
        } catch (const LookupFailure& f) {
            return failure(arguments, f.message, err);
        }
    }
    for (std::size_t i = 0; i < constants.size(); ++i) {
        if (!parser.isSet(constants[i])) continue;
        const Checked<double> v = number(parser, constants[i]);
        if (!v) return usageError(arguments, v.problem, err);
        component.constants[i] = *v;
    }
    const PureCase run = solvePure(component, tText->toStdString(), pText->toStdString(), name.toStdString());
    const CaseOutcome& outcome = run.outcome;
    if (!outcome.solved)
        return failure(arguments,
                       QStringLiteral("%1: %2").arg(QString::fromStdString(outcome.title),
                                                    QString::fromStdString(outcome.message)),
                       err);
    const IsothermModel model = isothermModel(run.solved, 0, *count);

    if (!plotPath.isEmpty()) {
        const QString problem = plotter(model, plotPath);
        if (!problem.isEmpty())
            return failure(arguments, QStringLiteral("cannot write %1: %2").arg(plotPath, problem), err);
    }
    return writeBytes(out, report::isothermCsv(model)) ? ExitOk : ExitFailure;  // main() says why a write failed
}

}  // namespace zolvant::cli
