#pragma once

#include <cstdint>
#include <string>

#include "db/Statement.h"

struct sqlite3;

namespace qm::db {

// The one connection to the database file. Opening it sets write-ahead logging with full
// synchronisation (a committed division survives a power cut), a busy timeout, and registers the
// SQL functions the system's statements use (see SqlFunctions.h).
class Connection {
  public:
    // Opens the file, creating it when missing. Raises DbError with the engine's message.
    explicit Connection(const std::string& path);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Runs one or more statements without parameters.
    void exec(const std::string& sql);
    // Prepares one statement for binding and running.
    Statement prepare(const std::string& sql);
    // Shorthand: prepare, run, and return the rows of a query.
    ResultSet query(const std::string& sql);

    std::int64_t lastInsertId() const;
    bool inTransaction() const;
    bool tableExists(const std::string& name);
    const std::string& path() const { return path_; }
    sqlite3* handle() const { return db_; }

  private:
    sqlite3* db_ = nullptr;
    std::string path_;
};

}  // namespace qm::db
