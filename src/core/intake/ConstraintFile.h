#pragma once

#include <string>
#include <vector>

#include "store/GroupStore.h"

namespace qm::db {
class Connection;
}

namespace qm::store {
struct CurrentProject;
}

namespace qm::intake {

// Reads the groups of a file (.csv, .xlsx or .xls), from the sheet the file opens with: row 1
// holds the titles 学号, 组 and 方式 in any order (other columns are ignored), every later row
// one student: its number, the name of its group and 分开 or 同班. Rows whose three cells are
// empty are skipped. Groups come in the order of their first row and keep their name as label.
// Refused with a UserError naming the file and the row: a missing title, a number that is not
// a whole number, an empty group name, a kind other than 分开 and 同班, one group given both
// kinds, a file without groups.
std::vector<store::NewGroup> readConstraintFile(const std::string& path);

// Reads the file and stores its groups, all or none (see addGroups); returns their numbers.
std::vector<int> addGroupsFromFile(db::Connection& connection, const store::CurrentProject& project,
                                   const std::string& path);

}  // namespace qm::intake
