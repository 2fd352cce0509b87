// zolvant-cli import-mdb: an Access file's components into a new database,
// what the command prints, and its refusals and exit statuses.

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <cmath>
#include <limits>

#include "cli/tests/support.h"
#include "testsupport/access_support.h"

namespace zolvant::cli {
namespace {

using namespace db::test;
using test::CliRun;

constexpr double kNull = std::numeric_limits<double>::quiet_NaN();

class ImportMdbTest : public ::testing::Test {
protected:
    QString pathOf(const QString& name) const { return dir_.filePath(name); }
    std::string fileOf(const QString& name) const { return pathOf(name).toStdString(); }
    CliRun run(const QStringList& args) const { return test::runCli(args, {}, dir_.filePath(QStringLiteral("config"))); }
    void writeAccess(const QString& name, const std::vector<JetTable>& tables) const {
        writeFileBytes(fileOf(name), buildJet4File(tables));
    }
    JetTable comps() const {
        JetTable t{"tblComps", componentColumns(), {}};
        t.columns.push_back({"Supplier", kJetText});
        t.rows.push_back(componentRow("Water", {18.015, 647.14, 220.64, 55.95, 0.344, -0.06635, 0.0199, 0.443}));
        t.rows.push_back(componentRow("Méthane", {16.043, 190.564, 45.99, 98.6, 0.011, kNull, kNull, kNull}));
        t.rows.push_back(componentRow("Water", {18, kNull, kNull, kNull, kNull, kNull, kNull, kNull}));
        for (auto& row : t.rows) row.push_back(jetText("ACME"));
        return t;
    }
    QTemporaryDir dir_;
};

TEST_F(ImportMdbTest, ImportsThenListsEveryRecordAndNamesTheLeftOutColumns) {
    writeAccess("old.mdb", {comps()});
    const CliRun r = run({"import-mdb", pathOf("old.mdb"), pathOf("new.mdb")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "Imported 3 components from " + pathOf("old.mdb").toUtf8() + " into " +
                         pathOf("new.mdb").toUtf8() +
                         ".\nLeft out the columns of tblComps that are not component fields: Supplier.\n");
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();

    const CliRun list = run({"list", "--db", pathOf("new.mdb")});
    EXPECT_EQ(list.exitCode, 0) << list.err.toStdString();
    const QStringList lines = QString::fromUtf8(list.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4);
    // In the query's order (by name, then as stored), the absent values empty.
    EXPECT_EQ(lines[1].simplified(), QStringLiteral("Méthane 16.043 190.564 45.99 98.6 0.011"));
    EXPECT_EQ(lines[2].simplified(), QStringLiteral("Water 18.015 647.14 220.64 55.95 0.344 -0.06635 0.0199 0.443"));
    EXPECT_EQ(lines[3].simplified(), QStringLiteral("Water 18"));
}

TEST_F(ImportMdbTest, UnnamedRecordsAreRefusedOrNamedOnRequest) {
    JetTable t = comps();
    t.rows[1][0] = kJetNull;
    writeAccess("old.mdb", {t});
    const CliRun refused = run({"import-mdb", pathOf("old.mdb"), pathOf("new.mdb")});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.out.isEmpty());
    for (const char* p : {"zolvant-cli import-mdb: The Access database '", "has 1 record without a component name",
                          "record 2 (Component Null, MolWt 16.043, CritTemp 190.564,", "Nothing was written.",
                          "run the command again with --name-unnamed."})
        EXPECT_TRUE(refused.err.contains(p)) << p << " in " << refused.err.toStdString();
    EXPECT_FALSE(QFile::exists(pathOf("new.mdb")));

    const CliRun named = run({"import-mdb", "--name-unnamed", pathOf("old.mdb"), pathOf("new.mdb")});
    EXPECT_EQ(named.exitCode, 0) << named.err.toStdString();
    EXPECT_TRUE(named.out.endsWith("Named the records without a component name after their positions: (unnamed 2).\n"))
        << named.out.toStdString();
    EXPECT_TRUE(run({"list", "--db", pathOf("new.mdb")}).out.contains("(unnamed 2)"));
}

TEST_F(ImportMdbTest, RefusalsAndWrongUsage) {
    writeAccess("old.mdb", {comps()});
    writeAccess("nocomps.mdb", {JetTable{"Mixtures", componentColumns(), {}}});
    // A page of the table's data turned to garbage: libmdb complains, the command says one sentence.
    std::string damaged = buildJet4File({comps()});
    for (std::size_t i = 5 * 4096 + 8; i < 6 * 4096; ++i) damaged[i] = static_cast<char>(i * 13);
    writeFileBytes(fileOf("damaged.mdb"), damaged);
    struct Row { QStringList args; int exitCode; const char* text; };
    const Row rows[] = {
        {{"import-mdb"}, 2, "no ACCESS_FILE and NEW_FILE given"},
        {{"import-mdb", pathOf("old.mdb")}, 2, "no NEW_FILE given"},
        {{"import-mdb", pathOf("old.mdb"), pathOf("a"), pathOf("b")}, 2, "unexpected '"},
        {{"import-mdb", "--bogus", pathOf("old.mdb"), pathOf("n.mdb")}, 2, "Unknown option 'bogus'"},
        {{"import-mdb", pathOf("nocomps.mdb"), pathOf("n.mdb")}, 1, "has no table tblComps; the tables it has are: Mixtures."},
        {{"import-mdb", pathOf("old.mdb"), pathOf("old.mdb")}, 1, "already exists"},
        {{"import-mdb", pathOf("absent.mdb"), pathOf("n.mdb")}, 1, "Could not find the file"},
        {{"import-mdb", pathOf("old.mdb"), pathOf("nofolder/n.mdb")}, 1, "does not exist"},
        {{"import-mdb", pathOf("damaged.mdb"), pathOf("n.mdb")}, 1, "is damaged"},
    };
    for (const Row& row : rows) {
        const CliRun r = run(row.args);
        EXPECT_EQ(r.exitCode, row.exitCode) << row.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(row.text)) << row.text << " in " << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        if (row.exitCode == 1) {
            EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        }
    }
    EXPECT_FALSE(QFile::exists(pathOf("n.mdb")));
}

TEST_F(ImportMdbTest, ListingAnAccessFileSaysToImportItFirst) {
    writeAccess("old.mdb", {comps()});
    const CliRun r = run({"list", "--db", pathOf("old.mdb")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "zolvant-cli list: '" + pathOf("old.mdb").toUtf8() +
                         "' is an Access database: its components must be imported into a new Zolvant database "
                         "first, with 'zolvant-cli import-mdb " +
                         pathOf("old.mdb").toUtf8() + " NEW_FILE'; then list NEW_FILE with --db.\n");
}

}  // namespace
}  // namespace zolvant::cli
