// The writers every front end shares: the one CSV quoting rule, the
// isotherm table, and the whole-file writer that leaves a target as it was
// when it cannot finish.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <sstream>
#include <string>

#include "report/csv.h"
#include "report/isotherm_csv.h"
#include "report/whole_file.h"
#include "solver/case.h"

namespace zolvant::report {
namespace {

struct QuotingRow {
    const char* field;
    const char* written;
};

TEST(CsvField, QuotesOnlyWhatMustBeAndDoublesQuotes) {
    const QuotingRow rows[] = {
        {"", ""},
        {"n-Butane", "n-Butane"},
        {"NA - Tc", "NA - Tc"},
        {"1,2-Dichloroethane", "\"1,2-Dichloroethane\""},
        {"Oil \"A\"", "\"Oil \"\"A\"\"\""},
        {"two\nlines", "\"two\nlines\""},
        {"cr\rhere", "\"cr\rhere\""},
        {"M\xc3\xa9thane", "M\xc3\xa9thane"},
    };
    for (const QuotingRow& r : rows) {
        std::string out = "x,";
        appendCsvField(out, r.field);
        EXPECT_EQ(out, std::string("x,") + r.written) << r.field;
        EXPECT_EQ(csvField(QString::fromUtf8(r.field)), QString::fromUtf8(r.written)) << r.field;
    }
    EXPECT_EQ(csvRecord({QStringLiteral("a,b"), QString(), QStringLiteral("c")}), QStringLiteral("\"a,b\",,c\r\n"));
}

constexpr double kButane[] = {425.12, 37.96, 0.2, 0.03443, 0.6767, 0.461};

IsothermModel butane(int points) {
    CaseComponent cc;
    cc.constants = {kButane[0], kButane[1], kButane[2], kButane[3], kButane[4], kButane[5]};
    const PureCase run = solvePure(cc, "26.85", "1", "Test fluid");
    EXPECT_TRUE(run.outcome.solved) << run.outcome.message;
    return isothermModel(run.solved, 0, points);
}

TEST(IsothermCsv, AModelWithoutCurvesIsTheHeaderAlone) {
    IsothermModel m = butane(20);
    for (IsothermCurve& c : m.curves) c.points.clear();
    EXPECT_EQ(isothermCsv(m), "Equation,V (cm3/mol),P (bar)\r\n");
}

TEST(IsothermCsv, ReadsBackToTheModel) {
    IsothermModel m = butane(20);
    m.curves[1].points[3].P = std::nan("");
    const std::string csv = isothermCsv(m);
    std::istringstream in(csv);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "Equation,V (cm3/mol),P (bar)\r");
    std::size_t records = 0;
    for (const IsothermCurve& c : m.curves)
        for (const CurvePoint& p : c.points) {
            ASSERT_TRUE(std::getline(in, line));
            ASSERT_EQ(line.back(), '\r');
            line.pop_back();
            const std::size_t a = line.find(','), b = line.rfind(',');
            EXPECT_EQ(line.substr(0, a), c.name);
            EXPECT_EQ(std::stod(line.substr(a + 1, b - a - 1)), p.V);  // shortest text reads back exactly
            const std::string ptext = line.substr(b + 1);
            if (std::isnan(p.P)) {
                EXPECT_EQ(ptext, "");
            } else {
                EXPECT_EQ(std::stod(ptext), p.P);
            }
            ++records;
        }
    EXPECT_FALSE(std::getline(in, line));
    EXPECT_GT(records, 6u * 20u);
}

TEST(WholeFile, ReplacesTheTargetWholeOrSaysWhyNot) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("table.csv"));
    EXPECT_EQ(writeWholeFile(path, "first\r\n"), QString());
    EXPECT_EQ(writeWholeFile(path, "second\r\n"), QString());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("second\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("table.csv")});
    EXPECT_NE(writeWholeFile(dir.filePath(QStringLiteral("missing/table.csv")), "x"), QString());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("missing"))));
}

}  // namespace
}  // namespace zolvant::report

#include "report/mixture_csv.h"
#include "report/mixture_json.h"

namespace zolvant::report {
namespace {

// An envelope made by hand: a bubble point, the critical point, a dew
// point; the cricondenbar beside the dew point, the cricondentherm beyond it.
MixtureReport handMadeEnvelope() {
    MixtureReport r;
    r.ok = true;
    r.equation = "Peng-Robinson";
    r.envelope.points = {{200, 10, EnvelopeBranch::Bubble, 50, 1500, {}},
                         {250, 60, EnvelopeBranch::Critical, 100, 100, {}},
                         {260, 55, EnvelopeBranch::Dew, 80, 200, {}}};
    r.envelope.critical = CriticalPoint{250, 60, 100};
    r.envelope.cricondenbar = ExtremePoint{255, 61};
    r.envelope.cricondentherm = ExtremePoint{262, 50};
    return r;
}

TEST(MixtureCsv, EnvelopeRecordsThenSpecialPointsOnTheirBranches) {
    MixtureReport atCritical = handMadeEnvelope();
    atCritical.envelope.cricondenbar = ExtremePoint{250, 60};
    EXPECT_NE(envelopeCsv({atCritical}).find("Peng-Robinson,cricondenbar,critical,250,60,,\r\n"), std::string::npos);
    MixtureReport refused = handMadeEnvelope();
    refused.ok = false;
    refused.why = "Tc of 0";
    MixtureReport noCritical = handMadeEnvelope();
    noCritical.equation = "Van der Waals";
    noCritical.envelope.critical.reset();
    EXPECT_EQ(envelopeCsv({handMadeEnvelope(), refused, noCritical}),
              "Equation,Point,Branch,T (K),P (bar),Liquid V (cm3/mol),Vapour V (cm3/mol)\r\n"
              "Peng-Robinson,1,bubble,200,10,50,1500\r\n"
              "Peng-Robinson,2,critical,250,60,100,100\r\n"
              "Peng-Robinson,3,dew,260,55,80,200\r\n"
              "Peng-Robinson,critical,critical,250,60,100,100\r\n"
              "Peng-Robinson,cricondenbar,dew,255,61,,\r\n"
              "Peng-Robinson,cricondentherm,dew,262,50,,\r\n"
              "Van der Waals,1,bubble,200,10,50,1500\r\n"
              "Van der Waals,2,critical,250,60,100,100\r\n"
              "Van der Waals,3,dew,260,55,80,200\r\n"
              "Van der Waals,cricondenbar,dew,255,61,,\r\n"
              "Van der Waals,cricondentherm,dew,262,50,,\r\n");
}

TEST(MixtureJson, AReasonIsTheOnlyNoteAndNoNumberIsGiven) {
    MixtureReport r = handMadeEnvelope();
    r.ok = false;
    r.why = "a \"Tc\" of 0";
    r.m = 2;
    r.phases = 2;
    r.beta = 0.5;
    EXPECT_EQ(envelopeJsonLine(r), "{\"equation\":\"Peng-Robinson\",\"points\":[],\"critical\":null,\"cricondenbar\":null,"
                                   "\"cricondentherm\":null,\"notes\":[\"a \\\"Tc\\\" of 0\"]}");
    EXPECT_EQ(flashJsonLine(r),
              "{\"equation\":\"Peng-Robinson\",\"T\":0,\"P\":0,\"z\":[0,0],\"kij\":[[0,0],[0,0]],\"phases\":null,"
              "\"phase\":null,\"beta\":null,\"liquid\":null,\"vapour\":null,\"bubbleP\":[],\"dewP\":[],\"bubbleT\":[],"
              "\"dewT\":[],\"notes\":[\"a \\\"Tc\\\" of 0\"]}");
}

}  // namespace
}  // namespace zolvant::report
