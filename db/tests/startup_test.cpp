// The start-up opening with its recovery cycle, driven by scripted dialogs,
// and the DBPath setting it reads and writes.

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>

#include <deque>
#include <filesystem>

#include "db/access_offer.h"
#include "db/settings.h"
#include "db/startup.h"
#include "db/tests/support.h"
#include "testsupport/access_support.h"

namespace zolvant::db::test {
namespace {

const std::string kNotFound = "Component Database Not Found\n\rOpen 'Components.mdb' Database";
const std::string kTitle = "Database Path ERROR";

// Plays the user: answers each dialog from a script and records what was
// shown, and what DBPath held when each dialog opened. `log` keeps every
// dialog in order: "message", "open", "question", "save".
class ScriptedDialogs : public StartupDialogs {
public:
    explicit ScriptedDialogs(std::deque<std::optional<std::string>> answers, std::deque<bool> questionAnswers = {},
                             std::deque<std::optional<std::string>> saveAnswers = {})
        : answers_(std::move(answers)), questionAnswers_(std::move(questionAnswers)),
          saveAnswers_(std::move(saveAnswers)) {}
    void message(const std::string& text, const std::string& title) override {
        log.push_back("message");
        messages.push_back(text);
        titles.push_back(title);
    }
    std::optional<std::string> openFileName(const std::string& startFolder) override {
        log.push_back("open");
        folders.push_back(startFolder);
        settingAtDialog.push_back(hasDbPathSetting() ? readDbPath().toStdString() : "<none>");
        return next(answers_);  // a script run out: the user gives up
    }
    bool question(const std::string& text, const std::string&) override {
        log.push_back("question");
        questions.push_back(text);
        if (questionAnswers_.empty()) return false;
        const bool a = questionAnswers_.front();
        questionAnswers_.pop_front();
        return a;
    }
    std::optional<std::string> saveFileName(const std::string& suggested, const std::string&) override {
        log.push_back("save");
        suggestions.push_back(suggested);
        return next(saveAnswers_);
    }
    std::vector<std::string> messages, titles, folders, settingAtDialog, questions, suggestions, log;

private:
    static std::optional<std::string> next(std::deque<std::optional<std::string>>& answers) {
        if (answers.empty()) return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::deque<std::optional<std::string>> answers_;
    std::deque<bool> questionAnswers_;
    std::deque<std::optional<std::string>> saveAnswers_;
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
    EXPECT_EQ(settings().fileName(), probe.fileName());
    EXPECT_FALSE(hasDbPathSetting());
    EXPECT_EQ(defaultDbPath(), QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
                                   .filePath("zolvant/Components.mdb"));
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

// ------------------------------------------------- an Access file picked

// An Access file with three components, the user's data folder beside it,
// and a DBPath that points nowhere, so that the start-up asks for a file.
class StartupAccessTest : public StartupTest {
protected:
    void SetUp() override {
        StartupTest::SetUp();
        access_ = pathOf("Old.mdb");
        writeAccess(access_, {"tblComps", componentColumns(),
                              {componentRow("Methane", {16.043, 190.56, 45.99, 98.6, 0.011, 0, 0, 0}),
                               componentRow("Água", {18.015, 647.14, 220.64, 55.95, 0.344, 0, 0, 0}),
                               componentRow("Methane", {16.04, 190.6, 46, 99, 0.01, 0, 0, 0})}});
        ASSERT_TRUE(QDir().mkpath(QString::fromStdString(pathOf("data"))));
        setDefaultDbPathOverride(QString::fromStdString(pathOf("data/Components.mdb")));
        writeDbPath(QString::fromStdString(pathOf("Moved.mdb")));
    }
    static void writeAccess(const std::string& path, const JetTable& table) {
        writeFileBytes(path, buildJet4File({table}));
    }
    std::string access_;
};

TEST_F(StartupAccessTest, YesImportsIntoANewFileThatIsOpenedAndStored) {
    const std::string before = fileBytes(access_);
    const std::string target = pathOf("data/Components.mdb");
    ScriptedDialogs dialogs({access_}, {true}, {target});
    const StartupResult r = openComponentDatabase(dialogs);
    ASSERT_TRUE(r.dbComps && r.rstComps);
    EXPECT_EQ(r.dbComps->path(), target);
    EXPECT_EQ(setting(), target);
    EXPECT_EQ(dialogs.log, (std::vector<std::string>{"message", "open", "question", "save", "message"}));
    EXPECT_EQ(dialogs.questions, std::vector<std::string>{std::string(kAccessImportQuestion) +
                                                          "\nIt holds 3 components."});
    EXPECT_EQ(dialogs.suggestions, std::vector<std::string>{target});
    EXPECT_EQ(dialogs.messages.back(), "Imported 3 components from " + access_ + " into " + target + ".");
    // Every record in the file's order, duplicates kept; the Access file as it was.
    EXPECT_EQ(namesInRowidOrder(target), (std::vector<std::string>{"Methane", "Água", "Methane"}));
    EXPECT_EQ(fileBytes(access_), before);
    EXPECT_EQ(folderEntries(pathOf("data")), std::vector<std::string>{"Components.mdb"});
}

TEST_F(StartupAccessTest, ASettingNamingAnAccessFileIsOfferedForImportToo) {
    // An earlier generation's setting points at its Access database.
    writeDbPath(QString::fromStdString(access_));
    const std::string target = pathOf("data/Components.mdb");
    ScriptedDialogs dialogs({}, {true}, {target});
    const StartupResult r = openComponentDatabase(dialogs);
    ASSERT_TRUE(r.dbComps);
    EXPECT_EQ(r.dbComps->path(), target);
    EXPECT_EQ(dialogs.log, (std::vector<std::string>{"question", "save", "message"}));
    EXPECT_EQ(setting(), target);
}

TEST_F(StartupAccessTest, NoOrACancelledSaveLeadsBackToTheDialogAndWritesNothing) {
    struct Case {
        const char* what;
        std::deque<bool> answers;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {"no", {false}, {"message", "open", "question", "open"}},
        {"save cancelled", {true}, {"message", "open", "question", "save", "open"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeDbPath(QString::fromStdString(pathOf("Moved.mdb")));
        ScriptedDialogs dialogs({access_, good_}, c.answers, {});
        const StartupResult r = openComponentDatabase(dialogs);
        ASSERT_TRUE(r.dbComps);
        EXPECT_EQ(r.dbComps->path(), good_);
        EXPECT_EQ(dialogs.log, c.log);
        EXPECT_EQ(setting(), good_);
        EXPECT_TRUE(folderEntries(pathOf("data")).empty());
    }
}

TEST_F(StartupAccessTest, ARefusedFileShowsItsSentenceThenTheDialogAgain) {
    JetTable wrongType{"tblComps", componentColumns(), {}};
    wrongType.columns[0].type = kJetDouble;
    struct Case {
        const char* what;
        JetTable table;
        std::string sentence;  // a part of the message
        std::size_t cutTo = 0;  // bytes kept, 0: the whole file
    };
    const Case cases[] = {
        {"no tblComps", {"Compounds", componentColumns(), {}}, "has no table tblComps; the tables it has are: Compounds"},
        {"Component not text", wrongType, "The field Component of tblComps"},
        {"linked", {"tblComps", componentColumns(), {}, 6, "Shared.mdb"}, "is a linked table: its records live in"},
        {"cut short", {"tblComps", componentColumns(), {}}, "damaged: it is cut short", 10000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string bytes = buildJet4File({c.table});
        if (c.cutTo) bytes.resize(c.cutTo);
        writeFileBytes(access_, bytes);
        writeDbPath(QString::fromStdString(pathOf("Moved.mdb")));
        ScriptedDialogs dialogs({access_, good_}, {true}, {pathOf("data/New.mdb")});
        const StartupResult r = openComponentDatabase(dialogs);
        ASSERT_TRUE(r.dbComps);
        EXPECT_EQ(r.dbComps->path(), good_);
        EXPECT_EQ(dialogs.log, (std::vector<std::string>{"message", "open", "message", "open"}));
        ASSERT_EQ(dialogs.messages.size(), 2u);
        EXPECT_NE(dialogs.messages[1].find(c.sentence), std::string::npos) << dialogs.messages[1];
        EXPECT_NE(dialogs.messages[1].find(access_), std::string::npos) << dialogs.messages[1];
        EXPECT_TRUE(folderEntries(pathOf("data")).empty());
    }
}

TEST_F(StartupAccessTest, AnExistingTargetIsNeverOverwritten) {
    const std::string taken = pathOf("data/Mine.mdb");
    writeText(taken, "someone's file");
    const std::string target = pathOf("data/Components.mdb");
    const std::string before = fileBytes(access_);
    // The user names a file of their own, then the Access file itself.
    ScriptedDialogs dialogs({access_}, {true}, {taken, access_, target});
    const StartupResult r = openComponentDatabase(dialogs);
    ASSERT_TRUE(r.dbComps);
    EXPECT_EQ(r.dbComps->path(), target);
    EXPECT_EQ(dialogs.log, (std::vector<std::string>{"message", "open", "question", "save", "message", "save",
                                                     "message", "save", "message"}));
    EXPECT_NE(dialogs.messages[1].find("'" + taken + "' already exists"), std::string::npos) << dialogs.messages[1];
    EXPECT_EQ(fileBytes(taken), "someone's file");
    EXPECT_EQ(fileBytes(access_), before);
    EXPECT_EQ(namesInRowidOrder(target).size(), 3u);
}

TEST_F(StartupAccessTest, TheSuggestedNameIsTheFirstFreeOne) {
    struct Case {
        std::vector<std::string> existing;
        std::string suggested;
    };
    const Case cases[] = {
        {{}, "Components.mdb"},
        {{"Components.mdb"}, "Components 2.mdb"},
        {{"Components.mdb", "Components 2.mdb"}, "Components 3.mdb"},
        {{"Components.mdb", "Components 3.mdb"}, "Components 2.mdb"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(pathOf("data"));
        ASSERT_TRUE(QDir().mkpath(QString::fromStdString(pathOf("data"))));
        for (const std::string& name : c.existing) writeText(pathOf("data/" + name), "x");
        EXPECT_EQ(suggestedImportPath(), pathOf("data/" + c.suggested)) << c.suggested;
    }
    // A folder not there yet is made, so that the dialog opens in it.
    std::filesystem::remove_all(pathOf("data"));
    EXPECT_EQ(suggestedImportPath(), pathOf("data/Components.mdb"));
    EXPECT_TRUE(std::filesystem::is_directory(pathOf("data")));
}

}  // namespace
}  // namespace zolvant::db::test
