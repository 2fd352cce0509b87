// zolvant-cli sweep: every point's records are the records `solve --csv`
// writes for a case of the same texts, the table reads back strictly, and
// wrong usage names its option.

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTemporaryDir>

#include <algorithm>
#include <optional>

#include "cli/tests/support.h"
#include "testsupport/sweep_cases.h"

namespace zolvant::cli {
namespace {

using test::CliRun;
using test::readCsv;
using test::Records;
using test::runCli;

const QStringList kSweepHeader = {"Point", "Temperature (C)", "Pressure (bar)", "Equation", "Row", "Liquid (cm3/mol)",
                                  "Vapor (cm3/mol)", "Z", "Mark", "Error", "Message"};

using test::caseLine;
using test::kButaneMethane;
using test::kFourWithGaps;
using test::kPropane;

class CliSweepTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    QString caseFile(const char* components) {
        const QString path = dir_.filePath(QStringLiteral("case%1.json").arg(++files_));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(caseLine(components, "999", "999") + "\n");
        return path;
    }
    QTemporaryDir dir_;
    int files_ = 0;
};

TEST_F(CliSweepTest, EveryPointIsTheSolveOfItsTexts) {
    struct Sweep {
        const char* what;
        const char* components;
        QStringList args;
        int points;
        QStringList first, last;  // the first and last points' texts
    };
    const Sweep sweeps[] = {
        // Through 0 bar (refused) and butane's saturation pressure near 2.5 bar.
        {"pressure, linear", kButaneMethane, {"-T", "26.85", "-P", "0:6", "--points", "13"}, 13, {"26.85", "0"},
         {"26.85", "6"}},
        // From below the minimum temperature (refused) across propane's Tc
        // (96.68 C) and its saturation temperature at 10 bar.
        {"temperature, linear", kPropane, {"-T", "-300:150", "--points", "46", "-P", "10"}, 46, {"-300", "10"},
         {"150", "10"}},
        {"pressure, geometric", kFourWithGaps, {"-T", "-20", "-P", "0.5:80", "--points", "17", "--log"}, 17,
         {"-20", "0.5"}, {"-20", "80"}},
        // Every pressure refused.
        {"pressure not above 0", kPropane, {"-T", "0", "-P", "-5:0", "--points", "3"}, 3, {"0", "-5"}, {"0", "0"}},
    };
    for (const Sweep& s : sweeps) {
        SCOPED_TRACE(s.what);
        const CliRun sweep = runCli(QStringList{"sweep", "--case", caseFile(s.components)} + s.args);
        ASSERT_EQ(sweep.exitCode, 0) << sweep.err.toStdString();
        const std::optional<Records> records = readCsv(sweep.out);
        ASSERT_TRUE(records) << sweep.out.left(400).toStdString();
        ASSERT_FALSE(records->isEmpty());
        EXPECT_EQ(records->front(), kSweepHeader);

        // The texts of every point, in order, each point once.
        QList<QStringList> texts;
        for (const QStringList& r : records->mid(1)) {
            ASSERT_EQ(r.size(), kSweepHeader.size());
            const int point = r[0].toInt();
            if (point == texts.size()) {
                EXPECT_EQ(texts.back(), r.mid(1, 2)) << "point " << point;
                continue;
            }
            ASSERT_EQ(point, texts.size() + 1);
            texts << r.mid(1, 2);
        }
        ASSERT_EQ(texts.size(), s.points);
        EXPECT_EQ(texts.front(), s.first);
        EXPECT_EQ(texts.back(), s.last);

        // The same texts as cases of solve, one line each.
        QByteArray lines;
        for (const QStringList& t : texts) lines += caseLine(s.components, t[0], t[1]) + "\n";
        const CliRun solve = runCli({"solve", "--csv"}, lines);
        ASSERT_EQ(solve.exitCode, 0) << solve.err.toStdString();
        const std::optional<Records> solved = readCsv(solve.out);
        ASSERT_TRUE(solved);
        ASSERT_EQ(solved->size(), records->size());
        for (qsizetype i = 1; i < records->size(); ++i) {
            const QStringList& r = (*records)[i];
            ASSERT_EQ(r[0], (*solved)[i][0]) << "record " << i + 1;
            EXPECT_EQ(r.mid(3), (*solved)[i].mid(1)) << "record " << i + 1;
        }
    }
}

TEST_F(CliSweepTest, InsightColumnsAreTheInsightOfSolve) {
    // Across n-butane's saturation pressure (2.57 bar by Peng-Robinson), from
    // a refused point on.
    const CliRun sweep = runCli({"sweep", "--insight", "--case", caseFile(kButaneMethane), "-T", "26.85", "-P", "0:4",
                                 "--points", "9"});
    ASSERT_EQ(sweep.exitCode, 0) << sweep.err.toStdString();
    const std::optional<Records> records = readCsv(sweep.out);
    ASSERT_TRUE(records);
    EXPECT_EQ(records->front(), (kSweepHeader + QStringList{"Stable", "Psat (bar)"}));
    EXPECT_EQ((*records)[1].mid(9), (QStringList{"Pressure ERROR", "Invalid or Incorrect Pressure", "", ""}));

    QSet<QString> phases;
    for (const QStringList& r : records->mid(2)) {
        ASSERT_EQ(r.size(), kSweepHeader.size() + 2);
        const CliRun solve = runCli({"solve", "--insight"}, caseLine(kButaneMethane, r[1], r[2]));
        const QJsonObject answer = QJsonDocument::fromJson(solve.out).object();
        const QJsonArray blocks = answer.value("blocks").toArray();
        const auto block = std::find_if(blocks.begin(), blocks.end(),
                                        [&](const QJsonValue& b) { return b.toObject().value("name").toString() == r[3]; });
        ASSERT_NE(block, blocks.end()) << r[3].toStdString();
        if (r[4] == QStringLiteral("Mixture")) {
            EXPECT_EQ(r.mid(11), (QStringList{"", ""}));
            continue;
        }
        const int row = r[4] == QStringLiteral("Component 1") ? 0 : 1;
        const QJsonObject insight = block->toObject().value("insight").toArray()[row].toObject();
        EXPECT_EQ(r[11], insight.value("stable").toString()) << r.join(',').toStdString();
        if (insight.value("Psat").isNull()) {
            EXPECT_EQ(r[12], QString()) << r.join(',').toStdString();
        } else {
            EXPECT_EQ(r[12].toDouble(), insight.value("Psat").toDouble()) << r.join(',').toStdString();
        }
        if (row == 0) phases << r[11];
    }
    EXPECT_TRUE(phases.contains("vapour"));
    EXPECT_TRUE(phases.contains("liquid"));
}

TEST_F(CliSweepTest, RefusedAndSolvedPointsAsTheWindowShowsThem) {
    const CliRun r = runCli({"sweep", "--case", caseFile(kPropane), "-T", "-300:150", "-P", "10", "--points", "46"});
    ASSERT_EQ(r.exitCode, 0);
    const Records records = readCsv(r.out).value_or(Records{});
    ASSERT_GT(records.size(), 2);
    // One record for a refused point, six for a solved one-component point.
    EXPECT_EQ(records[1], (QStringList{"1", "-300", "10", "", "", "", "", "", "", "Temperature ERROR",
                                       "State Temperature BELOW Minimum"}));
    EXPECT_EQ(records.last()[0], QStringLiteral("46"));
    EXPECT_EQ(records.last()[4], QStringLiteral("Component 1"));
    EXPECT_EQ(records.last()[5], QStringLiteral("NA - Tc"));  // 150 C is above propane's Tc
}

TEST_F(CliSweepTest, NamedComponentsFromTheDatabase) {
    const QString db = test::makeDatabase(dir_.path(), "\"Butane, normal\",58.123,425.1,37.96,255,0.2,0.03443,,\n"
                                                       "Methane,16.043,190.6,45.99,98.6,0.011,-0.00159,,\n");
    ASSERT_FALSE(db.isEmpty());

    const CliRun r = runCli({"sweep", "--db", db, "-T", "26.85", "-P", "1:2", "--points", "2", "Butane, normal=0.5",
                             "Methane=0.5"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const Records records = readCsv(r.out).value_or(Records{});
    ASSERT_EQ(records.size(), 1 + 2 * 6 * 3);
    EXPECT_EQ(records[1].mid(0, 5), (QStringList{"1", "26.85", "1", "Van der Waals", "Butane, normal"}));
    EXPECT_EQ(records[3], (QStringList{"1", "26.85", "1", "Van der Waals", "Mixture", "165.47", "24693.5", "0.9900", "",
                                       "", ""}));
    EXPECT_TRUE(r.out.contains("\"Butane, normal\""));

    const CliRun unknown = runCli({"sweep", "--db", db, "-T", "26.85", "-P", "1:2", "--points", "2", "Ethane=1"});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_TRUE(unknown.out.isEmpty());
    EXPECT_TRUE(unknown.err.contains("Input ERROR")) << unknown.err.toStdString();
    EXPECT_TRUE(unknown.err.contains("Ethane")) << unknown.err.toStdString();
}

TEST_F(CliSweepTest, WrongUsageNamesTheOption) {
    const QString file = caseFile(kPropane);
    struct Row {
        QStringList args;
        const char* problem;
    };
    const Row wrong[] = {
        {{"-P", "1:2", "--points", "3", "A=1"}, "-T is missing"},
        {{"-T", "1", "--points", "3", "A=1"}, "-P is missing"},
        {{"-T", "1:2", "-P", "1:2", "--points", "3", "A=1"}, "-T and -P are both ranges"},
        {{"-T", "1", "-P", "2", "--points", "3", "A=1"}, "neither -T nor -P is a range"},
        {{"-T", "1", "-P", "1:x", "--points", "3", "A=1"}, "-P: '1:x' is not a range"},
        {{"-T", "inf:2", "-P", "1", "--points", "3", "A=1"}, "-T: 'inf:2' is not a range"},
        {{"-T", "1", "-P", "1:2", "A=1"}, "--points is missing"},
        {{"-T", "1", "-P", "1:2", "--points", "1", "A=1"}, "--points: '1' is not a whole number from 2 to 100000"},
        {{"-T", "1", "-P", "1:2", "--points", "100001", "A=1"}, "--points: '100001'"},
        {{"-T", "1", "-P", "1:2", "--points", "2.5", "A=1"}, "--points: '2.5'"},
        {{"-T", "1", "-P", "0:2", "--points", "3", "--log", "A=1"}, "--log: geometric spacing needs both ends"},
        {{"-T", "1", "-P", "1:2", "--points", "3"}, "no components"},
        {{"-T", "1", "-P", "1:2", "--points", "3", "A"}, "'A' is not a NAME=FRACTION pair"},
        {{"-T", "1", "-P", "1:2", "--points", "3", "A=1", "B=0", "C=0", "D=0", "E=0"}, "5 components given"},
        {{"-T", "1", "-P", "1:2", "--points", "3", "--case", file, "A=1"}, "--case gives the components"},
        {{"-T", "1", "-P", "1:2", "--points", "3", "--case", "/nonexistent/x.json"}, "--case: cannot open"},
        {{"-T", "1", "-P", "1:2", "--points", "3", "--threads", "0", "A=1"}, "--threads: '0'"},
        {{"-T", "1", "-P", "1:2", "--points", "3", "--bogus", "A=1"}, "bogus"},
    };
    for (const Row& w : wrong) {
        SCOPED_TRACE(w.args.join(' ').toStdString());
        const CliRun r = runCli(QStringList{"sweep"} + w.args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(r.err.contains(w.problem)) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }

    // A case file whose line is not a case is a failure, not usage.
    QFile bad(dir_.filePath("bad.json"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("{\"components\": 3}\n");
    bad.close();
    const CliRun r = runCli({"sweep", "-T", "1", "-P", "1:2", "--points", "3", "--case", bad.fileName()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("Input ERROR: ")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("bad.json, line 1: \"components\" must be an array")) << r.err.toStdString();
}

}  // namespace
}  // namespace zolvant::cli
