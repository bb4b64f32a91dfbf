#pragma once

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "db/Value.h"
#include "store/StudentGroup.h"

namespace qm::db {
class Connection;
}

namespace qm::store {

// Where students sit: student number to class number (0: not placed).
using ClassOfStudent = std::unordered_map<int, int>;

// A class_id as a number: 0 when it has no value.
int classNumber(const db::Value& classId);

// How class 0 is named: the students no division placed.
inline constexpr const char* kUnplacedTitle = "未分班";

// How messages, grids and exports name a class: "3班", or 未分班 for class 0.
std::string classTitle(int classId);

// The class of every student of a student table; a class without a value reads as 0.
ClassOfStudent readClasses(db::Connection& connection, const std::string& table);

// Why the group is not kept where the students sit, as "分开组 3: 学号 1001、1002 同在 2班",
// or nothing when it is kept. Members missing from the map (no longer students of the project)
// are left out. A 分开 group is kept when no two of its placed members share a class; a 同班
// group when all its members sit in one class.
std::optional<std::string> whyBroken(const StudentGroup& group, const ClassOfStudent& classes);

// The groups keeping only the members found in the map, and only groups left with two or more.
std::vector<StudentGroup> groupsAmong(const std::vector<StudentGroup>& groups,
                                      const ClassOfStudent& classes);

// A group of the project that a change would leave broken, and why (see whyBroken).
struct BrokenGroup {
    StudentGroup group;
    std::string reason;
};

// The groups of the project, holding one of the students a change moves, that the change would
// leave broken. newClasses gives the class each moved student would sit in.
std::vector<BrokenGroup> groupsBrokenBy(db::Connection& connection, int projectId,
                                        const std::string& table,
                                        const ClassOfStudent& newClasses);

// `refusal` followed by the reasons, one line each.
std::string brokenGroupsMessage(const std::string& refusal,
                                const std::vector<BrokenGroup>& broken);

// Refuses, with a UserError made of `refusal` and the reasons, a change that would leave a
// group of the project broken that holds one of the students it moves.
void refuseBrokenGroups(db::Connection& connection, int projectId, const std::string& table,
                        const ClassOfStudent& newClasses, const std::string& refusal);

// Groups that no division can keep together, whatever the classes: a student in two 同班
// groups, or a 同班 group holding two students of one 分开 group. One message for each.
std::vector<std::string> contradictions(const std::vector<StudentGroup>& groups);

}  // namespace qm::store
