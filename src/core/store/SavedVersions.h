#pragma once

#include <string>
#include <vector>

#include "store/AdjustmentOutcome.h"
#include "store/GroupCheck.h"

namespace qm::db {
class Connection;
}

namespace qm::store {

struct CurrentProject;

// A saved version of a project's classes (方案).
struct SavedVersion {
    int number = 0;
    std::string name;
    std::string saved;  // local date and time, "YYYY-MM-DD HH:MM:SS"
    int students = 0;   // students whose class it holds
};

// The longest name a version may have, in characters.
inline constexpr int kVersionNameLength = 50;

// Saves the class of every student of the project under a name (保存方案) and returns the
// version's number. The name is kept as valid UTF-8 (see xmlSafeText), its line breaks and tabs
// as blanks, without blanks at its ends. Refused with a UserError: an empty or too long name, a
// name the project already gave another version, a project without students.
int saveVersion(db::Connection& connection, const CurrentProject& project, const std::string& name);

// The project's versions, oldest first.
std::vector<SavedVersion> listVersions(db::Connection& connection, const CurrentProject& project);

// One version; UserError when the project has no version of this number.
SavedVersion findVersion(db::Connection& connection, const CurrentProject& project, int number);

// The class each student had in the version.
ClassOfStudent versionClasses(db::Connection& connection, const CurrentProject& project,
                              int number);

// Puts every student of the version that is still in the project back into the class the
// version holds (恢复), as one unit that can be undone; students added since stay where they
// are, placement codes stay as they are. Refused when a group of the students it moves would be
// broken, or when nothing would change.
AdjustmentOutcome restoreVersion(db::Connection& connection, const CurrentProject& project,
                                 int number);

}  // namespace qm::store
