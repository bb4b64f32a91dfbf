#pragma once

#include <memory>
#include <string>

namespace qm::db {
class Connection;
}

namespace qm::store {

// Opens the database file at path (UTF-8) for a front, the command line or the desktop program:
// creates it when missing, removes what killed or failed backups and restores left beside it
// (see PartialFiles.h), and creates or completes its tables (see ensureSchema).
std::unique_ptr<db::Connection> openDatabase(const std::string& path);

}  // namespace qm::store
