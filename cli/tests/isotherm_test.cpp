// zolvant-cli isotherm: the CSV read back against the model, a name and its
// constants giving the same curves, the pictures written by --plot, and the
// errors for bad usage.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <cmath>

#include "cli/tests/support.h"
#include "solver/case.h"
#include "solver/isotherm.h"

namespace zolvant::cli {
namespace {

using test::CliRun;
using test::runCli;

const QStringList kButaneConstants{"--Tc", "425.12", "--Pc", "37.96", "--omega", "0.2",
                                   "--K1", "0.03443", "--K2", "0.6767", "--K3", "0.461"};

// The model the command prints, made here through the library.
IsothermModel expectedModel(int points) {
    CaseComponent cc;
    cc.constants = {425.12, 37.96, 0.2, 0.03443, 0.6767, 0.461};
    return isothermModel(solvePure(cc, "26.85", "1", "").solved, 0, points);
}

TEST(IsothermCommand, CsvReadsBackToTheModel) {
    const CliRun r = runCli(QStringList{"isotherm", "-T", "26.85", "-P", "1", "--points", "50"} + kButaneConstants);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty());
    QList<QByteArray> lines = r.out.split('\n');
    ASSERT_EQ(lines.takeLast(), "");  // the last record ends the output
    ASSERT_EQ(lines.takeFirst(), "Equation,V (cm3/mol),P (bar)\r");
    const IsothermModel m = expectedModel(50);
    int i = 0;
    for (const IsothermCurve& c : m.curves) {
        ASSERT_GE(c.points.size(), 50u);
        for (const CurvePoint& p : c.points) {
            ASSERT_LT(i, lines.size());
            QByteArray line = lines[i++];
            ASSERT_TRUE(line.endsWith('\r'));
            line.chop(1);
            const QList<QByteArray> f = line.split(',');
            ASSERT_EQ(f.size(), 3) << line.toStdString();
            EXPECT_EQ(f[0].toStdString(), c.name);
            EXPECT_EQ(f[1].toDouble(), p.V);
            if (std::isfinite(p.P)) {
                EXPECT_EQ(f[2].toDouble(), p.P);
            } else {
                EXPECT_TRUE(f[2].isEmpty());
            }
        }
    }
    EXPECT_EQ(i, lines.size());
}

TEST(IsothermCommand, ANameGivesItsDatabaseConstants) {
    const CliRun byName = runCli({"isotherm", "-T", "26.85", "-P", "1", "n-Butane"});
    const CliRun byConstants = runCli(QStringList{"isotherm", "-T", "26.85", "-P", "1"} + kButaneConstants);
    ASSERT_EQ(byName.exitCode, 0) << byName.err.toStdString();
    EXPECT_EQ(byName.out, byConstants.out);
    // A constant beside the name replaces the database's.
    const CliRun replaced = runCli({"isotherm", "-T", "26.85", "-P", "1", "n-Butane", "--Tc", "430"});
    ASSERT_EQ(replaced.exitCode, 0);
    EXPECT_NE(replaced.out, byName.out);
}

#ifndef ZOLVANT_CLI_PICTURES
// A build without the windows has no renderer: --plot is refused, nothing written.
TEST(IsothermCommand, PlotIsRefusedWithoutTheRenderer) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("iso.png"));
    const CliRun r = runCli({"isotherm", "-T", "26.85", "-P", "1", "n-Butane", "--plot", path});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.contains("built without pictures")) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(path));
}
#else
TEST(IsothermCommand, PlotWritesThePictureAndStillPrintsTheCsv) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const CliRun csv = runCli({"isotherm", "-T", "26.85", "-P", "1", "n-Butane"});
    for (const char* name : {"iso.png", "iso.svg"}) {
        SCOPED_TRACE(name);
        const QString path = dir.filePath(QString::fromLatin1(name));
        const CliRun r = runCli({"isotherm", "-T", "26.85", "-P", "1", "n-Butane", "--plot", path});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(r.out, csv.out);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        if (path.endsWith(".png")) {
            EXPECT_TRUE(bytes.startsWith("\x89PNG\r\n\x1a\n"));
        } else {
            EXPECT_TRUE(bytes.contains("<title>Isotherms of n-Butane at 300 K, 1 bar</title>"));
            EXPECT_TRUE(bytes.contains("Molar volume V (cm\xc2\xb3/mol)"));
        }
    }
    // An unwritable target: a message, status 1, no CSV and nothing left behind.
    const QString bad = dir.filePath("missing/iso.png");
    const CliRun r = runCli({"isotherm", "-T", "26.85", "-P", "1", "n-Butane", "--plot", bad});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.contains("cannot write")) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(bad));
}
#endif

TEST(IsothermCommand, BadUsageAndRefusedStates) {
    struct Row {
        QStringList args;
        int status;
        const char* says;
    } rows[] = {
        {{"isotherm", "-T", "26.85", "n-Butane"}, 2, "-P is missing"},
        {{"isotherm", "-P", "1", "n-Butane"}, 2, "-T is missing"},
        {{"isotherm", "-T", "26.85", "-P", "1"}, 2, "no component"},
        {{"isotherm", "-T", "26.85", "-P", "1", "n-Butane", "Methane"}, 2, "one component"},
        {{"isotherm", "-T", "26.85", "-P", "1", "n-Butane", "--points", "3"}, 2, "--points: '3' is not a whole number from"},
        {{"isotherm", "-T", "26.85", "-P", "1", "n-Butane", "--points", "many"}, 2, "--points"},
        {{"isotherm", "-T", "26.85", "-P", "1", "n-Butane", "--plot", "x.gif"}, 2, ".png or .svg"},
        {{"isotherm", "-T", "26.85", "-P", "1", "--Tc", "4O0"}, 2, "--Tc: '4O0' is not a number"},
        {{"isotherm", "-T", "26.85", "-P", "1", "Unobtainium"}, 1, "no component named \"Unobtainium\""},
        {{"isotherm", "-T", "26.85", "-P", "0", "n-Butane"}, 1, "Pressure ERROR"},
        {{"isotherm", "-T", "-300", "-P", "1", "n-Butane"}, 1, "Temperature ERROR"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.args.join(' ').toStdString());
        const CliRun r = runCli(row.args);
        EXPECT_EQ(r.exitCode, row.status);
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_TRUE(r.err.contains(row.says)) << r.err.toStdString();
    }
    const CliRun help = runCli({"isotherm", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* s : {"--Tc", "--Pc", "--omega", "--K1", "--K2", "--K3", "--db", "--points", "--plot",
                          "Equation,V (cm3/mol),P (bar)"})
        EXPECT_TRUE(help.out.contains(s)) << s;
}

}  // namespace
}  // namespace zolvant::cli
