#include "store/WriteTargets.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/TempDatabase.h"

namespace qm::store {
namespace {

namespace fs = std::filesystem;

// The database lives in a folder of its own and is reached through a link, as a teacher's
// --db may name it; its write-ahead log and shared memory are there while it is open.
class WriteTargetsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directory(folder.path() / "data");
        try {
            fs::create_directory_symlink(folder.path() / "data", folder.path() / "linked-folder");
        } catch (const fs::filesystem_error& error) {
            // Windows gives symbolic links to administrators and developers only (Wine: none).
            GTEST_SKIP() << "no symbolic links can be made here: " << error.what();
        }
        connection = std::make_unique<db::Connection>(realDatabase());
        connection->exec("create table t(x); insert into t values(1)");
        fs::create_symlink(realDatabase(), linkedDatabase());
        std::ofstream(folder.file("other.xlsx")) << "not ours";
    }
    std::string realDatabase() const { return folder.file("data/real.db"); }
    std::string linkedDatabase() const { return folder.file("fb.db"); }

    test::TempFolder folder;
    std::unique_ptr<db::Connection> connection;
};

TEST_F(WriteTargetsTest, EveryNameOfTheDatabaseAndItsCompanionsIsRefused) {
    fs::create_hard_link(realDatabase(), folder.file("hard-link.db"));
    fs::create_symlink(realDatabase() + "-wal", folder.file("wal-link"));
    fs::create_symlink(realDatabase() + "-journal", folder.file("journal-link"));
    const fs::path here = fs::current_path();
    fs::current_path(folder.path());
    // The database as the command was given it (a link) and as it is.
    for (const std::string& database : {linkedDatabase(), realDatabase()}) {
        for (const std::string& target :
             {linkedDatabase(), realDatabase(), std::string("./fb.db"), std::string("data/../fb.db"),
              folder.file("linked-folder/real.db"), realDatabase() + "-wal",
              realDatabase() + "-shm", realDatabase() + "-journal",
              folder.file("linked-folder/real.db-wal"), folder.file("hard-link.db"),
              folder.file("wal-link"), folder.file("journal-link")}) {
            EXPECT_TRUE(databasePartAt(database, target)) << database << " <- " << target;
        }
        for (const std::string& target :
             {folder.file("other.xlsx"), folder.file("fb.db.xlsx"), folder.file("data/real.db2"),
              folder.file("new.xlsx"), folder.file("data/real-wal")}) {
            EXPECT_FALSE(databasePartAt(database, target)) << database << " <- " << target;
        }
    }
    fs::current_path(here);
    EXPECT_FALSE(databasePartAt("", realDatabase())) << "no database in use protects nothing";
}

TEST_F(WriteTargetsTest, TheRefusalSaysWhichFileAndWhy) {
    try {
        refuseDatabaseFile(linkedDatabase(), realDatabase() + "-wal");
        ADD_FAILURE() << "the write-ahead log was not refused";
    } catch (const UserError& error) {
        const std::string message = error.what();
        EXPECT_NE(message.find("附属文件 " + realDatabase() + "-wal"), std::string::npos)
            << message;
        EXPECT_NE(message.find("毁掉全部分班数据"), std::string::npos) << message;
    }
    EXPECT_NO_THROW(refuseDatabaseFile(linkedDatabase(), folder.file("other.xlsx")));
}

}  // namespace
}  // namespace qm::store
