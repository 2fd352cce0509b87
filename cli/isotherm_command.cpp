#include "cli/isotherm_command.h"

#include <QCommandLineParser>

#include <array>

#include "cli/command_support.h"
#include "cli/database_components.h"
#include "solver/text.h"
#include "solver/case.h"

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
    "(no display needed).\n";

// The constant options in the order of Prop.
const std::array<const char*, 6> kConstantNames{"Tc", "Pc", "omega", "K1", "K2", "K3"};

// A number option's value in the calculator's number grammar.
std::optional<double> numberOption(const QString& text) {
    const std::string s = text.trimmed().toStdString();
    if (!readsAsNumber(s)) return std::nullopt;
    return leadingNumber(s);
}

}  // namespace

int runIsothermCommand(const QStringList& arguments, QIODevice& out, QIODevice& err, const IsothermPlotter& plotter) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kHelp));
    const QCommandLineOption temperature({QStringLiteral("T"), QStringLiteral("temperature")},
                                         QStringLiteral("Temperature in degrees Celsius, as typed."),
                                         QStringLiteral("CELSIUS"));
    const QCommandLineOption pressure({QStringLiteral("P"), QStringLiteral("pressure")},
                                      QStringLiteral("Pressure in bar, as typed."), QStringLiteral("BAR"));
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
    const QCommandLineOption database = databaseOption();
    parser.addOption(database);
    const QCommandLineOption points(QStringLiteral("points"),
                                    QStringLiteral("Base points per curve (%1 to %2; default %3); more are added "
                                                   "where the curve turns.")
                                        .arg(kIsothermPointsMin)
                                        .arg(kIsothermPointsMax)
                                        .arg(kIsothermPoints),
                                    QStringLiteral("N"));
    parser.addOption(points);
    const QCommandLineOption plot(QStringLiteral("plot"),
                                  QStringLiteral("Also write the picture to FILE (.png or .svg)."),
                                  QStringLiteral("FILE"));
    parser.addOption(plot);
    parser.addPositionalArgument(QStringLiteral("NAME"), QStringLiteral("A component of the component database."));
    if (const auto done = parseCommandLine(parser, arguments,
                                           QStringLiteral("-T CELSIUS -P BAR (NAME | --Tc K --Pc BAR ...) [--plot FILE]"),
                                           out, err))
        return *done;

    if (!parser.isSet(temperature) || !parser.isSet(pressure))
        return usageError(arguments, QStringLiteral("-T and -P are both needed"), err);
    const QStringList names = parser.positionalArguments();
    if (names.size() > 1)
        return usageError(arguments, QStringLiteral("one component at a time (%1 given)").arg(names.size()), err);
    bool anyConstant = false;
    for (const QCommandLineOption& o : constants) anyConstant = anyConstant || parser.isSet(o);
    if (names.isEmpty() && !anyConstant)
        return usageError(arguments, QStringLiteral("no component: give a NAME or its constants (--Tc, --Pc, ...)"),
                          err);
    int count = kIsothermPoints;
    if (parser.isSet(points)) {
        bool ok = false;
        count = parser.value(points).toInt(&ok);
        if (!ok || count < kIsothermPointsMin || count > kIsothermPointsMax)
            return usageError(arguments,
                              QStringLiteral("--points takes a whole number from %1 to %2, not '%3'")
                                  .arg(kIsothermPointsMin)
                                  .arg(kIsothermPointsMax)
                                  .arg(parser.value(points)),
                              err);
    }
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
        const auto v = numberOption(parser.value(constants[i]));
        if (!v)
            return usageError(arguments,
                              QStringLiteral("--%1 takes a number, not '%2'")
                                  .arg(QString::fromLatin1(kConstantNames[i]), parser.value(constants[i])),
                              err);
        component.constants[i] = *v;
    }
    const PureCase run = solvePure(component, parser.value(temperature).toStdString(),
                                   parser.value(pressure).toStdString(), name.toStdString());
    const CaseOutcome& outcome = run.outcome;
    if (!outcome.solved)
        return failure(arguments,
                       QStringLiteral("%1: %2").arg(QString::fromStdString(outcome.title),
                                                    QString::fromStdString(outcome.message)),
                       err);
    const IsothermModel model = isothermModel(run.solved, 0, count);

    if (!plotPath.isEmpty()) {
        const QString problem = plotter(model, plotPath);
        if (!problem.isEmpty())
            return failure(arguments, QStringLiteral("cannot write %1: %2").arg(plotPath, problem), err);
    }
    writeText(out, QString::fromStdString(isothermCsv(model)));
    return ExitOk;
}

}  // namespace zolvant::cli
