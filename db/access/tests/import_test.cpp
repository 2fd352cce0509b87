// Importing tblComps of an Access file into a new component database, and
// the opening path's recognition of Access files.

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>

#include "db/access/access_import.h"
#include "db/access/access_reader.h"
#include "db/lookup.h"
#include "testsupport/access_support.h"

namespace zolvant::db {
namespace {

using namespace test;

constexpr double kNull = std::numeric_limits<double>::quiet_NaN();

bool sameBits(const FieldValue& a, const FieldValue& b) {
    if (a.index() != b.index()) return false;
    if (const auto* d = std::get_if<double>(&a)) return std::memcmp(d, &std::get<double>(b), 8) == 0;
    return a == b;
}

std::string show(const FieldValue& v) {
    if (const auto* d = std::get_if<double>(&v)) {
        std::uint64_t b;
        std::memcpy(&b, d, 8);
        return "double " + std::to_string(b);
    }
    if (const auto* s = std::get_if<std::string>(&v)) return "text \"" + *s + "\"";
    return "Null";
}

// Edge values of every kind, duplicates, non-ASCII names, in an order the
// query would change: the stored rows must be these, bit for bit.
struct Written {
    std::string bytes;
    std::vector<std::array<FieldValue, 9>> stored;
};

Written edgeFile(int extraRows = 0) {
    JetTable t{"tblComps", componentColumns(), {}};
    t.columns[2].type = kJetSingle;   // CritTemp a Single
    t.columns.push_back({"Remarks", kJetText});
    Written w;
    const auto add = [&](const std::optional<std::string>& name, std::array<double, 8> v, float critTemp,
                         double storedCritTemp) {
        std::vector<JetCell> row = componentRow(name, v);
        row[2] = std::isnan(critTemp) ? kJetNull : jetSingle(critTemp);
        row.push_back(jetText("remark"));
        t.rows.push_back(row);
        std::array<FieldValue, 9> s;
        if (name) s[0] = *name;
        for (std::size_t f = 1; f < 9; ++f)
            if (!std::isnan(v[f - 1])) s[f] = v[f - 1];
        s[2] = std::isnan(critTemp) ? FieldValue() : FieldValue(storedCritTemp);
        w.stored.push_back(s);
    };
    add("Zeta", {0.1, 0, 1.0 / 3.0, 0, 0, 0, 0, 0}, 0.1f, 0.1);
    add("Methane", {16.043, 0, 45.99, 98.6, 0.011, -0.0, 0, 0}, 190.564f, 190.564);
    add("Methane", {16.043, 0, 45.99, 98.6, 0.011, DBL_MAX, -DBL_MAX, DBL_MIN}, 1.0f / 3.0f, 0.33333334);
    add("Ärger — Мир 😀 𝄞", {DBL_TRUE_MIN, -DBL_TRUE_MIN, 4.9e-320, kNull, kNull, kNull, kNull, kNull}, kNull, 0);
    add("", {kNull, kNull, kNull, kNull, kNull, kNull, kNull, kNull}, FLT_TRUE_MIN, 1e-45);
    for (int i = 0; i < extraRows; ++i)
        add("Row " + std::to_string(i), {i + 0.25, kNull, kNull, kNull, kNull, kNull, kNull, kNull}, -0.0f, -0.0);
    w.bytes = buildJet4File({t});
    return w;
}

TEST(AccessImport, EveryRecordAndValueExactlyInTheFilesOrder) {
    ScratchDir dir;
    Written w = edgeFile(600);
    w.stored[4][0] = std::string("(unnamed 5)");
    const std::string access = dir.file("Components.mdb"), target = dir.file("Imported.mdb");
    writeFileBytes(access, w.bytes);

    const AccessImportResult r = importAccessDatabase(access, target, {.nameUnnamed = true});
    EXPECT_EQ(r.count, 605);
    EXPECT_EQ(r.format, FileFormat::Jet4);
    EXPECT_EQ(r.leftOutColumns, std::vector<std::string>{"Remarks"});
    EXPECT_EQ(r.namedRecords, std::vector<std::size_t>{5});

    const auto rows = storedRows(target);
    ASSERT_EQ(rows.size(), w.stored.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        for (std::size_t f = 0; f < 9; ++f) {
            FieldValue want = w.stored[i][f];
            // The engine keeps an integral REAL as an integer: -0 comes back as 0.
            if (const auto* d = std::get_if<double>(&want); d && *d == 0) want = 0.0;
            EXPECT_TRUE(sameBits(rows[i][f], want))
                << "record " << i + 1 << " field " << f << ": " << show(rows[i][f]) << " instead of " << show(want);
        }
    // The Access file is only read, and no temporary file is left beside the new one.
    EXPECT_EQ(readFileBytes(access), w.bytes);
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"Components.mdb", "Imported.mdb"}));

    // The new file is a component database: it opens and lists every record.
    const std::vector<ComponentRow> listed = listComponents(target);
    ASSERT_EQ(listed.size(), 605u);
    EXPECT_TRUE(sameBits(listed.front().Component, std::string("(unnamed 5)")));
    EXPECT_TRUE(sameBits(listed[1].Component, std::string("Methane")));
    EXPECT_TRUE(sameBits(listed[2].Component, std::string("Methane")));
    EXPECT_TRUE(sameBits(listed[2].K1, DBL_MAX));
}

TEST(AccessImport, UnnamedRecordsStopItBeforeAnythingIsWritten) {
    ScratchDir dir;
    JetTable t{"tblComps", componentColumns(), {}};
    t.rows.push_back(componentRow("Water", {18.015, 647.1, 220.6, 56, 0.344, 0, 0, 0}));
    t.rows.push_back(componentRow(std::nullopt, {16.043, 190.6, kNull, kNull, kNull, kNull, kNull, kNull}));
    t.rows.push_back(componentRow("", {0.5, kNull, kNull, kNull, kNull, kNull, kNull, kNull}));
    const std::string access = dir.file("c.mdb"), target = dir.file("new.mdb");
    writeFileBytes(access, buildJet4File({t}));
    try {
        importAccessDatabase(access, target);
        FAIL() << "imported records without names";
    } catch (const UnnamedRecordsError& e) {
        EXPECT_EQ(e.positions(), (std::vector<std::size_t>{2, 3}));
        for (const std::string& p :
             {std::string("has 2 records without a component name"),
              std::string("record 2 (Component Null, MolWt 16.043, CritTemp 190.6, CritPress empty"),
              std::string("record 3 (Component empty, MolWt 0.5,"), std::string("Nothing was written."),
              std::string("\"(unnamed 2)\"")})
            EXPECT_NE(e.description().find(p), std::string::npos) << e.description();
    }
    EXPECT_EQ(dir.names(), std::vector<std::string>{"c.mdb"});
}

TEST(AccessImport, NeverOverAnExistingFile) {
    ScratchDir dir;
    const std::string access = dir.file("c.mdb"), target = dir.file("taken.mdb");
    writeFileBytes(access, edgeFile().bytes);
    writeFileBytes(target, "mine");
    try {
        importAccessDatabase(access, target, {.nameUnnamed = true});
        FAIL() << "wrote over a file";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), kAlreadyExists);
    }
    EXPECT_EQ(readFileBytes(target), "mine");
    // Nor over the Access file itself.
    EXPECT_THROW(importAccessDatabase(access, access, {.nameUnnamed = true}), DbError);
    EXPECT_EQ(readFileBytes(access), edgeFile().bytes);
}

TEST(AccessImport, ARefusalWritesNothing) {
    ScratchDir dir;
    std::string longName;
    for (int i = 0; i < 128; ++i) longName += "Ж";  // 128 characters, 256 bytes
    const std::vector<std::pair<JetTable, std::string>> cases{
        {JetTable{"tblComps", componentColumns(), {componentRow("Water", {18, 647, 220, 56, 0.3, 0, 0, HUGE_VAL})}},
         "holds no finite number"},
        {JetTable{"tblComps", componentColumns(), {componentRow("W", {1, 2, 3, 4, 5, 6, 7, 8}), componentRow(longName, {})}},
         "Record 2 of tblComps in the Access database '" + dir.file("c.mdb") +
             "' has a Component name of 256 bytes; a Zolvant database holds names of up to 255 bytes"},
    };
    for (const auto& [table, phrase] : cases) {
        const std::string access = dir.file("c.mdb");
        writeFileBytes(access, buildJet4File({table}));
        try {
            importAccessDatabase(access, dir.file("new.mdb"));
            ADD_FAILURE() << phrase << ": imported";
        } catch (const DbError& e) {
            EXPECT_NE(e.description().find(phrase), std::string::npos) << e.description();
        }
        EXPECT_EQ(dir.names(), std::vector<std::string>{"c.mdb"});
    }
}

TEST(AccessRecognition, OpeningAnAccessFileSaysToImportItAndSqliteOpensAsToday) {
    ScratchDir dir;
    const std::string access = dir.file("Components.mdb");
    writeFileBytes(access, edgeFile().bytes);
    try {
        Database::OpenDatabase(access);
        FAIL() << "opened an Access file as a database";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), kAccessDatabase);
        EXPECT_NE(e.description().find("is an Access database (Jet 4 (Access 2000-2003)), not a Zolvant component "
                                       "database: import its components"),
                  std::string::npos)
            << e.description();
    }
    writeFileBytes(access, edgeFile().bytes.substr(0, 10000));
    try {
        Database::OpenDatabase(access);
        FAIL() << "opened a cut-short Access file";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), kEngine);
        EXPECT_NE(e.description().find("that is damaged: it is cut short"), std::string::npos) << e.description();
    }
    const std::string imported = dir.file("new.mdb");
    writeFileBytes(access, edgeFile().bytes);
    importAccessDatabase(access, imported, {.nameUnnamed = true});
    EXPECT_EQ(recognizeFile(imported).format, FileFormat::Sqlite);
    EXPECT_NO_THROW(Database::OpenDatabase(imported));
    EXPECT_EQ(countAccessComponents(access), 5u);
}

TEST(AccessRecognition, ByTheFirstBytes) {
    struct Case { std::string bytes; FileFormat format; bool cutShort; };
    const std::string jet = std::string("\0\1\0\0Standard Jet DB\0", 20);
    const std::string ace = std::string("\0\1\0\0Standard ACE DB\0", 20);
    const auto pages = [](const std::string& head, char version, std::size_t size) {
        std::string b = head + version;
        b.resize(size, '\0');
        return b;
    };
    const Case cases[] = {
        {pages(jet, 0, 3 * 2048), FileFormat::Jet3, false},
        {pages(jet, 1, 3 * 4096), FileFormat::Jet4, false},
        {pages(ace, 2, 3 * 4096), FileFormat::Ace, false},
        {pages(ace, 5, 3 * 4096), FileFormat::Ace, false},
        {pages(jet, 1, 3 * 4096 - 1), FileFormat::Jet4, true},
        {pages(jet, 0, 2048), FileFormat::Jet3, true},
        {jet.substr(0, 20), FileFormat::Jet4, true},
        {jet.substr(0, 19), FileFormat::Other, false},
        {std::string("SQLite format 3\0", 16), FileFormat::Sqlite, false},
        {std::string("\0\1\0\0Standard Foo DB\0", 20) + std::string(8192, '\0'), FileFormat::Other, false},
        {"", FileFormat::Other, false},
    };
    for (const Case& c : cases) {
        const RecognizedFile r = recognizeBytes(reinterpret_cast<const unsigned char*>(c.bytes.data()), c.bytes.size());
        EXPECT_EQ(r.format, c.format) << c.bytes.size();
        EXPECT_EQ(r.cutShort, c.cutShort) << c.bytes.size();
    }
}

}  // namespace
}  // namespace zolvant::db
