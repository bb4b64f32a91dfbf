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

// The conditions of the student list's query, as typed. A box holding nothing but blanks counts
// as empty; the name part is matched literally, but blanks in it and in the names stored do not
// count (a name imported as "卢 杰霞" is found with 卢杰霞 and with 杰霞).
struct StudentQuery {
    std::string studentNumber;  // 考号: the student number
    std::string namePart;       // 姓名: part of the name, matched literally but for blanks
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
