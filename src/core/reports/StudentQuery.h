#pragma once

#include <optional>
#include <string>

#include "db/ResultSet.h"

namespace qm::db {
class Connection;
}

namespace qm::reports {

enum class SexFilter { All, Boys, Girls };

// A score range as typed into its two boxes; it applies only when both are filled.
struct ScoreRange {
    std::string from;
    std::string to;
};

// The conditions of the student list's query, as typed. A number box holding nothing but blanks
// counts as empty; the name part is searched as typed, blanks included.
struct StudentQuery {
    std::string studentNumber;  // 考号: the student number
    std::string namePart;       // 姓名: part of the name, matched literally
    SexFilter sex = SexFilter::All;
    std::optional<int> classId;  // the class chosen in the class tree, when that condition is on
    ScoreRange math;
    ScoreRange english;
    ScoreRange chinese;
};

// The students matching every condition given, all columns, ordered by student number. Typed
// values are bound to the statement, never put into its text; a number box holding something
// that is not a number is refused with a message naming the box.
db::ResultSet findStudents(db::Connection& connection, const std::string& table,
                           const StudentQuery& query);

// The students of one class by student number (a class node of the class tree).
db::ResultSet studentsOfClass(db::Connection& connection, const std::string& table, int classId);

// All students by class, then student number (the root of the class tree).
db::ResultSet allStudents(db::Connection& connection, const std::string& table);

}  // namespace qm::reports
