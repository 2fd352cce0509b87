#include "cli/solve_command.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <memory>
#include <utility>
#include <vector>

#include "cli/case_stream.h"
#include "cli/database_components.h"
#include "report/case_csv.h"
#include "report/case_echo.h"
#include "report/case_json.h"
#include "report/case_report.h"

namespace zolvant::cli {

using namespace report;  // the case and its written forms
namespace {

const char kDescription[] =
    "Solves mixture specifications given as JSON Lines, one case per line, exactly as the\n"
    "calculator window solves the same entries typed in their natural order (components,\n"
    "each fraction, temperature, pressure, then Solve). Reads the files given, in order,\n"
    "or standard input when there is none (\"-\" also means standard input).\n"
    "\n"
    "A case:\n"
    "  {\"temperature\": \"26.85\", \"pressure\": \"1\", \"components\": [\n"
    "     {\"Tc\": 425.1, \"Pc\": 37.96, \"omega\": 0.2, \"K1\": 0.03443, \"K2\": null,\n"
    "      \"K3\": null, \"fraction\": \"0.5\"},\n"
    "     {\"name\": \"Methane\", \"fraction\": \"0.5\"}]}\n"
    "  temperature  degrees Celsius, as typed into the temperature box\n"
    "  pressure     bar, as typed into the pressure box\n"
    "  components   at most 4; Tc (K), Pc (bar), omega, K1, K2, K3 are numbers;\n"
    "               null or missing is a Null database field (1 for Tc and Pc, 0 otherwise)\n"
    "  name         a component of the component database (see --db), whose constants\n"
    "               are loaded as the window loads them (the exact name, else the one\n"
    "               equal to it case aside; of equal names the last in the database's\n"
    "               order); constants given beside it replace them\n"
    "  fraction     the text typed into the component's mole-fraction box; missing or\n"
    "               null keeps the box's proposal (1 minus the fractions before it)\n"
    "Texts may also be given as JSON numbers (26.85 is the text \"26.85\").\n"
    "A missing or empty temperature is a temperature box left empty.\n"
    "The database is opened only when a case gives a name.\n"
    "\n"
    "Output, one JSON line per case, in order (blank input lines are skipped):\n"
    "  {\"ok\": true, \"numComps\": n, \"blocks\": [{\"name\", \"liquid\", \"vapour\", \"Z\",\n"
    "   \"mark\"}, ... six blocks]}: five cell texts per column (rows 1 to 4, then the\n"
    "   mixture; \"\" for a cell left empty) and four marks (null: no colour set,\n"
    "   \"window\": window background, otherwise the colour number)\n"
    "  {\"ok\": false, \"error\": {\"title\": ..., \"message\": ...}} when a check refuses the\n"
    "   case (\"Mixture ERROR\", \"Pressure ERROR\", \"Temperature ERROR\") or the line is\n"
    "   not a case (\"Input ERROR\", with the line number: bad JSON, an unknown name, a\n"
    "   name when the component database does not open)\n"
    "Exit status: 0 when every line was a case (refused cases included), 1 when any line\n"
    "was not, 2 for wrong usage.\n"
    "\n"
    "With --input csv, the cases are the rows of a CSV table (RFC 4180, UTF-8) whose first\n"
    "line is the header\n"
    "  Temperature (C),Pressure (bar),Component 1,Fraction 1,Component 2,Fraction 2,\n"
    "  Component 3,Fraction 3,Component 4,Fraction 4\n"
    "  the temperature and pressure texts as typed into their boxes, then up to four\n"
    "  components by name from the component database, each with its fraction text\n"
    "  (empty: the box keeps its proposal); trailing pairs may be empty or left out.\n"
    "  One row per line; cases are numbered and named by line as for JSON Lines (the\n"
    "  header is line 1 and not a case). A first line that is not the header, or a row\n"
    "  that cannot be read, is a line that is not a case (\"Input ERROR\").\n"
    "\n"
    "--echo adds each case's inputs to its output: the key \"input\" at the end of each\n"
    "JSON line ({\"temperature\", \"pressure\", \"components\": [{\"name\", \"fraction\"}]},\n"
    "texts as given, null where none is given; null for a line that is not a case), or\n"
    "with --csv the ten fields of the CSV input's header after Message in every record\n"
    "(empty where nothing is given). Without --echo the output is unchanged.\n"
    "\n"
    "With --csv, one CSV table (RFC 4180, UTF-8, CRLF line ends) for all cases instead:\n"
    "  Case,Equation,Row,Liquid (cm3/mol),Vapor (cm3/mol),Z,Mark,Error,Message\n"
    "  one record per equation and row in use of a solved case: the case's number (its\n"
    "  line's place among the answered lines), the equation, the row (the component's\n"
    "  name, \"Component N\" without one, \"Mixture\" when more than one row is in use),\n"
    "  the three cell texts and the mark as in the JSON output (empty, window or the\n"
    "  colour number); Error and Message empty. A refused case or a line that is not\n"
    "  a case gives one record with only Case, Error (the title) and Message.\n"
    "\n"
    "Quick form, for one case typed by hand: with -T and -P the arguments are\n"
    "NAME=FRACTION pairs (at most 4) of components in the database, and the grid is\n"
    "printed as a table:\n"
    "  zolvant-cli solve -T 26.85 -P 1 n-Butane=0.5 Methane=0.5\n"
    "--wide (with --table, or in the quick form) sets the six blocks side by side, one\n"
    "line per row, about 160 columns; --csv prints the quick form's case as CSV.\n"
    "\n"
    "--insight adds to each block of the JSON output the key \"insight\": one object per\n"
    "row in use (index = position) with the equation's own view of the pure component:\n"
    "  {\"Tr\", \"Pr\": T/Tc and P/Pc; \"Psat\": the equation's saturation pressure in bar\n"
    "   (null at or above Tc, or where its isotherm has no loop); \"stable\": \"vapour\",\n"
    "   \"liquid\", \"saturated\" or \"supercritical\" (null when undefined); \"roots\": every\n"
    "   real root V > b in cm3/mol, ascending; \"lnPhiLiquid\", \"lnPhiVapour\": ln of the\n"
    "   fugacity coefficient of the smallest and the largest root; \"vapourSteps\",\n"
    "   \"vapourEnd\", \"liquidSteps\", \"liquidEnd\": the step at which the grid's\n"
    "   iteration stopped and why (\"converged\", \"below b\", \"above ideal-gas volume\",\n"
    "   \"step limit\", \"undefined\", \"above Tc\"; liquidSteps null above Tc)}\n"
    "  Numbers read back to the same double. With --table or the quick form the same\n"
    "  facts follow each block; --insight does not apply to --csv.\n"
    "Exit status: 0 when solved; 1 when a check refuses the case or a name cannot be\n"
    "found (the message on standard error); 2 for wrong usage.";

enum class Output { Json, Table, WideTable, Csv };

// The CSV header, with the echoed inputs' fields when asked for.
QString csvHeaderFor(bool echo) {
    QString header = csvHeader();
    if (echo) header.insert(header.size() - 2, QString::fromStdString(echoCsvHeaderFields()));
    return header;
}

// A case's CSV records, with its inputs when asked for.
void appendCsvCase(std::string& text, std::string_view lead, const CaseReport& report, bool echo) {
    if (!echo) return appendCsvRecords(text, lead, report);
    appendCsvRecords(text, lead, report, [&report](std::string& out, int, int) { appendEchoCsvFields(out, report); });
}

bool writeCase(QIODevice& out, const CaseReport& report, Output output, bool insight) {
    if (output == Output::WideTable) return writeText(out, toWideTable(report, insight));
    return writeText(out, toTable(report, insight));
}

int runQuickForm(const QStringList& arguments, const QString& temperature, const QString& pressure,
                 const QStringList& positional, const ComponentLookup& lookup, Output output, bool insight,
                 bool echo, QIODevice& out, QIODevice& err) {
    if (positional.contains(QStringLiteral("-")))
        return usageError(arguments,
                          QStringLiteral("with -T and -P the components are %1 pairs; standard input ('-') "
                                         "is not read").arg(kPairValue),
                          err);
    const Checked<ComponentPairs> pairs =
        componentPairs(positional, {}, QStringLiteral(" (with -T and -P the arguments are components, not files)"));
    if (!pairs) return usageError(arguments, pairs.problem, err);

    const CaseReport report = evaluateLine(quickCase(temperature, pressure, *pairs), QString(), lookup);
    if (report.inputError) return failure(arguments, QStringLiteral("Input ERROR: ") + inputErrorMessage(report), err);
    if (!report.outcome.solved)
        return failure(arguments,
                       QStringLiteral("%1: %2").arg(QString::fromStdString(report.outcome.title),
                                                    QString::fromStdString(report.outcome.message)),
                       err);
    std::string records;
    if (output == Output::Csv) appendCsvCase(records, "1,", report, echo);
    const bool written = output == Output::Csv ? writeText(out, csvHeaderFor(echo) + QString::fromStdString(records))
                                               : writeCase(out, report, output, insight);
    // main() says why the write failed.
    return written ? ExitOk : ExitFailure;
}

}  // namespace

QByteArray quickCase(const QString& temperature, const QString& pressure,
                     const std::vector<std::pair<QString, QString>>& pairs) {
    QJsonArray components;
    for (const auto& [name, fraction] : pairs)
        components.append(QJsonObject{{QStringLiteral("name"), name}, {QStringLiteral("fraction"), fraction}});
    const QJsonObject c{{QStringLiteral("temperature"), temperature},
                        {QStringLiteral("pressure"), pressure},
                        {QStringLiteral("components"), components}};
    return QJsonDocument(c).toJson(QJsonDocument::Compact);
}

int runSolveCommand(const QStringList& arguments, QIODevice& in, QIODevice& out, QIODevice& err,
                    const ComponentLookup& givenLookup) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    const QCommandLineOption table(QStringLiteral("table"),
                                   QStringLiteral("Print each case's grid as a table for reading in a terminal "
                                                  "instead of JSON (always so in the quick form, unless --csv)."));
    parser.addOption(table);
    const QCommandLineOption wide(QStringLiteral("wide"),
                                  QStringLiteral("With --table (or in the quick form): the six blocks side by side, "
                                                 "one line per row, about 160 columns wide."));
    parser.addOption(wide);
    const QCommandLineOption csv(QStringLiteral("csv"),
                                 QStringLiteral("Print one CSV table for all cases instead of JSON (see the "
                                                "description above)."));
    parser.addOption(csv);
    const QCommandLineOption insightOption(
        QStringLiteral("insight"),
        QStringLiteral("Add each row's roots, fugacity, saturation pressure, stable phase and how its roots "
                       "ended: the key \"insight\" of each JSON block, or lines under each block of a table."));
    parser.addOption(insightOption);
    const QCommandLineOption inputOption(
        QStringLiteral("input"),
        QStringLiteral("How the cases are written: jsonl (JSON Lines, the default) or csv (see the description "
                       "above)."),
        QStringLiteral("FORMAT"));
    parser.addOption(inputOption);
    const QCommandLineOption echoOption(
        QStringLiteral("echo"),
        QStringLiteral("Add each case's temperature, pressure and components to its JSON line or CSV records."));
    parser.addOption(echoOption);
    parser.addOption(databaseOption());
    const QCommandLineOption temperature = temperatureOption(
        QStringLiteral("Quick form: the temperature in degrees Celsius, as typed into the temperature box. Needs -P."));
    parser.addOption(temperature);
    const QCommandLineOption pressure =
        pressureOption(QStringLiteral("Quick form: the pressure in bar, as typed into the pressure box. Needs -T."));
    parser.addOption(pressure);
    parser.addPositionalArgument(QStringLiteral("files"),
                                 QStringLiteral("JSON Lines files of cases (default: standard input); in the quick "
                                                "form, NAME=FRACTION pairs."),
                                 QStringLiteral("[files...]"));
    if (const auto done = parseCommandLine(parser, arguments, QStringLiteral("[options] [files...]\n"
                                                                             "       %1 -T CELSIUS -P BAR NAME=FRACTION...")
                                                                  .arg(arguments.value(0)),
                                           out, err))
        return *done;

    // Names are looked up in the database only when a case gives one.
    DatabaseComponents components([&parser] { return componentDatabasePath(parser); });
    const ComponentLookup lookup = givenLookup ? givenLookup : components.lookup();

    const bool quick = parser.isSet(temperature) || parser.isSet(pressure);
    if (parser.isSet(csv) && parser.isSet(table))
        return usageError(arguments, QStringLiteral("--csv and --table exclude each other"), err);
    if (parser.isSet(csv) && parser.isSet(wide))
        return usageError(arguments, QStringLiteral("--wide is a form of --table; it does not apply to --csv"), err);
    if (parser.isSet(csv) && parser.isSet(insightOption))
        return usageError(arguments, QStringLiteral("--insight applies to the JSON output and the tables, not to --csv"),
                          err);
    const bool insight = parser.isSet(insightOption);
    const bool echo = parser.isSet(echoOption);
    if (echo && (parser.isSet(table) || parser.isSet(wide) || (quick && !parser.isSet(csv))))
        return usageError(arguments, QStringLiteral("--echo applies to the JSON and CSV output, not to tables"), err);
    const QString inputForm = parser.value(inputOption);
    if (parser.isSet(inputOption) && inputForm != QStringLiteral("csv") && inputForm != QStringLiteral("jsonl"))
        return usageError(arguments, QStringLiteral("--input: '%1' is not jsonl or csv").arg(inputForm), err);
    if (quick && parser.isSet(inputOption))
        return usageError(arguments, QStringLiteral("--input applies to cases read from files, not to the quick form"),
                          err);
    const InputForm input = inputForm == QStringLiteral("csv") ? InputForm::Csv : InputForm::JsonLines;
    if (parser.isSet(wide) && !parser.isSet(table) && !quick)
        return usageError(arguments, QStringLiteral("--wide needs --table (or the quick form)"), err);
    const Output output = parser.isSet(csv)    ? Output::Csv
                          : parser.isSet(wide) ? Output::WideTable
                          : parser.isSet(table) || quick ? Output::Table
                                                         : Output::Json;

    const QStringList positional = parser.positionalArguments();
    if (quick) {
        if (!parser.isSet(pressure))
            return usageError(arguments, QStringLiteral("-T is given without -P: the quick form needs both"), err);
        if (!parser.isSet(temperature))
            return usageError(arguments, QStringLiteral("-P is given without -T: the quick form needs both"), err);
        return runQuickForm(arguments, parser.value(temperature), parser.value(pressure), positional, lookup, output,
                            insight, echo, out, err);
    }

    // Open every file first: a missing file is a usage error before any output.
    std::vector<std::unique_ptr<QFile>> files;
    std::vector<CaseSource> sources;
    if (positional.isEmpty()) sources.push_back({QString(), &in});
    for (const QString& name : positional) {
        if (name == QStringLiteral("-")) {
            sources.push_back({QString(), &in});
            continue;
        }
        auto f = std::make_unique<QFile>(name);
        if (!f->open(QIODevice::ReadOnly)) {
            QString problem = QStringLiteral("cannot open %1: %2").arg(name, f->errorString());
            if (name.contains(QLatin1Char('=')))
                problem += QStringLiteral(" (%1 pairs need -T and -P)").arg(kPairValue);
            return usageError(arguments, problem, err);
        }
        sources.push_back({QFileInfo(name).fileName(), f.get()});
        files.push_back(std::move(f));
    }

    if (output == Output::Csv && !writeText(out, csvHeaderFor(echo))) return ExitFailure;
    const auto format = [output, insight, echo](std::string& text, const CaseReport& report, int number) {
        switch (output) {
        case Output::Json:
            if (insight || !appendPlainJsonLine(text, report)) text += toJsonLineByQJson(report, insight).toStdString();
            if (echo) addEchoJson(text, report);
            text += '\n';
            break;
        case Output::Csv:
            appendCsvCase(text, std::to_string(number) + ',', report, echo);
            break;
        case Output::Table:
        case Output::WideTable:
            if (number > 1) text += '\n';
            text += (output == Output::WideTable ? toWideTable(report, insight) : toTable(report, insight)).toStdString();
            break;
        }
    };
    const StreamCounts counts = solveCases(sources, lookup, format, out, input);
    if (counts.outputFailed) return ExitFailure;  // main() says why
    const int lines = counts.lines, badLines = counts.badLines;
    if (badLines > 0)
        return failure(arguments,
                       (badLines == 1 ? QStringLiteral("%1 of %2 lines was not a case; see its Input ERROR")
                                      : QStringLiteral("%1 of %2 lines were not cases; see their Input ERROR"))
                           .arg(badLines)
                           .arg(lines),
                       err);
    return ExitOk;
}

}  // namespace zolvant::cli
