// zolvant-cli solve --input csv and --echo: a CSV row gives exactly the
// answer of the same case as a JSON line; --echo adds the case's inputs and
// changes nothing else; a bad row is an Input ERROR naming its line; a JSON
// Lines input whose first line is not JSON says how to give CSV.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "cli/tests/support.h"

namespace zolvant::cli {
namespace {

using test::CliRun;
using test::readCsv;
using test::Records;
using test::runCli;

const QByteArray kCsvHeader =
    "Temperature (C),Pressure (bar),Component 1,Fraction 1,Component 2,Fraction 2,Component 3,Fraction 3,"
    "Component 4,Fraction 4\r\n";

// Each row beside the JSON line of the same case.
struct Row {
    QByteArray csv;
    QByteArray json;
    QStringList echo;  // the ten fields --echo adds to its CSV records
};

const QList<Row>& rows() {
    static const QList<Row> list{
        // A name that needs quoting, every pair given up to the second.
        {R"(26.85,1,"Butane ""B"", normal",0.5,Methane,0.5,,,,)",
         R"({"temperature": "26.85", "pressure": "1", "components": [{"name": "Butane \"B\", normal", "fraction": "0.5"}, {"name": "Methane", "fraction": "0.5"}]})",
         {"26.85", "1", "Butane \"B\", normal", "0.5", "Methane", "0.5", "", "", "", ""}},
        // Trailing pairs left out; the fraction left to its proposal.
        {"-50,2,Methane,",
         R"({"temperature": "-50", "pressure": "2", "components": [{"name": "Methane"}]})",
         {"-50", "2", "Methane", "", "", "", "", "", "", ""}},
        // Refused by Solve (the fractions do not add up to 1).
        {"20,1,Methane,0.3,\"Butane \"\"B\"\", normal\",0.3",
         R"({"temperature": "20", "pressure": "1", "components": [{"name": "Methane", "fraction": "0.3"}, {"name": "Butane \"B\", normal", "fraction": "0.3"}]})",
         {"20", "1", "Methane", "0.3", "Butane \"B\", normal", "0.3", "", "", "", ""}},
        // An empty temperature box, a pressure that is not a number.
        {",abc,Methane,1,,,,,,",
         R"({"pressure": "abc", "components": [{"name": "Methane", "fraction": "1"}]})",
         {"", "abc", "Methane", "1", "", "", "", "", "", ""}},
    };
    return list;
}

class CliCsvInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        db_ = test::makeDatabase(dir_.path(), "\"Butane \"\"B\"\", normal\",58.123,425.1,37.96,255,0.2,0.03443,,\n"
                                              "Methane,16.043,190.6,45.99,98.6,0.011,-0.00159,,\n");
        ASSERT_FALSE(db_.isEmpty());
    }
    CliRun solve(QStringList args, const QByteArray& input) {
        args.prepend(QStringLiteral("solve"));
        args << QStringLiteral("--db") << db_;
        return runCli(args, input);
    }
    static QByteArray csvInput() {
        QByteArray in = kCsvHeader;
        for (const Row& r : rows()) in += r.csv + "\r\n";
        return in;
    }
    static QByteArray jsonInput() {
        QByteArray in;
        for (const Row& r : rows()) in += r.json + "\n";
        return in;
    }

    QTemporaryDir dir_;
    QString db_;
};

TEST_F(CliCsvInputTest, CsvRowsAnswerAsTheirJsonLines) {
    for (const QStringList& form : {QStringList{}, QStringList{"--csv"}}) {
        const CliRun fromCsv = solve(QStringList{"--input", "csv"} + form, csvInput());
        const CliRun fromJson = solve(form, jsonInput());
        EXPECT_EQ(fromCsv.exitCode, 0) << fromCsv.err.toStdString();
        EXPECT_EQ(fromJson.exitCode, 0) << fromJson.err.toStdString();
        EXPECT_EQ(fromCsv.out, fromJson.out) << form.join(' ').toStdString();
        EXPECT_FALSE(fromCsv.out.isEmpty());
    }
}

TEST_F(CliCsvInputTest, EchoAddsTheInputsAndNothingElse) {
    // JSON: the line without "input" is the line printed without --echo.
    const CliRun plain = solve({"--input", "csv"}, csvInput());
    const CliRun echoed = solve({"--input", "csv", "--echo"}, csvInput());
    ASSERT_EQ(echoed.exitCode, 0) << echoed.err.toStdString();
    const QList<QByteArray> plainLines = plain.out.split('\n');
    const QList<QByteArray> lines = echoed.out.split('\n');
    ASSERT_EQ(lines.size(), rows().size() + 1);
    for (int i = 0; i < rows().size(); ++i) {
        QJsonObject o = QJsonDocument::fromJson(lines[i]).object();
        const QJsonObject input = o.take(QStringLiteral("input")).toObject();
        EXPECT_EQ(o, QJsonDocument::fromJson(plainLines[i]).object()) << i;
        const QStringList& want = rows()[i].echo;
        const auto text = [](const QJsonValue& v) { return v.isNull() ? QString() : v.toString(); };
        EXPECT_EQ(text(input[QStringLiteral("temperature")]), want[0]) << i;
        EXPECT_EQ(text(input[QStringLiteral("pressure")]), want[1]) << i;
        const QJsonArray components = input[QStringLiteral("components")].toArray();
        for (int k = 0; k < 4; ++k) {
            const QJsonObject c = components.at(k).toObject();
            EXPECT_EQ(text(c[QStringLiteral("name")]), want[2 + 2 * k]) << i << ' ' << k;
            EXPECT_EQ(text(c[QStringLiteral("fraction")]), want[3 + 2 * k]) << i << ' ' << k;
        }
    }

    // CSV: every record is the record printed without --echo, then the ten inputs.
    const std::optional<Records> plainCsv = readCsv(solve({"--input", "csv", "--csv"}, csvInput()).out);
    const std::optional<Records> echoedCsv = readCsv(solve({"--input", "csv", "--csv", "--echo"}, csvInput()).out);
    ASSERT_TRUE(plainCsv && echoedCsv);
    ASSERT_EQ(plainCsv->size(), echoedCsv->size());
    const QStringList echoHeader = QString::fromUtf8(kCsvHeader.trimmed()).split(',');
    EXPECT_EQ(echoedCsv->front(), plainCsv->front() + echoHeader);
    for (qsizetype r = 1; r < echoedCsv->size(); ++r) {
        const QStringList& record = (*echoedCsv)[r];
        const int caseNumber = record.front().toInt();
        ASSERT_GE(caseNumber, 1);
        ASSERT_LE(caseNumber, rows().size());
        EXPECT_EQ(record, (*plainCsv)[r] + rows()[caseNumber - 1].echo) << r;
    }
}

TEST_F(CliCsvInputTest, ABadRowIsAnInputErrorNamingItsLine) {
    struct Bad {
        QByteArray row;
        const char* says;
    };
    const Bad bad[] = {
        {"26.85,1,Methanol,1", "component 1: no component named \"Methanol\""},
        {"26.85,1,Methane,0.5,,0.5", "Fraction 2 is given without Component 2"},
        {"26.85,1,Methane,0.5,,,Methane,0.5", "Component 3 follows the empty Component 2"},
        {"26.85,1,Methane,1,,,,,,,extra", "11 values; a row has at most 10"},
        {"26.85,1,\"Methane,1", "not a CSV row: a quoted value is not closed."},
    };
    for (const Bad& b : bad) {
        // The bad row between two good ones: line 3 of the file.
        const QByteArray input = kCsvHeader + rows()[1].csv + "\r\n" + b.row + "\r\n" + rows()[1].csv + "\r\n";
        const CliRun run = solve({"--input", "csv"}, input);
        EXPECT_EQ(run.exitCode, 1) << b.row.toStdString();
        const QList<QByteArray> lines = run.out.trimmed().split('\n');
        ASSERT_EQ(lines.size(), 3) << run.out.toStdString();
        const QJsonObject error = QJsonDocument::fromJson(lines[1]).object()[QStringLiteral("error")].toObject();
        EXPECT_EQ(error[QStringLiteral("title")].toString(), QStringLiteral("Input ERROR"));
        const QString message = error[QStringLiteral("message")].toString();
        EXPECT_TRUE(message.startsWith(QStringLiteral("line 3: "))) << message.toStdString();
        EXPECT_TRUE(message.contains(QString::fromUtf8(b.says))) << message.toStdString();
        EXPECT_EQ(lines[0], lines[2]);  // the rows around it are solved
        EXPECT_TRUE(run.err.contains("1 of 3 lines was not a case")) << run.err.toStdString();
    }

    // A first line that is not the header is not taken for one.
    const CliRun noHeader = solve({"--input", "csv"}, rows()[1].csv + "\r\n");
    EXPECT_EQ(noHeader.exitCode, 1);
    EXPECT_TRUE(noHeader.out.contains("line 1: a CSV input begins with the header Temperature (C),Pressure (bar),"))
        << noHeader.out.toStdString();
}

TEST_F(CliCsvInputTest, ANonJsonFirstLineSaysHowToGiveCsv) {
    const CliRun run = solve({}, csvInput());
    EXPECT_EQ(run.exitCode, 1);
    const QList<QByteArray> lines = run.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), rows().size() + 1);
    const auto message = [&lines](int i) {
        return QJsonDocument::fromJson(lines[i]).object()[QStringLiteral("error")].toObject()[QStringLiteral("message")]
            .toString();
    };
    EXPECT_TRUE(message(0).startsWith(QStringLiteral("line 1: not valid JSON: "))) << message(0).toStdString();
    EXPECT_TRUE(message(0).contains(QStringLiteral("solve reads JSON Lines"))) << message(0).toStdString();
    EXPECT_TRUE(message(0).contains(QStringLiteral("give --input csv"))) << message(0).toStdString();
    // Said once, on the first line only; a first line that is JSON but not a case is not given it.
    EXPECT_FALSE(message(1).contains(QStringLiteral("--input csv"))) << message(1).toStdString();
    const CliRun notACase = solve({}, "{\"components\": 3}\n");
    EXPECT_FALSE(notACase.out.contains("--input csv")) << notACase.out.toStdString();
}

TEST_F(CliCsvInputTest, OptionsThatDoNotApply) {
    struct Usage {
        QStringList args;
        const char* says;
    };
    const Usage usages[] = {
        {{"--input", "xml"}, "--input: 'xml' is not jsonl or csv"},
        {{"--echo", "--table"}, "--echo applies to the JSON and CSV output, not to tables"},
        {{"--input", "csv", "-T", "20", "-P", "1", "Methane=1"}, "--input applies to cases read from files"},
    };
    for (const Usage& u : usages) {
        const CliRun run = solve(u.args, csvInput());
        EXPECT_EQ(run.exitCode, 2) << u.args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(u.says)) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
}

}  // namespace
}  // namespace zolvant::cli
