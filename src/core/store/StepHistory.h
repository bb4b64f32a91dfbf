#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/UserError.h"
#include "store/StudentGroup.h"

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

// What undo and redo do with groups of the project that the step would leave broken: groups
// set after the step was made, which its classes do not keep.
enum class BrokenGroups {
    Refuse,  // refuse the step with StepBreaksGroups
    Keep,    // take the step all the same; the groups stay and bind the next division
    Remove,  // delete those groups, then take the step
};

// Raised when a step would leave groups broken: the message names each group and how the step
// would break it, and says what can be done; the groups come along for a front's question.
struct StepBreaksGroups : UserError {
    StepBreaksGroups(const std::string& message, std::vector<StudentGroup> broken)
        : UserError(message), groups(std::move(broken)) {}
    std::vector<StudentGroup> groups;
};

// Takes back the newest step not yet undone (a move, a swap, a division, a re-division or the
// restore of a saved version), as one unit, and returns its description. Refused with a
// UserError, changing nothing, when there is none or when a student the step moved has been
// changed or deleted since; a group of those students it would break is dealt with as
// brokenGroups says, deleted groups within the same unit. With `expected` (the number of the step
// a window named) it is also refused when the step to take back is another one: another program
// made or took back a step meanwhile.
std::string undoStep(db::Connection& connection, const CurrentProject& project,
                     BrokenGroups brokenGroups = BrokenGroups::Refuse,
                     std::optional<std::int64_t> expected = std::nullopt);

// Makes the oldest undone step again, under the same rules; returns its description.
std::string redoStep(db::Connection& connection, const CurrentProject& project,
                     BrokenGroups brokenGroups = BrokenGroups::Refuse,
                     std::optional<std::int64_t> expected = std::nullopt);

}  // namespace qm::store
