#pragma once

#include <vector>

#include "engine/common/DivisionObserver.h"
#include "engine/groups/GroupPlan.h"
#include "store/ProjectStore.h"

namespace qm::db {
class Connection;
}

namespace qm::engine {

// The project's groups as a division over these classes keeps them (a re-division: over the
// chosen classes, every other class staying as it is). Refused first, with one UserError that
// names every group that cannot be kept and why: groups that contradict each other, a 同班
// group with more students than a class holds, one whose members are fixed in different classes
// or in a class outside the division, or that holds a student whose sex is neither 男 nor 女
// (never placed); a 分开 group with more students than the division has classes, or with two
// students fixed in one class. Fixed students are those of type 2, and in a re-division also
// those of type 3 and every student of the other classes.
GroupPlan planGroups(db::Connection& connection, const store::CurrentProject& project,
                     const std::vector<int>& classes, bool redivision);

// The project's groups among its present students, unchecked, for 深度优化: its exchanges hold
// the members of 同班 groups in place and never bring two students of a 分开 group together, so
// every group the classes keep stays kept.
GroupPlan projectGroups(db::Connection& connection, const store::CurrentProject& project);

// Writes to the console every group of the project that the classes do not keep, or that all
// are kept; nothing when the project has no groups.
void reportUnkeptGroups(db::Connection& connection, const store::CurrentProject& project,
                        DivisionObserver& observer);

}  // namespace qm::engine
