#pragma once

#include <map>
#include <string>

#include "db/Value.h"

namespace qm::db {
class Connection;
}

namespace qm::store {

struct CurrentProject;

// Steps kept per project for undo and redo; older ones are dropped.
inline constexpr int kHistoryDepth = 50;

// A student's class and placement code.
struct Placement {
    db::Value classId;
    db::Value type;
    bool operator==(const Placement&) const = default;
};
using Placements = std::map<int, Placement>;  // by student number

// The class and placement code of every student of a student table.
Placements readPlacements(db::Connection& connection, const std::string& table);

// Records one step that can be undone: notes where the project's students sit when it is made,
// and record() stores every student whose class or placement code changed since. Used inside
// the unit of work of the change itself, so that a change that fails or is cancelled leaves no
// step behind.
class StepRecorder {
  public:
    StepRecorder(db::Connection& connection, const CurrentProject& project);

    // Stores the changes as the newest step under this description; nothing when nothing
    // changed. The steps undone before can no longer be redone and are dropped; of the others
    // the newest kHistoryDepth are kept.
    void record(const std::string& action);

  private:
    db::Connection& connection_;
    int projectId_;
    std::string table_;
    Placements before_;
};

}  // namespace qm::store
