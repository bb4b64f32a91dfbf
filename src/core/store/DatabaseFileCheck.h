#pragma once

#include <string>

struct sqlite3;

namespace qm::store {

// Refuses, with a UserError that names the file and says why, a database file that is not a
// sound Quillmere database: not a SQLite file at all, damaged (SQLite's integrity check), or
// without the tables fb_info and config or the two tables of each of its projects. Reads only.
void checkQuillmereDatabase(sqlite3* file, const std::string& name);

}  // namespace qm::store
