#pragma once

#include <optional>
#include <string>

#include "common/UserError.h"

namespace qm::store {

// Which files a command may write. Every command that writes a file (an export, a statistics
// export, a backup, the copy a restore keeps of the data it replaces) asks here first, and again
// just before the file takes its place: the database in use and the files SQLite keeps beside it
// (-wal, -shm, -journal) are never written over, whatever name the target is given (./fb.db, a
// symbolic link, a hard link, the folder reached through a link). Paths are UTF-8.

// The part of the database at databasePath that path names, under its own name (such as
// /data/fb.db-wal); nothing when path is none of them or databasePath is empty.
std::optional<std::string> databasePartAt(const std::string& databasePath,
                                          const std::string& path);

// Refuses, with a UserError that says why, to write a file at path that is part of the database.
void refuseDatabaseFile(const std::string& databasePath, const std::string& path);

// Refuses, with a UserError naming path, a file about to be written whose folder does not exist
// or that is a folder itself.
void refuseUnwritablePlace(const std::string& path);

// An existing file that a command does not replace unless told to (--overwrite, or the user's
// answer to a question).
struct ExistingFileRefused : UserError {
    using UserError::UserError;
};

// Whether a file or anything else stands at path (a dangling link counts).
bool somethingAt(const std::string& path);

}  // namespace qm::store
