// The schema of new databases: the engine refuses impossible constants with
// a sentence naming the field, and databases of the first schema keep
// working.

#include "db/lookup.h"
#include "db/tests/support.h"

namespace zolvant::db::test {
namespace {

using SchemaTest = DbTest;

TEST_F(SchemaTest, AConstantThatIsNotPositiveIsRefusedNamingTheFieldAndNothingIsStored) {
    const std::string path = makeDb("Components.mdb", {{"Argon", {39.948, 150.86, 48.98, 74.57, -0.002}}});
    const auto db = Database::OpenDatabase(path);
    auto rs = db->OpenRecordset(kEditorSource);
    struct Case {
        const char* field;
        const char* text;
    };
    for (const Case& c : {Case{"CritTemp", "-5"}, Case{"CritPress", "0"}, Case{"CritVol", "-74.57"},
                          Case{"MolWt", "0.0"}}) {
        SCOPED_TRACE(c.field);
        for (bool adding : {true, false}) {
            rs->MoveFirst();
            adding ? rs->AddNew() : rs->Edit();
            rs->SetField("Component", "Krypton");
            rs->SetField(c.field, c.text);
            const Thrown t = thrownBy([&] { rs->Update(); });
            EXPECT_EQ(t.number, kRefused);
            EXPECT_EQ(t.description, std::string("The value '") + c.text + "' cannot be stored in the field " +
                                         c.field + ": it must be greater than 0.");
            rs->CancelUpdate();
            EXPECT_EQ(namesInRowidOrder(path), std::vector<std::string>{"Argon"});
        }
    }
    // Zero and below stay allowed where they make sense, and Null anywhere.
    rs->AddNew();
    rs->SetField("Component", "Helium-4");
    rs->SetField("AcentricF", "-0.39");
    rs->SetField("K1", "0");
    rs->SetFieldNull("CritTemp");
    rs->Update();
    EXPECT_EQ(namesInRowidOrder(path), (std::vector<std::string>{"Argon", "Helium-4"}));
}

TEST_F(SchemaTest, ADatabaseOfTheFirstSchemaIsListedLookedUpAndEdited) {
    const std::string path = makeVersion1Db("old.mdb", {{"Argon", {39.948, 150.86, 48.98}}, {"Odd", {1, -5}}});
    const auto rows = listComponents(path);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_TRUE(isNull(rows[0].CAS));
    EXPECT_EQ((*findComponentConstants(path, "Odd"))[0], -5.0);  // stored before the check existed
    const auto db = Database::OpenDatabase(path);
    auto rs = db->OpenRecordset(kEditorSource);
    rs->MoveFirst();
    rs->Edit();
    rs->SetField("Component", "Argon-40");
    rs->Update();
    rs->Delete();
    EXPECT_EQ(namesInRowidOrder(path), std::vector<std::string>{"Odd"});
}

}  // namespace
}  // namespace zolvant::db::test
