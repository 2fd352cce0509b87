// Opening and creating database files: the numbered failures, the schema's
// order and refusals, and the read-only fallback.

#include <unistd.h>

#include <filesystem>

#include "db/tests/support.h"

namespace zolvant::db::test {
namespace {

using OpenTest = DbTest;

TEST_F(OpenTest, FailuresCarryTheirNumberAndSayWhy) {
    const std::string notSqlite = pathOf("notes.mdb");
    writeText(notSqlite, "These are notes, not a database.\n");
    const std::string noTable = pathOf("other.mdb");
    execSql(noTable, "CREATE TABLE something (x)");
    const std::string noQuery = pathOf("noquery.mdb");
    execSql(noQuery, "CREATE TABLE tblComps (Component TEXT)");
    const std::string emptyFile = pathOf("empty.mdb");
    writeText(emptyFile, "");

    struct Case {
        const char* what;
        std::string path;
        int number;
        const char* says;
    };
    const Case cases[] = {
        {"empty path", "", kInvalidPath, "No path"},
        {"folder missing", pathOf("no-such-folder/Components.mdb"), kInvalidPath, "does not exist"},
        {"a folder, not a file", pathOf(""), kInvalidPath, "names a folder"},
        {"file missing", pathOf("Components.mdb"), kFileNotFound, "Could not find"},
        {"text file", notSqlite, kNotADatabase, "not a SQLite database file"},
        {"zero-byte file", emptyFile, kMissingObject, "no table tblComps"},
        {"other database", noTable, kMissingObject, "no table tblComps"},
        {"no query", noQuery, kMissingObject, "no query qryCritCos"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string before = fileBytes(c.path);
        const Thrown t = thrownBy([&] { Database::OpenDatabase(c.path); });
        EXPECT_EQ(t.number, c.number);
        EXPECT_NE(t.description.find(c.says), std::string::npos) << t.description;
        EXPECT_EQ(fileBytes(c.path), before);  // opening never writes
    }
    EXPECT_FALSE(fileExists(pathOf("Components.mdb")));  // nor creates
    EXPECT_EQ(folderEntries(pathOf("")), (std::vector<std::string>{"empty.mdb", "noquery.mdb", "notes.mdb", "other.mdb"}));
}

TEST_F(OpenTest, CreateRefusesAnExistingFile) {
    const std::string path = makeDb("Components.mdb", {{"Methane", {}}});
    const std::string before = fileBytes(path);
    EXPECT_EQ(thrownBy([&] { Database::CreateDatabase(path); }).number, kAlreadyExists);
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_EQ(thrownBy([&] { Database::CreateDatabase(pathOf("missing/x.mdb")); }).number, kInvalidPath);
}

TEST_F(OpenTest, NamesSortAsAPersonReadsThemAndEqualNamesKeepTheirOrder) {
    // Stored out of order, with a duplicate whose copies differ by Tc.
    const std::string path = makeDb("Components.mdb", {{"Water", {18.0, 647.1}},
                                                       {"Nitrogen", {28.0, 126.2}},
                                                       {"Methane", {16.0, 190.0}},
                                                       {"n-Butane", {58.1, 425.1}},
                                                       {"Methane", {16.0, 191.0}},
                                                       {"argon", {39.9, 150.9}}});
    const auto db = Database::OpenDatabase(path);
    for (const RecordSource& source : {kCritCosSource, kEditorSource}) {
        SCOPED_TRACE(source.object);
        const auto rs = db->OpenRecordset(source);
        std::vector<std::string> names;
        std::vector<double> tc;
        for (rs->MoveFirst(); !rs->EOF_(); rs->MoveNext()) {
            names.push_back(nameOf(*rs));
            tc.push_back(std::get<double>(rs->Fields("CritTemp")));
        }
        EXPECT_EQ(names, (std::vector<std::string>{"argon", "Methane", "Methane", "n-Butane", "Nitrogen", "Water"}));
        EXPECT_EQ(tc[1], 190.0);
        EXPECT_EQ(tc[2], 191.0);
    }
}

TEST_F(OpenTest, TheQueryShowsTheConstantsAndNoRecordKey) {
    const std::string path = makeDb("Components.mdb", {{"Methane", {16.043, 190.56, 45.99, 98.6, 0.011, -0.00159}}});
    const auto db = Database::OpenDatabase(path);
    const auto rs = db->OpenRecordset("qryCritCos");
    EXPECT_EQ(std::get<double>(rs->Fields("critpress")), 45.99);  // field names are case-insensitive
    EXPECT_EQ(std::get<double>(rs->Fields("K1")), -0.00159);
    EXPECT_TRUE(isNull(rs->Fields("K2")));
    EXPECT_EQ(thrownBy([&] { rs->Fields("MolWt"); }).number, kUnknownField);
    EXPECT_EQ(thrownBy([&] { rs->Fields("_RecKey"); }).number, kUnknownField);
    EXPECT_EQ(thrownBy([&] { db->OpenRecordset("qryMissing"); }).number, kMissingObject);
}

TEST_F(OpenTest, AFileThatCannotBeWrittenOpensReadOnlyAndRefusesWrites) {
    const std::string path = makeDb("Components.mdb", {{"Methane", {16.043, 190.56}}, {"Water", {18.0, 647.1}}});
    const bool root = ::geteuid() == 0;  // root writes any file: ask the engine for read-only instead
    if (!root) std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    const std::string before = fileBytes(path);
    const auto db = root ? Database::OpenDatabase(path, true) : Database::OpenDatabase(path);
    EXPECT_TRUE(db->readOnly());
    const auto rs = db->OpenRecordset(kEditorSource);
    EXPECT_EQ(nameOf(*rs), "Methane");
    rs->MoveLast();
    EXPECT_EQ(nameOf(*rs), "Water");
    for (const auto& write : std::vector<std::function<void()>>{[&] { rs->AddNew(); }, [&] { rs->Edit(); },
                                                                [&] { rs->Delete(); }}) {
        const Thrown t = thrownBy(write);
        EXPECT_EQ(t.number, kReadOnly);
        EXPECT_NE(t.description.find("read-only"), std::string::npos) << t.description;
    }
    EXPECT_EQ(rs->RecordCount(), 2);
    EXPECT_EQ(fileBytes(path), before);
}

}  // namespace
}  // namespace zolvant::db::test
