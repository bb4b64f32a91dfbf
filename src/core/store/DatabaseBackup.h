#pragma once

#include <filesystem>
#include <string>

namespace qm::db {
class Connection;
}

namespace qm::store {

// Writes a copy of the database into targetPath (UTF-8) with SQLite's online backup, while the
// program may go on working: the copy is read through a connection of its own, so it holds the
// committed data of one moment, never half of a division that is still running. The copy is
// written under a temporary name beside the target (see PartialFiles.h) and renamed into place
// when whole, so an existing file at targetPath is replaced only by a complete copy, and only
// with replaceExisting (ExistingFileRefused otherwise). UserError when the target is part of the
// database in use (see WriteTargets.h) or its folder does not exist; DbError with the engine's
// message otherwise.
void backupDatabase(db::Connection& connection, const std::string& targetPath,
                    bool replaceExisting);

// Replaces all data of the database with those of the backup file at sourcePath (UTF-8), table
// by table and row by row in one transaction: the database holds the old data or the new, never a
// mix. First checks that the file is a sound Quillmere database (SQLite's integrity check, the
// tables fb_info and config, and the two tables of each of its projects) and refuses otherwise
// with a UserError that says why; nothing changes then. The write lock is taken before anything
// else is read: the current data, when they hold any project, are then copied into a file beside
// the database, so the copy holds exactly what the restore replaces, also when another program
// was writing a moment before. Returns that file's path (UTF-8), or empty text when there was
// nothing to keep.
std::string restoreDatabase(db::Connection& connection, const std::string& sourcePath);

}  // namespace qm::store
