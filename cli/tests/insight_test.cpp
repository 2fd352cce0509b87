// zolvant-cli solve --insight: the key "insight" of every block, its
// values read back to the solver's own doubles, the same facts in the
// tables, and the output without the option exactly as it was.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <set>
#include <string>

#include "report/case_report.h"
#include "cli/tests/support.h"
#include "solver/phase.h"

namespace zolvant::cli {
namespace {

using namespace report;  // the case and its written forms

using test::CliRun;
using test::runCli;

// The worked mixture.
const QByteArray& kWorkedMixture = test::kMixtureCase;

// Its JSON line before the insight existed, byte for byte.
const QByteArray kWorkedMixtureJson = R"json({"blocks":[{"Z":["0.9821","0.9980","","","0.9900"],"liquid":["165.47","NA - Tc","","","165.47"],"mark":[null,null,null,null],"name":"Van der Waals","vapour":["24494.3","24892.7","","","24693.5"]},{"Z":["0.9758","0.9982","","","0.9870"],"liquid":["113.40","NA - Tc","","","113.40"],"mark":[null,null,null,null],"name":"Redlich-Kwong","vapour":["24339.3","24897.3","","","24618.3"]},{"Z":["0.9727","0.9978","","","0.9853"],"liquid":["97.04","NA - Tc","","","97.04"],"mark":["window","window",null,null],"name":"Peng-Robinson","vapour":["24260.5","24887.8","","","24574.1"]},{"Z":["0.9740","0.9983","","","0.9862"],"liquid":["109.91","NA - Tc","","","109.91"],"mark":["window","window",null,null],"name":"Soave-Redlich-Kwong","vapour":["24293.1","24900.7","","","24596.9"]},{"Z":["0.9727","0.9978","","","0.9853"],"liquid":["97.08","NA - Tc","","","97.08"],"mark":["window","window",null,null],"name":"PR-Stryjek-Vera 1","vapour":["24261.1","24888.1","","","24574.6"]},{"Z":["0.9727","0.9978","","","0.9853"],"liquid":["97.08","NA - Tc","","","97.08"],"mark":["window","window",null,null],"name":"PR-Stryjek-Vera 2","vapour":["24261.1","24888.1","","","24574.6"]}],"numComps":2,"ok":true})json";

QJsonObject jsonOf(const QByteArray& line) { return QJsonDocument::fromJson(line).object(); }

// The line with every block's "insight" key taken out.
QByteArray withoutInsight(const QByteArray& line) {
    QJsonObject o = jsonOf(line);
    QJsonArray blocks = o.value("blocks").toArray();
    for (auto b : blocks) {
        QJsonObject block = b.toObject();
        block.remove("insight");
        b = block;
    }
    o["blocks"] = blocks;
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

TEST(Insight, JsonOfTheWorkedMixture) {
    const CaseReport r = evaluateLine(kWorkedMixture, QStringLiteral("line 1"));
    const QByteArray line = toJsonLine(r, true);
    const QJsonArray blocks = jsonOf(line).value("blocks").toArray();
    ASSERT_EQ(blocks.size(), kBlocks);
    const std::set<QString> keys{"Tr", "Pr", "Psat", "stable", "roots", "lnPhiLiquid", "lnPhiVapour",
                                 "vapourSteps", "vapourEnd", "liquidSteps", "liquidEnd"};
    const int liquidSteps[kBlocks] = {14, 9, 8, 8, 8, 8};
    for (int b = 0; b < kBlocks; ++b) {
        SCOPED_TRACE(blockName(b));
        const QJsonArray insight = blocks[b].toObject().value("insight").toArray();
        ASSERT_EQ(insight.size(), 2);  // the rows in use
        for (int k = 0; k < 2; ++k) {
            const QJsonObject o = insight[k].toObject();
            const QStringList got = o.keys();
            EXPECT_EQ(std::set<QString>(got.begin(), got.end()), keys);
            // Every number reads back to exactly the solver's double.
            const PhaseView v = phaseView(b, r.outcome.state, k);
            EXPECT_EQ(o.value("Tr").toDouble(), v.Tr);
            EXPECT_EQ(o.value("Pr").toDouble(), v.Pr);
            const QJsonArray roots = o.value("roots").toArray();
            ASSERT_EQ(roots.size(), static_cast<qsizetype>(v.roots.size()));
            for (qsizetype i = 0; i < roots.size(); ++i) EXPECT_EQ(roots[i].toDouble(), v.roots[static_cast<std::size_t>(i)]);
            EXPECT_EQ(o.value("lnPhiLiquid").toDouble(), *v.lnPhiLiquid);
            EXPECT_EQ(o.value("lnPhiVapour").toDouble(), *v.lnPhiVapour);
            EXPECT_EQ(o.value("vapourEnd"), QJsonValue("converged"));
        }
        // n-butane-like: three roots, below its saturation pressure.
        const QJsonObject butane = insight[0].toObject();
        EXPECT_EQ(butane.value("roots").toArray().size(), 3);
        EXPECT_EQ(butane.value("stable"), QJsonValue("vapour"));
        EXPECT_GT(butane.value("Psat").toDouble(), 1.0);
        EXPECT_EQ(butane.value("vapourSteps"), QJsonValue(3));
        EXPECT_EQ(butane.value("liquidSteps"), QJsonValue(liquidSteps[b]));
        EXPECT_EQ(butane.value("liquidEnd"), QJsonValue("converged"));
        // methane-like: above Tc, one root, no liquid attempt.
        const QJsonObject methane = insight[1].toObject();
        EXPECT_EQ(methane.value("roots").toArray().size(), 1);
        EXPECT_EQ(methane.value("stable"), QJsonValue("supercritical"));
        EXPECT_EQ(methane.value("Psat"), QJsonValue(QJsonValue::Null));
        EXPECT_EQ(methane.value("liquidSteps"), QJsonValue(QJsonValue::Null));
        EXPECT_EQ(methane.value("liquidEnd"), QJsonValue("above Tc"));
        EXPECT_EQ(methane.value("lnPhiLiquid"), methane.value("lnPhiVapour"));
    }
    // Peng-Robinson's saturation pressure of the n-butane-like component at 300 K.
    EXPECT_NEAR(blocks[2].toObject().value("insight").toArray()[0].toObject().value("Psat").toDouble(), 2.5726, 1e-4);
    // Apart from the new key, the line is the one without the option.
    EXPECT_EQ(withoutInsight(line), toJsonLine(r));
}

TEST(Insight, OutputWithoutTheOptionUnchanged) {
    const CliRun plain = runCli({"solve"}, kWorkedMixture + "\n");
    EXPECT_EQ(plain.exitCode, 0);
    EXPECT_EQ(plain.out, kWorkedMixtureJson + "\n");
    const CliRun insight = runCli({"solve", "--insight"}, kWorkedMixture + "\n");
    EXPECT_EQ(insight.exitCode, 0);
    EXPECT_EQ(withoutInsight(insight.out.trimmed()) + "\n", plain.out);
}

TEST(Insight, TablesAddTheFactsUnderEachBlock) {
    for (const QStringList& form : {QStringList{"--table"}, QStringList{"--table", "--wide"}}) {
        SCOPED_TRACE(form.join(' ').toStdString());
        const CliRun plain = runCli(QStringList{"solve"} + form, kWorkedMixture + "\n");
        const CliRun insight = runCli(QStringList{"solve", "--insight"} + form, kWorkedMixture + "\n");
        EXPECT_EQ(insight.exitCode, 0);
        // Every line of the plain table is there, in order; the new ones say the facts.
        const QList<QByteArray> lines = insight.out.split('\n');
        qsizetype at = 0;
        for (const QByteArray& l : plain.out.split('\n')) {
            while (at < lines.size() && lines[at] != l) ++at;
            EXPECT_LT(at, lines.size()) << l.toStdString();
        }
        EXPECT_TRUE(insight.out.contains("    Component 1: Tr 0.7057, Pr 0.02634, Psat 2.572604 bar, stable: vapour\n"));
        EXPECT_TRUE(insight.out.contains("no Psat (the temperature is at or above the critical temperature), stable: supercritical"));
        EXPECT_TRUE(insight.out.contains("vapour converged at step 3, liquid converged at step 14"));
        EXPECT_TRUE(insight.out.contains("liquid not computed (above Tc)"));
    }
    // The quick form, with the seed database's n-butane and methane.
    const CliRun quick = runCli({"solve", "--insight", "-T", "26.85", "-P", "1", "n-Butane=0.5", "Methane=0.5"});
    EXPECT_EQ(quick.exitCode, 0) << quick.err.toStdString();
    EXPECT_TRUE(quick.out.contains("    n-Butane: Tr 0.7057, Pr 0.02634, Psat 2.571492 bar, stable: vapour\n"));
    EXPECT_TRUE(quick.out.contains("roots 97.04664, 512.1179, 24260.4 cm3/mol"));
}

TEST(Insight, OptionIsExplainedAndRefusedWithCsv) {
    const CliRun help = runCli({"solve", "--help"});
    EXPECT_TRUE(help.out.contains("--insight"));
    EXPECT_TRUE(help.out.contains("\"lnPhiVapour\""));
    const CliRun csv = runCli({"solve", "--csv", "--insight"}, kWorkedMixture + "\n");
    EXPECT_EQ(csv.exitCode, 2);
    EXPECT_TRUE(csv.err.contains("--insight applies to the JSON output and the tables, not to --csv"));
    EXPECT_TRUE(csv.out.isEmpty());
}

}  // namespace
}  // namespace zolvant::cli
