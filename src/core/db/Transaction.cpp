#include "db/Transaction.h"

#include <atomic>

#include "db/Connection.h"

namespace qm::db {

namespace {
std::atomic<unsigned> savepointCounter{0};
}

Transaction::Transaction(Connection& connection) : connection_(connection) {
    if (connection_.inTransaction()) {
        savepoint_ = "sp_" + std::to_string(++savepointCounter);
        connection_.exec("SAVEPOINT " + savepoint_);
    } else {
        connection_.exec("BEGIN IMMEDIATE");
    }
}

Transaction::~Transaction() {
    if (!open_) {
        return;
    }
    try {
        if (savepoint_.empty()) {
            connection_.exec("ROLLBACK");
        } else {
            connection_.exec("ROLLBACK TO " + savepoint_ + "; RELEASE " + savepoint_);
        }
    } catch (...) {
        // A rollback that fails leaves SQLite's own automatic rollback in charge; nothing more
        // can be done in a destructor.
    }
}

void Transaction::commit() {
    if (savepoint_.empty()) {
        connection_.exec("COMMIT");
    } else {
        connection_.exec("RELEASE " + savepoint_);
    }
    open_ = false;
}

}  // namespace qm::db
