// Finding a component by name and loading its constants as the main window
// does.

#include "db/lookup.h"
#include "db/tests/support.h"

namespace zolvant::db::test {
namespace {

using LookupTest = DbTest;

TEST_F(LookupTest, ConstantsAreReadAsStoredWithNullAsMissing) {
    const std::string path = makeDb("Components.mdb",
                                    {{"n-Butane", {58.123, 425.12, 37.96, 255, 0.2, 0.03443, 0.6767, 0.461}},
                                     {"Unknown Stuff", {}},
                                     {"Methane", {16.0, 100.0}},
                                     {"Methane", {16.0, 200.0}},
                                     {"Huge", {1.0, 1e300}}});
    const auto butane = findComponentConstants(path, "n-Butane");
    ASSERT_TRUE(butane);
    EXPECT_EQ(*butane, (ComponentConstants{425.12, 37.96, 0.2, 0.03443, 0.6767, 0.461}));
    EXPECT_EQ(findComponentConstants(path, "Unknown Stuff"), ComponentConstants{});
    EXPECT_EQ((*findComponentConstants(path, "Methane"))[0], 200.0);  // the last of equal names
    EXPECT_EQ((*findComponentConstants(path, "Huge"))[0], 1e300);
    EXPECT_FALSE(findComponentConstants(path, "Argon"));
    EXPECT_FALSE(findComponentConstants(path, "methane"));  // names compare exactly, as in the window
}

TEST_F(LookupTest, AHandMadeFileIsReadAsTheWindowReadsIt) {
    // A file made elsewhere: no STRICT table, a query without record keys,
    // and a nameless record that ends the window's list.
    const std::string path = pathOf("Handmade.mdb");
    execSql(path,
            "CREATE TABLE tblComps (Component TEXT, MolWt, CritTemp, CritPress, CritVol, AcentricF, K1, K2, K3);"
            "INSERT INTO tblComps (Component, CritTemp) VALUES ('Argon', 150.86), ('', 1), ('Xenon', 289.7);"
            "CREATE VIEW qryCritCos AS SELECT Component, CritTemp, CritPress, AcentricF, K1, K2, K3"
            " FROM tblComps ORDER BY rowid;");
    EXPECT_EQ((*findComponentConstants(path, "Argon"))[0], 150.86);
    EXPECT_FALSE(findComponentConstants(path, "Xenon"));
    const auto rows = listComponents(path);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_TRUE(isNull(rows[0].MolWt));

    const auto db = Database::OpenDatabase(path);
    const auto rs = db->OpenRecordset("qryCritCos");
    EXPECT_EQ(thrownBy([&] { rs->Edit(); }).number, kReadOnly);
}

TEST_F(LookupTest, ANumberAsNameIsFoundAsTheComponentBoxListsIt) {
    const std::string path = pathOf("Numbers.mdb");
    execSql(path,
            "CREATE TABLE tblComps (Component, MolWt, CritTemp, CritPress, CritVol, AcentricF, K1, K2, K3);"
            "INSERT INTO tblComps (Component, CritTemp) VALUES (134, 374.2), (0.5, 10), ('Argon', 150.86);"
            "CREATE VIEW qryCritCos AS SELECT * FROM tblComps ORDER BY rowid;");
    EXPECT_EQ(componentName(FieldValue{134.0}), "134");
    EXPECT_EQ(componentName(FieldValue{}), "");
    EXPECT_EQ((*findComponentConstants(path, "134"))[0], 374.2);
    EXPECT_EQ((*findComponentConstants(path, "0.5"))[0], 10.0);
    EXPECT_FALSE(findComponentConstants(path, "134.0"));
    EXPECT_EQ((*findComponentConstants(path, "Argon"))[0], 150.86);
}

TEST_F(LookupTest, AConstantHeldAsTextIsRefusedNamingItsField) {
    // Only a table that is not STRICT can hold one; a number stored as text
    // is refused as well, so that no reader guesses at what it means.
    const std::string path = pathOf("Texts.mdb");
    execSql(path,
            "CREATE TABLE tblComps (Component TEXT, MolWt, CritTemp, CritPress, CritVol, AcentricF, K1, K2, K3);"
            "INSERT INTO tblComps (Component, CritTemp, K2) VALUES ('Argon', 150.86, 'abc'), ('Xenon', '289.7', NULL);"
            "CREATE VIEW qryCritCos AS SELECT * FROM tblComps ORDER BY Component;");
    EXPECT_EQ(thrownBy([&] { findComponentConstants(path, "Argon"); }).description,
              "The field K2 of the component holds text, not a number.");
    EXPECT_EQ(thrownBy([&] { findComponentConstants(path, "Xenon"); }).description,
              "The field CritTemp of the component holds text, not a number.");
}

TEST_F(LookupTest, ListingFollowsTheQueryAndShowsEveryField) {
    const std::string path = makeDb("Components.mdb", {{"Water", {18.015, 647.14, 220.64, 55.95, 0.344}},
                                                       {"Argon", {39.948, 150.86, 48.98, 74.57, -0.002}}});
    const auto rows = listComponents(path);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(std::get<std::string>(rows[0].Component), "Argon");
    EXPECT_EQ(std::get<double>(rows[0].MolWt), 39.948);
    EXPECT_EQ(std::get<double>(rows[0].CritVol), 74.57);
    EXPECT_TRUE(isNull(rows[0].K1));
    EXPECT_EQ(std::get<double>(rows[1].CritTemp), 647.14);
    EXPECT_EQ(thrownBy([&] { listComponents(pathOf("missing.mdb")); }).number, kFileNotFound);
}

}  // namespace
}  // namespace zolvant::db::test
