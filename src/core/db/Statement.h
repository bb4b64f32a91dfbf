#pragma once

#include <string>
#include <string_view>

#include "db/ResultSet.h"
#include "db/Value.h"

struct sqlite3;
struct sqlite3_stmt;

namespace qm::db {

// One prepared statement. Values are bound by position (from 1) or by name (":cid"); they never
// become part of the SQL text. A statement can be run again after new values are bound.
class Statement {
  public:
    Statement(sqlite3* db, const std::string& sql);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&&) = delete;
    Statement(const Statement&) = delete;

    Statement& bind(int position, const Value& value);
    Statement& bind(std::string_view name, const Value& value);

    // Runs a statement that returns no rows; returns the number of rows it changed.
    int execute();
    // Runs a statement and reads all its rows.
    ResultSet query();

    const std::string& sql() const { return sql_; }

  private:
    // Ends a run that stepped to rc: rewinds the statement, and raises the engine's message when
    // the run stopped on an error.
    void finishRun(int rc);

    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
    std::string sql_;
};

}  // namespace qm::db
