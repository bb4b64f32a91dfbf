#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace qm::db {
class Connection;
}

namespace qm::store {

struct CurrentProject;

// What can be undone and redone now, for the tool bar: the descriptions of the step that undo
// would take back and of the one redo would make again, with their numbers; nothing when there
// is none.
struct HistoryState {
    std::optional<std::string> undo;
    std::optional<std::string> redo;
    std::optional<std::int64_t> undoNumber;
    std::optional<std::int64_t> redoNumber;
};
HistoryState historyState(db::Connection& connection, const CurrentProject& project);

// Takes back the newest step not yet undone (a move, a swap, a division, a re-division or the
// restore of a saved version), as one unit, and returns its description. Refused with a
// UserError, changing nothing, when there is none, when a student the step moved has been
// changed or deleted since, or when a group of those students would be broken. With `expected`
// (the number of the step a window named) it is also refused when the step to take back is
// another one: another program made or took back a step meanwhile.
std::string undoStep(db::Connection& connection, const CurrentProject& project,
                     std::optional<std::int64_t> expected = std::nullopt);

// Makes the oldest undone step again, under the same rules; returns its description.
std::string redoStep(db::Connection& connection, const CurrentProject& project,
                     std::optional<std::int64_t> expected = std::nullopt);

}  // namespace qm::store
