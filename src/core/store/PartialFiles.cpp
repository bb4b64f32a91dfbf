#include "store/PartialFiles.h"

#include <sqlite3.h>

#include <system_error>
#include <vector>

#include "common/Platform.h"
#include "store/WriteTargets.h"

namespace fs = std::filesystem;

namespace qm::store {

namespace {

using platform::pathToUtf8;

constexpr const char* kPartialEnding = ".partial";
constexpr const char* kJournalEnding = "-journal";

bool endsWith(const std::string& text, const std::string& ending) {
    return text.size() >= ending.size() &&
           text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

fs::path withEnding(fs::path path, const std::string& ending) {
    path += ending;
    return path;
}

// Whether the file is a SQLite database (or empty, as a backup's file is at first) that no
// program is writing: taking its exclusive lock at once succeeds only then, and fails for a file
// that is no database. A journal a killed program left is rolled back on the way. Only SQLite
// opens the file, so that no lock of this process is lost by closing another descriptor of it.
bool idleDatabaseFile(const fs::path& file) {
    sqlite3* handle = nullptr;
    bool idle = sqlite3_open_v2(pathToUtf8(file).c_str(), &handle, SQLITE_OPEN_READWRITE,
                                nullptr) == SQLITE_OK &&
                sqlite3_exec(handle, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
    if (idle) {
        sqlite3_exec(handle, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    sqlite3_close_v2(handle);
    return idle;
}

}  // namespace

fs::path partialFileOf(const fs::path& target) {
    return withEnding(target, kPartialEnding);
}

void removePartialFile(const fs::path& partial) {
    std::error_code ignored;
    fs::remove(partial, ignored);
    fs::remove(withEnding(partial, kJournalEnding), ignored);
}

void removeLeftoverPartialFiles(const std::string& databasePath) {
    const fs::path database = fs::absolute(platform::pathFromUtf8(databasePath));
    const std::string restoreFile = pathToUtf8(database.filename()) + ".restore-partial";
    std::error_code error;
    std::vector<fs::path> partials;
    std::vector<fs::path> journals;
    for (const auto& entry : fs::directory_iterator(database.parent_path(), error)) {
        const std::string name = pathToUtf8(entry.path().filename());
        const bool partial = endsWith(name, kPartialEnding) || name == restoreFile;
        const bool journal = endsWith(name, std::string(kPartialEnding) + kJournalEnding) ||
                             name == restoreFile + kJournalEnding;
        if ((!partial && !journal) || databasePartAt(databasePath, pathToUtf8(entry.path()))) {
            continue;  // not ours, and never the database, whatever it is called
        }
        (partial ? partials : journals).push_back(entry.path());
    }
    for (const fs::path& partial : partials) {
        if (fs::is_regular_file(partial, error) && idleDatabaseFile(partial)) {
            removePartialFile(partial);
        }
    }
    for (const fs::path& journal : journals) {
        const std::string name = pathToUtf8(journal);
        const fs::path partial =
            platform::pathFromUtf8(name.substr(0, name.size() - std::string(kJournalEnding).size()));
        if (!fs::exists(partial, error)) {
            fs::remove(journal, error);
        }
    }
}

}  // namespace qm::store
