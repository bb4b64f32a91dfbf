#pragma once

#include <optional>
#include <string>

namespace qm::db {
class Connection;
}

namespace qm::store {

struct CurrentProject;

// What can be undone and redone now, for the tool bar: the descriptions of the step that undo
// would take back and of the one redo would make again; nothing when there is none.
struct HistoryState {
    std::optional<std::string> undo;
    std::optional<std::string> redo;
};
HistoryState historyState(db::Connection& connection, const CurrentProject& project);

// Takes back the newest step not yet undone (a move, a swap, a division, a re-division or the
// restore of a saved version), as one unit, and returns its description. Refused with a
// UserError, changing nothing, when there is none, when a student the step moved has been
// changed or deleted since, or when a group of those students would be broken.
std::string undoStep(db::Connection& connection, const CurrentProject& project);

// Makes the oldest undone step again, under the same rules; returns its description.
std::string redoStep(db::Connection& connection, const CurrentProject& project);

}  // namespace qm::store
