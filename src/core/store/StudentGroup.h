#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm::store {

// How a group binds its students.
enum class GroupKind {
    Apart,     // 分开: no two of them in one class
    Together,  // 同班: all of them in one class
};

// "分开" or "同班".
std::string_view kindName(GroupKind kind);
// The kind a text names ("分开" or "同班", blanks around allowed); nothing for any other text.
std::optional<GroupKind> kindFromName(std::string_view text);

// A group of a project's students that the teacher wants kept apart or together.
struct StudentGroup {
    int id = 0;  // 0 for a group not stored yet
    GroupKind kind = GroupKind::Apart;
    std::string label;         // the group's name in the file it came from; may be empty
    std::vector<int> members;  // student numbers, ascending
};

// How messages name a group: "分开组 3", or with a label "同班组 3（双胞胎）"; a group not
// stored yet by its name in the file, "组 A（分开）", or as "新的分开组".
std::string groupTitle(const StudentGroup& group);

// "学号 1001、1002、1005".
std::string studentNumbers(const std::vector<int>& students);

}  // namespace qm::store
