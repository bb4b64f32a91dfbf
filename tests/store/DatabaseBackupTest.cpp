#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "common/Platform.h"
#include "common/UserError.h"
#include "db/EngineError.h"
#include "db/Transaction.h"
#include "store/DatabaseBackup.h"
#include "store/DivisionSettings.h"
#include "store/GroupStore.h"
#include "store/HandMoves.h"
#include "store/OpenDatabase.h"
#include "store/ProjectStore.h"
#include "store/SavedVersions.h"
#include "store/StepHistory.h"
#include "store/WriteTargets.h"
#include "support/DatabaseSnapshot.h"
#include "support/StudentRows.h"
#include "support/TempDatabase.h"

namespace qm::store {
namespace {

namespace fs = std::filesystem;
using platform::pathFromUtf8;
using platform::pathToUtf8;

// Runs statements on a file through SQLite alone, to make files the program did not make.
void runOn(const std::string& path, const std::string& sql) {
    sqlite3* file = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &file), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(file, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK)
        << sqlite3_errmsg(file);
    sqlite3_close(file);
}

// A file a backup was writing when it was killed: pages of the copy already in it, and the hot
// journal SQLite keeps beside it until the copy is whole. Made by copying both files of a write
// under way elsewhere, which is what a killed writer leaves, with no second process needed.
void leaveHalfWritten(const std::string& path) {
    runOn(path, "create table half(x); insert into half values(1)");
    const fs::path scratchFolder = pathFromUtf8(path).parent_path() / "half-written";
    fs::create_directories(scratchFolder);
    const std::string scratch = pathToUtf8(scratchFolder / "copy.db");
    fs::copy_file(pathFromUtf8(path), scratch);
    sqlite3* file = nullptr;
    ASSERT_EQ(sqlite3_open(scratch.c_str(), &file), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(file,
                           "PRAGMA cache_size=2; BEGIN; insert into half select randomblob(4000) "
                           "from (with recursive n(i) as (select 1 union all select i+1 from n "
                           "where i<200) select i from n);",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    fs::remove(pathFromUtf8(path));  // not replaced by copy_file: MinGW's refuses to overwrite
    fs::copy_file(pathFromUtf8(scratch), pathFromUtf8(path));
    fs::copy_file(pathFromUtf8(scratch + "-journal"), pathFromUtf8(path + "-journal"));
    sqlite3_exec(file, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(file);
    fs::remove_all(scratchFolder);
    ASSERT_TRUE(fs::exists(pathFromUtf8(path + "-journal"))) << path;
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(pathFromUtf8(path), std::ios::binary) << bytes;
}

// The live database holds one project with two students; backups go into a folder of their own.
class DatabaseBackupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto project = createProject(connection(), "2026级高一", 4);
        test::insertStudents(connection(), project.fbTable,
                             {{.student_id = 1, .student_name = "张三", .sex = "男"},
                              {.student_id = 2, .student_name = "李四", .sex = "女"}});
    }
    db::Connection& connection() { return database.connection(); }

    // "id:memo[names]" per project: what a restore must bring back.
    static std::string contents(db::Connection& from) {
        std::string text;
        for (const auto& project : listProjects(from)) {
            text += std::to_string(project.id) + ":" + project.memo + "[";
            for (const auto& row : from.query("select student_name from " + project.table_name +
                                              " order by student_id")) {
                text += row[0].toText() + ",";
            }
            text += "] ";
        }
        return text;
    }
    // The copies a restore keeps of the data it replaced.
    std::vector<fs::path> safetyCopies() const {
        std::vector<fs::path> found;
        for (const auto& entry : fs::directory_iterator(fs::path(database.path()).parent_path())) {
            if (entry.path().filename().string().find("-before-restore-") != std::string::npos) {
                found.push_back(entry.path());
            }
        }
        return found;
    }

    test::TempDatabase database;
    test::TempFolder backups;
};

TEST_F(DatabaseBackupTest, ABackupHoldsTheCommittedDataAndARestoreBringsThemBack) {
    const std::string original = contents(connection());
    const std::string backup = backups.file("备份 2026年9月.db");
    {
        // A change still in progress, as in a division that runs while the teacher backs up.
        db::Transaction pending(connection());
        createProject(connection(), "未完成", 2);
        backupDatabase(connection(), backup, false);
    }
    EXPECT_FALSE(fs::exists(backup + "-wal"));
    EXPECT_FALSE(fs::exists(backup + ".partial"));

    deleteProject(connection(), 1);
    createProject(connection(), "后来的项目", 3);
    const std::string replaced = contents(connection());

    const std::string safetyCopy = restoreDatabase(connection(), backup);
    EXPECT_EQ(contents(connection()), original);
    database.reopen();
    EXPECT_EQ(contents(connection()), original);
    {
        db::Connection kept(safetyCopy);
        EXPECT_EQ(contents(kept), replaced);
    }
    db::Connection copy(backup);
    EXPECT_EQ(contents(copy), original);
}

// The restore copies table by table: every table of the back-up comes back with every row, the
// teacher's groups, steps and versions and the settings among them, and the counter that keeps
// project ids from being given again; tables the back-up does not hold are gone.
TEST_F(DatabaseBackupTest, ARestoreBringsBackEveryTableAndRowOfTheBackup) {
    const auto project = openProject(connection(), 1);
    connection().exec("update " + project.fbTable + " set class_id=student_id,type=1");
    addGroups(connection(), project, {{GroupKind::Apart, {1, 2}, "双胞胎"}});
    moveStudent(connection(), project, 1, 3);
    saveVersion(connection(), project, "调整后");
    changeSettings(connection(), 1, [](DivisionSettings& settings) { settings.inter = 9; });
    deleteProject(connection(), createProject(connection(), "删掉的", 2).id());
    const std::string backup = backups.file("backup.db");
    backupDatabase(connection(), backup, false);

    createProject(connection(), "后来的项目", 3);
    undoStep(connection(), project);
    connection().exec("create table notes(x)");
    restoreDatabase(connection(), backup);

    std::string integrity;
    const auto restored = test::DatabaseSnapshot::take(database.path(), integrity);
    EXPECT_EQ(integrity, "ok");
    const auto expected = test::DatabaseSnapshot::take(backup, integrity);
    EXPECT_TRUE(restored == expected) << restored.differencesFrom(expected);
    EXPECT_EQ(createProject(connection(), "新项目", 2).id(), 3)
        << "the id of the project deleted before the back-up is not given again";
}

TEST_F(DatabaseBackupTest, RefusesFilesThatAreNoSoundQuillmereDatabaseAndChangesNothing) {
    const std::string good = backups.file("good.db");
    backupDatabase(connection(), good, false);
    const std::string original = contents(connection());
    struct Case {
        std::string name;
        std::function<void(const std::string& path)> make;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"missing.db", [](const std::string&) {}, "找不到"},
        {"text.db", [](const std::string& p) { writeFile(p, "学号,姓名\n1,张三\n"); },
         "不是 SQLite 数据库"},
        {"empty.db", [](const std::string& p) { writeFile(p, ""); }, "没有表 fb_info"},
        {"other-program.db", [](const std::string& p) { runOn(p, "create table notes(x)"); },
         "没有表 fb_info"},
        {"no-twin.db",
         [&](const std::string& p) {
             fs::copy_file(good, p);
             runOn(p, "drop table rb_fb_1");
         },
         "没有表 rb_fb_1"},
        {"settings-without-wtnum.db",
         [&](const std::string& p) {
             fs::copy_file(good, p);
             runOn(p, "alter table config drop column wtNum");
         },
         "表 config 缺少列 wtNum"},
        {"damaged.db",
         [&](const std::string& p) {
             fs::copy_file(good, p);
             std::fstream file(p, std::ios::binary | std::ios::in | std::ios::out);
             file.seekp(4096);
             file << std::string(fs::file_size(p) - 4096, '\xff');
         },
         "已损坏"},
    };
    for (const auto& c : cases) {
        const std::string path = backups.file(c.name);
        c.make(path);
        try {
            restoreDatabase(connection(), path);
            ADD_FAILURE() << c.name << " was restored";
        } catch (const UserError& error) {
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos)
                << c.name << ": " << error.what();
        }
    }
    EXPECT_THROW(restoreDatabase(connection(), database.path()), UserError);
    EXPECT_EQ(contents(connection()), original);
    EXPECT_TRUE(safetyCopies().empty());
}

// Another program writing the database (a division in the desktop program) holds its lock for
// longer than the engine waits: the restore says so and changes nothing, and keeps no copy.
TEST_F(DatabaseBackupTest, ARestoreWhileAnotherProgramWritesIsRefusedAndChangesNothing) {
    const std::string backup = backups.file("backup.db");
    backupDatabase(connection(), backup, false);
    createProject(connection(), "后来的项目", 3);
    const std::string before = contents(connection());
    {
        db::Connection other(database.path());
        db::Transaction writing(other);
        other.exec("update fb_info set memo='改了' where id=2");
        try {
            restoreDatabase(connection(), backup);
            ADD_FAILURE() << "restored while another program was writing";
        } catch (const std::exception& error) {
            EXPECT_NE(std::string(error.what()).find(db::kDatabaseBusyMessage), std::string::npos)
                << error.what();
        }
    }
    EXPECT_EQ(contents(connection()), before);
    EXPECT_TRUE(safetyCopies().empty());
}

TEST_F(DatabaseBackupTest, RestoresABackupWhosePagesHaveAnotherSize) {
    const std::string backup = backups.file("small-pages.db");
    backupDatabase(connection(), backup, false);
    runOn(backup, "PRAGMA page_size=1024; VACUUM;");
    const std::string original = contents(connection());
    deleteProject(connection(), 1);

    EXPECT_EQ(restoreDatabase(connection(), backup), "") << "no project to keep";
    EXPECT_EQ(contents(connection()), original);
    EXPECT_EQ(connection().query("PRAGMA page_size")[0][0].toInt(), 4096);
    EXPECT_EQ(connection().query("PRAGMA integrity_check")[0][0].toText(), "ok");
}

TEST_F(DatabaseBackupTest, BackupRefusesTheDatabaseItselfAndMissingFoldersAndReplacesWhole) {
    for (const std::string& target :
         {database.path(), database.path() + "-wal", backups.file("无此文件夹/b.db")}) {
        EXPECT_THROW(backupDatabase(connection(), target, true), UserError) << target;
    }
    EXPECT_EQ(connection().query("PRAGMA integrity_check")[0][0].toText(), "ok");

    const std::string old = backups.file("old.db");
    writeFile(old, "an old file in the way");
    EXPECT_THROW(backupDatabase(connection(), old, false), ExistingFileRefused);
    backupDatabase(connection(), old, true);
    db::Connection copy(old);
    EXPECT_EQ(contents(copy), contents(connection()));
}

// What a killed backup or restore leaves beside the database goes when the database is next
// opened; what is not such a file, or is being written by a backup now, stays.
TEST_F(DatabaseBackupTest, LeftoversOfKilledBackupsGoWhenTheDatabaseIsOpened) {
    const fs::path folder = fs::path(database.path()).parent_path();
    const auto at = [&](const std::string& name) { return pathToUtf8(folder / pathFromUtf8(name)); };
    leaveHalfWritten(at("备份.db.partial"));
    leaveHalfWritten(at("fb.db.restore-partial"));
    writeFile(at("fb-before-restore-20260901-083000.db.partial"), "");
    writeFile(at("孤儿.db.partial-journal"), "journal");
    writeFile(at("下载中的电影.partial"), "not a database of ours");
    runOn(at("正在写.db.partial"), "create table half(x)");
    runOn(at("完整的备份.db"), "create table whole(x)");
    sqlite3* writer = nullptr;  // a backup under way in another program holds its lock
    ASSERT_EQ(sqlite3_open(at("正在写.db.partial").c_str(), &writer), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(writer, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);

    openDatabase(database.path());

    sqlite3_exec(writer, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(writer);
    for (const std::string gone :
         {"备份.db.partial", "备份.db.partial-journal", "fb.db.restore-partial",
          "fb.db.restore-partial-journal", "fb-before-restore-20260901-083000.db.partial",
          "孤儿.db.partial-journal"}) {
        EXPECT_FALSE(fs::exists(pathFromUtf8(at(gone)))) << gone;
    }
    for (const std::string kept :
         {"下载中的电影.partial", "正在写.db.partial", "完整的备份.db", "fb.db", "fb.db-wal"}) {
        EXPECT_TRUE(fs::exists(pathFromUtf8(at(kept)))) << kept;
    }
    EXPECT_EQ(contents(connection()).substr(0, 9), "1:2026级");
}

}  // namespace
}  // namespace qm::store
