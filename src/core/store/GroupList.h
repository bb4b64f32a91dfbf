#pragma once

#include <optional>
#include <string>
#include <vector>

#include "store/StudentGroup.h"

namespace qm::db {
class Connection;
}

namespace qm::store {

struct CurrentProject;

// One student of a listed group, with the name and class the project gives it now.
struct GroupMemberListing {
    int studentId = 0;
    std::optional<std::string> name;  // nothing when the number is no longer in the project
    int classId = 0;                  // 0: not placed, or not in the project
};

// One line of the list of a project's groups, as the windows and the command line show it.
struct GroupListing {
    StudentGroup group;
    std::string members;  // "1001 张三、1002 李四"; a number no longer in the project is marked
    std::vector<GroupMemberListing> students;  // the members in the group's order
    std::optional<std::string> broken;  // why the present classes do not keep it, if they do not
};

// The project's groups in the order they were made, with their students' names and classes and
// whether the present classes keep them.
std::vector<GroupListing> listGroups(db::Connection& connection, const CurrentProject& project);

}  // namespace qm::store
