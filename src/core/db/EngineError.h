#pragma once

#include <string>

struct sqlite3;

namespace qm::db {

class DbError;

// The message shown for wait-too-long: another program holds the database's write lock.
inline constexpr const char* kDatabaseBusyMessage = "数据库正被另一个程序使用，请稍后再试";

// What an engine result code means for the user, in Chinese, with the engine's own text in
// brackets behind it: busy and locked, read-only, I/O, a full disk, a damaged file, a refused
// value and so on; a code without a message of its own gets a general one.
std::string engineErrorMessage(int extendedCode, const std::string& engineText);

// True when the engine refused a value: a repeated key, a check of a column, a missing value.
bool isConstraintError(const DbError& error);

// The error of the connection's last failed call, which returned extendedCode. A full disk is
// told as such also when the engine reports it as an I/O error (as it does when the
// shared-memory file cannot grow).
DbError engineError(sqlite3* db, int extendedCode);
// The same with the engine's text given, as sqlite3_exec hands it out.
DbError engineError(sqlite3* db, int extendedCode, const std::string& engineText);

}  // namespace qm::db
