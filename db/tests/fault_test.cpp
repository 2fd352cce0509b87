// Faults of the database file under a running program: a file that may not
// be written, a file another process holds locked, a damaged file chosen at
// start-up, a file deleted while open, a writer killed mid-transaction. For
// each: what the user is told, and that no stored record is lost or changed
// (checked through a connection of the test's own).

#include <algorithm>
#include <deque>
#include <filesystem>

#include "db/components_csv.h"
#include "db/lookup.h"
#include "db/settings.h"
#include "db/startup.h"
#include "db/tests/support.h"
#include "testsupport/database_faults.h"

namespace zolvant::db::test {
namespace {

namespace fs = std::filesystem;

// Every stored record, read through a connection of the test's own.
QList<zolvant::test::StoredRecord> storedRecords(const std::string& path) {
    return zolvant::test::storedRecords(QString::fromStdString(path));
}

using zolvant::test::LockHolder;

// Plays the user at start-up: answers the file dialog from a script.
class ScriptedDialogs : public StartupDialogs {
public:
    explicit ScriptedDialogs(std::deque<std::optional<std::string>> answers) : answers_(std::move(answers)) {}
    void message(const std::string& text, const std::string& title) override {
        shown.push_back(title + ": " + text);
    }
    std::optional<std::string> openFileName(const std::string&) override {
        shown.push_back("<file dialog>");
        if (whileOpen) whileOpen();  // what happens while the user browses
        if (answers_.empty()) return std::nullopt;
        auto a = answers_.front();
        answers_.pop_front();
        return a;
    }
    bool question(const std::string& text, const std::string& title) override {
        shown.push_back(title + "? " + text);
        return false;
    }
    std::optional<std::string> saveFileName(const std::string&, const std::string&) override {
        shown.push_back("<save dialog>");
        return std::nullopt;
    }
    std::vector<std::string> shown;
    std::function<void()> whileOpen;

private:
    std::deque<std::optional<std::string>> answers_;
};

// The first seed's data: every fault is tried on a file of real size.
class FaultTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        path_ = pathOf("Components.mdb");
        createDatabaseFromCsv(path_, ZOLVANT_TEST_DATA_DIR "/components_62.csv");
        before_ = storedRecords(path_);
        ASSERT_EQ(before_.size(), 62);
    }
    // The editor's Add: a new record typed in full, then Update.
    static void addRecord(Recordset& rs, const std::string& name) {
        rs.AddNew();
        rs.SetField("Component", name);
        rs.SetField("CritTemp", "300.5");
        rs.SetField("CritPress", "40");
        rs.Update();
    }
    static std::vector<std::string> listed(Recordset& rs) {
        std::vector<std::string> names;
        for (rs.MoveFirst(); !rs.EOF_(); rs.MoveNext()) names.push_back(nameOf(rs));
        return names;
    }
    std::string path_;
    QList<zolvant::test::StoredRecord> before_;
};

const std::string kLocked = "is locked by another program or window. Try again in a moment.";

TEST_F(FaultTest, AReadOnlyFileIsListedAndEveryChangeIsRefusedReadably) {
    const std::string bytes = fileBytes(path_);
    const auto db = Database::OpenDatabase(path_, true);
    const auto main = db->OpenRecordset("qryCritCos");
    const auto editor = db->OpenRecordset(kEditorSource);
    EXPECT_EQ(listed(*main).size(), 62u);
    EXPECT_EQ(listed(*editor).size(), 62u);
    ASSERT_TRUE(findComponentConstants(*main, "n-Butane"));

    // The editor's Add, Edit and Delete, and an Update with nothing begun.
    editor->MoveFirst();
    const std::string readOnly = "The database '" + path_ + "' is open read-only: it cannot be changed.";
    for (const auto& change : std::vector<std::function<void()>>{
             [&] { addRecord(*editor, "Argon-2"); },
             [&] { editor->Edit(); },
             [&] { editor->Delete(); }}) {
        const Thrown t = thrownBy(change);
        EXPECT_EQ(t.number, kReadOnly);
        EXPECT_EQ(t.description, readOnly);
    }
    EXPECT_EQ(thrownBy([&] { editor->Update(); }).description,
              "There is no record being added or edited: use Add or Edit first.");
    // Still listed as before, nothing written, no journal left beside it.
    EXPECT_EQ(listed(*editor).size(), 62u);
    EXPECT_EQ(fileBytes(path_), bytes);
    EXPECT_EQ(folderEntries(pathOf("")), std::vector<std::string>{"Components.mdb"});
    EXPECT_EQ(storedRecords(path_), before_);
}

TEST_F(FaultTest, WhileAnotherProgramWritesReadingGoesOnAndStoringWaitsThenSaysWhy) {
    const auto db = Database::OpenDatabase(path_);
    const auto main = db->OpenRecordset("qryCritCos");
    const auto editor = db->OpenRecordset(kEditorSource);
    {
        // A write transaction in progress elsewhere: not yet stored.
        LockHolder other(QString::fromStdString(path_),
                           "BEGIN IMMEDIATE;"
                           " INSERT INTO tblComps (Component) VALUES ('Uncommitted');"
                           " UPDATE tblComps SET CritTemp = 1 WHERE Component = 'Methane';");
        ASSERT_TRUE(other.hold()) << other.error().toStdString();

        // Reading works and shows only what is stored.
        main->Requery();
        const std::vector<std::string> names = listed(*main);
        EXPECT_EQ(names.size(), 62u);
        EXPECT_EQ(std::count(names.begin(), names.end(), "Uncommitted"), 0);
        const auto methane = findComponentConstants(*main, "Methane");
        ASSERT_TRUE(methane);
        EXPECT_EQ((*methane)[0], 190.56);

        // Storing waits for the busy timeout, then tells the user why; the
        // typed record is kept for another try.
        const Thrown add = thrownBy([&] { addRecord(*editor, "Argon-2"); });
        EXPECT_EQ(add.number, kBusy);
        EXPECT_EQ(add.description, "The database '" + path_ + "' " + kLocked);
        EXPECT_EQ(nameOf(*editor), "Argon-2");  // the edit buffer survives
        editor->CancelUpdate();
        editor->MoveFirst();
        const std::string first = nameOf(*editor);
        editor->Edit();
        editor->SetField("CritTemp", "999");
        EXPECT_EQ(thrownBy([&] { editor->Update(); }).number, kBusy);
        editor->CancelUpdate();
        EXPECT_EQ(thrownBy([&] { editor->Delete(); }).number, kBusy);
        // The failed Delete kept the record in the list, current.
        EXPECT_EQ(editor->RecordCount(), 62);
        EXPECT_EQ(nameOf(*editor), first);

        other.release();
    }
    EXPECT_EQ(storedRecords(path_), before_);

    // Once the other program is done, the same change goes through.
    addRecord(*editor, "Argon-2");
    EXPECT_EQ(storedRecords(path_).size(), 63);
    main->Requery();
    EXPECT_EQ(listed(*main).size(), 63u);
}

TEST_F(FaultTest, AMomentaryLockIsWaitedOutWithoutAMessage) {
    const auto db = Database::OpenDatabase(path_);
    const auto editor = db->OpenRecordset(kEditorSource);
    // The other program commits well within the two seconds of the busy
    // timeout; the change typed meanwhile is then stored without a message.
    LockHolder other(QString::fromStdString(path_),
                       "BEGIN IMMEDIATE; UPDATE tblComps SET K3 = K3 WHERE rowid = 1;"
                       "\n.print HOLDING\n.shell sleep 0.3\nCOMMIT;");
    ASSERT_TRUE(other.hold()) << other.error().toStdString();
    EXPECT_EQ(thrownBy([&] { addRecord(*editor, "Argon-2"); }).description, "");
    EXPECT_EQ(storedRecords(path_).size(), 63);
}

TEST_F(FaultTest, WhileAnotherProgramCommitsReadingWaitsThenSaysWhyAndKeepsWhatWasRead) {
    const auto db = Database::OpenDatabase(path_);
    const auto main = db->OpenRecordset("qryCritCos");
    main->MoveLast();
    const std::string last = nameOf(*main);
    {
        // An exclusive lock: what a writer holds while committing.
        LockHolder other(QString::fromStdString(path_), "BEGIN EXCLUSIVE;");
        ASSERT_TRUE(other.hold()) << other.error().toStdString();
        for (const auto& read : std::vector<std::function<void()>>{[&] { main->Requery(); },
                                                                  [&] { main->Fields("Component"); }}) {
            const Thrown t = thrownBy(read);
            EXPECT_EQ(t.number, kBusy);
            EXPECT_EQ(t.description, "The database '" + path_ + "' " + kLocked);
        }
        // What was read stays: the list and its current record.
        EXPECT_EQ(main->RecordCount(), 62);
        EXPECT_EQ(main->AbsolutePosition(), 61);

        // Opening it at start-up meanwhile: the reason, then the file dialog,
        // where the user picks the same file once the other program is done.
        writeDbPath(QString::fromStdString(path_));
        ScriptedDialogs startupDialogs({path_});
        startupDialogs.whileOpen = [&] { other.release(); };
        const StartupResult r = openComponentDatabase(startupDialogs);
        ASSERT_TRUE(r.rstComps);
        EXPECT_EQ(startupDialogs.shown,
                  (std::vector<std::string>{"Database Path ERROR: The database '" + path_ + "' " + kLocked,
                                            "<file dialog>"}));
        EXPECT_EQ(r.rstComps->RecordCount(), 62);
    }
    EXPECT_EQ(nameOf(*main), last);
    main->Requery();
    EXPECT_EQ(main->RecordCount(), 62);
    EXPECT_EQ(storedRecords(path_), before_);
}

TEST_F(FaultTest, AWriterKilledMidTransactionLeavesEveryRecordAsItWas) {
    const std::string bytes = fileBytes(path_);
    {
        // A one-page cache makes the other program write changed pages into
        // the file before its commit, keeping the originals in its journal.
        LockHolder other(QString::fromStdString(path_),
                           "PRAGMA cache_size = 1; BEGIN;"
                           " UPDATE tblComps SET CritTemp = CritTemp + 1000, Component = Component || ' (changed)';"
                           " DELETE FROM tblComps WHERE rowid % 3 = 0;"
                           " INSERT INTO tblComps SELECT * FROM tblComps; INSERT INTO tblComps SELECT * FROM tblComps;"
                           " INSERT INTO tblComps SELECT * FROM tblComps; INSERT INTO tblComps SELECT * FROM tblComps;");
        ASSERT_TRUE(other.hold()) << other.error().toStdString();
        other.kill();
    }
    // Half-written: changed pages in the file, the originals in the journal.
    ASSERT_TRUE(fileExists(path_ + "-journal"));
    ASSERT_NE(fileBytes(path_), bytes);

    // A read-only opening cannot roll the journal back: it says so.
    const Thrown readOnly = thrownBy([&] { Database::OpenDatabase(path_, true); });
    EXPECT_EQ(readOnly.number, kEngine);
    EXPECT_EQ(readOnly.description, "The database file '" + path_ +
                                        "' was left unfinished by a program that stopped while changing it; it "
                                        "cannot be repaired while open read-only.");

    // The program's own opening rolls it back: every record as before.
    const auto db = Database::OpenDatabase(path_);
    const auto main = db->OpenRecordset("qryCritCos");
    EXPECT_EQ(main->RecordCount(), 62);
    EXPECT_FALSE(fileExists(path_ + "-journal"));
    EXPECT_EQ(storedRecords(path_), before_);
}

TEST_F(FaultTest, ADamagedFileChosenAtStartUpIsNamedThenAnotherCanBeChosen) {
    const std::string good = pathOf("Good.mdb");
    fs::copy_file(path_, good);
    const std::string bytes = fileBytes(path_);
    const std::size_t size = bytes.size();
    ASSERT_GT(size, 8192u);
    struct Case {
        const char* what;
        std::string content;
        std::string says;  // the message shown, after "Database Path ERROR: "
    };
    const std::string file = "'" + pathOf("Damaged.mdb") + "'";
    const std::string notADatabase = "The file " + file + " is not a component database: it is not a SQLite database file.";
    const std::string damaged = "The database file " + file + " is damaged.";
    // A file whose header is intact tells how long it must be.
    const auto cutShort = [&](std::size_t present) {
        return "The database file " + file + " is damaged: it is cut short (" + std::to_string(present) + " of its " +
               std::to_string(size) + " bytes are there).";
    };
    const std::string noTable = "The file " + file + " is not a component database: it has no table tblComps.";
    const Case cases[] = {
        {"cut to nothing", "", noTable},
        {"cut inside the header", bytes.substr(0, 60), damaged},
        {"cut after the first page", bytes.substr(0, 4096), damaged},
        {"cut in the middle", bytes.substr(0, size / 2), damaged},
        {"last page cut short", bytes.substr(0, size - 100), cutShort(size - 100)},
        {"last byte missing", bytes.substr(0, size - 1), cutShort(size - 1)},
        {"text", std::string(5000, 'x'), notADatabase},
        {"a valid header over garbage", bytes.substr(0, 100) + std::string(size - 100, '\xA5'), damaged},
        {"garbage after the schema", bytes.substr(0, 4096) + std::string(size - 4096, '\0'), damaged},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = pathOf("Damaged.mdb");
        writeText(path, c.content);
        writeDbPath(QString::fromStdString(path));
        ScriptedDialogs dialogs({good});
        const StartupResult r = openComponentDatabase(dialogs);
        ASSERT_TRUE(r.rstComps);
        EXPECT_EQ(dialogs.shown, (std::vector<std::string>{"Database Path ERROR: " + c.says, "<file dialog>"}));
        EXPECT_EQ(r.dbComps->path(), good);
        EXPECT_EQ(r.rstComps->RecordCount(), 62);
        EXPECT_EQ(readDbPath().toStdString(), good);
        EXPECT_EQ(fileBytes(path), c.content);  // the damaged file is left as it was
        fs::remove(path);
    }
    EXPECT_EQ(storedRecords(good), before_);
}

TEST_F(FaultTest, AFileDeletedWhileOpenIsStillReadButNotWrittenToNowhere) {
    writeDbPath(QString::fromStdString(path_));
    ScriptedDialogs none({});
    StartupResult started = openComponentDatabase(none);
    ASSERT_TRUE(started.rstComps);
    Recordset& main = *started.rstComps;
    const auto editorDb = Database::OpenDatabase(path_);
    const auto editor = editorDb->OpenRecordset(kEditorSource);
    const std::vector<std::string> names = listed(main);
    main.MoveLast();

    // A second name keeps the records reachable for the check below; the
    // program's path is gone.
    const std::string kept = pathOf("kept.mdb");
    fs::create_hard_link(path_, kept);
    fs::remove(path_);

    // Reading goes on from the open file.
    EXPECT_EQ(nameOf(main), names.back());
    main.Requery();
    EXPECT_EQ(listed(main), names);
    ASSERT_TRUE(findComponentConstants(main, "Water"));

    // Changes would be stored where no one could ever read them: refused.
    const std::string moved = "The database file '" + path_ +
                              "' has been deleted or moved while it was open: changes cannot be stored in it.";
    const auto refused = [&](const Thrown& t) {
        EXPECT_EQ(t.number, kReadOnly);
        EXPECT_EQ(t.description, moved);
    };
    refused(thrownBy([&] { addRecord(*editor, "Argon-2"); }));
    editor->CancelUpdate();
    editor->MoveFirst();
    editor->Edit();
    editor->SetField("CritTemp", "1");
    refused(thrownBy([&] { editor->Update(); }));
    editor->CancelUpdate();
    refused(thrownBy([&] { editor->Delete(); }));
    EXPECT_EQ(editor->RecordCount(), 62);
    // No file or journal reappears at the old path.
    EXPECT_EQ(folderEntries(pathOf("")), std::vector<std::string>{"kept.mdb"});

    // A window opened now, or the next start, finds no file.
    EXPECT_EQ(thrownBy([&] { Database::OpenDatabase(path_); }).number, kFileNotFound);
    ScriptedDialogs next({std::nullopt});
    EXPECT_TRUE(openComponentDatabase(next).abandoned);
    EXPECT_EQ(next.shown, (std::vector<std::string>{
                              "Database Path ERROR: Component Database Not Found\n\rOpen 'Components.mdb' Database",
                              "<file dialog>"}));
    EXPECT_EQ(storedRecords(kept), before_);
}

}  // namespace
}  // namespace zolvant::db::test
