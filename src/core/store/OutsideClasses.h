#pragma once

#include <string>
#include <vector>

namespace qm::db {
class Connection;
}

namespace qm::store {

// How many students of a table stand in one class.
struct ClassHeadCount {
    int classId = 0;
    int students = 0;

    bool operator==(const ClassHeadCount&) const = default;
};

// The students of a student table who stand in none of the project's classes 1 to classCount:
// fixed in advance to a class the project does not have (an older database may hold such rows),
// per class number in ascending order. Students waiting for a division (class 0, not fixed) are
// not counted. A division keeps such students where they are, so the fronts tell the user.
std::vector<ClassHeadCount> studentsOutsideClasses(db::Connection& connection,
                                                   const std::string& table, int classCount);

// The line that tells it, such as "有3名学生不在本项目的1到4班中：0班1名，9班2名"; empty text
// when there are none.
std::string outsideClassesLine(const std::vector<ClassHeadCount>& outside, int classCount);
// The same line for the students of a table, as they stand now.
std::string outsideClassesLine(db::Connection& connection, const std::string& table,
                               int classCount);

}  // namespace qm::store
