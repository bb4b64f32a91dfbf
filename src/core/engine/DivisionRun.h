#pragma once

#include <string>
#include <vector>

#include "engine/common/DivisionObserver.h"
#include "store/ProjectStore.h"

namespace qm::db {
class Connection;
}

namespace qm::engine {

// Full division of the project's students ("分班"): resets every student that is not fixed,
// divides each category on its own over all classes, then places everyone else around the fixed
// and category students, fine-tunes and writes every student's class back. One transaction:
// raises UserError, db::DbError or DivisionCancelled and then leaves the tables as before. A
// project without students is refused with store::kNoStudentsMessage. Afterwards a remark line
// tells of students who stand outside the project's classes (see studentsOutsideClasses).
// The project's groups (分开, 同班) are kept; a set that cannot be kept is refused before
// anything changes (see DivisionGroups.h). The division is a step that can be undone.
// Afterwards the result grid shows the project's student table (project.fbTable).
void divide(db::Connection& connection, const store::CurrentProject& project,
            DivisionObserver& observer);

// Re-division of chosen classes: the movable students of these classes are divided again among
// exactly these classes (in list order: the k-th class fills the k-th tally). The list is checked
// first: it must not be empty and every class must lie between 1 and the project's class count.
// Same unit rules, refusal, remark and groups as divide(). Afterwards the result grid shows the
// twin table (project.rbTable), which then holds the students of the chosen classes.
void redivide(db::Connection& connection, const store::CurrentProject& project,
              const std::vector<int>& classes, DivisionObserver& observer);

// The category labels of a student table as a division takes them: non-empty, ascending.
std::vector<std::string> categoryLabels(db::Connection& connection, const std::string& table);

}  // namespace qm::engine
