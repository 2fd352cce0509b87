// The commands around the component database: create-db, list, components
// given by name in solve (JSON Lines and the quick form), and where the
// database is found (--db, the DBPath setting, the user's own copy, the
// seed the build puts in share/zolvant/).

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
#include <cstring>
#include <vector>

#include "cli/database_components.h"
#include "cli/tests/support.h"
#include "db/components_csv.h"
#include "db/settings.h"
#include "zolvant/version.h"

#include <sqlite3.h>

#include <chrono>

namespace zolvant::cli {
namespace {

using test::CliRun;

const QString kSeedCsv = QStringLiteral(ZOLVANT_DATA_DIR "/components.csv");
const QByteArray kHeader = "Component,MolWt,CritTemp,CritPress,CritVol,AcentricF,K1,K2,K3\n";
const QByteArray kHeading = "Component  MolWt  CritTemp  CritPress  CritVol  AcentricF  K1  K2  K3  CAS\n";

QJsonObject jsonOf(const QByteArray& line) { return QJsonDocument::fromJson(line).object(); }

QString errorMessage(const QByteArray& line) {
    return jsonOf(line).value("error").toObject().value("message").toString();
}

// A line of the list split into its cells (cells are apart by two blanks or
// more; names hold single blanks only).
QStringList cellsOf(const QString& line) { return line.split(QRegularExpression(QStringLiteral("\\s{2,}"))); }

// Where the values of a field end in the list: under the end of its heading.
qsizetype endUnder(const QString& heading, const char* field) {
    return heading.indexOf(QString::fromLatin1(field)) + qsizetype(std::strlen(field));
}

// Each test has its own folder, with its own settings folder inside.
class CliDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("config")));
    }

    QString pathOf(const QString& name) const { return dir_.filePath(name); }
    QString configDir() const { return dir_.filePath(QStringLiteral("config")); }
    QStringList entries() const { return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden); }

    CliRun run(const QStringList& args, const QByteArray& input = {}) const {
        return test::runCli(args, input, configDir());
    }

    void writeFile(const QString& name, const QByteArray& content) const {
        QFile f(pathOf(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }

    QByteArray fileBytes(const QString& name) const {
        QFile f(pathOf(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // A database made by create-db from these CSV records.
    QString makeDb(const QString& name, const QByteArray& records) const {
        writeFile(name + QStringLiteral(".csv"), kHeader + records);
        const CliRun r = run({"create-db", pathOf(name), "--from", pathOf(name + QStringLiteral(".csv"))});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        return pathOf(name);
    }

    // The DBPath setting, written as the calculator window writes it, where
    // the executable run by these tests reads it.
    void setDbPathSetting(const QString& path) const {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, configDir());
        db::writeDbPath(path);
    }

    QTemporaryDir dir_;
};

// ---- create-db and list ----

TEST_F(CliDatabaseTest, CreateDbEmptyOrFromTheSeedDataAndListIt) {
    const CliRun empty = run({"create-db", pathOf("empty.mdb")});
    EXPECT_EQ(empty.exitCode, 0) << empty.err.toStdString();
    EXPECT_EQ(empty.out, "Created " + pathOf("empty.mdb").toUtf8() + ", an empty component database.\n");
    const CliRun emptyList = run({"list", "--db", pathOf("empty.mdb")});
    EXPECT_EQ(emptyList.exitCode, 0);
    EXPECT_EQ(emptyList.out, kHeading);

    const CliRun seed = run({"create-db", pathOf("seed.mdb"), "--from", kSeedCsv});
    EXPECT_EQ(seed.exitCode, 0) << seed.err.toStdString();
    EXPECT_EQ(seed.out, "Created " + pathOf("seed.mdb").toUtf8() + " with 455 components.\n");
    const CliRun list = run({"list", "--db", pathOf("seed.mdb")});
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_TRUE(list.err.isEmpty());
    const QStringList lines = QString::fromUtf8(list.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 456);

    // In the query's order: by name as a person reads them.
    QStringList names;
    for (qsizetype i = 1; i < lines.size(); ++i) names << cellsOf(lines[i]).constFirst();
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    })) << names.join(", ").toStdString();
    EXPECT_TRUE(names.contains("1,3-Butadiene"));  // quoted in the CSV
    EXPECT_TRUE(names.contains("R-11 (Trichlorofluoromethane)"));

    // Every value right-aligned under its heading.
    const QString butane = *std::find_if(lines.begin(), lines.end(),
                                         [](const QString& l) { return l.startsWith(QStringLiteral("n-Butane ")); });
    const QStringList values = cellsOf(butane);
    ASSERT_EQ(values, (QStringList{"n-Butane", "58.123", "425.12", "37.96", "255", "0.2", "0.03443", "0.6767", "0.461",
                                   "106-97-8"}));
    for (qsizetype c = 1; c < qsizetype(db::kComponentFields.size()); ++c) {
        const char* field = db::kComponentFields[static_cast<std::size_t>(c)];
        EXPECT_EQ(butane.mid(endUnder(lines[0], field) - values[c].size(), values[c].size()), values[c]) << field;
    }
    // The CAS number, a text, left-aligned under its heading as the name is.
    EXPECT_EQ(butane.mid(lines[0].indexOf(QStringLiteral("CAS"))), QStringLiteral("106-97-8"));
}

TEST_F(CliDatabaseTest, ListShowsAbsentValuesEmptyAndReadsTheDatabaseTheWindowReads) {
    const QString path = makeDb("Components.mdb",
                                "Water,18.015,647.14,220.64,55.95,0.344,-0.06635,0.0199,0.443\n"
                                "Argon,39.948,150.86,48.98,,-0.002,,,\n");
    const CliRun list = run({"list", "--db", path});
    EXPECT_EQ(list.exitCode, 0);
    const QStringList lines = QString::fromUtf8(list.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("Argon ")));
    // CritVol is blank; AcentricF ends under its heading, and nothing follows.
    const qsizetype critPressEnd = endUnder(lines[0], "CritPress"), critVolEnd = endUnder(lines[0], "CritVol");
    EXPECT_EQ(lines[1].mid(critPressEnd, critVolEnd - critPressEnd).trimmed(), QString());
    EXPECT_EQ(lines[1].size(), endUnder(lines[0], "AcentricF"));
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral("  -0.002")));
    EXPECT_EQ(cellsOf(lines[2]), (QStringList{"Water", "18.015", "647.14", "220.64", "55.95", "0.344", "-0.06635", "0.0199", "0.443"}));

    // Without --db: the DBPath setting; --db wins over it.
    setDbPathSetting(path);
    EXPECT_EQ(run({"list"}).out, list.out);
    const QString empty = pathOf("empty.mdb");
    ASSERT_EQ(run({"create-db", empty}).exitCode, 0);
    EXPECT_EQ(run({"list", "--db", empty}).out, kHeading);

    // A database that does not open: the path and the reason, exit 1.
    const CliRun missing = run({"list", "--db", pathOf("missing.mdb")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.out.isEmpty());
    EXPECT_EQ(missing.err, "zolvant-cli list: the component database '" + pathOf("missing.mdb").toUtf8() +
                               "' does not open: Could not find the database file '" + pathOf("missing.mdb").toUtf8() +
                               "'.\n");
    setDbPathSetting(pathOf("missing.mdb"));
    EXPECT_EQ(run({"list"}).err, missing.err);

    const CliRun extra = run({"list", path});
    EXPECT_EQ(extra.exitCode, 2);
    EXPECT_TRUE(extra.err.contains("unexpected argument")) << extra.err.toStdString();
}

TEST_F(CliDatabaseTest, CreateDbNeverOverwritesAndWritesNothingForABadLine) {
    writeFile("taken.mdb", "keep me");
    for (const QStringList& args : {QStringList{"create-db", pathOf("taken.mdb")},
                                    QStringList{"create-db", pathOf("taken.mdb"), "--from", kSeedCsv}}) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const CliRun r = run(args);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.err.contains("already exists")) << r.err.toStdString();
        EXPECT_EQ(fileBytes("taken.mdb"), "keep me");
    }

    struct Row { const char* what; QByteArray csv; int line; const char* says; };
    const Row rows[] = {
        {"a field missing from the header", "Component,MolWt\nA,1\n", 1, "the field CritTemp is missing"},
        {"too few values", kHeader + "A,1,2,3,4,5,6,7,8\n\nB,1,2\n", 4, "3 values where the header names 9"},
        {"text where a number belongs", kHeader + "A,1,2,3,4,5,6,7,8\nB,1,x,3,4,5,6,7,8\n", 3, "'x'"},
        {"a component without a name", kHeader + "A,1,2,3,4,5,6,7,8\n,1,2,3,4,5,6,7,8\n", 3, ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        writeFile("bad.csv", r.csv);
        const QStringList before = entries();
        const CliRun c = run({"create-db", pathOf("new.mdb"), "--from", pathOf("bad.csv")});
        EXPECT_EQ(c.exitCode, 1);
        EXPECT_TRUE(c.out.isEmpty());
        const QByteArray lead = "zolvant-cli create-db: " + pathOf("bad.csv").toUtf8() + ", line " + QByteArray::number(r.line) + ": ";
        EXPECT_TRUE(c.err.startsWith(lead)) << c.err.toStdString();
        EXPECT_TRUE(c.err.contains(r.says)) << c.err.toStdString();
        EXPECT_TRUE(c.err.endsWith("Nothing was written.\n")) << c.err.toStdString();
        EXPECT_EQ(entries(), before);  // no database, no half-built file
    }

    const CliRun noCsv = run({"create-db", pathOf("new.mdb"), "--from", pathOf("absent.csv")});
    EXPECT_EQ(noCsv.exitCode, 1);
    EXPECT_TRUE(noCsv.err.contains(pathOf("absent.csv").toUtf8())) << noCsv.err.toStdString();
    EXPECT_FALSE(QFile::exists(pathOf("new.mdb")));

    struct Usage { QStringList args; const char* says; };
    const Usage usage[] = {
        {{"create-db"}, "no FILE given"},
        {{"create-db", pathOf("a.mdb"), pathOf("b.mdb")}, "one FILE only"},
        {{"create-db", pathOf("a.mdb"), "--from"}, "Missing value after '--from'"},
        {{"create-db", pathOf("a.mdb"), "--form", kSeedCsv}, "Unknown option 'form'"},
    };
    for (const Usage& u : usage) {
        SCOPED_TRACE(u.args.join(' ').toStdString());
        const CliRun c = run(u.args);
        EXPECT_EQ(c.exitCode, 2);
        EXPECT_TRUE(c.err.contains(u.says)) << c.err.toStdString();
        EXPECT_TRUE(c.err.contains("Try 'zolvant-cli create-db --help'."));
    }
    EXPECT_FALSE(QFile::exists(pathOf("a.mdb")));
}

// ---- components by name in solve ----

const QByteArray kStateKeys = R"("temperature": "26.85", "pressure": "1", )";

QByteArray caseLine(const QByteArray& components) { return "{" + kStateKeys + R"("components": [)" + components + "]}"; }

TEST_F(CliDatabaseTest, NamedComponentsAreLoadedAsTheWindowLoadsThem) {
    const QString path = makeDb("Components.mdb",
                                "n-Butane,58.123,425.12,37.96,255,0.200,0.03443,0.6767,0.461\n"
                                "Propylene,42.081,364.90,46.00,184.6,0.142,,,\n"
                                "Dup,1,300,40,1,0.1,0.01,,\n"
                                "Unmeasured,,,,,,,,\n"
                                "Dup,1,400,40,1,0.1,0.01,,\n");
    struct Row { const char* what; QByteArray named; QByteArray given; };
    const Row rows[] = {
        {"all constants, and Null K1 to K3 as 0",
         R"({"name": "n-Butane", "fraction": "0.5"}, {"name": "Propylene"})",
         R"({"Tc": 425.12, "Pc": 37.96, "omega": 0.2, "K1": 0.03443, "K2": 0.6767, "K3": 0.461, "fraction": "0.5"},)"
         R"({"Tc": 364.9, "Pc": 46, "omega": 0.142, "K1": 0, "K2": 0, "K3": 0})"},
        {"Null Tc and Pc as 1", R"({"name": "Unmeasured", "fraction": "1"})",
         R"({"Tc": 1, "Pc": 1, "omega": 0, "K1": 0, "K2": 0, "K3": 0, "fraction": "1"})"},
        {"of equal names the last", R"({"name": "Dup", "fraction": "1"})",
         R"({"Tc": 400, "Pc": 40, "omega": 0.1, "K1": 0.01, "fraction": "1"})"},
        {"constants given beside a name replace its own", R"({"name": "Dup", "Tc": 300, "fraction": "1"})",
         R"({"Tc": 300, "Pc": 40, "omega": 0.1, "K1": 0.01, "fraction": "1"})"},
    };
    QByteArray named, given;
    for (const Row& r : rows) {
        named += caseLine(r.named) + "\n";
        given += caseLine(r.given) + "\n";
    }
    // All named cases in one run, through one opening of the database.
    const CliRun byName = run({"solve", "--db", path}, named);
    const CliRun byConstants = run({"solve"}, given);
    EXPECT_EQ(byName.exitCode, 0) << byName.out.toStdString();
    EXPECT_EQ(byConstants.exitCode, 0);
    const QList<QByteArray> a = byName.out.split('\n'), b = byConstants.out.split('\n');
    const auto count = static_cast<qsizetype>(std::size(rows));
    ASSERT_EQ(a.size(), count + 1);
    ASSERT_EQ(b.size(), count + 1);
    for (qsizetype i = 0; i < count; ++i) {
        SCOPED_TRACE(rows[i].what);
        EXPECT_EQ(jsonOf(a[i]).value("ok"), QJsonValue(true)) << a[i].toStdString();
        EXPECT_EQ(a[i], b[i]);
    }
    // The first Dup would have given other numbers.
    EXPECT_NE(run({"solve"}, caseLine(R"({"Tc": 300, "Pc": 40, "omega": 0.1, "K1": 0.01, "fraction": "1"})")).out, a[2] + "\n");

    // Without --db the DBPath setting names the database.
    setDbPathSetting(path);
    EXPECT_EQ(run({"solve"}, named).out, byName.out);
}

TEST_F(CliDatabaseTest, UnknownNamesAndMissingDatabasesAreInputErrors) {
    const QString path = makeDb("Components.mdb", "n-Butane,58.123,425.12,37.96,255,0.200,0.03443,0.6767,0.461\n");
    const QByteArray pathText = path.toUtf8();

    const CliRun unknown = run({"solve", "--db", path},
                               caseLine(R"({"name": "n-Butane", "fraction": "0.5"}, {"name": "Xenon"})") + "\n" +
                                   caseLine(R"({"name": "n-butane", "fraction": "1"})") + "\n");
    EXPECT_EQ(unknown.exitCode, 1);
    const QList<QByteArray> lines = unknown.out.split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(jsonOf(lines[0]).value("error").toObject().value("title"), QJsonValue("Input ERROR"));
    EXPECT_EQ(errorMessage(lines[0]), "line 1: component 2: no component named \"Xenon\" in the component database '" + path + "'");
    // Names compare case aside (an exact spelling first).
    EXPECT_TRUE(jsonOf(lines[1]).value("ok").toBool()) << lines[1].toStdString();
    EXPECT_EQ(unknown.err, "zolvant-cli solve: 1 of 2 lines was not a case; see its Input ERROR\n");

    // No database: every case by name says which path and why; cases
    // without names never need one.
    const QString missing = pathOf("missing.mdb");
    const QByteArray cases = caseLine(R"({"name": "n-Butane", "fraction": "1"})") + "\n" +
                             caseLine(R"({"Tc": 425.12, "Pc": 37.96, "fraction": "1"})") + "\n" +
                             caseLine(R"({"Tc": 425.12, "Pc": 37.96}, {"name": "Methane", "fraction": "0"})") + "\n";
    const QString reason = "the component database '" + missing + "' does not open: Could not find the database file '" + missing + "'.";
    for (const bool bySetting : {false, true}) {
        SCOPED_TRACE(bySetting ? "the DBPath setting" : "--db");
        if (bySetting) setDbPathSetting(missing);
        const CliRun r = bySetting ? run({"solve"}, cases) : run({"solve", "--db", missing}, cases);
        EXPECT_EQ(r.exitCode, 1);
        const QList<QByteArray> out = r.out.split('\n');
        ASSERT_EQ(out.size(), 4);
        EXPECT_EQ(errorMessage(out[0]), "line 1: component 1: cannot look up \"n-Butane\": " + reason);
        EXPECT_EQ(jsonOf(out[1]).value("ok"), QJsonValue(true));
        EXPECT_EQ(errorMessage(out[2]), "line 3: component 2: cannot look up \"Methane\": " + reason);
    }

    const CliRun noNames = run({"solve", "--db", missing},
                               caseLine(R"({"Tc": 425.12, "Pc": 37.96, "fraction": "1"})") + "\n");
    EXPECT_EQ(noNames.exitCode, 0);
    EXPECT_TRUE(noNames.err.isEmpty());
    const CliRun notADatabase = run({"solve", "--db", path + ".csv"}, caseLine(R"({"name": "n-Butane", "fraction": "1"})"));
    EXPECT_EQ(notADatabase.exitCode, 1);
    EXPECT_TRUE(errorMessage(notADatabase.out.trimmed()).contains("'" + path + ".csv' does not open: ")) << notADatabase.out.toStdString();
}

TEST(DatabaseComponents, OpensTheDatabaseOnceAtTheFirstName) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("Components.mdb");
    db::createDatabaseFromCsv(path.toStdString(), kSeedCsv.toStdString());

    int asked = 0;
    DatabaseComponents components([&] {
        ++asked;
        return path;
    });
    EXPECT_EQ(asked, 0);  // nothing is opened before a name is asked for
    const auto butane = components.find("n-Butane");
    ASSERT_TRUE(butane);
    EXPECT_EQ((*butane)[0], 425.12);
    // The connection serves the whole run, even once the file is gone.
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_TRUE(components.find("Propylene"));
    EXPECT_FALSE(components.find("Unobtainium"));
    EXPECT_EQ(asked, 1);

    int askedMissing = 0;
    DatabaseComponents none([&] {
        ++askedMissing;
        return dir.filePath("missing.mdb");
    });
    EXPECT_THROW(none.find("n-Butane"), LookupFailure);
    EXPECT_THROW(none.find("Methane"), LookupFailure);
    EXPECT_EQ(askedMissing, 1);
}

// ---- the quick form ----

TEST_F(CliDatabaseTest, QuickFormPrintsTheTableOfTheCaseItStandsFor) {
    const QString path = pathOf("seed.mdb");
    ASSERT_EQ(run({"create-db", path, "--from", kSeedCsv}).exitCode, 0);

    const CliRun quick = run({"solve", "--db", path, "-T", "26.85", "-P", "1", "n-Butane=0.5", "Methane=0.5"});
    EXPECT_EQ(quick.exitCode, 0) << quick.err.toStdString();
    EXPECT_TRUE(quick.err.isEmpty());
    EXPECT_TRUE(quick.out.startsWith("Case: 300 K, 1 bar\n")) << quick.out.toStdString();
    EXPECT_TRUE(QString::fromUtf8(quick.out).contains(QRegularExpression(QStringLiteral("Mixture +165\\.47 +24693\\.5 +0\\.9900"))));
    const CliRun batch = run({"solve", "--db", path, "--table"},
                             caseLine(R"({"name": "n-Butane", "fraction": "0.5"}, {"name": "Methane", "fraction": "0.5"})"));
    EXPECT_TRUE(batch.out.startsWith("Case at line 1: 300 K, 1 bar\n"));
    EXPECT_EQ(quick.out.mid(quick.out.indexOf('\n')), batch.out.mid(batch.out.indexOf('\n')));

    // Long options; a value that begins with a minus sign is still the value.
    const CliRun cold = run({"solve", "--db", path, "--temperature", "-10", "--pressure", "1", "n-Butane=1"});
    EXPECT_EQ(cold.exitCode, 0);
    EXPECT_TRUE(cold.out.startsWith("Case: 263.15 K, 1 bar\n")) << cold.out.toStdString();
}

TEST_F(CliDatabaseTest, QuickFormRefusalsAndWrongUsage) {
    const QString path = pathOf("seed.mdb");
    ASSERT_EQ(run({"create-db", path, "--from", kSeedCsv}).exitCode, 0);
    const QStringList state{"solve", "--db", path, "-T", "26.85", "-P", "1"};

    struct Refusal { QStringList pairs; QByteArray says; };
    const Refusal refusals[] = {
        {{"n-Butane=0.5", "Unobtainium=0.5"},
         "Input ERROR: component 2: no component named \"Unobtainium\" in the component database '" + path.toUtf8() + "'"},
        {{"n-Butane=0.5", "Methane=0.4"}, "Mixture ERROR: Mole Fraction Total Not Equal to 1"},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.pairs.join(' ').toStdString());
        const CliRun c = run(state + r.pairs);
        EXPECT_EQ(c.exitCode, 1);
        EXPECT_TRUE(c.out.isEmpty());
        EXPECT_EQ(c.err, "zolvant-cli solve: " + r.says + "\n");
    }

    struct Usage { QStringList args; const char* says; };
    const Usage usage[] = {
        {{"solve", "-T", "26.85", "n-Butane=1"}, "-T is given without -P"},
        {{"solve", "-P", "1", "n-Butane=1"}, "-P is given without -T"},
        {state + QStringList{"n-Butane"}, "'n-Butane' is not a NAME=FRACTION pair"},
        {state + QStringList{"=1"}, "'=1' gives no component name"},
        {state + QStringList{"n-Butane=0.2", "Methane=0.2", "Ethane=0.2", "Propane=0.2", "Nitrogen=0.2"},
         "5 components given; a mixture has at most 4"},
        {state + QStringList{"n-Butane=0.5", "-"}, "standard input ('-') is not read"},
        {state, "no components"},
        {{"solve", "--db", path, "n-Butane=1"}, "pairs need -T and -P"},
    };
    for (const Usage& u : usage) {
        SCOPED_TRACE(u.args.join(' ').toStdString());
        const CliRun c = run(u.args, caseLine(R"({"name": "n-Butane", "fraction": "1"})"));
        EXPECT_EQ(c.exitCode, 2);
        EXPECT_TRUE(c.out.isEmpty());
        EXPECT_TRUE(c.err.contains(u.says)) << c.err.toStdString();
        EXPECT_TRUE(c.err.contains("Try 'zolvant-cli solve --help'."));
    }
}

// A new user: no settings at all, no copy of the database of their own, and
// the seed database the build put in share/zolvant/ beside bin/.
TEST(FreshBuild, SeedDatabaseBesideTheExecutableIsFoundWithoutSettings) {
    QTemporaryDir emptyConfig;
    ASSERT_TRUE(emptyConfig.isValid());
    const CliRun solve = test::runCli({"solve", "-T", "26.85", "-P", "1", "n-Butane=1"}, {}, emptyConfig.path());
    EXPECT_EQ(solve.exitCode, 0) << solve.err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(solve.out).contains(QRegularExpression(QStringLiteral("n-Butane \\(1\\.000\\) +165\\.47 +24494\\.3 +0\\.9820"))))
        << solve.out.toStdString();

    const CliRun list = test::runCli({"list"}, {}, emptyConfig.path());
    EXPECT_EQ(list.exitCode, 0) << list.err.toStdString();
    EXPECT_EQ(list.out.count('\n'), 456);
    EXPECT_TRUE(list.out.contains("\nn-Butane "));
    EXPECT_TRUE(QDir(emptyConfig.path()).isEmpty());  // reading writes no settings
}

// Without --db and without a setting, the user's own copy wins over the
// seed once it exists; reading never makes that copy.
TEST(FreshBuild, TheUsersOwnCopyWinsOverTheSeedAndReadingNeverMakesIt) {
    QTemporaryDir config, data;
    ASSERT_TRUE(config.isValid() && data.isValid());
    const CliRun fromSeed = test::runCli({"list"}, {}, config.path(), data.path());
    EXPECT_EQ(fromSeed.exitCode, 0) << fromSeed.err.toStdString();
    EXPECT_EQ(fromSeed.out.count('\n'), 456);
    EXPECT_TRUE(QDir(data.path()).isEmpty());

    ASSERT_TRUE(QDir().mkpath(data.filePath("zolvant")));
    QFile csv(data.filePath("own.csv"));
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write(kHeader + "Xenon,131.29,289.7,58.4,118,0.008,,,\n");
    csv.close();
    const QString own = data.filePath("zolvant/Components.mdb");
    ASSERT_EQ(test::runCli({"create-db", own, "--from", csv.fileName()}).exitCode, 0);
    const CliRun fromOwn = test::runCli({"list"}, {}, config.path(), data.path());
    EXPECT_EQ(fromOwn.exitCode, 0) << fromOwn.err.toStdString();
    EXPECT_EQ(fromOwn.out.count('\n'), 2) << fromOwn.out.toStdString();
    EXPECT_TRUE(fromOwn.out.contains("\nXenon "));
}

TEST(Version, VersionPrintsTheProgramAndItsVersion) {
    const CliRun c = test::runCli({"--version"});
    EXPECT_EQ(c.exitCode, 0);
    EXPECT_EQ(c.out, QByteArray("zolvant-cli " ZOLVANT_VERSION "\n"));
    EXPECT_TRUE(c.err.isEmpty());
}

// A file from elsewhere whose query never ends: list and a case by name
// both stop within the time budget, say why, exit 1, and write nothing.
TEST_F(CliDatabaseTest, AQueryThatNeverEndsStopsListAndSolveWithItsReason) {
    const QString path = makeDb("Components.mdb", "n-Butane,58.123,425.12,37.96,255,0.200,0.03443,0.6767,0.461\n");
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &raw), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(raw,
                           "DROP VIEW qryCritCos; CREATE VIEW qryCritCos AS WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL "
                           "SELECT n + 1 FROM r) SELECT 'n-Butane' AS Component, 425.12 AS CritTemp, 37.96 AS CritPress, "
                           "0.2 AS AcentricF, 0 AS K1, 0 AS K2, 0 AS K3 FROM r WHERE n < 0",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(raw);
    const QByteArray before = fileBytes("Components.mdb");

    const auto timed = [](const std::function<CliRun()>& f) {
        const auto started = std::chrono::steady_clock::now();
        CliRun r = f();
        EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(), 5.0);
        return r;
    };
    const CliRun list = timed([&] { return run({"list", "--db", path}); });
    EXPECT_EQ(list.exitCode, 1);
    EXPECT_TRUE(list.out.isEmpty());
    EXPECT_EQ(list.err, "zolvant-cli list: the component database '" + path.toUtf8() +
                            "' does not open: A query of the database '" + path.toUtf8() +
                            "' did not finish within 3 seconds.\n");

    const CliRun solve =
        timed([&] { return run({"solve", "--db", path}, caseLine(R"({"name": "n-Butane", "fraction": "1"})") + "\n"); });
    EXPECT_EQ(solve.exitCode, 1);
    const QJsonObject error = jsonOf(solve.out.trimmed()).value("error").toObject();
    EXPECT_EQ(error.value("title").toString(), "Input ERROR");
    EXPECT_EQ(error.value("message").toString(),
              "line 1: component 1: cannot look up \"n-Butane\": the component database '" + path +
                  "' does not open: The query qryCritCos of '" + path + "' did not finish within 3 seconds.");
    EXPECT_EQ(fileBytes("Components.mdb"), before);
}

}  // namespace
}  // namespace zolvant::cli
