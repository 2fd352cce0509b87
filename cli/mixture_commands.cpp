#include "cli/mixture_commands.h"

#include <QCommandLineParser>

#include <string>
#include <variant>

#include "cli/command_support.h"
#include "cli/mixture_input.h"
#include "report/mixture_csv.h"
#include "report/mixture_json.h"
#include "report/mixture_reports.h"
#include "report/mixture_table.h"
#include "solver/text.h"

namespace zolvant::cli {
namespace {

const char kFlashHelp[] =
    "The real mixture at a state, by each of the six equations of state: the van der\n"
    "Waals one-fluid mixing rule with binary interaction parameters kij, the phase\n"
    "stability test and the PT flash, and every bubble and dew point at the state's\n"
    "temperature and pressure. (The grid's mixture row is something else: the\n"
    "mole-fraction average of the pure components' volumes, each phase on its own,\n"
    "without interaction.)\n"
    "\n"
    "%1"
    "\n"
    "Output, one result per equation in the grid's order:\n"
    "  default: a table per equation (the phase split, each component's feed and\n"
    "  phase fractions and ln phi, each phase's V, Z and density, the saturation\n"
    "  points and the notes);\n"
    "  --json: one JSON object per equation per line, with the keys\n"
    "   equation, T (K), P (bar), z (the fractions used), kij (the matrix used),\n"
    "   phases (1 or 2; null when the model gave a reason, see notes), phase\n"
    "   (\"liquid\" or \"vapour\" for one phase, else null), beta (the vapour fraction of\n"
    "   two phases, else null), liquid and vapour (null, or {x, V cm3/mol, Z,\n"
    "   density g/cm3 or null, lnphi}), bubbleP and dewP (every bubble and dew\n"
    "   pressure at T in bar, ascending), bubbleT and dewT (every bubble and dew\n"
    "   temperature at P in K, ascending), notes (why a list is empty, \"a third\n"
    "   phase may form\", ...); numbers read back to the same double;\n"
    "  --csv: one CSV table (RFC 4180, CRLF) with the header\n"
    "   Equation,T (K),P (bar),Phases,Phase,Beta,Row,Component,z,Liquid x,Vapour x,\n"
    "   Liquid ln phi,Vapour ln phi,Liquid V (cm3/mol),Vapour V (cm3/mol),Liquid Z,\n"
    "   Vapour Z,Liquid density (g/cm3),Vapour density (g/cm3),Bubble P (bar),\n"
    "   Dew P (bar),Bubble T (K),Dew T (K),Notes\n"
    "   and one record per equation and component: the equation's values repeated on\n"
    "   each, an empty field where a value is absent, the values of a saturation\n"
    "   list separated by spaces, the notes joined by \"; \".\n"
    "A phase is liquid-like or vapour-like by its phase identification parameter.\n"
    "\n"
    "Exit status: 0 when written (an equation that gives a reason instead of numbers\n"
    "included); 1 when Solve refuses the case or a name cannot be found (the title and\n"
    "message on standard error, or with --json as the line {\"error\": TITLE,\n"
    "\"message\": MESSAGE} on standard output); 2 for wrong usage.";

const char kEnvelopeHelp[] =
    "The phase envelope of a mixture by each of the six equations of state (the van der\n"
    "Waals one-fluid mixing rule with kij): the P-T boundary traced from the bubble\n"
    "point at 1 bar through the critical point to the dew point at 1 bar, with the\n"
    "critical point, the cricondenbar and the cricondentherm. The envelope does not\n"
    "depend on the state: -T and a case's temperature and pressure are not used (the\n"
    "case is checked by Solve at 25 C and 1 bar).\n"
    "\n"
    "%1"
    "\n"
    "Output, the equations in the grid's order:\n"
    "  default: CSV (RFC 4180, CRLF) with the header\n"
    "   Equation,Point,Branch,T (K),P (bar),Liquid V (cm3/mol),Vapour V (cm3/mol)\n"
    "   then for each equation its traced points in order (Point from 1; Branch\n"
    "   bubble, dew, or critical for the critical point as the trace passed it),\n"
    "   then its special points, one record each where found: Point \"critical\"\n"
    "   (Branch critical, its V in both volume columns), \"cricondenbar\" and\n"
    "   \"cricondentherm\" (Branch the branch they lie on, the volumes empty);\n"
    "  --json: one object per equation per line: {\"equation\", \"points\": [[T, P], ...],\n"
    "   \"critical\": {\"T\", \"P\", \"V\"} or null, \"cricondenbar\": {\"T\", \"P\"},\n"
    "   \"cricondentherm\": {\"T\", \"P\"} (null when not found), \"notes\": [...]}.\n"
    "An envelope that cannot be completed keeps what was traced and says why in its\n"
    "notes (JSON, picture).\n"
    "--plot FILE.png or FILE.svg also draws the envelopes (each equation in the\n"
    "isotherm window's style, the critical points, cricondenbars and cricondentherms\n"
    "marked), written whole or not at all (no display needed).\n"
    "\n"
    "Exit status: 0 when written; 1 when Solve refuses the case, a name cannot be\n"
    "found or the picture cannot be written (the reason on standard error; a refusal\n"
    "with --json as the line {\"error\": TITLE, \"message\": MESSAGE} on standard\n"
    "output); 2 for wrong usage.";

constexpr int kEnvelopePointsMin = 10, kEnvelopePointsMax = 5000, kEnvelopePointsDefault = 200;

int refused(const QStringList& arguments, const MixtureRefusal& r, bool json, QIODevice& out, QIODevice& err) {
    if (!json) return failure(arguments, QStringLiteral("%1: %2").arg(r.title, r.message), err);
    const std::string line = "{\"error\":" + report::jsonString(r.title.toStdString()) +
                             ",\"message\":" + report::jsonString(r.message.toStdString()) + "}\n";
    writeBytes(out, line);  // main() says why a write failed
    return ExitFailure;
}

}  // namespace

int runFlashCommand(const QStringList& arguments, QIODevice& out, QIODevice& err) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kFlashHelp).arg(mixtureInputHelp(false)));
    const MixtureOptions inputs(false);
    inputs.addTo(parser);
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("One JSON line per equation (see above)."));
    const QCommandLineOption csv(QStringLiteral("csv"), QStringLiteral("One CSV table (see above)."));
    parser.addOptions({json, csv});
    if (const auto done = parseCommandLine(parser, arguments,
                                           QStringLiteral("-T CELSIUS -P BAR [options] NAME=FRACTION...\n"
                                                          "       %1 --case FILE [options]")
                                               .arg(arguments.value(0)),
                                           out, err))
        return *done;
    if (parser.isSet(json) && parser.isSet(csv))
        return usageError(arguments, QStringLiteral("--json and --csv exclude each other"), err);

    MixtureRead read = readMixture(parser, inputs, arguments, err);
    if (const int* status = std::get_if<int>(&read)) return *status;
    if (const auto* r = std::get_if<MixtureRefusal>(&read)) return refused(arguments, *r, parser.isSet(json), out, err);
    const MixtureInput& in = std::get<MixtureInput>(read);
    const std::vector<MixtureReport> reports =
        report::mixtureReports(in.report.outcome.state, in.z, in.kij, in.molWt, in.blocks);

    std::string text;
    if (parser.isSet(csv)) {
        text = report::flashCsv(reports, in.captions);
    } else {
        for (const MixtureReport& r : reports) {
            if (parser.isSet(json)) {
                text += report::flashJsonLine(r);
                text += '\n';
            } else {
                if (!text.empty()) text += '\n';
                text += report::flashTable(r, in.captions);
            }
        }
    }
    return writeBytes(out, text) ? ExitOk : ExitFailure;  // main() says why a write failed
}

int runEnvelopeCommand(const QStringList& arguments, QIODevice& out, QIODevice& err, const EnvelopePlotter& plotter) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kEnvelopeHelp).arg(mixtureInputHelp(true)));
    const MixtureOptions inputs(true);
    inputs.addTo(parser);
    const QCommandLineOption points = wholeNumberOption(
        QStringLiteral("points"), QStringLiteral("The most points per equation (%1 to %2; default %3).")
                                      .arg(kEnvelopePointsMin)
                                      .arg(kEnvelopePointsMax)
                                      .arg(kEnvelopePointsDefault));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("One JSON line per equation (see above)."));
    const QCommandLineOption plot =
        fileOption(QStringLiteral("plot"), QStringLiteral("Also draw the envelopes to FILE (.png or .svg)."));
    parser.addOptions({points, json, plot});
    if (const auto done = parseCommandLine(parser, arguments,
                                           QStringLiteral("[options] NAME=FRACTION...\n"
                                                          "       %1 --case FILE [options]")
                                               .arg(arguments.value(0)),
                                           out, err))
        return *done;
    const Checked<int> count = wholeNumber(parser, points, kEnvelopePointsMin, kEnvelopePointsMax, kEnvelopePointsDefault);
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

    MixtureRead read = readMixture(parser, inputs, arguments, err);
    if (const int* status = std::get_if<int>(&read)) return *status;
    if (const auto* r = std::get_if<MixtureRefusal>(&read)) return refused(arguments, *r, parser.isSet(json), out, err);
    const MixtureInput& in = std::get<MixtureInput>(read);
    ReportOptions options;
    options.envelope.maxPoints = *count;
    const std::vector<MixtureReport> reports =
        report::mixtureReports(in.report.outcome.state, in.z, in.kij, in.molWt, in.blocks, options);

    if (!plotPath.isEmpty()) {
        QStringList feed;
        for (std::size_t i = 0; i < in.captions.size(); ++i)
            if (in.z[i] > 0)
                feed << QStringLiteral("%1 %2").arg(QString::fromStdString(in.captions[i]),
                                                    QString::fromStdString(formatDigits(in.z[i], 4)));
        const QString problem = plotter(reports, feed.join(QStringLiteral(", ")), plotPath);
        if (!problem.isEmpty()) return failure(arguments, QStringLiteral("cannot write %1: %2").arg(plotPath, problem), err);
    }
    std::string text;
    if (parser.isSet(json)) {
        for (const MixtureReport& r : reports) {
            text += report::envelopeJsonLine(r);
            text += '\n';
        }
    } else {
        text = report::envelopeCsv(reports);
    }
    return writeBytes(out, text) ? ExitOk : ExitFailure;  // main() says why a write failed
}

}  // namespace zolvant::cli
