#include "store/DatabaseBackup.h"

#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <system_error>

#include "common/Platform.h"
#include "common/UserError.h"
#include "db/Connection.h"
#include "db/DbError.h"
#include "db/EngineError.h"
#include "db/Statement.h"
#include "store/DatabaseFileCheck.h"
#include "store/Schema.h"

namespace fs = std::filesystem;

namespace qm::store {

namespace {

using platform::pathFromUtf8;
using platform::pathToUtf8;

struct FileCloser {
    void operator()(sqlite3* file) const { sqlite3_close_v2(file); }
};
using DatabaseFile = std::unique_ptr<sqlite3, FileCloser>;

// A file of our own that is removed when the work is over, whether it ended well or not; a file
// that was renamed into place is no longer there to remove.
struct RemovedAtEnd {
    fs::path path;
    ~RemovedAtEnd() {
        std::error_code ignored;
        fs::remove(path, ignored);
    }
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

// Copies every page of the database `from` into `to` in one step, which `to` takes as one
// transaction: when it fails, `to` is as it was.
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

std::int64_t pageSize(sqlite3* file) {
    return db::Statement(file, "PRAGMA page_size").query()[0][0].toInt();
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

}  // namespace

bool isPartOfDatabase(const fs::path& file, const fs::path& database) {
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        fs::path part = database;
        part += suffix;
        std::error_code error;
        if (file.lexically_normal() == part.lexically_normal() ||
            fs::equivalent(file, part, error)) {
            return true;
        }
    }
    return false;
}

void checkWritableFile(const fs::path& target, const std::string& shownPath) {
    std::error_code lookup;
    if (!fs::is_directory(target.parent_path(), lookup)) {
        throw UserError("无法写入 " + shownPath + ": 文件夹 " + pathToUtf8(target.parent_path()) +
                        " 不存在");
    }
    if (fs::is_directory(target, lookup)) {
        throw UserError("无法写入 " + shownPath + ": 这是一个文件夹");
    }
}

void backupDatabase(db::Connection& connection, const std::string& targetPath) {
    const fs::path database = fs::absolute(pathFromUtf8(connection.path()));
    const fs::path target = fs::absolute(pathFromUtf8(targetPath));
    if (isPartOfDatabase(target, database)) {
        throw UserError("不能把数据库备份到它自己的文件: " + targetPath);
    }
    checkWritableFile(target, targetPath);
    const RemovedAtEnd partial{withSuffix(target, ".partial")};
    try {
        {
            const DatabaseFile source = openFile(database, SQLITE_OPEN_READONLY);
            fs::remove(partial.path);  // left by a backup that was interrupted
            const DatabaseFile copy =
                openFile(partial.path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
            copyPages(source.get(), copy.get());
            // The copy stands alone in one file, without a write-ahead log beside it.
            run(copy.get(), "PRAGMA journal_mode=DELETE");
        }
        fs::rename(partial.path, target);
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
    if (isPartOfDatabase(source, database)) {
        throw UserError("这是正在使用的数据库文件本身, 不能用来恢复: " + sourcePath);
    }
    if (connection.inTransaction()) {
        throw UserError("数据库正在进行其他操作, 请等它结束后再恢复");
    }
    const DatabaseFile backup = openFile(source, SQLITE_OPEN_READONLY);
    checkQuillmereDatabase(backup.get(), sourcePath);

    // Pages go one for one into a database that keeps a write-ahead log, so a backup with pages
    // of another size is first rewritten with the database's size in a file of our own.
    const RemovedAtEnd resized{withSuffix(database, ".restore-partial")};
    DatabaseFile resizedFile;
    sqlite3* from = backup.get();
    if (const auto size = pageSize(connection.handle()); pageSize(from) != size) {
        fs::remove(resized.path);
        resizedFile = openFile(resized.path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        copyPages(from, resizedFile.get());
        run(resizedFile.get(), "PRAGMA journal_mode=DELETE");
        run(resizedFile.get(), ("PRAGMA page_size=" + std::to_string(size)).c_str());
        run(resizedFile.get(), "VACUUM");
        from = resizedFile.get();
    }

    std::string safetyCopy;
    if (!connection.query("select 1 from fb_info limit 1").empty()) {
        safetyCopy = pathToUtf8(safetyCopyPath(connection, database));
        backupDatabase(connection, safetyCopy);
    }
    try {
        copyPages(from, connection.handle());
    } catch (...) {
        // The data are as they were: the copy of them would only be in the way.
        if (!safetyCopy.empty()) {
            fs::remove(pathFromUtf8(safetyCopy), error);
        }
        throw;
    }
    ensureSchema(connection);
    return safetyCopy;
}

}  // namespace qm::store
