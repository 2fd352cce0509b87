// Binary interaction parameters: the matrices a mixture reads, storing
// pairs, and pairs following their component's name when the editor's
// recordset renames or deletes a record.

#include "db/kij.h"

#include <limits>

#include "db/seed_data.h"
#include "db/tests/support.h"

namespace zolvant::db::test {
namespace {

class KijTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        open("Components.mdb");
    }
    void open(const std::string& name) {
        db_.reset();
        path_ = makeDb(name, {{"Methane", {16.043, 190.56, 45.99}},
                                          {"n-Butane", {58.123, 425.12, 37.96}},
                                          {"Nitrogen", {28.014, 126.2, 33.98}},
                                          {"Carbon Dioxide", {44.01, 304.12, 73.74}}});
        db_ = Database::OpenDatabase(path_);
        storeKijPairs(*db_, {{"Methane", "n-Butane", kPengRobinson, 0.0185},
                             {"Methane", "n-Butane", kSoaveRedlichKwong, 0.0215},
                             {"Nitrogen", "Methane", kPengRobinson, 0.0289}});
    }
    // Every stored pair as "A|B|equation|kij", in stored order.
    std::vector<std::string> pairs() const {
        std::vector<std::string> out;
        for (const KijPair& p : readKijPairs(*db_))
            out.push_back(p.component1 + "|" + p.component2 + "|" + p.equation + "|" + detail::numberText(p.kij));
        return out;
    }
    std::string path_;
    std::unique_ptr<Database> db_;
};

TEST_F(KijTest, MatricesAreSymmetricPerEquationFamilyAndMatchNamesCaseAside) {
    const KijMatrices m = kijMatrices(*db_, {"n-butane", "METHANE", "Nitrogen", ""});
    // block: 0 VdW, 1 RK, 2 PR, 3 SRK, 4 PRSV1, 5 PRSV2
    const std::array<double, 6> butaneMethane{0, 0, 0.0185, 0.0215, 0.0185, 0.0185};
    const std::array<double, 6> methaneNitrogen{0, 0, 0.0289, 0, 0.0289, 0.0289};
    for (int b = 0; b < 6; ++b) {
        SCOPED_TRACE("block " + std::to_string(b));
        EXPECT_EQ(m[b][0][1], butaneMethane[b]);
        EXPECT_EQ(m[b][1][0], butaneMethane[b]);
        EXPECT_EQ(m[b][1][2], methaneNitrogen[b]);
        EXPECT_EQ(m[b][2][1], methaneNitrogen[b]);
        EXPECT_EQ(m[b][0][2], 0.0);  // no pair stored
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(m[b][i][i], 0.0);
            EXPECT_EQ(m[b][3][i], 0.0);  // the empty row
        }
    }
    EXPECT_EQ(thrownBy([&] { kijMatrices(*db_, {"a", "b", "c", "d", "e"}); }).number, kRefused);
}

TEST_F(KijTest, AnOlderDatabaseWithoutPairsGivesZerosAndGetsTheTableWhenAPairIsStored) {
    const std::string old = makeVersion1Db("old.mdb", {{"Methane", {16.043, 190.56}}, {"n-Butane", {58.123, 425.12}}});
    const auto db = Database::OpenDatabase(old);
    EXPECT_EQ(kijMatrices(*db, {"Methane", "n-Butane"}), KijMatrices{});
    EXPECT_TRUE(readKijPairs(*db).empty());
    storeKijPairs(*db, {{"Methane", "n-Butane", kPengRobinson, 0.0185}});
    EXPECT_EQ(kijMatrices(old, {"Methane", "n-Butane"})[2][0][1], 0.0185);
}

TEST_F(KijTest, StoringPairsIsWholeOrNothingAndReplacesAPairGivenInEitherOrder) {
    struct Case {
        const char* what;
        KijPair bad;
        std::string description;
    };
    const std::vector<Case> cases{
        {"unknown name", {"Methane", "Xenon", kPengRobinson, 0.1},
         "The interaction parameter of 'Methane' and 'Xenon' cannot be stored: the database has no component named "
         "'Xenon'."},
        {"itself", {"Methane", "methane", kPengRobinson, 0.1},
         "The interaction parameter of 'Methane' and 'methane' is of a component with itself: a pair needs two "
         "components."},
        {"equation", {"Methane", "Nitrogen", "Van der Waals", 0.1},
         "The interaction parameter of 'Methane' and 'Nitrogen' is for the equation 'Van der Waals': pairs are stored "
         "for Peng-Robinson or Soave-Redlich-Kwong only."},
        {"not finite", {"Methane", "Nitrogen", kPengRobinson, std::numeric_limits<double>::infinity()},
         "The interaction parameter of 'Methane' and 'Nitrogen' is not a finite number."},
    };
    const auto before = pairs();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Thrown t = thrownBy([&] { storeKijPairs(*db_, {{"Carbon Dioxide", "Methane", kPengRobinson, 0.09}, c.bad}); });
        EXPECT_EQ(t.number, kRefused);
        EXPECT_EQ(t.description, c.description);
        EXPECT_EQ(pairs(), before);
    }
    storeKijPairs(*db_, {{"n-Butane", "Methane", kPengRobinson, 0.02}, {"Carbon Dioxide", "Methane", kPengRobinson, 0.09}});
    EXPECT_EQ(pairs(), (std::vector<std::string>{"Methane|n-Butane|Soave-Redlich-Kwong|0.0215",
                                                 "Nitrogen|Methane|Peng-Robinson|0.0289",
                                                 "n-Butane|Methane|Peng-Robinson|0.02",
                                                 "Carbon Dioxide|Methane|Peng-Robinson|0.09"}));
}

TEST_F(KijTest, AReadOnlyDatabaseRefusesPairsWithTheEnginesMessage) {
    db_.reset();
    setForceReadOnlyForTests(true);
    const auto db = Database::OpenDatabase(path_);
    const Thrown t = thrownBy([&] { storeKijPairs(*db, {{"Methane", "Carbon Dioxide", kPengRobinson, 0.1}}); });
    setForceReadOnlyForTests(false);
    EXPECT_EQ(t.number, kReadOnly);
    EXPECT_EQ(t.description, "The database '" + path_ + "' is open read-only: it cannot be changed.");
    EXPECT_EQ(readKijPairs(*db).size(), 3u);
}

// The editor's recordset and the main window's query change records of
// tblComps; the pairs follow by name.
TEST_F(KijTest, RenamingTheOnlyRecordOfANameCarriesItsPairsAndDeletingTheLastRemovesThem) {
    for (const RecordSource& source : {kEditorSource, kCritCosSource}) {
        SCOPED_TRACE(source.object);
        open(source.object + ".mdb");
        auto rs = db_->OpenRecordset(source);
        const auto moveTo = [&](const std::string& name) {
            rs->MoveFirst();
            while (nameOf(*rs) != name) rs->MoveNext();
        };
        moveTo("Methane");
        rs->Edit();
        rs->SetField("Component", "CH4");
        rs->Update();
        EXPECT_EQ(pairs(), (std::vector<std::string>{"CH4|n-Butane|Peng-Robinson|0.0185",
                                                     "CH4|n-Butane|Soave-Redlich-Kwong|0.0215",
                                                     "Nitrogen|CH4|Peng-Robinson|0.0289"}));
        EXPECT_EQ(kijMatrices(*db_, {"ch4", "n-Butane"})[3][0][1], 0.0215);

        // A refused rename leaves the pairs too.
        rs->Edit();
        rs->SetField("Component", "");
        EXPECT_EQ(thrownBy([&] { rs->Update(); }).number, kRefused);
        rs->CancelUpdate();
        EXPECT_EQ(pairs().size(), 3u);

        moveTo("CH4");
        rs->Delete();
        EXPECT_EQ(pairs(), std::vector<std::string>{});
    }
}

TEST_F(KijTest, PairsStayWithANameThatAnotherRecordStillHas) {
    execSql(path_, "INSERT INTO tblComps (Component, CritTemp) VALUES ('methane', 190.6), ('Argon', 150.86)");
    storeKijPairs(*db_, {{"Argon", "n-Butane", kPengRobinson, 0.07}});
    auto rs = db_->OpenRecordset(kEditorSource);
    rs->MoveFirst();
    while (nameOf(*rs) != "Methane") rs->MoveNext();
    rs->Delete();  // "methane" still has the name
    EXPECT_EQ(pairs().size(), 4u);

    // Renamed to a name with a pair of its own for the same partner and
    // equation: that one stays; the others come along.
    rs->MoveFirst();
    while (nameOf(*rs) != "methane") rs->MoveNext();
    rs->Edit();
    rs->SetField("Component", "Argon");
    rs->Update();
    EXPECT_EQ(pairs(), (std::vector<std::string>{"Argon|n-Butane|Soave-Redlich-Kwong|0.0215",
                                                 "Nitrogen|Argon|Peng-Robinson|0.0289",
                                                 "Argon|n-Butane|Peng-Robinson|0.07"}));
}

}  // namespace
}  // namespace zolvant::db::test
