// zolvant-cli flash and envelope: the JSON and CSV read back against the
// model called directly, Solve's refusals word for word, kij from the
// database, the case and --kij, the equation filter, the envelope's special
// points and its picture.

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <cmath>
#include <string>
#include <vector>

#include "cli/solve_command.h"
#include "cli/tests/support.h"
#include "db/kij.h"
#include "db/lookup.h"
#include "report/case_report.h"
#include "solver/mixture_eos.h"
#include "solver/mixture_model.h"

namespace zolvant::cli {
namespace {

using test::CliRun;
using test::runCli;

const QString kSeed = QStringLiteral(ZOLVANT_SEED_DATABASE);

using Pairs = std::vector<std::pair<QString, QString>>;

QStringList pairArgs(const Pairs& pairs) {
    QStringList a;
    for (const auto& [name, fraction] : pairs) a << name + QLatin1Char('=') + fraction;
    return a;
}

// The model's reports for the state the case gives, made here from the
// database and the solver: the numbers the command must print.
struct Expected {
    std::vector<MixtureReport> reports;  // in block order
};

Expected expected(const QString& t, const QString& p, const Pairs& pairs, std::optional<double> kijOverride = {},
                  const ReportOptions& options = {}) {
    const report::ComponentLookup lookup = [](const QString& name) {
        return db::findComponentConstants(kSeed.toStdString(), name.toStdString());
    };
    const report::CaseReport r = report::evaluateLine(quickCase(t, p, pairs), {}, lookup);
    EXPECT_TRUE(r.outcome.solved) << r.outcome.message;
    std::vector<std::string> names;
    for (const auto& pr : pairs) names.push_back(pr.first.toStdString());
    db::KijMatrices kij = db::kijMatrices(kSeed.toStdString(), names);
    if (kijOverride)
        for (auto& k : kij) k[0][1] = k[1][0] = *kijOverride;
    MolarMasses molWt{};
    const std::vector<db::ComponentRow> rows = db::listComponents(kSeed.toStdString());
    for (std::size_t i = 0; i < names.size(); ++i)
        for (const db::ComponentRow& row : rows)
            if (const auto* n = std::get_if<std::string>(&row.Component); n && *n == names[i])
                if (const auto* w = std::get_if<double>(&row.MolWt)) molWt[i] = *w;
    const CompVector z = feedFractions(r.outcome.state, r.outcome.fractions);
    Expected e;
    for (int b = 0; b < kBlocks; ++b)
        e.reports.push_back(mixtureReport(b, r.outcome.state, z, kij[static_cast<std::size_t>(b)], molWt, options));
    return e;
}

QList<QJsonObject> jsonLines(const QByteArray& out) {
    QList<QJsonObject> objects;
    for (const QByteArray& line : out.split('\n')) {
        if (line.isEmpty()) continue;
        QJsonParseError error;
        const QJsonDocument d = QJsonDocument::fromJson(line, &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << line.toStdString();
        objects << d.object();
    }
    return objects;
}

void expectNumber(const QJsonValue& v, const std::optional<double>& expected) {
    if (!expected) {
        EXPECT_TRUE(v.isNull());
        return;
    }
    ASSERT_TRUE(v.isDouble());
    EXPECT_EQ(v.toDouble(), *expected);
}

void expectNumbers(const QJsonValue& v, const std::vector<double>& expected) {
    ASSERT_TRUE(v.isArray());
    const QJsonArray a = v.toArray();
    ASSERT_EQ(a.size(), static_cast<qsizetype>(expected.size()));
    for (qsizetype i = 0; i < a.size(); ++i) EXPECT_EQ(a[i].toDouble(), expected[static_cast<std::size_t>(i)]);
}

void expectPhase(const QJsonValue& v, const std::optional<PhaseReport>& p, int m) {
    if (!p) {
        EXPECT_TRUE(v.isNull());
        return;
    }
    const QJsonObject o = v.toObject();
    EXPECT_EQ(o.keys(), (QStringList{"V", "Z", "density", "lnphi", "x"}));
    expectNumber(o["V"], p->V);
    expectNumber(o["Z"], p->Z);
    expectNumber(o["density"], p->density);
    for (int i = 0; i < m; ++i) {
        expectNumber(o["x"].toArray()[i], p->x[static_cast<std::size_t>(i)]);
        expectNumber(o["lnphi"].toArray()[i], p->lnPhi[static_cast<std::size_t>(i)]);
    }
}

const QStringList kFlashKeys{"equation", "T",      "P",      "z",      "kij",     "phases", "phase", "beta",
                             "liquid",   "vapour", "bubbleP", "dewP", "bubbleT", "dewT",   "notes"};

struct FlashState {
    QString t, p;
    Pairs pairs;
};

const FlashState kStates[] = {
    // One vapour (the grid's worked mixture), two phases, two phases of four.
    {"26.85", "1", {{"n-Butane", "0.5"}, {"Methane", "0.5"}}},
    {"-60", "20", {{"Methane", "0.5"}, {"Propane", "0.5"}}},
    {"-43.15", "40", {{"Methane", "0.7"}, {"Ethane", "0.15"}, {"Propane", "0.1"}, {"n-Butane", "0.05"}}},
};

TEST(FlashCommand, JsonReadsBackToTheModel) {
    for (const FlashState& s : kStates) {
        SCOPED_TRACE(pairArgs(s.pairs).join(' ').toStdString());
        const CliRun r = runCli(QStringList{"flash", "--json", "--db", kSeed, "-T", s.t, "-P", s.p} + pairArgs(s.pairs));
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        const QList<QJsonObject> lines = jsonLines(r.out);
        const Expected e = expected(s.t, s.p, s.pairs);
        ASSERT_EQ(lines.size(), kBlocks);
        int twoPhase = 0;
        for (int b = 0; b < kBlocks; ++b) {
            const QJsonObject& o = lines[b];
            const MixtureReport& m = e.reports[static_cast<std::size_t>(b)];
            ASSERT_TRUE(m.ok) << m.why;
            QStringList keys = kFlashKeys;
            keys.sort();
            EXPECT_EQ(o.keys(), keys);
            EXPECT_EQ(o["equation"].toString().toStdString(), m.equation);
            expectNumber(o["T"], m.T);
            expectNumber(o["P"], m.P);
            ASSERT_EQ(o["z"].toArray().size(), m.m);
            for (int i = 0; i < m.m; ++i) {
                expectNumber(o["z"].toArray()[i], m.z[static_cast<std::size_t>(i)]);
                for (int j = 0; j < m.m; ++j)
                    expectNumber(o["kij"].toArray()[i].toArray()[j],
                                 m.kij[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)]);
            }
            EXPECT_EQ(o["phases"].toInt(), m.phases);
            EXPECT_EQ(o["phase"].isNull(), !m.phase);
            if (m.phase) {
                EXPECT_EQ(o["phase"].toString().toStdString(), *m.phase);
            }
            expectNumber(o["beta"], m.beta);
            expectPhase(o["liquid"], m.liquid, m.m);
            expectPhase(o["vapour"], m.vapour, m.m);
            expectNumbers(o["bubbleP"], m.saturation.bubbleP);
            expectNumbers(o["dewP"], m.saturation.dewP);
            expectNumbers(o["bubbleT"], m.saturation.bubbleT);
            expectNumbers(o["dewT"], m.saturation.dewT);
            ASSERT_EQ(o["notes"].toArray().size(), static_cast<qsizetype>(m.notes.size()));
            for (std::size_t i = 0; i < m.notes.size(); ++i)
                EXPECT_EQ(o["notes"].toArray()[static_cast<qsizetype>(i)].toString().toStdString(), m.notes[i]);
            twoPhase += m.phases == 2;
        }
        // The states are chosen so that both kinds of result are read back.
        if (&s != &kStates[0]) {
            EXPECT_GT(twoPhase, 0);
        }
    }
}

TEST(FlashCommand, CsvReadsBackToTheModel) {
    const FlashState& s = kStates[2];
    const CliRun r = runCli(QStringList{"flash", "--csv", "--db", kSeed, "-T", s.t, "-P", s.p} + pairArgs(s.pairs));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const std::optional<test::Records> records = test::readCsv(r.out);
    ASSERT_TRUE(records);
    ASSERT_EQ(records->size(), 1 + kBlocks * 4);
    EXPECT_EQ(records->at(0).join(','),
              "Equation,T (K),P (bar),Phases,Phase,Beta,Row,Component,z,Liquid x,Vapour x,Liquid ln phi,"
              "Vapour ln phi,Liquid V (cm3/mol),Vapour V (cm3/mol),Liquid Z,Vapour Z,Liquid density (g/cm3),"
              "Vapour density (g/cm3),Bubble P (bar),Dew P (bar),Bubble T (K),Dew T (K),Notes");
    const Expected e = expected(s.t, s.p, s.pairs);
    const auto num = [](const QString& f, const std::optional<double>& v) {
        if (!v) return f.isEmpty();
        return f.toDouble() == *v;
    };
    const auto list = [](const QString& f, const std::vector<double>& v) {
        QStringList texts = f.split(' ', Qt::SkipEmptyParts);
        if (texts.size() != static_cast<qsizetype>(v.size())) return false;
        for (std::size_t i = 0; i < v.size(); ++i)
            if (texts[static_cast<qsizetype>(i)].toDouble() != v[i]) return false;
        return true;
    };
    for (int b = 0; b < kBlocks; ++b) {
        const MixtureReport& m = e.reports[static_cast<std::size_t>(b)];
        for (int i = 0; i < 4; ++i) {
            const QStringList& f = records->at(1 + b * 4 + i);
            SCOPED_TRACE(f.join(',').toStdString());
            const auto iu = static_cast<std::size_t>(i);
            ASSERT_EQ(f.size(), 24);
            EXPECT_EQ(f[0].toStdString(), m.equation);
            EXPECT_TRUE(num(f[1], m.T) && num(f[2], m.P));
            EXPECT_EQ(f[3].toInt(), m.phases);
            EXPECT_EQ(f[4].toStdString(), m.phase.value_or(""));
            EXPECT_TRUE(num(f[5], m.beta));
            EXPECT_EQ(f[6], QString::number(i + 1));
            EXPECT_EQ(f[7], s.pairs[iu].first);
            EXPECT_TRUE(num(f[8], m.z[iu]));
            const auto x = [&](const std::optional<PhaseReport>& p) {
                return p ? std::optional<double>(p->x[iu]) : std::nullopt;
            };
            EXPECT_TRUE(num(f[9], x(m.liquid)) && num(f[10], x(m.vapour)));
            EXPECT_TRUE(num(f[11], m.liquid ? m.liquid->lnPhi[iu] : std::nullopt));
            EXPECT_TRUE(num(f[12], m.vapour ? m.vapour->lnPhi[iu] : std::nullopt));
            EXPECT_TRUE(num(f[13], m.liquid ? std::optional<double>(m.liquid->V) : std::nullopt));
            EXPECT_TRUE(num(f[14], m.vapour ? std::optional<double>(m.vapour->V) : std::nullopt));
            EXPECT_TRUE(num(f[17], m.liquid ? m.liquid->density : std::nullopt));
            EXPECT_TRUE(list(f[19], m.saturation.bubbleP) && list(f[20], m.saturation.dewP));
            EXPECT_TRUE(list(f[21], m.saturation.bubbleT) && list(f[22], m.saturation.dewT));
        }
    }
}

TEST(FlashCommand, RefusesWhatSolveRefusesInItsWords) {
    const QStringList cases[] = {
        {"-T", "26.85", "-P", "1", "n-Butane=0.5", "Methane=0.4"},     // fractions not summing to 1
        {"-T", "x", "-P", "1", "n-Butane=0.5", "Methane=0.5"},         // a temperature that is not a number
        {"-T", "26.85", "-P", "1", "n-Butane=0.5", "Unobtainium=0.5"}, // a name not in the database
    };
    for (const QStringList& args : cases) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const CliRun solve = runCli(QStringList{"solve", "--db", kSeed} + args);
        const CliRun flash = runCli(QStringList{"flash", "--db", kSeed} + args);
        const CliRun json = runCli(QStringList{"flash", "--json", "--db", kSeed} + args);
        ASSERT_EQ(solve.exitCode, 1);
        EXPECT_EQ(flash.exitCode, 1);
        EXPECT_EQ(json.exitCode, 1);
        const QString said = QString::fromUtf8(solve.err).section(QStringLiteral(": "), 1).trimmed();
        EXPECT_EQ(QString::fromUtf8(flash.err).section(QStringLiteral(": "), 1).trimmed(), said);
        EXPECT_TRUE(flash.out.isEmpty());
        const QList<QJsonObject> lines = jsonLines(json.out);
        ASSERT_EQ(lines.size(), 1);
        EXPECT_EQ(lines[0].keys(), (QStringList{"error", "message"}));
        EXPECT_EQ(lines[0]["error"].toString() + QStringLiteral(": ") + lines[0]["message"].toString(), said);
    }
}

// The kij of each block's JSON line, pair (0, 1).
std::vector<double> kijUsed(const CliRun& r) {
    std::vector<double> k;
    for (const QJsonObject& o : jsonLines(r.out)) k.push_back(o["kij"].toArray()[0].toArray()[1].toDouble());
    return k;
}

TEST(FlashCommand, KijComesFromTheDatabaseTheCaseAndKijInThatOrder) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto caseFile = [&dir](const QByteArray& kij) {
        const QString path = dir.filePath(QStringLiteral("case%1.jsonl").arg(qHash(kij)));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(R"({"temperature": "0", "pressure": "50", "components": [{"name": "Methane", "fraction": "0.7"},)"
                R"( {"name": "Ethane", "fraction": "0.3"}], "kij": )" +
                kij + "}\n");
        return path;
    };
    const QStringList quick{"-T", "0", "-P", "50", "Methane=0.7", "Ethane=0.3"};
    struct Row {
        const char* what;
        QStringList args;
        std::vector<double> kij;  // VDW, RK, PR, SRK, PRSV1, PRSV2
    };
    const Row rows[] = {
        {"the database's pairs", quick, {0, 0, -0.0059, -0.0089, -0.0059, -0.0059}},
        {"--kij for every equation, names case aside", quick + QStringList{"--kij", "ethane,METHANE=0.05"},
         {0.05, 0.05, 0.05, 0.05, 0.05, 0.05}},
        {"one matrix in the case", {"--case", caseFile("[[0, 0.02], [0.02, 0]]")}, {0.02, 0.02, 0.02, 0.02, 0.02, 0.02}},
        {"a matrix per equation in the case", {"--case", caseFile(R"({"peng-robinson": [[0, 0.03], [0.03, 0]]})")},
         {0, 0, 0.03, -0.0089, -0.0059, -0.0059}},
        {"--kij over the case", {"--case", caseFile("[[0, 0.02], [0.02, 0]]"), "--kij", "Methane,Ethane=0.1"},
         {0.1, 0.1, 0.1, 0.1, 0.1, 0.1}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const CliRun r = runCli(QStringList{"flash", "--json", "--db", kSeed} + row.args);
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(kijUsed(r), row.kij);
    }
    // An override changes the numbers as the model says it does.
    const CliRun r = runCli(QStringList{"flash", "--json", "--db", kSeed, "--equation", "Peng-Robinson", "--kij",
                                        "Methane,Ethane=0.05"} +
                            quick);
    const Expected e = expected("0", "50", {{"Methane", "0.7"}, {"Ethane", "0.3"}}, 0.05);
    const QList<QJsonObject> lines = jsonLines(r.out);
    ASSERT_EQ(lines.size(), 1);
    const MixtureReport& pr = e.reports[2];
    ASSERT_TRUE(pr.vapour);
    EXPECT_EQ(lines[0]["vapour"].toObject()["V"].toDouble(), pr.vapour->V);
}

TEST(FlashCommand, BadKijAndEquationsAreRefusedBeforeAnyOutput) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString badCase = dir.filePath(QStringLiteral("bad.jsonl"));
    QFile f(badCase);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(R"({"temperature": "0", "pressure": "50", "components": [{"name": "Methane", "fraction": "0.7"},)"
            R"( {"name": "Ethane", "fraction": "0.3"}], "kij": [[0, 0.1, 0], [0.1, 0, 0]]})"
            "\n");
    f.close();
    const QStringList quick{"-T", "0", "-P", "50", "Methane=0.7", "Ethane=0.3"};
    struct Row {
        QStringList args;
        int status;
        QString message;
    };
    const Row rows[] = {
        {quick + QStringList{"--equation", "Peng"}, 2, "--equation: unknown equation 'Peng' (the equations: "},
        {quick + QStringList{"--kij", "Methane,Propane=0.1"}, 2,
         "--kij: 'Methane,Propane' is not a pair of two different components of the mixture (Methane, Ethane)"},
        {quick + QStringList{"--kij", "Methane,Ethane=big"}, 2, "--kij: 'big' is not a number"},
        {quick + QStringList{"--kij", "Methane=0.1"}, 2, "--kij: 'Methane=0.1' is not a NAME1,NAME2=VALUE pair"},
        {{"--case", badCase}, 1, "Input ERROR: " + badCase + ", line 1: \"kij\" must be a 2x2 matrix"},
        {{"-T", "0", "Methane=1"}, 2, "-P is missing"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.args.join(' ').toStdString());
        const CliRun r = runCli(QStringList{"flash", "--db", kSeed} + row.args);
        EXPECT_EQ(r.exitCode, row.status);
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_TRUE(QString::fromUtf8(r.err).startsWith(QStringLiteral("zolvant-cli flash: ") + row.message))
            << r.err.toStdString();
    }
}

TEST(FlashCommand, EquationFilterKeepsTheGridsOrder) {
    const CliRun r = runCli({"flash", "--json", "--db", kSeed, "-T", "0", "-P", "50", "Methane=0.7", "Ethane=0.3",
                             "--equation", "pr-stryjek-vera 2", "--equation", "VAN DER WAALS", "--equation",
                             "Van der Waals"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QStringList names;
    for (const QJsonObject& o : jsonLines(r.out)) names << o["equation"].toString();
    EXPECT_EQ(names, (QStringList{"Van der Waals", "PR-Stryjek-Vera 2"}));
}

const Pairs kNaturalGas{{"Methane", "0.7"}, {"Ethane", "0.3"}};

TEST(EnvelopeCommand, CsvHoldsTheTracedAndSpecialPointsOfTheModel) {
    const CliRun r = runCli(QStringList{"envelope", "--db", kSeed, "--points", "150", "-T", "ignored"} +
                            pairArgs(kNaturalGas));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const std::optional<test::Records> records = test::readCsv(r.out);
    ASSERT_TRUE(records);
    ASSERT_FALSE(records->isEmpty());
    EXPECT_EQ(records->at(0).join(','), "Equation,Point,Branch,T (K),P (bar),Liquid V (cm3/mol),Vapour V (cm3/mol)");
    ReportOptions options;
    options.envelope.maxPoints = 150;
    const Expected e = expected("25", "1", kNaturalGas, std::nullopt, options);
    qsizetype k = 1;
    int criticals = 0;
    for (const MixtureReport& m : e.reports) {
        SCOPED_TRACE(m.equation);
        ASSERT_TRUE(m.ok);
        ASSERT_LE(m.envelope.points.size(), 150u);
        int n = 0;
        for (const EnvelopePoint& p : m.envelope.points) {
            ASSERT_LT(k, records->size());
            const QStringList& f = records->at(k++);
            EXPECT_EQ(f.mid(0, 3), (QStringList{QString::fromStdString(m.equation), QString::number(++n),
                                                 QString::fromLatin1(envelopeBranchText(p.branch))}));
            EXPECT_EQ(f[3].toDouble(), p.T);
            EXPECT_EQ(f[4].toDouble(), p.P);
            EXPECT_EQ(f[5].toDouble(), p.liquidV);
            EXPECT_EQ(f[6].toDouble(), p.vapourV);
        }
        const auto special = [&](const char* name, double T, double P) {
            ASSERT_LT(k, records->size());
            const QStringList& f = records->at(k++);
            EXPECT_EQ(f[0].toStdString(), m.equation);
            EXPECT_EQ(f[1], QString::fromLatin1(name));
            EXPECT_EQ(f[3].toDouble(), T);
            EXPECT_EQ(f[4].toDouble(), P);
        };
        if (m.envelope.critical) {
            ++criticals;
            special("critical", m.envelope.critical->T, m.envelope.critical->P);
            EXPECT_EQ(records->at(k - 1)[2], "critical");
            EXPECT_EQ(records->at(k - 1)[5].toDouble(), m.envelope.critical->V);
        }
        ASSERT_TRUE(m.envelope.cricondenbar && m.envelope.cricondentherm);
        special("cricondenbar", m.envelope.cricondenbar->T, m.envelope.cricondenbar->P);
        special("cricondentherm", m.envelope.cricondentherm->T, m.envelope.cricondentherm->P);
        // The highest pressure and temperature of the trace.
        for (const EnvelopePoint& p : m.envelope.points) {
            EXPECT_LE(p.P, m.envelope.cricondenbar->P);
            EXPECT_LE(p.T, m.envelope.cricondentherm->T);
        }
    }
    EXPECT_EQ(k, records->size());
    EXPECT_GE(criticals, 5);
}

TEST(EnvelopeCommand, JsonReadsBackToTheModel) {
    const CliRun r = runCli(QStringList{"envelope", "--json", "--db", kSeed, "--equation", "Peng-Robinson",
                                        "--equation", "Soave-Redlich-Kwong"} +
                            pairArgs(kNaturalGas));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QList<QJsonObject> lines = jsonLines(r.out);
    ASSERT_EQ(lines.size(), 2);
    const Expected e = expected("25", "1", kNaturalGas);
    for (int k = 0; k < 2; ++k) {
        const QJsonObject& o = lines[k];
        const MixtureReport& m = e.reports[static_cast<std::size_t>(2 + k)];
        EXPECT_EQ(o.keys(), (QStringList{"cricondenbar", "cricondentherm", "critical", "equation", "notes", "points"}));
        EXPECT_EQ(o["equation"].toString().toStdString(), m.equation);
        const QJsonArray points = o["points"].toArray();
        ASSERT_EQ(points.size(), static_cast<qsizetype>(m.envelope.points.size()));
        for (qsizetype i = 0; i < points.size(); ++i) {
            EXPECT_EQ(points[i].toArray()[0].toDouble(), m.envelope.points[static_cast<std::size_t>(i)].T);
            EXPECT_EQ(points[i].toArray()[1].toDouble(), m.envelope.points[static_cast<std::size_t>(i)].P);
        }
        ASSERT_TRUE(m.envelope.critical);
        EXPECT_EQ(o["critical"].toObject()["V"].toDouble(), m.envelope.critical->V);
        EXPECT_EQ(o["cricondenbar"].toObject()["P"].toDouble(), m.envelope.cricondenbar->P);
        EXPECT_EQ(o["cricondentherm"].toObject()["T"].toDouble(), m.envelope.cricondentherm->T);
    }
}

TEST(EnvelopeCommand, PlotWritesAPictureWholeOrNotAtAll) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString png = dir.filePath(QStringLiteral("env.png"));
    const QString svg = dir.filePath(QStringLiteral("env.svg"));
    const QString nowhere = dir.filePath(QStringLiteral("missing/env.png"));
    const QStringList base = QStringList{"envelope", "--db", kSeed} + pairArgs(kNaturalGas);
#ifdef ZOLVANT_CLI_PICTURES
    for (const QString& path : {png, svg}) {
        const CliRun r = runCli(base + QStringList{"--plot", path});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        if (path == png) {
            EXPECT_TRUE(bytes.startsWith("\x89PNG\r\n\x1a\n"));
        } else {
            EXPECT_TRUE(bytes.contains("<svg") && bytes.contains("Critical point"));
        }
        EXPECT_TRUE(r.out.startsWith("Equation,Point,Branch"));
    }
    const CliRun failed = runCli(base + QStringList{"--plot", nowhere});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_TRUE(failed.err.contains("zolvant-cli envelope: cannot write " + nowhere.toUtf8() + ": ")) << failed.err.toStdString();
    EXPECT_TRUE(failed.out.isEmpty());
#else
    const CliRun r = runCli(base + QStringList{"--plot", png});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(QFile::exists(png));
#endif
    EXPECT_FALSE(QFile::exists(nowhere));
    const CliRun wrongKind = runCli(base + QStringList{"--plot", dir.filePath(QStringLiteral("env.jpg"))});
    EXPECT_EQ(wrongKind.exitCode, 2);
}

}  // namespace
}  // namespace zolvant::cli
