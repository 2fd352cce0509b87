// The test writer's files as mdbtools' own programs see them: the writer
// must make files Access's readers accept, not files only our reader reads.

#include <gtest/gtest.h>

#include <cstdio>

#include "testsupport/access_support.h"

namespace zolvant::db {
namespace {

using namespace test;

std::string run(const std::string& command) {
    std::string out;
    if (FILE* p = ::popen((command + " 2>/dev/null").c_str(), "r")) {
        char buf[4096];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        ::pclose(p);
    }
    return out;
}

TEST(AccessWriterCheck, MdbtoolsListsDescribesAndExportsTheWrittenFile) {
    ScratchDir dir;
    JetTable comps{"tblComps", componentColumns(), {}};
    comps.columns[2].type = kJetSingle;
    comps.columns.push_back({"Code", kJetLong});
    comps.rows.push_back({jetText("Methane"), jetDouble(16.043), jetSingle(190.5f), jetDouble(45.99), kJetNull,
                          jetDouble(0.011), jetDouble(0), jetDouble(0), jetDouble(0), jetLong(-7)});
    comps.rows.push_back({jetText("Ärger Мир"), kJetNull, kJetNull, kJetNull, kJetNull, kJetNull, kJetNull,
                          kJetNull, kJetNull, jetLong(2147483647)});
    for (int i = 0; i < 300; ++i)
        comps.rows.push_back({jetText("R" + std::to_string(i)), jetDouble(i), kJetNull, kJetNull, kJetNull, kJetNull,
                              kJetNull, kJetNull, kJetNull, jetLong(i)});
    JetTable other{"Other", {{"Name", kJetText, 50}}, {{jetText("x")}}};
    const std::string path = dir.file("w.mdb");
    writeFileBytes(path, buildJet4File({comps, other}, {.rowsPerPage = 50}));
    const std::string q = "'" + path + "'";

    EXPECT_EQ(run(std::string(ZOLVANT_MDB_TABLES) + " -1 " + q), "tblComps\nOther\n");
    const std::string schema = run(std::string(ZOLVANT_MDB_SCHEMA) + " -T tblComps " + q);
    for (const char* line : {"[Component]\t\t\tText (255)", "[MolWt]\t\t\tDouble", "[CritTemp]\t\t\tSingle",
                             "[Code]\t\t\tLong Integer"})
        EXPECT_NE(schema.find(line), std::string::npos) << line << " in\n" << schema;
    const std::string csv = run(std::string(ZOLVANT_MDB_EXPORT) + " " + q + " tblComps");
    EXPECT_EQ(csv.substr(0, csv.find('\n')), "Component,MolWt,CritTemp,CritPress,CritVol,AcentricF,K1,K2,K3,Code");
    EXPECT_NE(csv.find("\n\"Methane\",16.043,190.5,45.99,,0.011,0,0,0,-7\n"), std::string::npos) << csv.substr(0, 300);
    EXPECT_NE(csv.find("\n\"Ärger Мир\",,,,,,,,,2147483647\n"), std::string::npos);
    EXPECT_NE(csv.find("\n\"R299\",299,,,,,,,,299\n"), std::string::npos);
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 303);
}

}  // namespace
}  // namespace zolvant::db
