#include "store/GroupStore.h"

#include <algorithm>
#include <map>

#include "common/InterleavingPause.h"
#include "common/UserError.h"
#include "db/Connection.h"
#include "db/Transaction.h"
#include "store/AdjustmentTables.h"
#include "store/GroupCheck.h"
#include "store/ProjectStore.h"
#include "store/StudentTable.h"

namespace qm::store {

namespace {

void checkMembers(const StudentGroup& group, const ClassOfStudent& students, int classCount) {
    const std::string title = groupTitle(group);
    if (group.members.size() < 2) {
        throw UserError(title + ": 一个组至少要有两名学生");
    }
    for (std::size_t i = 0; i < group.members.size(); ++i) {
        const int student = group.members[i];
        if (i > 0 && group.members[i - 1] == student) {
            throw UserError(title + ": " + studentNumbers({student}) + " 出现了两次");
        }
        if (students.count(student) == 0) {
            throw UserError(title + ": " + studentNumbers({student}) + " 不是该分班项目的学生");
        }
    }
    if (group.kind == GroupKind::Apart && static_cast<int>(group.members.size()) > classCount) {
        throw UserError(title + ": 有 " + std::to_string(group.members.size()) +
                        " 名学生，多于班级数 " + std::to_string(classCount) +
                        "，无法让他们都不同班");
    }
}

// The class of every student fixed to it in advance, whom no division moves.
ClassOfStudent fixedClasses(db::Connection& connection, const std::string& table) {
    ClassOfStudent fixed;
    auto select = connection.prepare("select student_id,class_id from " + checkedTableName(table) +
                                     " where type=?");
    select.bind(1, static_cast<int>(kFixed));
    for (const auto row : select.query()) {
        fixed[static_cast<int>(row["student_id"].toInt())] = classNumber(row["class_id"]);
    }
    return fixed;
}

// Refuses a group that its fixed students make impossible for every division: a 同班 group whose
// members are fixed in different classes, a 分开 group with two members fixed in one class.
void checkFixedMembers(const StudentGroup& group, const ClassOfStudent& fixed) {
    std::map<int, std::vector<int>> byClass;
    for (int student : group.members) {
        if (const auto found = fixed.find(student); found != fixed.end()) {
            byClass[found->second].push_back(student);
        }
    }
    std::string reasons;
    if (group.kind == GroupKind::Together && byClass.size() > 1) {
        for (const auto& [classId, members] : byClass) {
            reasons += (reasons.empty() ? "" : "，") + studentNumbers(members) + " 固定在 " +
                       classTitle(classId);
        }
        reasons += "，无法同班";
    }
    for (const auto& [classId, members] : byClass) {
        if (group.kind == GroupKind::Apart && members.size() > 1) {
            reasons += (reasons.empty() ? "" : "，") + studentNumbers(members) + " 都固定在 " +
                       classTitle(classId) + "，无法不同班";
        }
    }
    if (!reasons.empty()) {
        throw UserError(groupTitle(group) + ": " + reasons);
    }
}

int insertGroup(db::Connection& connection, const AdjustmentTables& tables, GroupKind kind,
                const std::string& label, const std::vector<int>& members) {
    auto insert = connection.prepare("insert into " + tables.groups + "(kind,label) values(?,?)");
    insert.bind(1, kindName(kind)).bind(2, label);
    insert.execute();
    const int id = static_cast<int>(connection.lastInsertId());
    auto member = connection.prepare("insert into " + tables.groupMembers +
                                     "(group_id,student_id) values(?,?)");
    for (int student : members) {
        member.bind(1, id).bind(2, student);
        member.execute();
    }
    return id;
}

}  // namespace

std::vector<StudentGroup> loadGroups(db::Connection& connection, int projectId) {
    const AdjustmentTables tables(projectId);
    std::vector<StudentGroup> groups;
    for (const auto row : connection.query("select group_id,kind,label from " + tables.groups +
                                           " order by group_id")) {
        StudentGroup group;
        group.id = static_cast<int>(row["group_id"].toInt());
        group.kind = kindFromName(row["kind"].toText()).value_or(GroupKind::Apart);
        group.label = row["label"].toText();
        groups.push_back(std::move(group));
    }
    std::size_t next = 0;
    for (const auto row : connection.query("select group_id,student_id from " +
                                           tables.groupMembers + " order by group_id,student_id")) {
        const int id = static_cast<int>(row["group_id"].toInt());
        while (next < groups.size() && groups[next].id < id) {
            ++next;
        }
        if (next < groups.size() && groups[next].id == id) {
            groups[next].members.push_back(static_cast<int>(row["student_id"].toInt()));
        }
    }
    return groups;
}

std::vector<int> addGroups(db::Connection& connection, const CurrentProject& project,
                           const std::vector<NewGroup>& groups) {
    const int projectId = project.id();
    db::Transaction transaction(connection);  // checked against the students and groups of now
    const int classCount = findProject(connection, projectId).num;
    const ClassOfStudent students = readClasses(connection, project.fbTable);
    std::vector<StudentGroup> all = loadGroups(connection, projectId);
    const auto earlierProblems = contradictions(all);
    const ClassOfStudent fixed = fixedClasses(connection, project.fbTable);
    const std::size_t stored = all.size();
    for (const NewGroup& group : groups) {
        StudentGroup added{.kind = group.kind, .label = group.label, .members = group.members};
        std::sort(added.members.begin(), added.members.end());
        checkMembers(added, students, classCount);
        checkFixedMembers(added, fixed);
        all.push_back(std::move(added));
    }
    for (const std::string& problem : contradictions(all)) {
        if (std::find(earlierProblems.begin(), earlierProblems.end(), problem) ==
            earlierProblems.end()) {
            throw UserError(problem);
        }
    }
    pauseAfterReading();
    const AdjustmentTables tables(projectId);
    std::vector<int> ids;
    for (std::size_t g = stored; g < all.size(); ++g) {
        ids.push_back(insertGroup(connection, tables, all[g].kind, all[g].label, all[g].members));
    }
    transaction.commit();
    return ids;
}

void deleteGroup(db::Connection& connection, int projectId, int groupId) {
    const AdjustmentTables tables(projectId);
    db::Transaction transaction(connection);
    auto group = connection.prepare("delete from " + tables.groups + " where group_id=?");
    group.bind(1, groupId);
    if (group.execute() == 0) {
        throw UserError("该分班项目没有第 " + std::to_string(groupId) + " 组约束");
    }
    auto members = connection.prepare("delete from " + tables.groupMembers + " where group_id=?");
    members.bind(1, groupId);
    members.execute();
    transaction.commit();
}

void copyGroups(db::Connection& connection, int sourceProjectId, int targetProjectId) {
    const AdjustmentTables target(targetProjectId);
    const auto present = loadGroups(connection, targetProjectId);
    for (const StudentGroup& group : loadGroups(connection, sourceProjectId)) {
        // Copying the same students again does not repeat their groups.
        const bool known = std::any_of(present.begin(), present.end(), [&](const auto& other) {
            return other.kind == group.kind && other.members == group.members;
        });
        if (!known) {
            insertGroup(connection, target, group.kind, group.label, group.members);
        }
    }
}

}  // namespace qm::store
