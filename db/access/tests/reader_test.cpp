// Reading Access files: real files made by Access, and files of the test
// writer in every shape tblComps can take.

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <random>

#include "db/access/access_reader.h"
#include "testsupport/access_support.h"

namespace zolvant::db {
namespace {

using namespace test;

const std::string kFixtures = ZOLVANT_ACCESS_FIXTURES;
constexpr double kNull = std::numeric_limits<double>::quiet_NaN();

std::string bits(double d) {
    std::uint64_t b;
    std::memcpy(&b, &d, 8);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(b));
    return buf;
}

// A value as text that tells every difference: Null, the double's bits, the text.
std::string show(const FieldValue& v) {
    if (const auto* d = std::get_if<double>(&v)) return "double " + bits(*d);
    if (const auto* s = std::get_if<std::string>(&v)) return "text \"" + *s + "\"";
    return "Null";
}

std::string fixture(const std::string& name) { return kFixtures + "/" + name; }

// ------------------------------------------------------------ real files

// Files Access itself made live outside the checkout (../shared beside it,
// or wherever ZOLVANT_ACCESS_FIXTURES_DIR points). A checkout without them
// skips these tests, saying so; a folder that is there but lacks a file
// still fails.
class AccessRealFiles : public ::testing::Test {
protected:
    void SetUp() override {
        std::error_code ec;
        if (!std::filesystem::is_directory(kFixtures, ec))
            GTEST_SKIP() << "the Access-made files are not here: no folder " << kFixtures
                         << " (set ZOLVANT_ACCESS_FIXTURES_DIR to the folder that holds them)";
    }
};

TEST_F(AccessRealFiles, Jet3NumbersTextAndYesNoFromTheRowBytes) {
    auto file = AccessFile::open(fixture("testV1997.mdb"));
    EXPECT_EQ(file->format(), FileFormat::Jet3);
    const AccessTableData t = file->readTable("Table1");
    ASSERT_EQ(t.columns.size(), 9u);
    EXPECT_EQ(t.columns[7].typeName, "Currency");
    ASSERT_EQ(t.rows.size(), 2u);
    const std::vector<std::pair<int, FieldValue>> second{
        {0, std::string("abcdefg")}, {1, std::string("hijklmnop")}, {2, 2.0}, {3, 222.0},
        {4, 333333333.0},            {5, 444.555},                  {7, 3.5}, {8, 1.0}};
    for (const auto& [c, want] : second) EXPECT_EQ(show(t.rows[1][c]), show(want)) << t.columns[c].name;
    EXPECT_EQ(show(t.rows[0][0]), show(std::string("a")));
    EXPECT_EQ(show(t.rows[0][8]), show(0.0));
}

TEST_F(AccessRealFiles, Jet3SinglesAreTheDecimalAccessShowedAndNullStaysNull) {
    auto file = AccessFile::open(fixture("testIndexCodesV1997.mdb"));
    const AccessTableData t = file->readTable("Table5");
    std::map<std::string, FieldValue> byName;
    for (const auto& row : t.rows) byName[std::get<std::string>(row[0])] = row[1];
    // libmdb's own text would be -0.00035133999 and 804983.38: neither reads back.
    EXPECT_EQ(show(byName.at("row10")), show(-0.00035134));
    EXPECT_EQ(show(byName.at("row11")), show(804983.4));
    EXPECT_EQ(show(byName.at("row1")), show(3245.0));
    EXPECT_EQ(show(byName.at("row5")), "Null");
}

TEST_F(AccessRealFiles, Jet4CompressedAndUncompressedUnicodeText) {
    auto file = AccessFile::open(fixture("testUnicodeCompV2003.mdb"));
    EXPECT_EQ(file->format(), FileFormat::Jet4);
    const AccessTableData t = file->readTable("Table");
    ASSERT_EQ(t.rows.size(), 8u);
    const std::vector<std::string> want{"only ascii chars", "ääkkösiä", "Мир", // Greek with polytonic accents (U+1F79, U+1F7B), and control characters.
                                        "ϰαὶ \xcf\x84\xe1\xbd\xb9\xcf\x84' ἐγὼ Κ\xe1\xbd\xbbϰλωπα",
                                        "漢字仮名交じり文", "3L9\x1d" "52\x02_AB(¥\x05!!V", "ümlaut"};
    for (std::size_t r = 0; r < want.size(); ++r) EXPECT_EQ(show(t.rows[r][1]), show(want[r])) << "row " << r;
    // All of Latin-1 but NUL, after a tab and line breaks: compressed text with every byte value.
    const auto* last = std::get_if<std::string>(&t.rows[7][1]);
    ASSERT_NE(last, nullptr);
    EXPECT_NE(last->find("!\"#$%&'()*+,-./0123456789"), std::string::npos);
    EXPECT_NE(last->find("ÀÁÂÃÄÅÆÇÈÉ"), std::string::npos);
    EXPECT_EQ(last->substr(last->size() - 4), "þÿ");
}

TEST_F(AccessRealFiles, AceTextOutsideTheBasicMultilingualPlane) {
    auto file = AccessFile::open(fixture("testEmoticonsV2010.accdb"));
    EXPECT_EQ(file->format(), FileFormat::Ace);
    const AccessTableData t = file->readTable("data");
    ASSERT_EQ(t.rows.size(), 80u);
    for (const auto& row : t.rows) {
        // Each key is the code point its text holds between two a's.
        const auto key = static_cast<char32_t>(std::get<double>(row[0]));
        std::string want = "a";
        want += static_cast<char>(0xf0 | (key >> 18));
        want += static_cast<char>(0x80 | ((key >> 12) & 0x3f));
        want += static_cast<char>(0x80 | ((key >> 6) & 0x3f));
        want += static_cast<char>(0x80 | (key & 0x3f));
        want += "a";
        EXPECT_EQ(show(row[1]), show(want));
    }
}

TEST_F(AccessRealFiles, ALinkedTableNamesTheFileItsDataLivesIn) {
    auto file = AccessFile::open(fixture("linkerTestV2007.accdb"));
    const AccessTableEntry* linked = file->findTable("table2");
    ASSERT_NE(linked, nullptr);
    EXPECT_EQ(linked->kind, 6);
    EXPECT_EQ(file->linkedFile("Table2"), "Z:\\jackcess_test\\linkeeTest.accdb");
    try {
        readAccessComponents(*file);
        FAIL() << "a file without tblComps was read";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), kMissingObject);
        EXPECT_NE(e.description().find("the tables it has are: Table1, Table2."), std::string::npos)
            << e.description();
    }
}

// ------------------------------------------------------------ written files

TEST(AccessSingles, TheShortestDecimalThenTheNearestDouble) {
    struct Case { float single; double want; };
    const Case cases[] = {
        {0.1f, 0.1},
        {1.0f / 3.0f, 0.33333334},
        {190.6f, 190.6},
        {-0.0f, -0.0},
        {FLT_MAX, 3.4028235e38},
        {FLT_MIN, 1.1754944e-38},
        {FLT_TRUE_MIN, 1e-45},  // the smallest denormal
        {16777216.0f, 16777216.0},
    };
    for (const Case& c : cases) EXPECT_EQ(bits(singleAsDouble(c.single)), bits(c.want)) << c.want;
    // Whatever the single, the double reads back as it.
    std::mt19937 gen(17);
    for (int i = 0; i < 200000; ++i) {
        std::uint32_t b = gen();
        float f;
        std::memcpy(&f, &b, 4);
        if (!std::isfinite(f)) continue;
        const float back = static_cast<float>(singleAsDouble(f));
        ASSERT_EQ(std::memcmp(&back, &f, 4), 0) << b;
    }
}

TEST(AccessWrittenFiles, EveryFieldTypeAndTextFormReadExactly) {
    ScratchDir dir;
    JetTable t{"tblComps",
               {{"Component", kJetText}, {"MolWt", kJetByte}, {"CritTemp", kJetInteger}, {"CritPress", kJetLong},
                {"CritVol", kJetCurrency}, {"AcentricF", kJetSingle}, {"K1", kJetDouble}, {"K2", kJetDouble},
                {"K3", kJetDouble}, {"Note", kJetMemo}},
               {}};
    t.rows.push_back({jetText("Méthane", true), jetByte(255), jetInteger(-32768), jetLong(-2147483647 - 1),
                      jetCurrency(-9223372036854775807LL - 1), jetSingle(0.1f), jetDouble(0.1), jetDouble(-0.0),
                      jetDouble(1), jetMemo("long name")});
    t.rows.push_back({jetText("Méthane", false), jetByte(0), jetInteger(32767), jetLong(2147483647),
                      jetCurrency(12345), jetSingle(FLT_TRUE_MIN), jetDouble(DBL_MAX), jetDouble(DBL_TRUE_MIN),
                      jetDouble(2), jetMemo("")});
    t.rows.push_back(
        {jetText(""), kJetNull, kJetNull, kJetNull, kJetNull, kJetNull, kJetNull, kJetNull, kJetNull, kJetNull});
    t.rows.push_back({kJetNull, kJetNull, kJetNull, kJetNull, kJetNull, kJetNull, jetDouble(DBL_MIN),
                      jetDouble(1.0 / 3.0), jetDouble(3), jetMemo("Мир 😀 𝄞")});
    const std::string path = dir.file("types.mdb");
    writeFileBytes(path, buildJet4File({t}));

    const AccessComponents c = readAccessComponents(path);
    EXPECT_EQ(c.format, FileFormat::Jet4);
    EXPECT_EQ(c.leftOutColumns, std::vector<std::string>{"Note"});
    using Record = std::array<FieldValue, 9>;
    const FieldValue null;
    const std::vector<Record> want{
        Record{std::string("Méthane"), 255.0, -32768.0, -2147483648.0, -922337203685477.5808, 0.1, 0.1, -0.0, 1.0},
        Record{std::string("Méthane"), 0.0, 32767.0, 2147483647.0, 1.2345, 1e-45, DBL_MAX, DBL_TRUE_MIN, 2.0},
        Record{std::string(), null, null, null, null, null, null, null, null},
        Record{null, null, null, null, null, null, DBL_MIN, 1.0 / 3.0, 3.0},
    };
    // A Memo in the row itself, empty or not, and Null.
    const AccessTableData table = AccessFile::open(path)->readTable("tblComps");
    ASSERT_EQ(table.rows.size(), 4u);
    EXPECT_EQ(table.columns[9].typeName, "Memo");
    EXPECT_EQ(show(table.rows[0][9]), show(std::string("long name")));
    EXPECT_EQ(show(table.rows[1][9]), show(std::string()));
    EXPECT_EQ(show(table.rows[2][9]), "Null");
    EXPECT_EQ(show(table.rows[3][9]), show(std::string("Мир 😀 𝄞")));
    ASSERT_EQ(c.records.size(), want.size());
    for (std::size_t r = 0; r < want.size(); ++r)
        for (std::size_t f = 0; f < 9; ++f)
            EXPECT_EQ(show(c.records[r][f]), show(want[r][f])) << "record " << r + 1 << ", field " << f;
}

TEST(AccessWrittenFiles, FieldsByNameInAnyCaseAndOrderExtraColumnsLeftOut) {
    ScratchDir dir;
    std::vector<JetColumn> cols{{"Notes", kJetText}, {"k3", kJetDouble}, {"COMPONENT", kJetText}};
    for (const char* f : {"molwt", "CritTemp", "CritPress", "CritVol", "AcentricF", "K1", "K2"})
        cols.push_back({f, kJetDouble});
    cols.push_back({"Added", kJetDateTime});
    JetTable t{"TBLCOMPS", cols, {}};
    t.rows.push_back({jetText("note"), jetDouble(3), jetText("Ethane"), jetDouble(30.07), jetDouble(305.3),
                      jetDouble(48.72), jetDouble(145.5), jetDouble(0.099), jetDouble(1), jetDouble(2),
                      jetDouble(45000.5)});
    const std::string path = dir.file("order.mdb");
    writeFileBytes(path, buildJet4File({t}));
    const AccessComponents c = readAccessComponents(path);
    EXPECT_EQ(c.leftOutColumns, (std::vector<std::string>{"Notes", "Added"}));
    ASSERT_EQ(c.records.size(), 1u);
    const std::array<FieldValue, 9> want{std::string("Ethane"), 30.07, 305.3, 48.72, 145.5, 0.099, 1.0, 2.0, 3.0};
    for (std::size_t f = 0; f < 9; ++f) EXPECT_EQ(show(c.records[0][f]), show(want[f])) << f;
}

TEST(AccessWrittenFiles, ManyRowsOverSeveralDataPagesInOrder) {
    ScratchDir dir;
    JetTable t{"tblComps", componentColumns(), {}};
    for (int i = 0; i < 700; ++i)
        t.rows.push_back(componentRow("C" + std::to_string(i), {i * 0.5, kNull, 1, 2, 3, 4, 5, 6}));
    const std::string path = dir.file("many.mdb");
    const std::string bytes = buildJet4File({t});
    ASSERT_GT(bytes.size(), 10 * 4096u);
    writeFileBytes(path, bytes);
    const AccessComponents c = readAccessComponents(path);
    ASSERT_EQ(c.records.size(), 700u);
    for (int i = 0; i < 700; ++i) {
        EXPECT_EQ(show(c.records[i][0]), show("C" + std::to_string(i)));
        EXPECT_EQ(show(c.records[i][1]), show(i * 0.5));
        EXPECT_TRUE(isNull(c.records[i][2]));
    }
}

TEST(AccessWrittenFiles, AnAceFileReadsAsAce) {
    ScratchDir dir;
    JetTable t{"tblComps", componentColumns(), {componentRow("Water", {18.015, 647.1, 220.6, 56, 0.344, 0, 0, 0})}};
    const std::string path = dir.file("water.accdb");
    writeFileBytes(path, buildJet4File({t}, {.ace = true}));
    const AccessComponents c = readAccessComponents(path);
    EXPECT_EQ(c.format, FileFormat::Ace);
    ASSERT_EQ(c.records.size(), 1u);
    EXPECT_EQ(show(c.records[0][4]), show(56.0));
}

// ------------------------------------------------------------ refusals

struct Refusal {
    const char* what;
    std::function<std::string()> bytes;
    int number;
    std::vector<std::string> phrases;
};

JetTable tableWith(const std::string& field, JetType type, JetCell cell) {
    JetTable t{"tblComps", componentColumns(), {componentRow("Water", {18, 647, 220, 56, 0.3, 0, 0, 0})}};
    for (std::size_t i = 0; i < t.columns.size(); ++i)
        if (t.columns[i].name == field) {
            t.columns[i].type = type;
            t.rows[0][i] = cell;
        }
    return t;
}

std::string good() { return buildJet4File({tableWith("K3", kJetDouble, jetDouble(0))}); }

TEST(AccessRefusals, EachSaysWhatIsWrongAndWhatToDo) {
    const std::vector<Refusal> cases{
        {"no tblComps",
         [] { return buildJet4File({{"Mixtures", componentColumns(), {}}, {"Notes", {{"N", kJetText}}, {}}}); },
         kMissingObject,
         {"has no table tblComps; the tables it has are: Mixtures, Notes.", "rename the table"}},
        {"no table at all", [] { return buildJet4File({}); }, kMissingObject, {"and no other table either"}},
        {"linked tblComps",
         [] {
             JetTable t{"tblComps", componentColumns(), {}, 6, "C:\\Data\\Comps.mdb"};
             return buildJet4File({t});
         },
         kRefused,
         {"tblComps is a linked table: its records live in 'C:\\Data\\Comps.mdb'.", "Import that file instead."}},
        {"Component a number",
         [] { return buildJet4File({tableWith("Component", kJetLong, jetLong(1))}); },
         kRefused,
         {"The field Component of tblComps", "is of type Long Integer", "Change its type to Text"}},
        {"CritTemp text",
         [] { return buildJet4File({tableWith("CritTemp", kJetText, jetText("190"))}); },
         kRefused,
         {"The field CritTemp of tblComps", "is of type Text, but it must hold numbers"}},
        {"K1 a date",
         [] { return buildJet4File({tableWith("K1", kJetDateTime, jetDouble(1))}); },
         kRefused,
         {"The field K1 ", "Date/Time"}},
        {"CritVol Decimal",
         [] { return buildJet4File({tableWith("CritVol", kJetDecimal, std::string(17, '\0'))}); },
         kRefused,
         {"The field CritVol ", "is a Decimal field, which Zolvant cannot take exactly", "Double"}},
        {"missing fields",
         [] {
             JetTable t{"tblComps", {{"Component", kJetText}, {"MolWt", kJetDouble}}, {}};
             return buildJet4File({t});
         },
         kMissingObject,
         {"lacks the fields CritTemp, CritPress, CritVol, AcentricF, K1, K2, K3."}},
        {"an infinite Double",
         [] { return buildJet4File({tableWith("K2", kJetDouble, jetDouble(HUGE_VAL))}); },
         kRefused,
         {"Record 1 of the table tblComps", "its K2 holds no finite number"}},
        {"a NaN Single",
         [] { return buildJet4File({tableWith("K2", kJetSingle, jetSingle(std::nanf("")))}); },
         kRefused,
         {"its K2 holds no finite number"}},
        {"a lone surrogate",
         [] { return buildJet4File({tableWith("Component", kJetText, std::string("\x00\xd8", 2))}); },
         kRefused,
         {"its Component holds text that cannot be decoded"}},
        {"encrypted ACE",
         [] {
             std::string b = buildJet4File({tableWith("K3", kJetDouble, jetDouble(0))}, {.ace = true});
             b[0x298] = 0x07;
             return b;
         },
         kRefused,
         {"is encrypted with a password", "Decrypt Database"}},
        {"cut inside a page", [] { return good().substr(0, 5 * 4096 + 100); }, kEngine, {"is damaged: it is cut short"}},
        {"the header alone", [] { return good().substr(0, 300); }, kEngine, {"is damaged: it is cut short"}},
        {"ending before its version", [] { return good().substr(0, 20); }, kEngine, {"cut short"}},
        {"cut at a page's end", [] { return good().substr(0, 4 * 4096); }, kEngine, {"is damaged"}},
        {"catalog page overwritten",
         [] {
             std::string b = good();
             for (std::size_t i = 2 * 4096; i < 3 * 4096; ++i) b[i] = static_cast<char>(i * 7);
             return b;
         },
         kEngine,
         {"is damaged", "Compact and Repair"}},
        {"a row's offsets garbled",
         [] {
             std::string b = good();
             b[5 * 4096 + 14] = '\xff';  // the first row of the table's data page
             b[5 * 4096 + 15] = '\x0f';
             return b;
         },
         kEngine,
         {"is damaged"}},
        {"not an Access file", [] { return std::string(8192, 'x'); }, kNotADatabase, {"is not an Access database."}},
        {"a SQLite file",
         [] { return std::string("SQLite format 3\0", 16) + std::string(4080, '\0'); },
         kNotADatabase,
         {"is already a Zolvant (SQLite) database"}},
    };
    ScratchDir dir;
    for (const Refusal& c : cases) {
        const std::string path = dir.file("refused.mdb");
        writeFileBytes(path, c.bytes());
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        try {
            readAccessComponents(path);
            ADD_FAILURE() << c.what << ": read without a refusal";
        } catch (const DbError& e) {
            EXPECT_EQ(e.number(), c.number) << c.what << ": " << e.description();
            for (const std::string& p : c.phrases)
                EXPECT_NE(e.description().find(p), std::string::npos) << c.what << ": " << e.description();
            EXPECT_NE(e.description().find("'" + path + "'"), std::string::npos) << c.what << ": names the file";
        }
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << c.what << ": the library's diagnostics leaked";
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << c.what << ": the library's page dumps leaked";
    }
}

TEST(AccessRefusals, ALostDataPageIsDamage) {
    ScratchDir dir;
    std::string b = good();
    b.replace(5 * 4096, 4096, std::string(4096, '\0'));  // the table's data page became zeros
    const std::string path = dir.file("zeros.mdb");
    writeFileBytes(path, b);
    try {
        AccessFile::open(path)->readTable("tblComps");
        ADD_FAILURE() << "a table missing its records was read";
    } catch (const DbError& e) {
        EXPECT_NE(e.description().find("the table tblComps holds 1 record, but 0 were found"), std::string::npos)
            << e.description();
    }
}

TEST(AccessRefusals, TheLibrarysDiagnosticsAreKeptNotShown) {
    ScratchDir dir;
    std::string b = good();
    b.replace(4 * 4096, 4096, std::string(4096, '\0'));  // tblComps's definition became zeros
    const std::string path = dir.file("nodef.mdb");
    writeFileBytes(path, b);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    auto file = AccessFile::open(path);
    EXPECT_THROW(file->readTable("tblComps"), DbError);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_NE(file->diagnostics().find("is not a valid table definition page"), std::string::npos)
        << file->diagnostics();
}

}  // namespace
}  // namespace zolvant::db
