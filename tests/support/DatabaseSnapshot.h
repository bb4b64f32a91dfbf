#pragma once

#include <map>
#include <string>
#include <vector>

namespace qm::test {

// The content of a database file: every table (projects, settings, student tables, their twins
// and the tables beside them) with its rows, compared as sets of rows so that the order the
// engine returns them in does not matter. A column whose default is the time of writing (when a
// step was made, say) is left out: two runs of one command write the same rows at different
// times. Taken through a real connection, as the program opens the file after a crash.
class DatabaseSnapshot {
  public:
    // Opens the file (recovering its write-ahead log, if one was left) and reads every table.
    // `integrity` receives the verdict of pragma integrity_check ("ok" for a sound file).
    static DatabaseSnapshot take(const std::string& path, std::string& integrity);

    bool operator==(const DatabaseSnapshot&) const = default;

    // "fb_2: 2500 rows" for every table where this differs from `other`, one per line.
    std::string differencesFrom(const DatabaseSnapshot& other) const;

  private:
    std::map<std::string, std::vector<std::string>> tables_;  // rows as text, sorted
};

}  // namespace qm::test
