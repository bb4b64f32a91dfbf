#pragma once

#include <filesystem>
#include <string>

namespace qm::store {

// A backup is written beside its target as "NAME.partial" (with SQLite's "NAME.partial-journal"
// while pages go in) and renamed into place when whole. A program that is killed meanwhile, or an
// older version's restore ("fb.db.restore-partial"), leaves such files behind.

// The file a backup to target is written in until it is whole.
std::filesystem::path partialFileOf(const std::filesystem::path& target);

// Removes a partial file and its journal, where they are.
void removePartialFile(const std::filesystem::path& partial);

// Removes what killed or failed backups and restores left in the folder of the database at
// databasePath: files named *.partial that are SQLite databases (or empty) no program is
// writing, with their journals, a journal whose file is gone, and an older version's restore
// files of this database. Called when a front opens the database; a file that cannot be
// removed is left.
void removeLeftoverPartialFiles(const std::string& databasePath);

}  // namespace qm::store
