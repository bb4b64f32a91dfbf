#pragma once

#include <string>

namespace qm::store {

// Where the database file lives, in this order of precedence:
//   1. an explicit path (the --db option), when not empty;
//   2. the QUILLMERE_DB environment variable, when set and not empty;
//   3. dbase/fb.db beside the executable, when that folder exists or can be made, and is
//      writable (a portable install), unless the executable is an install under a prefix (see
//      ProgramFiles.h);
//   4. $XDG_DATA_HOME/quillmere/fb.db, or ~/.local/share/quillmere/fb.db.
// The folder of the chosen file is created when missing. The path is UTF-8 text.
std::string resolveDatabasePath(const std::string& explicitPath);

}  // namespace qm::store
