// The recordset operations the main window and the editor rely on.

#include "db/tests/support.h"

namespace zolvant::db::test {
namespace {

class RecordsetTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        path_ = makeDb("Components.mdb", {{"Water", {18.015, 647.14, 220.64, 55.95, 0.344, -0.06635, 0.0199, 0.443}},
                                          {"Methane", {16.043, 190.56, 45.99, 98.6, 0.011}},
                                          {"Nitrogen", {28.014, 126.2, 33.98, 90.1, 0.037}},
                                          {"n-Butane", {58.123, 425.12, 37.96, 255, 0.2, 0.03443, 0.6767, 0.461}}});
        db_ = Database::OpenDatabase(path_);
        rs_ = db_->OpenRecordset(kEditorSource);
    }
    std::vector<std::string> listAll(Recordset& rs) {
        std::vector<std::string> names;
        if (rs.RecordCount() == 0) return names;
        for (rs.MoveFirst(); !rs.EOF_(); rs.MoveNext()) names.push_back(nameOf(rs));
        return names;
    }
    std::string path_;
    std::unique_ptr<Database> db_;
    std::unique_ptr<Recordset> rs_;
};

TEST_F(RecordsetTest, NavigationStopsAtBofAndEof) {
    Recordset& rs = *rs_;
    EXPECT_EQ(nameOf(rs), "Methane");  // opened on the first record
    EXPECT_EQ(rs.RecordCount(), 4);
    EXPECT_EQ(rs.AbsolutePosition(), 0);
    rs.MoveLast();
    EXPECT_EQ(nameOf(rs), "Water");
    EXPECT_EQ(rs.AbsolutePosition(), 3);
    rs.MoveNext();
    EXPECT_TRUE(rs.EOF_());
    EXPECT_FALSE(rs.BOF());
    EXPECT_EQ(rs.AbsolutePosition(), -1);
    EXPECT_EQ(thrownBy([&] { rs.Fields("Component"); }).number, kNoCurrentRecord);
    EXPECT_EQ(thrownBy([&] { rs.MoveNext(); }).number, kNoCurrentRecord);
    rs.MovePrevious();
    EXPECT_EQ(nameOf(rs), "Water");
    rs.MoveFirst();
    rs.MovePrevious();
    EXPECT_TRUE(rs.BOF());
    EXPECT_FALSE(rs.EOF_());
    EXPECT_EQ(thrownBy([&] { rs.MovePrevious(); }).number, kNoCurrentRecord);
    rs.MoveNext();
    EXPECT_EQ(nameOf(rs), "Methane");
    rs.Move(2);  // the main window's selection: first record, then forward by the list index
    EXPECT_EQ(nameOf(rs), "Nitrogen");
    EXPECT_EQ(rs.AbsolutePosition(), 2);
    rs.Move(5);
    EXPECT_TRUE(rs.EOF_());
}

TEST_F(RecordsetTest, AnEmptySetHasBothFlagsAndNoCurrentRecord) {
    execSql(path_, "DELETE FROM tblComps");
    Recordset& rs = *rs_;
    rs.Requery();
    EXPECT_TRUE(rs.BOF());
    EXPECT_TRUE(rs.EOF_());
    EXPECT_EQ(rs.RecordCount(), 0);
    EXPECT_EQ(rs.AbsolutePosition(), -1);
    for (const auto& op : std::vector<std::function<void()>>{[&] { rs.MoveFirst(); }, [&] { rs.MoveLast(); },
                                                             [&] { rs.MoveNext(); }, [&] { rs.Fields("Component"); },
                                                             [&] { rs.Edit(); }, [&] { rs.Delete(); },
                                                             [&] { rs.GetBookmark(); }}) {
        const Thrown t = thrownBy(op);
        EXPECT_EQ(t.number, kNoCurrentRecord);
        EXPECT_EQ(t.description, "No current record.");
    }
}

TEST_F(RecordsetTest, BookmarkReturnsToTheSameRecord) {
    Recordset& rs = *rs_;
    rs.MoveFirst();
    rs.MoveNext();
    const Bookmark mark = rs.GetBookmark();
    rs.MoveLast();
    rs.SetBookmark(mark);
    EXPECT_EQ(nameOf(rs), "n-Butane");
    EXPECT_EQ(rs.AbsolutePosition(), 1);
    rs.Delete();
    EXPECT_EQ(thrownBy([&] { rs.SetBookmark(mark); }).number, kInvalidBookmark);
}

TEST_F(RecordsetTest, AddedRecordStaysAtTheEndUntilRequery) {
    Recordset& rs = *rs_;
    rs.MoveFirst();
    rs.AddNew();
    rs.SetField("Component", "Argon");
    rs.SetField("CritTemp", "150.86");
    rs.Update();
    EXPECT_EQ(nameOf(rs), "Methane");  // the record current before AddNew stays current
    EXPECT_EQ(rs.RecordCount(), 5);
    rs.MoveLast();
    EXPECT_EQ(nameOf(rs), "Argon");
    EXPECT_EQ(rs.AbsolutePosition(), 4);
    EXPECT_EQ(std::get<double>(rs.Fields("CritTemp")), 150.86);
    for (const char* untouched : {"MolWt", "CritPress", "CritVol", "AcentricF", "K1", "K2", "K3"})
        EXPECT_TRUE(isNull(rs.Fields(untouched))) << untouched;
    rs.Requery();
    EXPECT_EQ(listAll(rs), (std::vector<std::string>{"Argon", "Methane", "n-Butane", "Nitrogen", "Water"}));
    const auto reopened = db_->OpenRecordset(kEditorSource);
    EXPECT_EQ(nameOf(*reopened), "Argon");
}

TEST_F(RecordsetTest, EditChangesOnlyTheFieldsWritten) {
    Recordset& rs = *rs_;
    rs.MoveLast();  // Water
    rs.Edit();
    rs.SetField("CritTemp", " 647.1 ");  // the engine converts the text
    rs.SetField("K1", "-6.635E-2");
    rs.SetFieldNull("K3");
    rs.Update();
    EXPECT_EQ(nameOf(rs), "Water");
    EXPECT_EQ(std::get<double>(rs.Fields("CritTemp")), 647.1);
    EXPECT_EQ(std::get<double>(rs.Fields("K1")), -0.06635);
    EXPECT_TRUE(isNull(rs.Fields("K3")));
    EXPECT_EQ(std::get<double>(rs.Fields("K2")), 0.0199);
    EXPECT_EQ(std::get<double>(rs.Fields("MolWt")), 18.015);
    EXPECT_EQ(thrownBy([&] { rs.Update(); }).number, kUpdateWithoutAddNew);
    EXPECT_EQ(thrownBy([&] { rs.SetField("K1", "1"); }).number, kUpdateWithoutAddNew);
}

TEST_F(RecordsetTest, CancelUpdateDiscardsTheBuffer) {
    Recordset& rs = *rs_;
    const std::string before = fileBytes(path_);
    rs.MoveFirst();
    rs.AddNew();
    rs.SetField("Component", "Argon");
    rs.CancelUpdate();
    rs.Edit();
    rs.SetField("CritTemp", "1");
    rs.CancelUpdate();
    EXPECT_EQ(rs.RecordCount(), 4);
    EXPECT_EQ(std::get<double>(rs.Fields("CritTemp")), 190.56);
    EXPECT_EQ(fileBytes(path_), before);
    EXPECT_EQ(thrownBy([&] { rs.CancelUpdate(); }).number, kUpdateWithoutAddNew);
}

TEST_F(RecordsetTest, DeleteLeavesNoCurrentRecordUntilTheNextMove) {
    Recordset& rs = *rs_;
    rs.MoveFirst();
    rs.MoveNext();  // n-Butane
    rs.Delete();
    EXPECT_EQ(rs.AbsolutePosition(), -1);
    EXPECT_FALSE(rs.BOF());
    EXPECT_FALSE(rs.EOF_());
    EXPECT_EQ(thrownBy([&] { rs.Fields("Component"); }).number, kNoCurrentRecord);
    EXPECT_EQ(rs.RecordCount(), 3);
    rs.MoveNext();
    EXPECT_EQ(nameOf(rs), "Nitrogen");  // the record that followed the deleted one
    EXPECT_EQ(namesInRowidOrder(path_), (std::vector<std::string>{"Water", "Methane", "Nitrogen"}));

    // The editor's delete of the last record: next reaches EOF, then last.
    rs.MoveLast();
    rs.Delete();
    rs.MoveNext();
    EXPECT_TRUE(rs.EOF_());
    rs.MoveLast();
    EXPECT_EQ(nameOf(rs), "Nitrogen");

    // Deleting the only remaining record leaves an empty set.
    rs.Delete();
    rs.MoveFirst();
    rs.Delete();
    rs.MoveNext();
    EXPECT_TRUE(rs.BOF() && rs.EOF_());
    EXPECT_EQ(thrownBy([&] { rs.MoveLast(); }).number, kNoCurrentRecord);
    EXPECT_TRUE(namesInRowidOrder(path_).empty());
}

TEST_F(RecordsetTest, ARefusedUpdateChangesNothingAndKeepsTheBuffer) {
    struct Case {
        const char* what;
        bool add;
        const char* field;
        const char* bad;
        const char* says;
    };
    const Case cases[] = {
        {"letters in a number, new record", true, "CritTemp", "abc", "'abc' is not a number"},
        {"number with a tail, edited record", false, "CritPress", "12x", "field CritPress takes numbers only"},
        {"empty name, new record", true, "Component", "", "must have a name"},
        {"empty name, edited record", false, "Component", "", "must have a name"},
        {"too large to store", false, "K1", "1e400", "too large"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string before = fileBytes(path_);
        Recordset& rs = *rs_;
        rs.MoveFirst();
        const std::string firstName = nameOf(rs);
        if (c.add) {
            rs.AddNew();
            rs.SetField("Component", "Argon");
        } else {
            rs.Edit();
        }
        rs.SetField("AcentricF", "-0.002");
        rs.SetField(c.field, c.bad);
        const Thrown t = thrownBy([&] { rs.Update(); });
        EXPECT_EQ(t.number, kRefused);
        EXPECT_NE(t.description.find(c.says), std::string::npos) << t.description;
        EXPECT_EQ(fileBytes(path_), before);
        EXPECT_EQ(rs.RecordCount(), 4);

        // The buffer is intact: mend the one field and store.
        rs.SetField(c.field, std::string(c.field) == "Component" ? "Argon" : "1.5");
        rs.Update();
        if (c.add) rs.MoveLast();
        EXPECT_EQ(std::get<double>(rs.Fields("AcentricF")), -0.002);
        EXPECT_EQ(nameOf(rs), c.add || std::string(c.field) == "Component" ? "Argon" : firstName);
        if (c.add) rs.Delete();  // back to the four records
        rs.Requery();
    }
    const Thrown nameless = thrownBy([&] {
        rs_->AddNew();
        rs_->Update();
    });
    EXPECT_EQ(nameless.number, kRefused);
    EXPECT_NE(nameless.description.find("must have a name"), std::string::npos);
}

TEST_F(RecordsetTest, TwoConnectionsSeeEachOthersStoredChangesAfterRequery) {
    // The main window's recordset, positioned as after the start-up, stays open
    // throughout; the editor's connection must still be able to write.
    const auto main = db_->OpenRecordset("qryCritCos");
    main->MoveLast();
    EXPECT_EQ(nameOf(*main), "Water");

    const auto editorDb = Database::OpenDatabase(path_);
    const auto editor = editorDb->OpenRecordset(kEditorSource);
    editor->AddNew();
    editor->SetField("Component", "Argon");
    editor->SetField("CritTemp", "150.86");
    editor->Update();
    EXPECT_EQ(listAll(*main), (std::vector<std::string>{"Methane", "n-Butane", "Nitrogen", "Water"}));
    main->Requery();
    EXPECT_EQ(listAll(*main), (std::vector<std::string>{"Argon", "Methane", "n-Butane", "Nitrogen", "Water"}));

    // A record deleted through the editor: reading it through the stale main
    // recordset fails readably; after Requery it is gone.
    main->MoveLast();
    editor->MoveLast();
    EXPECT_EQ(nameOf(*editor), "Argon");  // added records stay at the end
    editor->MovePrevious();
    EXPECT_EQ(nameOf(*editor), "Water");
    editor->Delete();
    const Thrown stale = thrownBy([&] { main->Fields("Component"); });
    EXPECT_EQ(stale.number, kRecordDeleted);
    EXPECT_NE(stale.description.find("deleted"), std::string::npos);
    main->Requery();
    EXPECT_EQ(listAll(*main), (std::vector<std::string>{"Argon", "Methane", "n-Butane", "Nitrogen"}));

    // And the other way round: a change stored through the main connection.
    main->MoveFirst();
    main->Edit();
    main->SetField("CritTemp", "150.7");
    main->Update();
    editor->Requery();
    EXPECT_EQ(nameOf(*editor), "Argon");
    EXPECT_EQ(std::get<double>(editor->Fields("CritTemp")), 150.7);
}

TEST_F(RecordsetTest, TypedSourcesOverTheTableCanBeChanged) {
    struct Case {
        RecordSource source;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {{"tblComps", {"Component", "CritTemp"}, {"Component"}}, {"Methane", "n-Butane", "Nitrogen", "Water"}},
        {{"TBLCOMPS", {}, {"crittemp"}}, {"Nitrogen", "Methane", "n-Butane", "Water"}},
        {{"tblComps", {"Component", "CritTemp"}, {}}, {"Water", "Methane", "Nitrogen", "n-Butane"}},
        {{"qryCritCos", {"CritTemp", "Component"}, {"CritTemp"}}, {"Nitrogen", "Methane", "n-Butane", "Water"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source.object);
        const auto rs = db_->OpenRecordset(c.source);
        EXPECT_EQ(listAll(*rs), c.names);
        rs->MoveFirst();
        rs->Edit();
        rs->SetField("CritTemp", std::to_string(std::get<double>(rs->Fields("CritTemp"))));
        rs->Update();
    }
}

TEST_F(RecordsetTest, SourcesThatDoNotIdentifyTheirRecordsAreReadOnly) {
    const auto byTable = db_->OpenRecordset("tblComps");
    EXPECT_EQ(nameOf(*byTable), "Water");  // stored order
    byTable->Edit();
    byTable->SetField("MolWt", "18.0");
    byTable->Update();
    EXPECT_EQ(std::get<double>(byTable->Fields("MolWt")), 18.0);

    execSql(path_, "CREATE VIEW qryOmega AS SELECT DISTINCT AcentricF IS NULL AS NoOmega FROM tblComps");
    const auto distinct = db_->OpenRecordset("qryOmega");
    EXPECT_EQ(distinct->RecordCount(), 1);
    EXPECT_EQ(thrownBy([&] { distinct->AddNew(); }).number, kReadOnly);

    // A source is a name, never a statement; fields and order are names too.
    EXPECT_EQ(thrownBy([&] { db_->OpenRecordset("tblComps; DELETE FROM tblComps"); }).number, kMissingObject);
    EXPECT_EQ(thrownBy([&] { db_->OpenRecordset(RecordSource{"tblComps", {"Component"}, {"1; DELETE FROM tblComps"}}); })
                  .number,
              kUnknownField);
    EXPECT_EQ(thrownBy([&] { db_->OpenRecordset(RecordSource{"tblComps", {"rowid"}, {}}); }).number, kUnknownField);
    EXPECT_EQ(namesInRowidOrder(path_).size(), 4u);
}

// A component box reads its whole list under one read lock: the names come
// from one state of the file, and once the batch ends the lock is gone, so
// that the editor's connection stores at once.
TEST_F(RecordsetTest, AReadBatchSeesOneStateAndReleasesTheFileAfterwards) {
    const auto main = db_->OpenRecordset(kCritCosSource);
    const auto editorDb = Database::OpenDatabase(path_);
    const auto editor = editorDb->OpenRecordset(kEditorSource);
    {
        const ReadBatch reading(*main);
        main->Requery();
        main->MoveFirst();
        EXPECT_EQ(nameOf(*main), "Methane");
        editor->Edit();
        editor->SetField("Component", "Argon");  // Methane, the editor's first record
        EXPECT_EQ(thrownBy([&] { editor->Update(); }).number, kBusy);  // the batch holds the read lock
        EXPECT_EQ(listAll(*main), (std::vector<std::string>{"Methane", "n-Butane", "Nitrogen", "Water"}));
    }
    editor->Update();  // the buffer was kept: stored now, without waiting
    main->Requery();
    EXPECT_EQ(listAll(*main), (std::vector<std::string>{"Argon", "n-Butane", "Nitrogen", "Water"}));
}

TEST_F(RecordsetTest, ClosingTheDatabaseLeavesRecordsetsFailingCleanly) {
    rs_->Close();
    EXPECT_EQ(thrownBy([&] { rs_->MoveFirst(); }).number, kEngine);
    const auto other = db_->OpenRecordset("qryCritCos");
    db_->Close();
    const Thrown t = thrownBy([&] { other->Fields("Component"); });
    EXPECT_EQ(t.number, kEngine);
    EXPECT_NE(t.description.find("closed"), std::string::npos);
}

}  // namespace
}  // namespace zolvant::db::test
