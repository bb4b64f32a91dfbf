#pragma once

#include "engine/common/DivisionObserver.h"
#include "store/ProjectStore.h"

namespace qm::db {
class Connection;
}

namespace qm::engine {

// 深度优化 of the project's present classes, in the strength its settings name, over the
// subjects they let take part: evens out class sizes and exchanges students between classes as
// DeepOptimiser does, keeping the teacher's groups, and writes the classes that changed back.
// Every run searches on from where the run before on the same division stopped (the project
// counts its runs). One transaction, recorded as the step "深度优化" that undo takes back; the
// console ends with the figures before and after, and with the groups as a division lists them.
// A project whose classes hold no students is refused with a UserError; a cancel raises
// OptimisationCancelled. Either way the table is then as it was, with no step recorded.
void optimiseClasses(db::Connection& connection, const store::CurrentProject& project,
                     DivisionObserver& observer);

// Whether the project's settings ask a division to end with 深度优化.
bool optimisesAfterDivision(db::Connection& connection, const store::CurrentProject& project);

// The end of a division: 深度优化 when the project's settings ask for it, as part of the
// division's own transaction and of its step, as the first run on the new division.
void optimiseAfterDivision(db::Connection& connection, const store::CurrentProject& project,
                           DivisionObserver& observer);

}  // namespace qm::engine
