// The user's own copy of the component database: made at the first start-up
// opening from the seed, or from a database an earlier build kept beside
// the executable (announced once); never made over an existing copy; the
// seed never written; Restore keeps a backup.

#include <QFile>
#include <QFileInfo>
#include <QDir>
#include <QSettings>

#include <deque>

#include "db/settings.h"
#include "db/startup.h"
#include "db/tests/support.h"
#include "db/user_database.h"

namespace zolvant::db::test {
namespace {

class RecordingDialogs : public StartupDialogs {
public:
    void message(const std::string& text, const std::string& title) override {
        messages.push_back(title + ": " + text);
    }
    std::optional<std::string> openFileName(const std::string&) override {
        ++dialogs;
        return std::nullopt;
    }
    bool question(const std::string& text, const std::string& title) override {
        messages.push_back(title + "? " + text);
        return false;
    }
    std::optional<std::string> saveFileName(const std::string&, const std::string&) override { return std::nullopt; }
    std::vector<std::string> messages;
    int dialogs = 0;
};

// An install tree in the test's folder: prefix/bin (the program folder),
// prefix/share/zolvant/Components.mdb (the seed), and the user's data folder.
class UserCopyTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        ASSERT_TRUE(QDir().mkpath(QString::fromStdString(pathOf("prefix/bin"))));
        ASSERT_TRUE(QDir().mkpath(QString::fromStdString(pathOf("prefix/share/zolvant"))));
        seed_ = makeDb("prefix/share/zolvant/Components.mdb", {{"Methane", {16.043, 190.56}}, {"Water", {18.015, 647.14}}});
        QFile::setPermissions(QString::fromStdString(seed_), QFileDevice::ReadOwner | QFileDevice::ReadGroup);
        user_ = pathOf("data/zolvant/Components.mdb");
        setProgramFolderOverride(QString::fromStdString(pathOf("prefix/bin")));
        setDefaultDbPathOverride(QString::fromStdString(user_));
    }
    void TearDown() override {
        setProgramFolderOverride({});
        setDefaultDbPathOverride({});
        DbTest::TearDown();
    }
    std::string lastName(const StartupResult& r) const { return nameOf(*r.rstComps); }
    std::string seed_, user_;
};

TEST_F(UserCopyTest, TheFirstStartCopiesTheSeedSilentlyAndNeverWritesIt) {
    const std::string seedBytes = fileBytes(seed_);
    RecordingDialogs dialogs;
    const StartupResult r = openComponentDatabase(dialogs);
    ASSERT_TRUE(r.rstComps);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(dialogs.dialogs, 0);
    EXPECT_EQ(r.dbComps->path(), user_);
    EXPECT_EQ(fileBytes(user_), seedBytes);
    EXPECT_EQ(fileBytes(seed_), seedBytes);
    EXPECT_TRUE(QFileInfo(QString::fromStdString(user_)).isWritable());
    EXPECT_FALSE(hasDbPathSetting());  // nothing stored: the default is the copy
}

TEST_F(UserCopyTest, AnExistingCopyIsOpenedAsItIs) {
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(pathOf("data/zolvant"))));
    makeDb("data/zolvant/Components.mdb", {{"Edited", {1.0, 300.0}}});
    const std::string before = fileBytes(user_);
    RecordingDialogs dialogs;
    const StartupResult r = openComponentDatabase(dialogs);
    ASSERT_TRUE(r.rstComps);
    EXPECT_EQ(lastName(r), "Edited");
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(fileBytes(user_), before);
}

TEST_F(UserCopyTest, ADatabaseBesideTheExecutableIsCopiedInsteadOfTheSeedAndAnnouncedOnce) {
    const std::string earlier = makeDb("prefix/bin/Components.mdb", {{"Mine", {1.0, 300.0}}});
    const std::string earlierBytes = fileBytes(earlier);
    RecordingDialogs first;
    const StartupResult r = openComponentDatabase(first);
    ASSERT_TRUE(r.rstComps);
    EXPECT_EQ(lastName(r), "Mine");
    ASSERT_EQ(first.messages.size(), 1u);
    EXPECT_NE(first.messages[0].find(user_), std::string::npos) << first.messages[0];
    EXPECT_EQ(fileBytes(earlier), earlierBytes);  // left as it was

    RecordingDialogs second;
    const StartupResult again = openComponentDatabase(second);
    ASSERT_TRUE(again.rstComps);
    EXPECT_TRUE(second.messages.empty());
}

TEST_F(UserCopyTest, WithoutCopyAndSeedTheStartBehavesAsForAMissingFile) {
    ASSERT_TRUE(QFile::remove(QString::fromStdString(seed_)));
    RecordingDialogs dialogs;
    const StartupResult r = openComponentDatabase(dialogs);
    EXPECT_TRUE(r.abandoned);
    EXPECT_EQ(dialogs.messages,
              std::vector<std::string>{"Database Path ERROR: Component Database Not Found\n\rOpen 'Components.mdb' Database"});
    EXPECT_EQ(dialogs.dialogs, 1);
    EXPECT_FALSE(fileExists(user_));
}

TEST_F(UserCopyTest, ASettingIsOpenedAndNoCopyIsMade) {
    const std::string other = makeDb("Other.mdb", {{"Argon", {39.948, 150.86}}});
    writeDbPath(QString::fromStdString(other));
    RecordingDialogs dialogs;
    const StartupResult r = openComponentDatabase(dialogs);
    ASSERT_TRUE(r.rstComps);
    EXPECT_EQ(r.dbComps->path(), other);
    EXPECT_FALSE(fileExists(user_));
    settings().remove("Startup/DBPath");
}

TEST_F(UserCopyTest, RestoreKeepsTheCopyAsBackupAndBringsTheSeedBack) {
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(pathOf("data/zolvant"))));
    makeDb("data/zolvant/Components.mdb.bak", {{"Older backup", {}}});
    makeDb("data/zolvant/Components.mdb", {{"Edited", {1.0, 300.0}}});
    const std::string edited = fileBytes(user_);
    QString problem;
    ASSERT_TRUE(restoreUserDatabase(&problem)) << problem.toStdString();
    EXPECT_EQ(fileBytes(user_), fileBytes(seed_));
    EXPECT_EQ(fileBytes(user_ + ".bak"), edited);
    EXPECT_TRUE(QFileInfo(QString::fromStdString(user_)).isWritable());
    EXPECT_EQ(folderEntries(pathOf("data/zolvant")),
              (std::vector<std::string>{"Components.mdb", "Components.mdb.bak"}));  // no temporary left

    // Without a seed nothing changes.
    ASSERT_TRUE(QFile::remove(QString::fromStdString(seed_)));
    const std::string restored = fileBytes(user_);
    EXPECT_FALSE(restoreUserDatabase(&problem));
    EXPECT_NE(problem.toStdString().find("not found"), std::string::npos);
    EXPECT_EQ(fileBytes(user_), restored);
}

}  // namespace
}  // namespace zolvant::db::test
