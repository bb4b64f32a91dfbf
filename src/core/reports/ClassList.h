#pragma once

#include <string>
#include <vector>

#include "db/Value.h"

namespace qm::db {
class Connection;
}

namespace qm::reports {

// A class that occurs in a student table: its number and its name as shown, such as 3班.
// Class 0 holds the students not yet placed.
struct ClassEntry {
    int classId = 0;
    std::string name;

    bool operator==(const ClassEntry&) const = default;
};

// The name of a class as the system shows it: the number followed by 班, and 未分班 for class 0,
// the students not placed (a class_id without a value gives 班 alone).
std::string className(const db::Value& classId);

// Every class that occurs in the table, in ascending class number: the class tree of the
// student list and the classes offered for re-division. Rows without a class are left out.
std::vector<ClassEntry> listClasses(db::Connection& connection, const std::string& table);

}  // namespace qm::reports
