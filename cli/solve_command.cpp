#include "cli/solve_command.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>

#include <memory>
#include <vector>

#include "cli/case_report.h"
#include "cli/database_components.h"

namespace zolvant::cli {
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
    "               are loaded as the window loads them (exact name; of equal names the\n"
    "               last in the database's order); constants given beside it replace them\n"
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
    "was not, 2 for wrong usage.";

struct Source {
    QString label;  // "" for standard input
    QIODevice* device;
};

}  // namespace

int runSolveCommand(const QStringList& arguments, QIODevice& in, QIODevice& out, QIODevice& err,
                    const ComponentLookup& givenLookup) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    const QCommandLineOption table(QStringLiteral("table"),
                                   QStringLiteral("Print each case's grid as a table for reading in a terminal "
                                                  "instead of JSON."));
    parser.addOption(table);
    const QCommandLineOption database = databaseOption();
    parser.addOption(database);
    parser.addPositionalArgument(QStringLiteral("files"),
                                 QStringLiteral("JSON Lines files of cases (default: standard input)."),
                                 QStringLiteral("[files...]"));
    if (const auto done = parseCommandLine(parser, arguments, QStringLiteral("[options] [files...]"), out, err))
        return *done;

    // Names are looked up in the database only when a case gives one.
    DatabaseComponents components([&parser] { return componentDatabasePath(parser); });
    const ComponentLookup lookup = givenLookup ? givenLookup : components.lookup();

    const QStringList positional = parser.positionalArguments();

    // Open every file first: a missing file is a usage error before any output.
    std::vector<std::unique_ptr<QFile>> files;
    std::vector<Source> sources;
    if (positional.isEmpty()) sources.push_back({QString(), &in});
    for (const QString& name : positional) {
        if (name == QStringLiteral("-")) {
            sources.push_back({QString(), &in});
            continue;
        }
        auto f = std::make_unique<QFile>(name);
        if (!f->open(QIODevice::ReadOnly)) {
            return usageError(arguments, QStringLiteral("cannot open %1: %2").arg(name, f->errorString()), err);
        }
        sources.push_back({QFileInfo(name).fileName(), f.get()});
        files.push_back(std::move(f));
    }

    const bool asTable = parser.isSet(table);
    int lines = 0, badLines = 0;
    for (const Source& src : sources) {
        for (int lineNumber = 1;; ++lineNumber) {
            QByteArray line = src.device->readLine();
            if (line.isEmpty() && src.device->atEnd()) break;
            if (lineNumber == 1 && line.startsWith("\xEF\xBB\xBF")) line.remove(0, 3);
            if (line.trimmed().isEmpty()) continue;

            const QString where = src.label.isEmpty() ? QStringLiteral("line %1").arg(lineNumber)
                                                      : QStringLiteral("%1, line %2").arg(src.label).arg(lineNumber);
            const CaseReport report = evaluateLine(line, where, lookup);
            if (report.inputError) ++badLines;
            if (asTable) {
                if (lines > 0) out.write("\n");
                writeText(out, toTable(report));
            } else {
                out.write(toJsonLine(report));
                out.write("\n");
            }
            ++lines;
        }
    }
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
