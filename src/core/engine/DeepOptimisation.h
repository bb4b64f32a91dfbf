#pragma once

#include "engine/DivisionRun.h"
#include "store/ProjectStore.h"

namespace qm::db {
class Connection;
}

namespace qm::engine {

// 深度优化 of the project's present classes, in the strength its settings name: exchanges
// students between classes as DeepOptimiser does and writes the classes that changed back. One
// transaction; the console ends with the figures before and after. A project whose classes hold
// no students is refused with a UserError; a cancel raises OptimisationCancelled. Either way the
// table is then as it was.
void optimiseClasses(db::Connection& connection, const store::CurrentProject& project,
                     DivisionObserver& observer);

// The end of a division: 深度优化 when the project's settings ask for it, as part of the
// division's own transaction. Does nothing when they do not.
void optimiseAfterDivision(db::Connection& connection, const store::CurrentProject& project,
                           DivisionObserver& observer);

}  // namespace qm::engine
