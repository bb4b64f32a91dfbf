#include "store/DatabaseBackup.h"

#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include "common/InterleavingPause.h"
#include "common/Platform.h"
#include "common/UserError.h"
#include "db/Connection.h"
#include "db/DbError.h"
#include "db/EngineError.h"
#include "db/Statement.h"
#include "db/Transaction.h"
#include "store/DatabaseFileCheck.h"
#include "store/PartialFiles.h"
#include "store/Schema.h"
#include "store/WriteTargets.h"

namespace fs = std::filesystem;

namespace qm::store {

namespace {

using platform::pathFromUtf8;
using platform::pathToUtf8;

struct FileCloser {
    void operator()(sqlite3* file) const { sqlite3_close_v2(file); }
};
using DatabaseFile = std::unique_ptr<sqlite3, FileCloser>;

// The partial file of a backup, removed with its journal when the work is over, whether it ended
// well or not; a file that was renamed into place is no longer there to remove.
struct PartialFile {
    fs::path path;
    ~PartialFile() { removePartialFile(path); }
};

// Opens a database file through SQLite alone, without the settings of the program's connection:
// looking at a backup file must not change it.
DatabaseFile openFile(const fs::path& path, int flags) {
    sqlite3* handle = nullptr;
    const int rc = sqlite3_open_v2(pathToUtf8(path).c_str(), &handle, flags, nullptr);
    DatabaseFile file(handle);
    if (rc != SQLITE_OK) {
        throw UserError("无法打开文件 " + pathToUtf8(path) + ": " +
                        db::engineError(handle, rc).what());
    }
    sqlite3_busy_timeout(handle, 5000);
    return file;
}

void run(sqlite3* file, const char* sql) {
    if (const int rc = sqlite3_exec(file, sql, nullptr, nullptr, nullptr); rc != SQLITE_OK) {
        throw db::engineError(file, rc);
    }
}

// Copies every page of the database `from` into the new file `to` in one step.
void copyPages(sqlite3* from, sqlite3* to) {
    sqlite3_backup* backup = sqlite3_backup_init(to, "main", from, "main");
    if (backup == nullptr) {
        throw db::engineError(to, sqlite3_extended_errcode(to));
    }
    const int stepped = sqlite3_backup_step(backup, -1);
    const int finished = sqlite3_backup_finish(backup);
    if (stepped == SQLITE_DONE && finished == SQLITE_OK) {
        return;
    }
    const int failed = stepped != SQLITE_DONE ? stepped : finished;
    const int code = failed & 0xff;
    if (code == SQLITE_BUSY || code == SQLITE_LOCKED) {
        throw UserError("数据库正在被另一个操作使用 (例如正在分班), 请等它结束后再试");
    }
    throw db::engineError(to, failed);
}

fs::path withSuffix(fs::path path, const std::string& suffix) {
    path += suffix;
    return path;
}

// A free name beside the database for the data a restore replaces, such as
// fb-before-restore-20260901-083000.db.
fs::path safetyCopyPath(db::Connection& connection, const fs::path& database) {
    const std::string stamp =
        connection.query("select strftime('%Y%m%d-%H%M%S','now','localtime')")[0][0].toText();
    const fs::path stem = database.parent_path() / database.stem();
    for (int attempt = 1;; ++attempt) {
        const std::string count = attempt > 1 ? "-" + std::to_string(attempt) : "";
        const fs::path candidate = withSuffix(stem, "-before-restore-" + stamp + count + ".db");
        if (!fs::exists(candidate)) {
            return candidate;
        }
    }
}

std::string quoted(const std::string& name) {
    std::string text = "\"";
    for (char c : name) {
        text += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return text + "\"";
}

std::vector<std::string> namesOf(db::Connection& connection, const std::string& type) {
    auto select = connection.prepare(
        "select name from sqlite_master where type=? and name not like 'sqlite\\_%' escape '\\'");
    select.bind(1, type);
    std::vector<std::string> names;
    for (const auto row : select.query()) {
        names.push_back(row[0].toText());
    }
    return names;
}

using PreparedStatement = std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)>;

PreparedStatement prepared(sqlite3* file, const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    const int rc = sqlite3_prepare_v2(file, sql.c_str(), -1, &statement, nullptr);
    PreparedStatement owned(statement, sqlite3_finalize);
    if (rc != SQLITE_OK) {
        throw db::engineError(file, rc);
    }
    return owned;
}

// Copies the rows of one table of the backup into the table of that name, in the order they are
// stored, so that a reading without an order finds them as it found them in the backup. Values
// go over as they are, of whatever kind.
void copyRows(sqlite3* backup, db::Connection& connection, const std::string& table) {
    const std::string all = "select * from " + quoted(table);
    const bool hasRowids =
        sqlite3_exec(backup, (all + " order by rowid limit 0").c_str(), nullptr, nullptr,
                     nullptr) == SQLITE_OK;
    const PreparedStatement read = prepared(backup, all + (hasRowids ? " order by rowid" : ""));
    const int columns = sqlite3_column_count(read.get());
    std::string places;
    for (int c = 0; c < columns; ++c) {
        places += c == 0 ? "?" : ",?";
    }
    const PreparedStatement write =
        prepared(connection.handle(), "insert into " + quoted(table) + " values(" + places + ")");
    int stepped = SQLITE_ROW;
    while ((stepped = sqlite3_step(read.get())) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            sqlite3_bind_value(write.get(), c + 1, sqlite3_column_value(read.get(), c));
        }
        const int written = sqlite3_step(write.get());
        sqlite3_reset(write.get());
        if (written != SQLITE_DONE) {
            throw db::engineError(connection.handle(), written);
        }
    }
    if (stepped != SQLITE_DONE) {
        throw db::engineError(backup, stepped);
    }
}

// Replaces every table of the database by those of the backup, row for row, within the caller's
// transaction: its tables go, the backup's tables come with their rows, then their indexes,
// triggers and views, and the counters that keep project ids from being given again.
void replaceContents(db::Connection& connection, sqlite3* backup) {
    for (const std::string& view : namesOf(connection, "view")) {
        connection.exec("drop view " + quoted(view));
    }
    for (const std::string& table : namesOf(connection, "table")) {
        connection.exec("drop table " + quoted(table));  // its indexes and triggers go with it
    }
    db::Statement schema(backup,
                         "select type,name,sql from sqlite_master where sql is not null and name "
                         "not like 'sqlite\\_%' escape '\\' order by type<>'table',type='view'");
    for (const auto row : schema.query()) {
        connection.prepare(row["sql"].toText()).execute();
        if (row["type"].toText() == "table") {
            copyRows(backup, connection, row["name"].toText());
        }
    }
    if (connection.tableExists("sqlite_sequence")) {
        connection.exec("delete from sqlite_sequence");
    }
    const bool counted =
        !db::Statement(backup, "select 1 from sqlite_master where name='sqlite_sequence'")
             .query()
             .empty();
    if (counted) {
        auto insert = connection.prepare("insert into sqlite_sequence(name,seq) values(?,?)");
        for (const auto row : db::Statement(backup, "select name,seq from sqlite_sequence").query()) {
            insert.bind(1, row["name"]).bind(2, row["seq"]);
            insert.execute();
        }
    }
}

}  // namespace

void backupDatabase(db::Connection& connection, const std::string& targetPath,
                    bool replaceExisting) {
    const fs::path database = fs::absolute(pathFromUtf8(connection.path()));
    const fs::path target = fs::absolute(pathFromUtf8(targetPath));
    const fs::path partial = partialFileOf(target);
    const auto refuseDatabaseFiles = [&] {
        refuseDatabaseFile(connection.path(), targetPath);
        refuseDatabaseFile(connection.path(), pathToUtf8(partial));
    };
    refuseDatabaseFiles();
    refuseUnwritablePlace(targetPath);
    if (!replaceExisting && somethingAt(targetPath)) {
        throw ExistingFileRefused("文件已存在: " + targetPath);
    }
    const PartialFile written{partial};
    try {
        {
            const DatabaseFile source = openFile(database, SQLITE_OPEN_READONLY);
            removePartialFile(partial);  // left by a backup that was interrupted
            const DatabaseFile copy = openFile(partial, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
            copyPages(source.get(), copy.get());
            // The copy stands alone in one file, without a write-ahead log beside it.
            run(copy.get(), "PRAGMA journal_mode=DELETE");
        }
        // The target may have become a link to the database while the copy was written.
        refuseDatabaseFiles();
        fs::rename(partial, target);
    } catch (const fs::filesystem_error& error) {
        throw UserError("无法写入 " + targetPath + ": " + error.code().message());
    }
}

std::string restoreDatabase(db::Connection& connection, const std::string& sourcePath) {
    const fs::path database = fs::absolute(pathFromUtf8(connection.path()));
    const fs::path source = fs::absolute(pathFromUtf8(sourcePath));
    std::error_code error;
    if (!fs::is_regular_file(source, error)) {
        throw UserError("找不到要恢复的备份文件: " + sourcePath);
    }
    if (databasePartAt(connection.path(), sourcePath)) {
        throw UserError("这是正在使用的数据库文件本身, 不能用来恢复: " + sourcePath);
    }
    if (connection.inTransaction()) {
        throw UserError("数据库正在进行其他操作, 请等它结束后再恢复");
    }
    const DatabaseFile backup = openFile(source, SQLITE_OPEN_READONLY);
    checkQuillmereDatabase(backup.get(), sourcePath);

    // From here on the database is held for writing: the copy of the data the restore replaces
    // is made of the last data any program committed, and nothing can change between that copy
    // and the replacement.
    db::Transaction transaction(connection);
    const bool holdsProjects = !connection.query("select 1 from fb_info limit 1").empty();
    pauseAfterReading();
    std::string safetyCopy;
    try {
        if (holdsProjects) {
            safetyCopy = pathToUtf8(safetyCopyPath(connection, database));
            backupDatabase(connection, safetyCopy, false);
        }
        replaceContents(connection, backup.get());
        ensureSchema(connection);
        transaction.commit();
    } catch (...) {
        // The data are as they were: the copy of them would only be in the way.
        if (!safetyCopy.empty()) {
            fs::remove(pathFromUtf8(safetyCopy), error);
        }
        throw;
    }
    return safetyCopy;
}

}  // namespace qm::store
