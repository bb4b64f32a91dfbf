#pragma once

#include <string>
#include <utility>
#include <vector>

namespace qm::db {
class Connection;
}

namespace qm::reports {

// Values typed into the student list for some columns of one row: (column name, text).
using StudentFields = std::vector<std::pair<std::string, std::string>>;

// Checks and stores the changed cells of the student with this number, as one statement. Each
// text is checked for its column before anything is written, by what a student row may hold
// (store::studentValue). A student number that another
// row has is refused. Refusals are UserError with a message
// naming the column; nothing is changed then. Texts are stored as valid UTF-8 (see xmlSafeText).
// A changed name without a pinyin of its own also gets the pinyin of the new name, cut to the
// width of the pinyin column.
void updateStudent(db::Connection& connection, const std::string& table, int studentId,
                   const StudentFields& changes);

// Inserts a new student from the typed cells, checked as above. The student number is required;
// a column not given gets 0 for numbers and empty text for texts (not placed, class 0); the
// pinyin is that of the name unless given.
void insertStudent(db::Connection& connection, const std::string& table,
                   const StudentFields& values);

// Deletes the student with this number; UserError when there is none.
void deleteStudent(db::Connection& connection, const std::string& table, int studentId);

}  // namespace qm::reports
