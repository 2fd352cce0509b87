// Files from elsewhere: a query that never ends, gives too many rows or
// builds huge values, a schema that would run code of its own. Each is
// refused with a sentence that names the file, within the time budget, and
// the file is left byte for byte as it was.

#include <chrono>

#include "db/components_csv.h"
#include "db/engine.h"
#include "db/lookup.h"
#include "db/tests/support.h"

namespace zolvant::db::test {
namespace {

using Clock = std::chrono::steady_clock;

// The seven fields of the program's own qryCritCos, over a recursive count.
std::string countingQuery(const std::string& component, const std::string& tail) {
    return "DROP VIEW qryCritCos; CREATE VIEW qryCritCos AS WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 "
           "FROM r) SELECT " +
           component + " AS Component, 1.0 AS CritTemp, 1.0 AS CritPress, 0.0 AS AcentricF, 0.0 AS K1, 0.0 AS K2, "
                       "0.0 AS K3 FROM r " +
           tail + ";";
}

struct Case {
    const char* what;
    std::string sql;      // run on a good component database
    int number;
    std::string sentence; // after "'<file>'"
};

const double kBudget = detail::kBudgetSeconds;
const double kSlack = 1.5;  // beyond the budget: stopping and unwinding

std::vector<Case> cases() {
    return {
        {"a query that never ends", countingQuery("'x'", "WHERE n < 0"), kTimedOut,
         " did not finish within 3 seconds."},
        {"a query that never stops giving rows", countingQuery("'x' || n", ""), kTooLarge,
         " gives more than 100000 rows: a component database holds at most 100000 components."},
        {"a query of three hundred thousand rows", countingQuery("'x' || n", "LIMIT 300000"), kTooLarge,
         " gives more than 100000 rows: a component database holds at most 100000 components."},
        {"a name of random bytes", countingQuery("randomblob(1000000000)", "LIMIT 5"), kTooLarge,
         " builds a value of more than 100000 bytes: a name or value in a component database is at most 255 bytes "
         "long."},
        {"a name of zero bytes", countingQuery("zeroblob(50000)", "LIMIT 5"), kTooLarge,
         " gives a value of 50000 bytes: a name or value in a component database is at most 255 bytes long."},
        {"a name padded by printf", countingQuery("printf('%.*c', 2000000000, 'x')", "LIMIT 5"), kEngine,
         " calls printf(), which the program does not let a database file run."},
        {"a stored name of 256 bytes", "INSERT INTO tblComps (Component) VALUES (printf('%.256c', 'x'));",
         kTooLarge,
         " gives a value of 256 bytes: a name or value in a component database is at most 255 bytes long."},
        {"a query that loads a library", countingQuery("load_extension('/nonexistent/x')", "LIMIT 1"), kEngine,
         " calls load_extension(), which the program does not let a database file run."},
    };
}

class HostileFileTest : public DbTest {
protected:
    std::string goodDb(const std::string& name) {
        return makeDb(name, {{"Methane", {16.043, 190.56, 45.99}}, {"Water", {18.015, 647.14, 220.64}}});
    }
};

TEST_F(HostileFileTest, EachQueryIsRefusedWithItsSentenceInTimeAndTheFileUnchanged) {
    int n = 0;
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.what);
        const std::string path = goodDb("File" + std::to_string(n++) + ".mdb");
        execSql(path, c.sql);
        const std::string before = fileBytes(path);

        // As the window's start-up and the editor's opening do.
        const auto db = Database::OpenDatabase(path);
        auto started = Clock::now();
        Thrown t = thrownBy([&] { db->OpenRecordset(kCritCosSource); });
        EXPECT_LT(std::chrono::duration<double>(Clock::now() - started).count(), kBudget + kSlack);
        EXPECT_EQ(t.number, c.number);
        EXPECT_EQ(t.description, "The query qryCritCos of '" + path + "'" + c.sentence);

        // As zolvant-cli list reads the query.
        started = Clock::now();
        t = thrownBy([&] { listComponents(path); });
        EXPECT_LT(std::chrono::duration<double>(Clock::now() - started).count(), kBudget + kSlack);
        EXPECT_EQ(t.number, c.number);
        EXPECT_EQ(t.description, "A query of the database '" + path + "'" + c.sentence);
        EXPECT_EQ(fileBytes(path), before);
    }
}

// A component box re-runs the query each time it is entered: a file changed
// into a hostile one meanwhile fails the requery, which keeps the rows.
TEST_F(HostileFileTest, ARequeryThatCannotFinishKeepsTheRowsItHad) {
    const std::string path = goodDb("Components.mdb");
    const auto db = Database::OpenDatabase(path);
    const auto rs = db->OpenRecordset(kCritCosSource);
    rs->MoveLast();
    execSql(path, countingQuery("'x'", "WHERE n < 0"));
    const std::string before = fileBytes(path);
    const auto started = Clock::now();
    const Thrown t = thrownBy([&] { rs->Requery(); });
    EXPECT_LT(std::chrono::duration<double>(Clock::now() - started).count(), kBudget + kSlack);
    EXPECT_EQ(t.number, kTimedOut);
    EXPECT_EQ(rs->RecordCount(), 2);
    EXPECT_EQ(rs->AbsolutePosition(), 1);
    EXPECT_EQ(fileBytes(path), before);
}

TEST_F(HostileFileTest, ASchemaThatWouldRunCodeOrIsNotATableIsRefusedAtOpening) {
    struct Opening {
        const char* what;
        std::string sql;
        std::string sentence;
    };
    const Opening openings[] = {
        {"a trigger that writes", "CREATE TRIGGER wipe AFTER UPDATE ON tblComps BEGIN DELETE FROM tblComps; END;",
         "it holds the trigger 'wipe', commands of its own that would run when a record is stored."},
        {"tblComps a view", "ALTER TABLE tblComps RENAME TO tblStored; CREATE VIEW tblComps AS SELECT * FROM tblStored;",
         "it has no table tblComps."},
    };
    int n = 0;
    for (const Opening& o : openings) {
        SCOPED_TRACE(o.what);
        const std::string path = goodDb("File" + std::to_string(n++) + ".mdb");
        execSql(path, o.sql);
        const std::string before = fileBytes(path);
        const Thrown t = thrownBy([&] { Database::OpenDatabase(path); });
        EXPECT_TRUE(t.number == kNotADatabase || t.number == kMissingObject) << t.number;
        EXPECT_EQ(t.description, "The file '" + path + "' is not a component database: " + o.sentence);
        EXPECT_EQ(fileBytes(path), before);
    }
}

// What the editor stores must open again.
TEST_F(HostileFileTest, ATextLongerThanAFieldHoldsIsNotStored) {
    const std::string path = goodDb("Components.mdb");
    const std::string before = fileBytes(path);
    const auto db = Database::OpenDatabase(path);
    const auto rs = db->OpenRecordset(kEditorSource);
    rs->AddNew();
    rs->SetField("Component", std::string(255, 'x'));  // the longest that is kept
    const Thrown t = thrownBy([&] { rs->SetField("Component", std::string(256, 'x')); });
    EXPECT_EQ(t.number, kRefused);
    EXPECT_EQ(t.description, "The text for the field Component is 256 bytes long: a field holds at most 255 bytes.");
    rs->CancelUpdate();
    EXPECT_EQ(fileBytes(path), before);
}

TEST_F(HostileFileTest, TheSeedDatabaseOpensAndListsAsBefore) {
    const std::string path = pathOf("Components.mdb");
    createDatabaseFromCsv(path, ZOLVANT_DATA_DIR "/components.csv");
    const std::string before = fileBytes(path);
    const auto db = Database::OpenDatabase(path);
    EXPECT_EQ(db->OpenRecordset(kCritCosSource)->RecordCount(), 455);
    EXPECT_EQ(db->OpenRecordset(kEditorSource)->RecordCount(), 455);
    EXPECT_EQ(listComponents(path).size(), 455u);
    EXPECT_EQ(fileBytes(path), before);
}

}  // namespace
}  // namespace zolvant::db::test
