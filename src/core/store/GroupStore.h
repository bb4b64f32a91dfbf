#pragma once

#include <string>
#include <vector>

#include "store/StudentGroup.h"

namespace qm::db {
class Connection;
}

namespace qm::store {

struct CurrentProject;

// A group to be stored: its kind, its students and, when it comes from a file, its name there.
struct NewGroup {
    GroupKind kind = GroupKind::Apart;
    std::vector<int> members;
    std::string label;
};

// The project's groups in the order they were made, each with its members ascending.
std::vector<StudentGroup> loadGroups(db::Connection& connection, int projectId);

// Checks the groups and stores them, all or none, as one unit; returns their numbers. Refused
// with a UserError naming the group and the student: fewer than two students, a student twice,
// a student who is not in the project, a 分开 group with more students than the project has
// classes, a 同班 group whose students are fixed in advance in different classes, a 分开 group
// with two students fixed in one class, and groups that contradict each other or the stored ones
// (a student in two 同班 groups, a 同班 group holding two students of one 分开 group).
std::vector<int> addGroups(db::Connection& connection, const CurrentProject& project,
                           const std::vector<NewGroup>& groups);

// Deletes the group with this number; UserError when the project has none.
void deleteGroup(db::Connection& connection, int projectId, int groupId);

// Adds the groups of one project to another, under new numbers (students copied between
// projects bring their groups along).
void copyGroups(db::Connection& connection, int sourceProjectId, int targetProjectId);

}  // namespace qm::store
