#pragma once

#include "store/AdjustmentOutcome.h"

namespace qm::db {
class Connection;
}

namespace qm::store {

struct CurrentProject;

// Moves a student into another class of the project (1 to its class count), as one unit that
// can be undone. Refused with a UserError giving the reason, changing nothing: a student or
// class that does not exist, the class the student already sits in, and a move that would
// leave a group of the student broken (a 分开 partner in the new class, or a 同班 group left
// behind). The student keeps its placement code: a fixed student stays fixed, in the new class.
AdjustmentOutcome moveStudent(db::Connection& connection, const CurrentProject& project,
                              int studentId, int classId);

// Exchanges the classes of two students, as one unit that can be undone. Refused like a move,
// and when the two sit in one class, one of them is not placed yet or one sits in a class
// outside the project's 1 to its class count (the other would be moved there).
AdjustmentOutcome swapStudents(db::Connection& connection, const CurrentProject& project,
                               int firstId, int secondId);

}  // namespace qm::store
