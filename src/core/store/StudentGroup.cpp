#include "store/StudentGroup.h"

#include "common/NumberText.h"

namespace qm::store {

std::string_view kindName(GroupKind kind) {
    return kind == GroupKind::Apart ? "分开" : "同班";
}

std::optional<GroupKind> kindFromName(std::string_view text) {
    const std::string name = trimmed(text);
    for (GroupKind kind : {GroupKind::Apart, GroupKind::Together}) {
        if (name == kindName(kind)) {
            return kind;
        }
    }
    return std::nullopt;
}

std::string groupTitle(const StudentGroup& group) {
    const std::string kind(kindName(group.kind));
    if (group.id == 0) {
        return group.label.empty() ? "新的" + kind + "组" : "组 " + group.label + "（" + kind + "）";
    }
    std::string title = kind + "组 " + std::to_string(group.id);
    if (!group.label.empty()) {
        title += "（" + group.label + "）";
    }
    return title;
}

std::string studentNumbers(const std::vector<int>& students) {
    std::string text = "学号 ";
    for (std::size_t i = 0; i < students.size(); ++i) {
        text += (i == 0 ? "" : "、") + std::to_string(students[i]);
    }
    return text;
}

}  // namespace qm::store
