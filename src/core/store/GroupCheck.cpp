#include "store/GroupCheck.h"

#include <map>
#include <set>

#include "common/UserError.h"
#include "db/Connection.h"
#include "store/GroupStore.h"
#include "store/StudentTable.h"

namespace qm::store {

namespace {

// The group's members that are students of the project, by class, classes ascending.
std::map<int, std::vector<int>> membersByClass(const StudentGroup& group,
                                               const ClassOfStudent& classes) {
    std::map<int, std::vector<int>> byClass;
    for (int student : group.members) {
        if (const auto found = classes.find(student); found != classes.end()) {
            byClass[found->second].push_back(student);
        }
    }
    return byClass;
}

// Each group that has a member among `students` and is not kept, with why (see whyBroken).
std::vector<BrokenGroup> brokenGroupsOf(const std::vector<StudentGroup>& groups,
                                        const ClassOfStudent& classes,
                                        const std::set<int>& students) {
    std::vector<BrokenGroup> broken;
    for (const StudentGroup& group : groups) {
        bool involved = false;
        for (int member : group.members) {
            involved = involved || students.count(member) != 0;
        }
        if (involved) {
            if (auto reason = whyBroken(group, classes)) {
                broken.push_back({group, std::move(*reason)});
            }
        }
    }
    return broken;
}

}  // namespace

int classNumber(const db::Value& classId) {
    return classId.isNull() ? 0 : static_cast<int>(classId.toInt());
}

std::string classTitle(int classId) {
    return classId == 0 ? kUnplacedTitle : std::to_string(classId) + "班";
}

ClassOfStudent readClasses(db::Connection& connection, const std::string& table) {
    ClassOfStudent classes;
    for (const auto row :
         connection.query("select student_id,class_id from " + checkedTableName(table))) {
        classes[static_cast<int>(row["student_id"].toInt())] = classNumber(row["class_id"]);
    }
    return classes;
}

std::optional<std::string> whyBroken(const StudentGroup& group, const ClassOfStudent& classes) {
    const auto byClass = membersByClass(group, classes);
    std::string reasons;
    if (group.kind == GroupKind::Apart) {
        for (const auto& [classId, members] : byClass) {
            if (classId != 0 && members.size() > 1) {
                reasons += (reasons.empty() ? "" : "，") + studentNumbers(members) + " 同在 " +
                           classTitle(classId);
            }
        }
    } else if (byClass.size() > 1) {
        for (const auto& [classId, members] : byClass) {
            reasons += (reasons.empty() ? "" : "，") + studentNumbers(members) + " 在 " +
                       classTitle(classId);
        }
    }
    if (reasons.empty()) {
        return std::nullopt;
    }
    return groupTitle(group) + ": " + reasons;
}

std::vector<BrokenGroup> groupsBrokenBy(db::Connection& connection, int projectId,
                                        const std::string& table,
                                        const ClassOfStudent& newClasses) {
    const auto groups = loadGroups(connection, projectId);
    if (groups.empty()) {
        return {};
    }
    ClassOfStudent classes = readClasses(connection, table);
    std::set<int> moved;
    for (const auto& [student, classId] : newClasses) {
        classes[student] = classId;
        moved.insert(student);
    }
    return brokenGroupsOf(groups, classes, moved);
}

std::string brokenGroupsMessage(const std::string& refusal,
                                const std::vector<BrokenGroup>& broken) {
    std::string message = refusal;
    for (const BrokenGroup& group : broken) {
        message += "\n" + group.reason;
    }
    return message;
}

void refuseBrokenGroups(db::Connection& connection, int projectId, const std::string& table,
                        const ClassOfStudent& newClasses, const std::string& refusal) {
    const auto broken = groupsBrokenBy(connection, projectId, table, newClasses);
    if (!broken.empty()) {
        throw UserError(brokenGroupsMessage(refusal, broken));
    }
}

std::vector<StudentGroup> groupsAmong(const std::vector<StudentGroup>& groups,
                                      const ClassOfStudent& classes) {
    std::vector<StudentGroup> kept;
    for (StudentGroup group : groups) {
        std::erase_if(group.members, [&](int student) { return classes.count(student) == 0; });
        if (group.members.size() > 1) {
            kept.push_back(std::move(group));
        }
    }
    return kept;
}

std::vector<std::string> contradictions(const std::vector<StudentGroup>& groups) {
    std::vector<std::string> messages;
    std::map<int, const StudentGroup*> togetherOf;
    for (const StudentGroup& group : groups) {
        if (group.kind != GroupKind::Together) {
            continue;
        }
        for (int student : group.members) {
            const auto [at, added] = togetherOf.emplace(student, &group);
            if (!added) {
                messages.push_back(studentNumbers({student}) + " 同时属于" +
                                   groupTitle(*at->second) + " 和" + groupTitle(group));
            }
        }
    }
    for (const StudentGroup& group : groups) {
        if (group.kind != GroupKind::Apart) {
            continue;
        }
        std::map<const StudentGroup*, std::vector<int>> byTogether;
        for (int student : group.members) {
            if (const auto found = togetherOf.find(student); found != togetherOf.end()) {
                byTogether[found->second].push_back(student);
            }
        }
        for (const auto& [together, members] : byTogether) {
            if (members.size() > 1) {
                messages.push_back(groupTitle(*together) + " 含有" + groupTitle(group) + " 的" +
                                   studentNumbers(members) + "，不能既同班又分开");
            }
        }
    }
    return messages;
}

}  // namespace qm::store
