#pragma once

#include <QString>
#include <memory>
#include <string>

class QLockFile;

namespace qm::gui {

// The lock file beside a database file ("fb.db.lock") that a desktop program holds while it works
// on the database, so that a second desktop program started on the same file learns that it is
// in use before it opens it. Only the lock file is touched, never the database file. A lock file
// left by a program that has died is taken over; its age alone never makes it stale.
class DatabaseLockFile {
  public:
    explicit DatabaseLockFile(const std::string& databasePath);
    ~DatabaseLockFile();
    DatabaseLockFile(const DatabaseLockFile&) = delete;
    DatabaseLockFile& operator=(const DatabaseLockFile&) = delete;

    // False when another program holds the lock. A folder that takes no lock file does not stop
    // the program: SQLite cannot work there either and says so.
    bool acquired() const { return refusal_.isEmpty(); }
    // Why the program cannot work on the database, for the user; empty when acquired.
    const QString& refusal() const { return refusal_; }

  private:
    std::unique_ptr<QLockFile> lock_;
    QString refusal_;
};

}  // namespace qm::gui
