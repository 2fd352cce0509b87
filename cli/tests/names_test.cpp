// Components named on the command line: names case aside, suggestions for a
// name that matches nothing, list --find, and add-defaults.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "cli/tests/support.h"

namespace zolvant::cli {
namespace {

using test::CliRun;
using test::runCli;

const QString kSeed = QStringLiteral(ZOLVANT_SEED_DATABASE);

class CliNamesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    QString pathOf(const QString& name) const { return dir_.filePath(name); }
    // Runs with settings and data folders of the test's own: no user copy.
    CliRun run(const QStringList& args, const QByteArray& input = {}) const {
        return runCli(args, input, dir_.filePath(QStringLiteral("config")), dir_.filePath(QStringLiteral("data")));
    }
    QTemporaryDir dir_;
};

TEST_F(CliNamesTest, NamesAreMatchedCaseAsideEverywhereANameIsGiven) {
    struct Case {
        QStringList exact, otherCase;
    };
    const std::vector<Case> cases{
        {{"solve", "-T", "26.85", "-P", "1", "n-Butane=0.5", "Methane=0.5"},
         {"solve", "-T", "26.85", "-P", "1", "N-BUTANE=0.5", "methane=0.5"}},
        {{"sweep", "-T", "26.85", "-P", "1:3", "--points", "3", "Carbon Dioxide=1"},
         {"sweep", "-T", "26.85", "-P", "1:3", "--points", "3", "carbon dioxide=1"}},
        {{"isotherm", "-T", "26.85", "-P", "1", "Propane", "--points", "10"},
         {"isotherm", "-T", "26.85", "-P", "1", "pROPANE", "--points", "10"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.exact.join(' ').toStdString());
        const CliRun exact = run(QStringList(c.exact) << "--db" << kSeed);
        const CliRun other = run(QStringList(c.otherCase) << "--db" << kSeed);
        EXPECT_EQ(exact.exitCode, 0) << exact.err.toStdString();
        EXPECT_EQ(other.exitCode, 0) << other.err.toStdString();
        // The same numbers; the quick form's captions keep the text typed.
        EXPECT_EQ(other.out.toLower(), exact.out.toLower());
    }
}

TEST_F(CliNamesTest, ANameMatchingNothingIsAnsweredWithCloseNames) {
    const CliRun quick = run({"solve", "--db", kSeed, "-T", "26.85", "-P", "1", "propan=1"});
    EXPECT_EQ(quick.exitCode, 1);
    EXPECT_EQ(QString::fromUtf8(quick.err),
              QStringLiteral("zolvant-cli solve: Input ERROR: component 1: no component named \"propan\" in the "
                             "component database '%1'; did you mean Propane, 1-Propanol, 2-Propanol?\n")
                  .arg(kSeed));

    const CliRun lines = run({"solve", "--db", kSeed},
                             R"({"temperature": "26.85", "pressure": "1", "components": [{"name": "Watre"}]})");
    EXPECT_EQ(lines.exitCode, 1);
    EXPECT_TRUE(lines.out.contains(
        QStringLiteral("no component named \\\"Watre\\\" in the component database '%1'; did you mean Water?")
            .arg(kSeed)
            .toUtf8()))
        << lines.out.toStdString();

    const CliRun isotherm = run({"isotherm", "--db", kSeed, "-T", "26.85", "-P", "1", "Methan"});
    EXPECT_EQ(isotherm.exitCode, 1);
    EXPECT_TRUE(isotherm.err.endsWith("; did you mean Methane, Methanol, Nitromethane?\n"))
        << isotherm.err.toStdString();

    // Nothing close: the message as it always was.
    const CliRun far = run({"solve", "--db", kSeed, "-T", "26.85", "-P", "1", "Qqqqqq=1"});
    EXPECT_TRUE(far.err.endsWith(QStringLiteral("database '%1'\n").arg(kSeed).toUtf8())) << far.err.toStdString();
}

TEST_F(CliNamesTest, ListFindsByPartOfTheNameOrTheStartOfTheCasNumber) {
    struct Case {
        const char* text;
        QStringList names;
    };
    const std::vector<Case> cases{
        {"HEXADECANE", {"n-Hexadecane"}},
        {"sulfur hexa", {"Sulfur Hexafluoride"}},
        {"74-82", {"Methane"}},
        {"124-38-9", {"Carbon Dioxide"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const CliRun r = run({"list", "--db", kSeed, "--find", c.text});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        QStringList lines = QString::fromUtf8(r.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        ASSERT_FALSE(lines.isEmpty());
        EXPECT_TRUE(lines.takeFirst().startsWith(QStringLiteral("Component ")));
        QStringList names;
        for (const QString& l : lines) names << l.section(QStringLiteral("  "), 0, 0).trimmed();
        EXPECT_EQ(names, c.names);
    }
    const CliRun none = run({"list", "--db", kSeed, "--find", "Unobtainium"});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_TRUE(none.out.isEmpty());
    EXPECT_EQ(QString::fromUtf8(none.err),
              QStringLiteral("zolvant-cli list: no component of '%1' has a name containing \"Unobtainium\" or a CAS "
                             "number beginning with it\n")
                  .arg(kSeed));
    EXPECT_EQ(run({"list", "--db", kSeed, "--find", ""}).exitCode, 2);
}

TEST_F(CliNamesTest, AddDefaultsGrowsACopyOfTheFirstSeedOnceAndNeverWritesTheSeed) {
    const QString own = pathOf("own.mdb");
    const CliRun made = run({"create-db", own, "--from", ZOLVANT_TEST_DATA_DIR "/components_62.csv"});
    ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();

    const CliRun first = run({"add-defaults", "--db", own});
    EXPECT_EQ(first.exitCode, 0) << first.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(first.out),
              QStringLiteral("Added 393 components and 214 interaction parameters to %1.\n").arg(own));
    const CliRun again = run({"add-defaults", "--db", own});
    EXPECT_EQ(QString::fromUtf8(again.out),
              QStringLiteral("Added 0 components and 0 interaction parameters to %1.\n").arg(own));
    // The seed's list but for the CAS numbers the 62 records never had.
    const CliRun grown = run({"list", "--db", own});
    EXPECT_EQ(grown.out.count('\n'), 456);
    EXPECT_TRUE(grown.out.contains("\nSulfur Hexafluoride ")) << grown.out.toStdString();

    // Without --db, setting or copy of the user's own, the command would
    // write the seed: refused.
    QFile seedFile(kSeed);
    ASSERT_TRUE(seedFile.open(QIODevice::ReadOnly));
    const QByteArray seedBytes = seedFile.readAll();
    const CliRun seed = run({"add-defaults"});
    EXPECT_EQ(seed.exitCode, 1);
    EXPECT_EQ(QString::fromUtf8(seed.err),
              QStringLiteral("zolvant-cli add-defaults: '%1' is the default database, which is never written; give "
                             "your own database with --db\n")
                  .arg(kSeed));
    QFile after(kSeed);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_TRUE(after.readAll() == seedBytes);

    const CliRun missing = run({"add-defaults", "--db", pathOf("missing.mdb")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains("nothing was added to")) << missing.err.toStdString();
    EXPECT_EQ(run({"add-defaults", own}).exitCode, 2);
}

}  // namespace
}  // namespace zolvant::cli
