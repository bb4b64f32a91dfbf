#pragma once

#include <filesystem>
#include <string>

namespace qm::db {
class Connection;
}

namespace qm::store {

// True when file is the database file or one of the companions SQLite keeps beside it (-wal,
// -shm, -journal), under whatever name: a link or a hard link to it, another spelling of its path.
// Both paths absolute. Nothing may write such a file but SQLite.
bool isPartOfDatabase(const std::filesystem::path& file, const std::filesystem::path& database);

// Refuses with a UserError a file about to be written (target absolute, named shownPath in the
// message) whose folder does not exist or that is a folder itself.
void checkWritableFile(const std::filesystem::path& target, const std::string& shownPath);

// Writes a copy of the database into targetPath (UTF-8) with SQLite's online backup, while the
// program may go on working: the copy is read through a connection of its own, so it holds the
// committed data of one moment, never half of a division that is still running. The copy is
// written under a temporary name beside the target and renamed into place when whole, so an
// existing file at targetPath is replaced only by a complete copy. UserError when the target is
// the database itself or its folder does not exist; DbError with the engine's message otherwise.
void backupDatabase(db::Connection& connection, const std::string& targetPath);

// Replaces all data of the database with those of the backup file at sourcePath (UTF-8), in one
// transaction: the database holds the old data or the new, never a mix. First checks that the
// file is a sound Quillmere database (SQLite's integrity check, the tables fb_info and config,
// and the two tables of each of its projects) and refuses otherwise with a UserError that says
// why; nothing changes then. Before replacing, the current data, when they hold any project, are
// copied into a file beside the database; returns that file's path (UTF-8), or empty text when
// there was nothing to keep.
std::string restoreDatabase(db::Connection& connection, const std::string& sourcePath);

}  // namespace qm::store
