#include "db/Connection.h"

#include <sqlite3.h>

#include "db/DbError.h"
#include "db/EngineError.h"
#include "db/SqlFunctions.h"

namespace qm::db {

Connection::Connection(const std::string& path) : path_(path) {
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX;
    if (const int rc = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr); rc != SQLITE_OK) {
        const DbError error = engineError(db_, rc);
        sqlite3_close(db_);
        db_ = nullptr;
        throw DbError("无法打开数据库文件 " + path + "：" + error.what(), error.code());
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, 5000);
    try {
        exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;");
        registerSqlFunctions(db_);
    } catch (...) {
        sqlite3_close(db_);
        db_ = nullptr;
        throw;
    }
}

Connection::~Connection() {
    sqlite3_close_v2(db_);
}

void Connection::exec(const std::string& sql) {
    char* error = nullptr;
    if (const int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error); rc != SQLITE_OK) {
        const std::string engineText = error ? error : sqlite3_errmsg(db_);
        sqlite3_free(error);
        throw engineError(db_, rc, engineText);
    }
}

Statement Connection::prepare(const std::string& sql) {
    return Statement(db_, sql);
}

ResultSet Connection::query(const std::string& sql) {
    return prepare(sql).query();
}

std::int64_t Connection::lastInsertId() const {
    return sqlite3_last_insert_rowid(db_);
}

bool Connection::inTransaction() const {
    return sqlite3_get_autocommit(db_) == 0;
}

bool Connection::tableExists(const std::string& name) {
    auto statement = prepare("select 1 from sqlite_master where type='table' and name=?");
    statement.bind(1, name);
    return !statement.query().empty();
}

}  // namespace qm::db
