#include "db/Statement.h"

#include <sqlite3.h>

#include <vector>

#include "db/DbError.h"
#include "db/EngineError.h"

namespace qm::db {

Statement::Statement(sqlite3* db, const std::string& sql) : db_(db), sql_(sql) {
    const char* tail = nullptr;
    if (const int rc =
            sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &stmt_, &tail);
        rc != SQLITE_OK) {
        throw engineError(db_, rc);
    }
    if (stmt_ == nullptr) {
        throw DbError("空的SQL语句");
    }
}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

Statement::Statement(Statement&& other) noexcept
    : db_(other.db_), stmt_(other.stmt_), sql_(std::move(other.sql_)) {
    other.stmt_ = nullptr;
}

void Statement::finishRun(int rc) {
    // Rewinding keeps the bindings, so the statement can run again with new values bound. The
    // error is taken first: rewinding would replace the engine's text.
    if (rc == SQLITE_DONE) {
        sqlite3_reset(stmt_);
        return;
    }
    const DbError error = engineError(db_, rc);
    sqlite3_reset(stmt_);
    throw error;
}

Statement& Statement::bind(int position, const Value& value) {
    sqlite3_reset(stmt_);
    int rc = SQLITE_OK;
    switch (value.kind()) {
        case Value::Kind::Null:
            rc = sqlite3_bind_null(stmt_, position);
            break;
        case Value::Kind::Integer:
            rc = sqlite3_bind_int64(stmt_, position, value.toInt());
            break;
        case Value::Kind::Real:
            rc = sqlite3_bind_double(stmt_, position, value.toDouble());
            break;
        case Value::Kind::Text: {
            const std::string text = value.toText();
            rc = sqlite3_bind_text(stmt_, position, text.data(), static_cast<int>(text.size()),
                                   SQLITE_TRANSIENT);
            break;
        }
    }
    if (rc != SQLITE_OK) {
        const DbError error = engineError(db_, rc);
        throw DbError(std::string(error.what()) + " (参数 " + std::to_string(position) + ")", rc);
    }
    return *this;
}

Statement& Statement::bind(std::string_view name, const Value& value) {
    std::string key(name);
    if (!key.empty() && key[0] != ':' && key[0] != '@' && key[0] != '$') {
        key.insert(0, ":");
    }
    const int position = sqlite3_bind_parameter_index(stmt_, key.c_str());
    if (position == 0) {
        throw DbError("语句中没有参数 " + key);
    }
    return bind(position, value);
}

int Statement::execute() {
    sqlite3_reset(stmt_);
    int rc;
    while ((rc = sqlite3_step(stmt_)) == SQLITE_ROW) {
    }
    finishRun(rc);
    return sqlite3_changes(db_);
}

ResultSet Statement::query() {
    sqlite3_reset(stmt_);
    const int columnCount = sqlite3_column_count(stmt_);
    std::vector<std::string> columns;
    columns.reserve(columnCount);
    for (int i = 0; i < columnCount; ++i) {
        const char* name = sqlite3_column_name(stmt_, i);
        columns.emplace_back(name ? name : "");
    }
    std::vector<std::vector<Value>> rows;
    int rc;
    while ((rc = sqlite3_step(stmt_)) == SQLITE_ROW) {
        std::vector<Value> row;
        row.reserve(columnCount);
        for (int i = 0; i < columnCount; ++i) {
            switch (sqlite3_column_type(stmt_, i)) {
                case SQLITE_NULL:
                    row.emplace_back();
                    break;
                case SQLITE_INTEGER:
                    row.emplace_back(static_cast<std::int64_t>(sqlite3_column_int64(stmt_, i)));
                    break;
                case SQLITE_FLOAT:
                    row.emplace_back(sqlite3_column_double(stmt_, i));
                    break;
                default: {
                    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i));
                    row.emplace_back(
                        std::string(text ? text : "",
                                    static_cast<std::size_t>(sqlite3_column_bytes(stmt_, i))));
                    break;
                }
            }
        }
        rows.push_back(std::move(row));
    }
    finishRun(rc);
    return ResultSet(std::move(columns), std::move(rows));
}

}  // namespace qm::db
