#include "cli/sweep_command.h"

#include <QCommandLineParser>
#include <QFile>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/database_components.h"
#include "cli/solve_command.h"
#include "report/case_report.h"
#include "report/sweep_csv.h"
#include "solver/ordered_parallel.h"
#include "solver/sweep.h"
#include "solver/text.h"

namespace zolvant::cli {

using namespace report;  // the case and its written forms
namespace {

const char kDescription[] =
    "Solves one mixture at many states: the temperature or the pressure varied over a\n"
    "range, both ends included. Each point is typed as the shortest text that reads\n"
    "back its value and solved exactly as `zolvant-cli solve` (and the window) solves\n"
    "those entries.\n"
    "\n"
    "  zolvant-cli sweep -T 26.85 -P 1:60 --points 60 n-Butane=0.5 Methane=0.5\n"
    "\n"
    "Exactly one of -T and -P is a range FROM:TO. The components are NAME=FRACTION\n"
    "pairs of the component database (at most 4), or come from --case FILE: one line\n"
    "in the case format of `zolvant-cli solve` (its temperature and pressure are not\n"
    "used: -T and -P give them).\n"
    "\n"
    "Output: one CSV table (RFC 4180, UTF-8, CRLF line ends):\n"
    "  Point,Temperature (C),Pressure (bar),Equation,Row,Liquid (cm3/mol),Vapor (cm3/mol),Z,Mark,Error,Message\n"
    "  one record per point, equation and row in use, points numbered from 1; the\n"
    "  point's temperature and pressure texts as typed; Row, the cells and Mark as\n"
    "  `solve --csv` writes them. A refused point gives one record with Point, its\n"
    "  texts, Error (the title) and Message.\n"
    "  --insight adds the columns Stable (vapour, liquid, saturated, supercritical:\n"
    "  the stable phase by the equation, as `solve --insight` gives it) and Psat (bar)\n"
    "  (the equation's saturation pressure, the shortest text that reads back its\n"
    "  value; empty at or above Tc or where there is none); both empty for the\n"
    "  mixture row and a refused point.\n"
    "Exit status: 0 when the table was written (refused points included); 1 when a\n"
    "component cannot be found or the case file is not a case; 2 for wrong usage.";

struct Failure {
    int status;
    QString problem;
};

// "FROM:TO" or one number; the texts are kept as given.
struct Value {
    bool range = false;
    double from = 0.0, to = 0.0;
};
std::optional<Value> readValue(const QString& text) {
    const std::string s = text.toStdString();
    const std::size_t colon = s.find(':');
    if (colon == std::string::npos) return Value{};
    const std::optional<double> from = readNumber(std::string_view(s).substr(0, colon));
    const std::optional<double> to = readNumber(std::string_view(s).substr(colon + 1));
    if (!from || !to) return std::nullopt;
    return Value{true, *from, *to};
}

}  // namespace

int runSweepCommand(const QStringList& arguments, QIODevice& out, QIODevice& err, const ComponentLookup& givenLookup) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    const QCommandLineOption temperature =
        temperatureOption(QStringLiteral("The temperature in degrees Celsius, or a range FROM:TO."));
    const QCommandLineOption pressure = pressureOption(QStringLiteral("The pressure in bar, or a range FROM:TO."));
    const QCommandLineOption points = wholeNumberOption(
        QStringLiteral("points"),
        QStringLiteral("The number of points, both ends included (%1 to %2).").arg(kMinSweepPoints).arg(kMaxSweepPoints));
    const QCommandLineOption log(QStringLiteral("log"),
                                 QStringLiteral("Geometric spacing (a constant ratio), for a range above 0."));
    const QCommandLineOption caseFile =
        caseOption(QStringLiteral("Take the components from the first line of FILE, a case of `zolvant-cli solve`."));
    const QCommandLineOption insight(QStringLiteral("insight"),
                                     QStringLiteral("Two more columns: Stable (the stable phase by the equation) "
                                                    "and Psat (bar), the equation's saturation pressure."));
    const QCommandLineOption threads =
        wholeNumberOption(QStringLiteral("threads"), QStringLiteral("Threads to use (default: all cores)."));
    parser.addOptions({temperature, pressure, points, log, caseFile, insight, threads, databaseOption()});
    addComponentPairs(parser, QStringLiteral("NAME=FRACTION pairs (at most 4)."));
    if (const auto done =
            parseCommandLine(parser, arguments, QStringLiteral("-T CELSIUS[:TO] -P BAR[:TO] --points N [options] "
                                                               "NAME=FRACTION..."),
                             out, err))
        return *done;

    // Usage first, before any database is opened.
    const Checked<QString> tText = requiredValue(parser, temperature);
    if (!tText) return usageError(arguments, tText.problem, err);
    const Checked<QString> pText = requiredValue(parser, pressure);
    if (!pText) return usageError(arguments, pText.problem, err);
    const std::optional<Value> t = readValue(*tText);
    const std::optional<Value> p = readValue(*pText);
    if (!t)
        return usageError(arguments, QStringLiteral("-T: '%1' is not a range FROM:TO of two numbers").arg(*tText), err);
    if (!p)
        return usageError(arguments, QStringLiteral("-P: '%1' is not a range FROM:TO of two numbers").arg(*pText), err);
    if (t->range == p->range)
        return usageError(arguments,
                          t->range ? QStringLiteral("-T and -P are both ranges: exactly one of them is FROM:TO")
                                   : QStringLiteral("neither -T nor -P is a range: exactly one of them is FROM:TO"),
                          err);
    const Checked<int> n = wholeNumber(parser, points, kMinSweepPoints, kMaxSweepPoints);
    if (!n) return usageError(arguments, n.problem, err);
    const Checked<int> threadCount = wholeNumber(parser, threads, 1, 256, 0);
    if (!threadCount) return usageError(arguments, threadCount.problem, err);

    SweepPlan plan;
    plan.variable = t->range ? SweepVariable::Temperature : SweepVariable::Pressure;
    const Value& varied = t->range ? *t : *p;
    plan.range = {varied.from, varied.to, *n, parser.isSet(log) ? SweepSpacing::Geometric : SweepSpacing::Linear};
    if (const std::string problem = sweepRangeProblem(plan.range); !problem.empty())
        return usageError(arguments,
                          QStringLiteral("%1: %2").arg(parser.isSet(log) ? QStringLiteral("--log")
                                                                         : (t->range ? QStringLiteral("-T")
                                                                                     : QStringLiteral("-P")),
                                                       QString::fromStdString(problem)),
                          err);

    // The components: pairs, or the case file's line.
    const QStringList positional = parser.positionalArguments();
    QByteArray line;
    QString where;
    if (parser.isSet(caseFile)) {
        if (!positional.isEmpty())
            return usageError(arguments,
                              QStringLiteral("--case gives the components; '%1' is one too many").arg(positional.first()),
                              err);
        const Checked<QByteArray> read = caseLine(parser, caseFile);
        if (!read) return usageError(arguments, read.problem, err);
        line = *read;
        where = QStringLiteral("%1, line 1").arg(parser.value(caseFile));
    } else {
        const Checked<ComponentPairs> pairs = componentPairs(positional, QStringLiteral(", or --case"));
        if (!pairs) return usageError(arguments, pairs.problem, err);
        line = quickCase(QString(), QString(), *pairs);
    }

    DatabaseComponents components([&parser] { return componentDatabasePath(parser); });
    const ComponentLookup lookup = givenLookup ? givenLookup : components.lookup();
    CaseReport base = evaluateLine(line, where, lookup);
    if (base.inputError) return failure(arguments, QStringLiteral("Input ERROR: ") + inputErrorMessage(base), err);
    plan.mixture = base.parsed.input;
    plan.mixture.temperature = tText->toStdString();
    plan.mixture.pressure = pText->toStdString();
    const std::vector<double> values = sweepValues(plan.range);

    const bool withInsight = parser.isSet(insight);
    if (!writeBytes(out, sweepCsvHeader(withInsight))) return ExitFailure;  // main() says why
    // Each point's records are made on the workers; a few hundred points a
    // round keep the threads busy and the memory small. A failed write
    // stops the workers after their round.
    base.where.clear();
    std::string pending;
    bool written = true;
    runOrdered<std::string>(
        values.size(), workerThreads(static_cast<unsigned>(*threadCount)), 256,
        [&](std::size_t i) {
            CaseReport r;
            r.parsed.names = base.parsed.names;
            r.outcome = runCase(sweepPointCase(plan, values, i), r.grid);
            std::string records;
            appendSweepPointCsv(records, i, sweepPointTexts(plan, values, i), r, withInsight);
            return records;
        },
        [&](std::size_t, std::string&& records) {
            pending += records;
            if (pending.size() >= (1u << 20)) {
                written = writeBytes(out, pending);
                pending.clear();
            }
            return written;
        });
    if (!written || !writeBytes(out, pending)) return ExitFailure;
    return ExitOk;
}

}  // namespace zolvant::cli
