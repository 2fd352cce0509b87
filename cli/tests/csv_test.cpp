// zolvant-cli solve --csv and --table --wide: the CSV reads back to the same
// cells as the JSON output, refusals become error records, and the wide
// table sets the six blocks side by side.

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <optional>

#include "report/case_report.h"
#include "cli/tests/support.h"

namespace zolvant::cli {
namespace {

using namespace report;  // the case and its written forms

using test::CliRun;
using test::runCli;

using test::readCsv;
using test::Records;

const QStringList kHeader = {"Case", "Equation", "Row", "Liquid (cm3/mol)", "Vapor (cm3/mol)", "Z", "Mark", "Error",
                             "Message"};

QString markOf(const QJsonValue& v) {
    if (v.isNull()) return QString();
    if (v.isString()) return v.toString();
    return QString::number(v.toInteger());
}

class CliCsvTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        // A name that needs quoting in CSV, beside an ordinary one.
        db_ = test::makeDatabase(dir_.path(), "\"Butane \"\"B\"\", normal\",58.123,425.1,37.96,255,0.2,0.03443,,\n"
                                              "Methane,16.043,190.6,45.99,98.6,0.011,-0.00159,,\n");
        ASSERT_FALSE(db_.isEmpty());
    }

    QTemporaryDir dir_;
    QString db_;
};

TEST_F(CliCsvTest, CsvReadsBackToTheJsonCells) {
    // Two solved cases (a named mixture; one component given by constants
    // with the acentric factor and K1 missing), a refused case and a line
    // that is not a case.
    const QByteArray input =
        R"({"temperature": "26.85", "pressure": "1", "components": [{"name": "Butane \"B\", normal", "fraction": "0.5"}, {"name": "Methane", "fraction": "0.5"}]})"
        "\n"
        R"({"temperature": "-50", "pressure": "2", "components": [{"Tc": 305.3, "Pc": 48.72}]})"
        "\n\n"
        R"({"temperature": "26.85", "pressure": "1", "components": [{"name": "Methane", "fraction": "0.4"}]})"
        "\n"
        R"({"components": 3})"
        "\n";
    const CliRun json = runCli({"solve", "--db", db_}, input);
    const CliRun csv = runCli({"solve", "--csv", "--db", db_}, input);
    EXPECT_EQ(csv.exitCode, json.exitCode);
    EXPECT_EQ(csv.exitCode, 1);
    EXPECT_EQ(csv.err, json.err);
    EXPECT_FALSE(csv.out.startsWith("\xEF\xBB\xBF"));

    const std::optional<Records> records = readCsv(csv.out);
    ASSERT_TRUE(records) << csv.out.toStdString();
    ASSERT_FALSE(records->isEmpty());
    EXPECT_EQ(records->front(), kHeader);

    QList<QByteArray> answers = json.out.split('\n');
    answers.removeAll(QByteArray());
    ASSERT_EQ(answers.size(), 4);

    // The records the JSON answers stand for, in order.
    Records expected;
    const QStringList names[] = {{"Butane \"B\", normal", "Methane"}, {"Component 1"}};
    for (qsizetype n = 0; n < answers.size(); ++n) {
        const QString number = QString::number(n + 1);
        const QJsonObject o = QJsonDocument::fromJson(answers[n]).object();
        if (!o.value("ok").toBool()) {
            const QJsonObject e = o.value("error").toObject();
            expected << QStringList{number, "", "", "", "", "", "", e.value("title").toString(),
                                    e.value("message").toString()};
            continue;
        }
        ASSERT_LT(n, 2);
        const int rows = o.value("numComps").toInt();
        for (const QJsonValue& bv : o.value("blocks").toArray()) {
            const QJsonObject b = bv.toObject();
            const auto cells = [&b](int row) {
                return QStringList{b.value("liquid").toArray()[row].toString(), b.value("vapour").toArray()[row].toString(),
                                   b.value("Z").toArray()[row].toString()};
            };
            for (int row = 0; row < rows; ++row)
                expected << QStringList{number, b.value("name").toString(), names[n][row]} + cells(row) +
                                QStringList{markOf(b.value("mark").toArray()[row]), "", ""};
            if (rows > 1)
                expected << QStringList{number, b.value("name").toString(), "Mixture"} + cells(4) + QStringList{"", "", ""};
        }
    }
    const Records body = records->mid(1);
    ASSERT_EQ(body.size(), expected.size());
    for (qsizetype i = 0; i < body.size(); ++i) EXPECT_EQ(body[i], expected[i]) << "record " << i + 2;

    // Spot checks against the window's texts, so that agreeing with the JSON
    // is not agreeing on something wrong.
    EXPECT_EQ(body[2], (QStringList{"1", "Van der Waals", "Mixture", "165.47", "24693.5", "0.9900", "", "", ""}));
    EXPECT_EQ(body[1][3], QStringLiteral("NA - Tc"));
    EXPECT_EQ(body.size(), 6 * 3 + 6 + 2);
    EXPECT_EQ(body[18 + 2][6], QStringLiteral("10526944"));  // PR, acentric factor missing
    EXPECT_EQ(body[18 + 4][6], QStringLiteral("11579632"));  // PRSV1, K1 missing
    EXPECT_EQ(body[24][7], QStringLiteral("Mixture ERROR"));
    EXPECT_EQ(body[25][7], QStringLiteral("Input ERROR"));
    EXPECT_TRUE(csv.out.contains("\"Butane \"\"B\"\", normal\""));
}

TEST_F(CliCsvTest, QuickFormAndOptions) {
    const CliRun quick = runCli({"solve", "--db", db_, "--csv", "-T", "26.85", "-P", "1", "Methane=0.5",
                                 "Butane \"B\", normal=0.5"});
    EXPECT_EQ(quick.exitCode, 0) << quick.err.toStdString();
    const std::optional<Records> records = readCsv(quick.out);
    ASSERT_TRUE(records);
    ASSERT_EQ(records->size(), 1 + 6 * 3);
    EXPECT_EQ((*records)[1].mid(0, 3), (QStringList{"1", "Van der Waals", "Methane"}));

    const CliRun refused = runCli({"solve", "--db", db_, "--csv", "-T", "26.85", "-P", "1", "Methane=0.4"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.out.isEmpty());
    EXPECT_TRUE(refused.err.contains("Mixture ERROR")) << refused.err.toStdString();

    struct Row { QStringList args; const char* problem; };
    const Row wrong[] = {
        {{"solve", "--csv", "--table"}, "--csv and --table exclude each other"},
        {{"solve", "--wide"}, "--wide needs --table"},
        {{"solve", "--csv", "--wide"}, "does not apply to --csv"},
    };
    for (const Row& w : wrong) {
        SCOPED_TRACE(w.args.join(' ').toStdString());
        const CliRun r = runCli(w.args, "");
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(r.err.contains(w.problem)) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
}

TEST_F(CliCsvTest, WideTableSetsTheBlocksSideBySide) {
    const CliRun r = runCli({"solve", "--db", db_, "--wide", "-T", "26.85", "-P", "1", "Methane=0.5",
                             "Butane \"B\", normal=0.5"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = QString::fromUtf8(r.out).split('\n');
    // Heading, above-critical line, blank, block names, column headings,
    // two components, the mixture.
    ASSERT_GE(lines.size(), 8);
    QString names = lines[3].simplified();
    for (int b = 0; b < kBlocks; ++b) {
        EXPECT_TRUE(names.startsWith(QString::fromLatin1(blockName(b)))) << names.toStdString();
        names = names.mid(qstrlen(blockName(b))).trimmed();
    }
    EXPECT_EQ(lines[4].simplified(), QStringList(6, "Liquid Vapor Z").join(' '));
    EXPECT_EQ(lines[7].simplified(),
              QStringLiteral("Mixture 165.47 24693.5 0.9900 113.40 24618.3 0.9870 97.04 24574.1 0.9853 "
                             "109.91 24596.9 0.9862 97.08 24574.6 0.9853 97.08 24574.6 0.9853"));
    // Columns line up: every number ends where its heading ends.
    const qsizetype lastZ = lines[4].lastIndexOf('Z');
    EXPECT_EQ(lines[7].size() - 1, lastZ);
    EXPECT_EQ(lines[6].size(), lines[7].size());
    EXPECT_GT(lines[4].size(), 140);
    EXPECT_LT(lines[4].size(), 180);
}

}  // namespace
}  // namespace zolvant::cli
