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
