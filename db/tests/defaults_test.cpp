// Adding the default components to a user's own database: what it lacks is
// added, nothing it holds changes, and a second run adds nothing.

#include <sqlite3.h>

#include "db/defaults.h"
#include "db/kij.h"
#include "db/lookup.h"
#include "db/tests/support.h"

namespace zolvant::db::test {
namespace {

using DefaultsTest = DbTest;

// Every record as text, in stored order: the nine fields and, where the
// table has it, CAS.
std::vector<std::string> recordsOf(const std::string& path) {
    std::vector<std::string> out;
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT * FROM tblComps ORDER BY rowid", -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW) {
        std::string line;
        for (int c = 0; c < sqlite3_column_count(st); ++c) {
            const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(st, c));
            line += std::string(c ? "|" : "") + (t ? t : "<Null>");
        }
        out.push_back(line);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return out;
}

TEST_F(DefaultsTest, AnOldSixtyTwoComponentCopyGetsTheRestAndKeepsItsOwnRecords) {
    std::vector<Rec> recs = recsOf(readCsvRows(ZOLVANT_TEST_DATA_DIR "/components_62.csv"));
    ASSERT_EQ(recs.size(), 62u);
    // The user's edit (a new name in other case, another Tc) and own record.
    for (Rec& r : recs)
        if (r.name == "Propane") {
            r.name = "PROPANE";
            r.numbers[1] = 370.0;
        }
    recs.push_back({"My Solvent", {100.0, 500.0, 30.0}});
    const std::string target = makeVersion1Db("Components.mdb", recs);
    const std::vector<std::string> before = recordsOf(target);
    EXPECT_EQ(countMissingDefaults(target, ZOLVANT_SEED_DATABASE), 393);

    const AddedDefaults added = addDefaultComponents(target, ZOLVANT_SEED_DATABASE);
    EXPECT_EQ(added.components, 393);
    EXPECT_EQ(added.pairs, 214);

    // The 63 records as they were (with an empty CAS), the others after them
    // exactly as in the seed.
    const std::vector<std::string> after = recordsOf(target);
    ASSERT_EQ(after.size(), 63u + 393u);
    for (std::size_t i = 0; i < before.size(); ++i) EXPECT_EQ(after[i], before[i] + "|<Null>");
    const std::vector<std::string> seed = recordsOf(ZOLVANT_SEED_DATABASE);
    EXPECT_EQ(std::vector<std::string>(after.begin() + 63, after.end()),
              std::vector<std::string>(seed.begin() + 62, seed.end()));
    EXPECT_EQ(readKijPairs(*Database::OpenDatabase(target)), readKijPairs(*Database::OpenDatabase(ZOLVANT_SEED_DATABASE)));

    // The list and a lookup work on the grown file.
    EXPECT_EQ(listComponents(target).size(), 456u);
    ASSERT_TRUE(findComponentConstants(target, "PROPANE"));
    EXPECT_EQ((*findComponentConstants(target, "PROPANE"))[0], 370.0);

    EXPECT_EQ(countMissingDefaults(target, ZOLVANT_SEED_DATABASE), 0);
    const AddedDefaults again = addDefaultComponents(target, ZOLVANT_SEED_DATABASE);
    EXPECT_EQ(again.components, 0);
    EXPECT_EQ(again.pairs, 0);
    EXPECT_EQ(recordsOf(target), after);
    EXPECT_EQ(readKijPairs(*Database::OpenDatabase(target)).size(), 214u);
}

TEST_F(DefaultsTest, APairTheUserAlreadyHasKeepsItsValue) {
    const std::string target = makeDb("Components.mdb", {{"Methane", {16.043, 190.56, 45.99}},
                                                          {"n-Butane", {58.123, 425.12, 37.96}}});
    storeKijPairs(*Database::OpenDatabase(target), {{"n-Butane", "Methane", kPengRobinson, 0.5}});
    const AddedDefaults added = addDefaultComponents(target, ZOLVANT_SEED_DATABASE);
    EXPECT_EQ(added.components, 453);
    EXPECT_EQ(added.pairs, 213);
    const KijMatrices m = kijMatrices(target, {"Methane", "n-Butane"});
    EXPECT_EQ(m[2][0][1], 0.5);
    EXPECT_EQ(m[3][0][1], 0.0215);  // the seed's, which the user lacked
}

TEST_F(DefaultsTest, AReadOnlyDatabaseIsRefusedAndLeftAsItWas) {
    const std::string target = makeVersion1Db("Components.mdb", {{"Methane", {16.043, 190.56, 45.99}}});
    const std::string bytes = fileBytes(target);
    setForceReadOnlyForTests(true);
    const Thrown t = thrownBy([&] { addDefaultComponents(target, ZOLVANT_SEED_DATABASE); });
    setForceReadOnlyForTests(false);
    EXPECT_EQ(t.number, kReadOnly);
    EXPECT_EQ(t.description, "The database '" + target + "' is open read-only: it cannot be changed.");
    EXPECT_EQ(fileBytes(target), bytes);
    EXPECT_EQ(countMissingDefaults(target, ZOLVANT_SEED_DATABASE), 454);
}

}  // namespace
}  // namespace zolvant::db::test
