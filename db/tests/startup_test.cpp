// The start-up opening with its recovery cycle, driven by scripted dialogs,
// and the DBPath setting it reads and writes.

#include <QCoreApplication>
#include <QDir>
#include <QSettings>

#include <deque>

#include "db/settings.h"
#include "db/startup.h"
#include "db/tests/support.h"

namespace zolvant::db::test {
namespace {

const std::string kNotFound = "Component Database Not Found\n\rOpen 'Components.mdb' Database";
const std::string kTitle = "Database Path ERROR";

// Plays the user: answers each dialog from a script and records what was
// shown, and what DBPath held when each dialog opened.
class ScriptedDialogs : public StartupDialogs {
public:
    explicit ScriptedDialogs(std::deque<std::optional<std::string>> answers) : answers_(std::move(answers)) {}
    void message(const std::string& text, const std::string& title) override {
        messages.push_back(text);
        titles.push_back(title);
    }
    std::optional<std::string> openFileName(const std::string& startFolder) override {
        folders.push_back(startFolder);
        settingAtDialog.push_back(hasDbPathSetting() ? readDbPath().toStdString() : "<none>");
        if (answers_.empty()) return std::nullopt;  // a script run out: the user gives up
        auto answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    std::vector<std::string> messages, titles, folders, settingAtDialog;

private:
    std::deque<std::optional<std::string>> answers_;
};

std::string setting() { return hasDbPathSetting() ? readDbPath().toStdString() : "<none>"; }

class StartupTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        good_ = makeDb("Components.mdb", {{"Methane", {16.043, 190.56}}, {"Water", {18.015, 647.14}}});
    }
    std::string good_;
};

TEST_F(StartupTest, TheSettingLivesInGroupStartupOfZolvant) {
    const QSettings probe("Zolvant", "Zolvant");
    EXPECT_FALSE(probe.fileName().startsWith(QDir::homePath() + "/.config")) << probe.fileName().toStdString();
    EXPECT_FALSE(hasDbPathSetting());
    EXPECT_EQ(defaultDbPath(), QDir(QCoreApplication::applicationDirPath()).filePath("Components.mdb"));
    EXPECT_EQ(readDbPath(), defaultDbPath());
    writeDbPath("/data/Components.mdb");
    EXPECT_EQ(QSettings("Zolvant", "Zolvant").value("Startup/DBPath").toString(), "/data/Components.mdb");
    EXPECT_EQ(readDbPath(), "/data/Components.mdb");
}

TEST_F(StartupTest, DefaultPathOpensWithoutMessageAndWritesNoSetting) {
    setDefaultDbPathOverride(QString::fromStdString(good_));
    ScriptedDialogs dialogs({});
    const StartupResult r = openComponentDatabase(dialogs);
    EXPECT_FALSE(r.abandoned);
    ASSERT_TRUE(r.dbComps && r.rstComps);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(dialogs.folders.empty());
    EXPECT_EQ(setting(), "<none>");
    EXPECT_EQ(nameOf(*r.rstComps), "Water");  // moved to the last record
}

TEST_F(StartupTest, AFailedOpeningAsksForTheFileAndStoresTheChoice) {
    const std::string notSqlite = pathOf("notes.txt");
    writeText(notSqlite, "not a database");
    const std::string noQuery = pathOf("noquery.mdb");
    execSql(noQuery, "CREATE TABLE tblComps (Component TEXT)");
    const std::string endless = makeDb("endless.mdb", {{"Methane", {16.043, 190.56}}});
    execSql(endless,
            "DROP VIEW qryCritCos; CREATE VIEW qryCritCos AS WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 "
            "FROM r) SELECT 'x' AS Component, 1 AS CritTemp, 1 AS CritPress, 0 AS AcentricF, 0 AS K1, 0 AS K2, "
            "0 AS K3 FROM r WHERE n < 0");
    struct Case {
        const char* what;
        std::string path;
        std::string message;  // the start of the message shown
    };
    const Case cases[] = {
        {"missing file", pathOf("Moved.mdb"), kNotFound},
        {"invalid path", pathOf("no-folder/Components.mdb"), kNotFound},
        {"empty setting", "", kNotFound},
        {"not a database", notSqlite, "The file '" + notSqlite + "' is not a component database"},
        {"no query", noQuery, "The file '" + noQuery + "' is not a component database: it has no query qryCritCos."},
        {"a query that never ends", endless,
         "The query qryCritCos of '" + endless + "' did not finish within 3 seconds."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeDbPath(QString::fromStdString(c.path));
        ScriptedDialogs dialogs({good_});
        const StartupResult r = openComponentDatabase(dialogs);
        EXPECT_FALSE(r.abandoned);
        ASSERT_TRUE(r.dbComps && r.rstComps);
        EXPECT_EQ(r.dbComps->path(), good_);
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].rfind(c.message, 0), 0u) << dialogs.messages[0];
        EXPECT_EQ(dialogs.titles[0], kTitle);
        EXPECT_EQ(dialogs.folders, std::vector<std::string>{"/"});
        EXPECT_EQ(setting(), good_);
    }
}

TEST_F(StartupTest, CancellingAbandonsAndWritesNothingForThatPass) {
    const std::string missing = pathOf("Moved.mdb");
    const std::string alsoMissing = pathOf("Elsewhere.mdb");
    writeDbPath(QString::fromStdString(missing));
    // First pass: the user picks another missing file; second: cancels.
    ScriptedDialogs dialogs({alsoMissing, std::nullopt});
    const StartupResult r = openComponentDatabase(dialogs);
    EXPECT_TRUE(r.abandoned);
    EXPECT_FALSE(r.dbComps);
    EXPECT_FALSE(r.rstComps);
    EXPECT_EQ(dialogs.messages, (std::vector<std::string>{kNotFound, kNotFound}));
    EXPECT_EQ(dialogs.settingAtDialog, (std::vector<std::string>{missing, alsoMissing}));
    EXPECT_EQ(setting(), alsoMissing);
}

TEST_F(StartupTest, AnEmptyFileNameKeepsThePathAndStillStoresIt) {
    // No setting yet: the default path is missing; the dialog returns no name,
    // then the right file.
    setDefaultDbPathOverride(QString::fromStdString(pathOf("Default.mdb")));
    ScriptedDialogs dialogs({std::string(), good_});
    const StartupResult r = openComponentDatabase(dialogs);
    ASSERT_TRUE(r.rstComps);
    EXPECT_EQ(dialogs.settingAtDialog, (std::vector<std::string>{"<none>", pathOf("Default.mdb")}));
    EXPECT_EQ(setting(), good_);
}

TEST_F(StartupTest, AnEmptyQueryOpensWithoutMessage) {
    const std::string empty = makeDb("Empty.mdb", {});
    writeDbPath(QString::fromStdString(empty));
    ScriptedDialogs dialogs({});
    const StartupResult r = openComponentDatabase(dialogs);
    ASSERT_TRUE(r.dbComps && r.rstComps);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(r.rstComps->BOF() && r.rstComps->EOF_());
    EXPECT_EQ(setting(), empty);
}

}  // namespace
}  // namespace zolvant::db::test
