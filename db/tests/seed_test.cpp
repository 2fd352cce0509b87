// The seed database the build makes from data/: every component and every
// interaction parameter of the files, and made again when they change.

#include <sqlite3.h>
#include <sys/stat.h>

#include <QProcess>
#include <QStringList>

#include <fstream>

#include "db/components_csv.h"
#include "db/seed_data.h"
#include "db/tests/support.h"

namespace zolvant::db::test {
namespace {

using SeedTest = DbTest;

// Rows of a query on a file, each field as text ("<Null>" for Null) and
// numbers as the engine's doubles.
struct RawRow {
    std::vector<std::string> text;
    std::vector<double> number;
    std::vector<bool> null;
};
std::vector<RawRow> rawRows(const std::string& path, const std::string& sql) {
    std::vector<RawRow> rows;
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    while (st && sqlite3_step(st) == SQLITE_ROW) {
        RawRow r;
        for (int c = 0; c < sqlite3_column_count(st); ++c) {
            const bool isNull = sqlite3_column_type(st, c) == SQLITE_NULL;
            r.null.push_back(isNull);
            r.number.push_back(sqlite3_column_double(st, c));
            const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(st, c));
            r.text.emplace_back(isNull ? "<Null>" : (t ? t : ""));
        }
        rows.push_back(std::move(r));
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return rows;
}

TEST_F(SeedTest, TheBuiltSeedHoldsEveryComponentOfTheDataFieldByFieldInTheFilesOrder) {
    const std::vector<CsvRow> csv = readCsvRows(ZOLVANT_DATA_DIR "/components.csv");
    ASSERT_EQ(csv.size(), 455u);
    const auto stored = rawRows(ZOLVANT_SEED_DATABASE,
                                "SELECT Component, MolWt, CritTemp, CritPress, CritVol, AcentricF, K1, K2, K3, CAS"
                                " FROM tblComps ORDER BY rowid");
    ASSERT_EQ(stored.size(), csv.size());
    for (std::size_t i = 0; i < csv.size(); ++i) {
        SCOPED_TRACE("row " + std::to_string(i + 1) + ": " + csv[i].name);
        EXPECT_EQ(stored[i].text[0], csv[i].name);
        for (std::size_t f = 0; f < 8; ++f) {
            const std::string& cell = csv[i].cells[f];
            EXPECT_EQ(stored[i].null[f + 1], cell.empty()) << kComponentFields[f + 1];
            if (!cell.empty()) {
                EXPECT_EQ(stored[i].number[f + 1], std::stod(cell)) << kComponentFields[f + 1];
            }
        }
        EXPECT_EQ(stored[i].text[9], csv[i].cells[8]);  // CAS
    }
}

TEST_F(SeedTest, TheBuiltSeedHoldsEveryInteractionParameterOfTheData) {
    const std::vector<CsvRow> csv = readCsvRows(ZOLVANT_DATA_DIR "/kij.csv");  // CAS1 first, then the rest
    ASSERT_EQ(csv.size(), 214u);
    const auto stored =
        rawRows(ZOLVANT_SEED_DATABASE, "SELECT Component1, Component2, Equation, kij FROM tblKij ORDER BY rowid");
    ASSERT_EQ(stored.size(), csv.size());
    int pengRobinson = 0;
    for (std::size_t i = 0; i < csv.size(); ++i) {
        SCOPED_TRACE("pair " + std::to_string(i + 1));
        EXPECT_EQ(stored[i].text[0], csv[i].cells[1]);
        EXPECT_EQ(stored[i].text[1], csv[i].cells[2]);
        EXPECT_EQ(stored[i].text[2], csv[i].cells[3]);
        EXPECT_EQ(stored[i].number[3], std::stod(csv[i].cells[4]));
        pengRobinson += stored[i].text[2] == "Peng-Robinson";
    }
    EXPECT_EQ(pengRobinson, 175);
}

// The build's generator, run on data of the test's own.
struct Generator {
    std::string db, components, kij, stamp;
    int run() const {
        QProcess p;
        p.start(QStringLiteral(ZOLVANT_SEED_GENERATOR),
                {QString::fromStdString(db), QString::fromStdString(components), QString::fromStdString(kij),
                 QString::fromStdString(stamp)});
        p.waitForFinished(60000);
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }
};

ino_t inodeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

TEST_F(SeedTest, TheSeedIsMadeAgainWhenItsDataChangesAndOnlyThen) {
    const Generator g{pathOf("share/Components.mdb"), pathOf("components.csv"), pathOf("kij.csv"),
                      pathOf("seed.stamp")};
    writeText(g.components, fileBytes(ZOLVANT_TEST_DATA_DIR "/components_62.csv"));
    const std::string kijHeader = "CAS1,CAS2,Component1,Component2,Equation,kij,Source\n";
    writeText(g.kij, kijHeader + "74-82-8,106-97-8,Methane,n-Butane,Peng-Robinson,0.0185,a source\n");
    ASSERT_EQ(g.run(), 0);
    EXPECT_EQ(rawRows(g.db, "SELECT count(*) FROM tblComps").at(0).text[0], "62");
    const ino_t first = inodeOf(g.db);

    // Nothing changed: the file is left alone.
    ASSERT_EQ(g.run(), 0);
    EXPECT_EQ(inodeOf(g.db), first);

    // A changed value: made again.
    writeText(g.kij, kijHeader + "74-82-8,106-97-8,Methane,n-Butane,Peng-Robinson,0.02,a source\n");
    ASSERT_EQ(g.run(), 0);
    EXPECT_NE(inodeOf(g.db), first);
    EXPECT_EQ(rawRows(g.db, "SELECT kij FROM tblKij").at(0).number[0], 0.02);

    // Data that cannot be stored keeps the seed there as it was.
    const std::string before = fileBytes(g.db);
    writeText(g.kij, kijHeader + "1-1-1,74-82-8,Unobtainium,Methane,Peng-Robinson,0.0152,a source\n");
    EXPECT_EQ(g.run(), 1);
    EXPECT_TRUE(fileBytes(g.db) == before);
    EXPECT_EQ(folderEntries(pathOf("share")), std::vector<std::string>{"Components.mdb"});
}

TEST_F(SeedTest, APairOfAComponentTheDataLacksIsReportedByLineAndNothingIsWritten) {
    writeText(pathOf("kij.csv"), "Component1,Component2,Equation,kij\n"
                                 "Methane,n-Butane,Peng-Robinson,0.0185\n"
                                 "Methane,Unobtainium,Peng-Robinson,0.1\n");
    try {
        createSeedDatabase(pathOf("seed.mdb"), ZOLVANT_TEST_DATA_DIR "/components_62.csv", pathOf("kij.csv"));
        ADD_FAILURE() << "stored";
    } catch (const CsvLineError& e) {
        EXPECT_EQ(e.line(), 3);
        EXPECT_EQ(e.description(), "Line 3 of '" + pathOf("kij.csv") + "': 'Unobtainium' is not a component of '" +
                                       ZOLVANT_TEST_DATA_DIR "/components_62.csv'.");
    }
    EXPECT_FALSE(fileExists(pathOf("seed.mdb")));
}

}  // namespace
}  // namespace zolvant::db::test
