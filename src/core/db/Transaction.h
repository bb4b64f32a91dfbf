#pragma once

#include <string>

namespace qm::db {

class Connection;

// A scoped unit of work: begun on construction, undone on destruction unless committed. Inside
// another unit it becomes a savepoint of that unit, so operations that are one unit on their own
// can also be part of a larger one.
class Transaction {
  public:
    explicit Transaction(Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

  private:
    Connection& connection_;
    std::string savepoint_;  // empty for an outermost transaction
    bool open_ = true;
};

}  // namespace qm::db
