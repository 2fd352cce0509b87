// Creating component databases from CSV files.

#include "db/components_csv.h"
#include "db/lookup.h"
#include "db/tests/support.h"

namespace zolvant::db::test {
namespace {

using CsvTest = DbTest;

const std::string kHeader = "Component,MolWt,CritTemp,CritPress,CritVol,AcentricF,K1,K2,K3\n";

TEST_F(CsvTest, TheFirstSeedDataBecomesADatabaseOfSixtyTwoComponents) {
    const std::string path = pathOf("Components.mdb");
    EXPECT_EQ(createDatabaseFromCsv(path, ZOLVANT_TEST_DATA_DIR "/components_62.csv"), 62);
    const auto rows = listComponents(path);
    ASSERT_EQ(rows.size(), 62u);
    EXPECT_EQ(std::get<std::string>(rows.front().Component), "1,3-Butadiene");  // the quoted name
    EXPECT_EQ(std::get<std::string>(rows.back().Component), "Water");
    bool sawButane = false;
    for (const ComponentRow& row : rows) {
        if (std::get<std::string>(row.Component) != "n-Butane") continue;
        sawButane = true;
        EXPECT_EQ(std::get<double>(row.MolWt), 58.123);
        EXPECT_EQ(std::get<double>(row.CritTemp), 425.12);
        EXPECT_EQ(std::get<double>(row.CritPress), 37.96);
        EXPECT_EQ(std::get<double>(row.CritVol), 255.0);
        EXPECT_EQ(std::get<double>(row.AcentricF), 0.2);
        EXPECT_EQ(std::get<double>(row.K3), 0.461);
    }
    EXPECT_TRUE(sawButane);
    // Empty cells are Null: Propylene has no PRSV constants.
    const auto propylene = findComponentConstants(path, "Propylene");
    ASSERT_TRUE(propylene);
    EXPECT_FALSE((*propylene)[3]);
    EXPECT_EQ(folderEntries(pathOf("")), std::vector<std::string>{"Components.mdb"});
}

TEST_F(CsvTest, ABadLineIsReportedByNumberAndNothingIsWritten) {
    struct Case {
        const char* what;
        std::string csv;
        int line;
        const char* says;
    };
    const Case cases[] = {
        {"too few values", kHeader + "Methane,16.043,190.56\n" "Ethane,30.07,305.32,48.72,145.5,0.099,,,\n",
         2, "3 values where the header names 9"},
        {"number refused by the engine", kHeader + "Methane,16.043,190.56,45.99,98.6,0.011,,,\n"
                                                   "Ethane,30.07,3O5.32,48.72,145.5,0.099,,,\n",
         3, "'3O5.32' is not a number"},
        {"empty name", kHeader + ",16.043,190.56,45.99,98.6,0.011,,,\n", 2, "must have a name"},
        {"line count follows a name spanning lines",
         kHeader + "\"Two\nLines\",1,2,3,4,5,,,\nEthane,x,,,,,,,\n", 4, "'x' is not a number"},
        {"unclosed quote", kHeader + "\"Methane,16.043,190.56,45.99,98.6,0.011,,,\n", 2, "not closed"},
        {"unknown column", "Component,MolWt,CritTemp,CritPress,CritVol,Omega,K1,K2,K3\n", 1, "'Omega' is not a field"},
        {"missing column", "Component,MolWt,CritTemp,CritPress,CritVol,AcentricF,K1,K2\n", 1, "K3 is missing"},
        {"no header", "", 1, "header line is missing"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string csv = pathOf("input.csv");
        writeText(csv, c.csv);
        const std::string path = pathOf("Components.mdb");
        try {
            createDatabaseFromCsv(path, csv);
            ADD_FAILURE() << "imported";
        } catch (const CsvLineError& e) {
            EXPECT_EQ(e.line(), c.line);
            EXPECT_NE(e.description().find("Line " + std::to_string(c.line) + " of"), std::string::npos);
            EXPECT_NE(e.description().find(c.says), std::string::npos) << e.description();
        }
        EXPECT_EQ(folderEntries(pathOf("")), std::vector<std::string>{"input.csv"});  // no file, no leftovers
    }
}

TEST_F(CsvTest, ColumnsMayComeInAnyOrderAndLinesEndEitherWay) {
    const std::string csv = pathOf("input.csv");
    writeText(csv, "\xEF\xBB\xBFK1,Component,CritTemp,MolWt,CritPress,CritVol,AcentricF,K2,K3\r\n"
                   "0.5,\"He said \"\"hi\"\"\",5.19,,,,,,\r\n\r\n");
    const std::string path = pathOf("Components.mdb");
    EXPECT_EQ(createDatabaseFromCsv(path, csv), 1);
    const auto rows = listComponents(path);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(std::get<std::string>(rows[0].Component), "He said \"hi\"");
    EXPECT_EQ(std::get<double>(rows[0].K1), 0.5);
    EXPECT_EQ(std::get<double>(rows[0].CritTemp), 5.19);
    EXPECT_TRUE(isNull(rows[0].MolWt));
}

TEST_F(CsvTest, AnExistingFileIsNeverOverwritten) {
    const std::string path = pathOf("Components.mdb");
    writeText(path, "the user's own file");
    EXPECT_EQ(thrownBy([&] { createDatabaseFromCsv(path, ZOLVANT_DATA_DIR "/components.csv"); }).number,
              kAlreadyExists);
    EXPECT_EQ(thrownBy([&] { createEmptyDatabase(path); }).number, kAlreadyExists);
    EXPECT_EQ(fileBytes(path), "the user's own file");
    EXPECT_EQ(thrownBy([&] { createDatabaseFromCsv(pathOf("new.mdb"), pathOf("missing.csv")); }).number,
              kFileNotFound);
    EXPECT_FALSE(fileExists(pathOf("new.mdb")));
}

TEST_F(CsvTest, AnEmptyDatabaseOpensWithNoRecords) {
    const std::string path = pathOf("Empty.mdb");
    createEmptyDatabase(path);
    EXPECT_TRUE(listComponents(path).empty());
    EXPECT_EQ(folderEntries(pathOf("")), std::vector<std::string>{"Empty.mdb"});
}

}  // namespace
}  // namespace zolvant::db::test
