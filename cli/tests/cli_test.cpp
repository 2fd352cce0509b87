// zolvant-cli solve: parsing of case lines, the case run as the window runs
// it, the JSON and table renderings, and the executable's exit statuses.

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <vector>

#include "report/case_parser.h"
#include "report/case_report.h"
#include "cli/tests/support.h"

namespace zolvant::cli {
namespace {

using namespace report;  // the case and its written forms

using test::CliRun;
using test::runCli;

using test::kMixtureCase;

QJsonObject jsonOf(const QByteArray& line) { return QJsonDocument::fromJson(line).object(); }

QStringList texts(const QJsonValue& v) {
    QStringList out;
    for (const QJsonValue& x : v.toArray()) out << x.toString();
    return out;
}

TEST(CaseParser, RejectsLinesThatAreNotCases) {
    struct Row { const char* line; const char* message; };
    const Row rows[] = {
        {"{bad", "not valid JSON: "},
        {R"({"components": [{"Tc": 1e400}]})", "not valid JSON: "},
        {"[1, 2]", "a case must be a JSON object"},
        {"{}", "missing \"components\""},
        {R"({"components": 5})", "\"components\" must be an array"},
        {R"({"components": [{}, {}, {}, {}, {}]})", "\"components\" holds 5 components; at most 4 are allowed"},
        {R"({"components": [1]})", "component 1: must be a JSON object"},
        {R"({"components": [{"Tc": 425.1}, {"Tc": "425"}]})", "component 2: \"Tc\" must be a number or null"},
        {R"({"components": [{"omgea": 0.2}]})", "component 1: unknown key \"omgea\""},
        {R"({"components": [{"fraction": [0.5]}]})", "component 1: \"fraction\" must be a text, a number or null"},
        {R"({"components": [], "pressur": "1"})", "unknown key \"pressur\""},
        {R"({"components": [], "temperature": true})", "\"temperature\" must be a text, a number or null"},
        {R"({"components": [{"name": "Methane"}]})", "component 1: components are given by their constants here"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.line);
        const auto parsed = parseCase(r.line);
        ASSERT_TRUE(std::holds_alternative<QString>(parsed));
        EXPECT_TRUE(std::get<QString>(parsed).startsWith(QString::fromUtf8(r.message))) << std::get<QString>(parsed).toStdString();
    }
}

TEST(CaseParser, ReadsTextsNumbersAndNullFields) {
    const auto parsed = parseCase(
        R"({"temperature": 26.85, "pressure": "2", "components": [{"Tc": 425.1, "Pc": null, "K2": 0.6, "fraction": 0.5}, {"Tc": 190.6}]})");
    ASSERT_TRUE(std::holds_alternative<Case>(parsed));
    const CaseInput& in = std::get<Case>(parsed).input;
    EXPECT_EQ(in.temperature, "26.85");
    EXPECT_EQ(in.pressure, "2");
    ASSERT_EQ(in.components.size(), 2u);
    EXPECT_EQ(in.components[0].constants, (ComponentConstants{425.1, std::nullopt, std::nullopt, std::nullopt, 0.6, std::nullopt}));
    EXPECT_EQ(in.components[0].fraction, "0.5");
    EXPECT_EQ(in.components[1].fraction, std::nullopt);
}

TEST(CaseParser, NameIsResolvedByTheLookupAndGivenConstantsWin) {
    const ComponentLookup lookup = [](const QString& name) -> std::optional<ComponentConstants> {
        if (name == QStringLiteral("Methane")) return ComponentConstants{190.56, 45.99, 0.011, -0.00159, 0.1521, 0.517};
        return std::nullopt;
    };
    const auto parsed = parseCase(R"({"components": [{"name": "Methane", "omega": null, "K1": 0.5}]})", lookup);
    ASSERT_TRUE(std::holds_alternative<Case>(parsed));
    const Case& c = std::get<Case>(parsed);
    EXPECT_EQ(c.names[0], QStringLiteral("Methane"));
    EXPECT_EQ(c.input.components[0].constants, (ComponentConstants{190.56, 45.99, std::nullopt, 0.5, 0.1521, 0.517}));

    const auto unknown = parseCase(R"({"components": [{"name": "Unobtainium"}]})", lookup);
    EXPECT_EQ(std::get<QString>(unknown), QStringLiteral("component 1: no component named \"Unobtainium\""));
}

TEST(SolveCase, MixtureExampleAsJson) {
    const CaseReport r = evaluateLine(kMixtureCase, QStringLiteral("line 1"));
    const QJsonObject o = jsonOf(toJsonLine(r));
    EXPECT_EQ(o.value("ok"), QJsonValue(true));
    EXPECT_EQ(o.value("numComps"), QJsonValue(2));
    const QJsonArray blocks = o.value("blocks").toArray();
    ASSERT_EQ(blocks.size(), 6);
    const QJsonObject vdw = blocks[0].toObject();
    EXPECT_EQ(vdw.value("name"), QJsonValue("Van der Waals"));
    EXPECT_EQ(texts(vdw.value("liquid")), (QStringList{"165.47", "NA - Tc", "", "", "165.47"}));
    EXPECT_EQ(texts(vdw.value("vapour")), (QStringList{"24494.3", "24892.7", "", "", "24693.5"}));
    EXPECT_EQ(texts(vdw.value("Z")), (QStringList{"0.9821", "0.9980", "", "", "0.9900"}));
    EXPECT_EQ(vdw.value("mark").toArray(), (QJsonArray{QJsonValue::Null, QJsonValue::Null, QJsonValue::Null, QJsonValue::Null}));
    const QJsonObject rk = blocks[1].toObject();
    EXPECT_EQ(texts(rk.value("liquid"))[4], "113.40");
    EXPECT_EQ(texts(rk.value("vapour"))[4], "24618.3");
    EXPECT_EQ(texts(rk.value("Z"))[4], "0.9870");
    EXPECT_EQ(blocks[2].toObject().value("mark").toArray(), (QJsonArray{"window", "window", QJsonValue::Null, QJsonValue::Null}));
}

TEST(SolveCase, RunsTheBoxesAsTheWindowDoes) {
    struct Row { const char* what; QByteArray line; QByteArray expected; };
    const Row rows[] = {
        {"total not 1", R"({"temperature": "26.85", "pressure": "1", "components": [{"Tc": 425.1, "Pc": 37.96, "fraction": "0.5"}, {"Tc": 190.6, "Pc": 45.99, "fraction": "0.4"}]})",
         R"({"error":{"message":"Mole Fraction Total Not Equal to 1","title":"Mixture ERROR"},"ok":false})"},
        {"temperature missing", R"({"pressure": "1", "components": [{"Tc": 425.1, "Pc": 37.96, "fraction": "1"}]})",
         R"({"error":{"message":"State Temperature NOT Specified","title":"Temperature ERROR"},"ok":false})"},
        {"temperature empty", R"({"temperature": "", "pressure": "1", "components": [{"Tc": 425.1, "Pc": 37.96, "fraction": "1"}]})",
         R"({"error":{"message":"State Temperature NOT Specified","title":"Temperature ERROR"},"ok":false})"},
        {"temperature too low", R"({"temperature": -187.01, "pressure": "1", "components": [{"Tc": 425.1, "Pc": 37.96, "fraction": "1"}]})",
         R"({"error":{"message":"State Temperature BELOW Minimum","title":"Temperature ERROR"},"ok":false})"},
        {"pressure never stored", R"({"temperature": "25", "pressure": "abc", "components": [{"Tc": 425.1, "Pc": 37.96, "fraction": "1"}]})",
         R"({"error":{"message":"Invalid or Incorrect Pressure","title":"Pressure ERROR"},"ok":false})"},
        {"no components", R"({"temperature": "25", "pressure": "1", "components": []})",
         R"({"error":{"message":"Mole Fraction Total Not Equal to 1","title":"Mixture ERROR"},"ok":false})"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(toJsonLine(evaluateLine(r.line, QStringLiteral("line 1"))), r.expected);
    }
}

TEST(SolveCase, FractionBoxesProposeAndClean) {
    // The second fraction is passed without typing: it keeps the proposal.
    const CaseReport r = evaluateLine(
        R"({"temperature": "26.85", "pressure": "1", "components": [{"Tc": 425.1, "Pc": 37.96, "fraction": " .6 "}, {"Tc": 190.6, "Pc": 45.99}]})",
        QStringLiteral("line 1"));
    ASSERT_TRUE(r.outcome.solved);
    EXPECT_EQ(r.outcome.fractions, (FractionTexts{"0.600", "0.400", "", ""}));
    EXPECT_EQ(r.outcome.state.numComps, 2);

    // Three thirds typed as 0.333, 0.333 and the proposal: 0.334.
    const CaseReport thirds = evaluateLine(
        R"({"temperature": "26.85", "pressure": "1", "components": [{"Tc": 425.1, "Pc": 37.96, "fraction": "0.333"}, {"Tc": 190.6, "Pc": 45.99, "fraction": "0.333"}, {"Tc": 305.3, "Pc": 48.72}]})",
        QStringLiteral("line 1"));
    ASSERT_TRUE(thirds.outcome.solved);
    EXPECT_EQ(thirds.outcome.fractions[2], "0.334");
}

TEST(SolveCase, TableShowsBlocksRowsAndMarks) {
    const QString table = toTable(evaluateLine(kMixtureCase, QStringLiteral("line 7")));
    EXPECT_TRUE(table.startsWith(QStringLiteral("Case at line 7: 300 K, 1 bar\n")));
    for (int b = 0; b < kBlocks; ++b) EXPECT_TRUE(table.contains(QString::fromLatin1(blockName(b))));
    EXPECT_TRUE(table.contains(QRegularExpression(QStringLiteral("Mixture +165\\.47 +24693\\.5 +0\\.9900"))));
    EXPECT_TRUE(table.contains(QRegularExpression(QStringLiteral("Component 2 \\(0\\.500\\) +NA - Tc +24892\\.7 +0\\.9980\n"))));
    EXPECT_TRUE(table.contains(QStringLiteral("of 1 components.")));
    EXPECT_EQ(toTable(evaluateLine("{", QStringLiteral("line 2"))).section(QLatin1Char('\n'), 1, 1),
              QStringLiteral("  Input ERROR: not valid JSON: unterminated object at character 2"));
}

// ---- the executable ----

TEST(SolveCommand, EveryLineAnsweredInOrderAndBadLinesCounted) {
    const CliRun r = runCli({"solve"}, kMixtureCase + "\n{\"components\": 3}\n\n" +
                                        R"({"temperature": "26.85", "pressure": "0", "components": [{"Tc": 425.1, "Pc": 37.96, "fraction": "1"}]})" "\r\n");
    EXPECT_EQ(r.exitCode, 1);
    const QList<QByteArray> lines = r.out.split('\n');
    ASSERT_EQ(lines.size(), 4);  // three answers, the blank line skipped
    EXPECT_EQ(jsonOf(lines[0]).value("ok"), QJsonValue(true));
    EXPECT_EQ(lines[1], R"({"error":{"message":"line 2: \"components\" must be an array","title":"Input ERROR"},"ok":false})");
    EXPECT_EQ(jsonOf(lines[2]).value("error").toObject().value("title"), QJsonValue("Pressure ERROR"));
    EXPECT_EQ(r.err, "zolvant-cli solve: 1 of 3 lines was not a case; see its Input ERROR\n");
}

TEST(SolveCommand, ExitStatus) {
    EXPECT_EQ(runCli({"solve"}, kMixtureCase + "\n" + kMixtureCase).exitCode, 0);
    EXPECT_EQ(runCli({"solve"}, "").exitCode, 0);

    struct Row { QStringList args; int exitCode; const char* stderrText; };
    const Row usage[] = {
        {{"solve", "--bogus"}, 2, "Unknown option 'bogus'."},
        {{"solve", "/nonexistent/cases.jsonl"}, 2, "cannot open /nonexistent/cases.jsonl"},
        {{}, 2, "no command given"},
        {{"frobnicate"}, 2, "unknown command 'frobnicate'"},
    };
    for (const Row& u : usage) {
        SCOPED_TRACE(u.args.join(' ').toStdString());
        const CliRun r = runCli(u.args, kMixtureCase);
        EXPECT_EQ(r.exitCode, u.exitCode);
        EXPECT_TRUE(r.err.contains(u.stderrText)) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
}

TEST(Commands, HelpExplainsEveryOption) {
    struct Row { const char* command; std::vector<const char*> mentions; };
    const Row rows[] = {
        {"solve", {"--table", "--wide", "--csv", "--db", "-T, --temperature", "-P, --pressure", "--help", "files", "NAME=FRACTION",
                   "Exit status", "\"fraction\"", "\"name\"", "Input ERROR"}},
        {"list", {"--db", "--help", "Exit status"}},
        {"create-db", {"--from", "FILE", "--help", "Exit status", "line"}},
        {"import-mdb", {"--name-unnamed", "ACCESS_FILE", "NEW_FILE", "--help", "Exit status", "tblComps"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.command);
        const CliRun run = runCli({r.command, "--help"});
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_TRUE(run.out.startsWith("Usage: zolvant-cli " + QByteArray(r.command) + " ")) << run.out.toStdString();
        for (const char* s : r.mentions) EXPECT_TRUE(run.out.contains(s)) << s;
    }
    const CliRun top = runCli({"--help"});
    EXPECT_EQ(top.exitCode, 0);
    for (const char* command : {"solve", "list", "create-db", "import-mdb"}) EXPECT_TRUE(top.out.contains(command)) << command;
}

TEST(SolveCommand, FilesAreReadInOrderAndNamedInErrors) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto write = [&](const QString& name, const QByteArray& content) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    };
    write("a.jsonl", kMixtureCase + "\n");
    write("b.jsonl", "\n\nnot json\n");
    const CliRun r = runCli({"solve", dir.filePath("a.jsonl"), dir.filePath("b.jsonl")});
    EXPECT_EQ(r.exitCode, 1);
    const QList<QByteArray> lines = r.out.split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(jsonOf(lines[0]).value("ok"), QJsonValue(true));
    EXPECT_TRUE(jsonOf(lines[1]).value("error").toObject().value("message").toString().startsWith("b.jsonl, line 3: not valid JSON"));
}

TEST(SolveCommand, TableForPeople) {
    const CliRun r = runCli({"solve", "--table"}, kMixtureCase + "\n");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.startsWith("Case at line 1: 300 K, 1 bar\n"));
    EXPECT_TRUE(r.out.contains("24693.5"));
    EXPECT_FALSE(r.out.contains("{"));
}

}  // namespace
}  // namespace zolvant::cli

