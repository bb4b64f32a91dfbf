#include "store/SavedVersions.h"

#include "common/InterleavingPause.h"
#include "common/NumberText.h"
#include "common/TextLines.h"
#include "common/UserError.h"
#include "common/Utf8.h"
#include "db/Connection.h"
#include "db/Transaction.h"
#include "store/AdjustmentTables.h"
#include "store/HandPlacement.h"
#include "store/ProjectStore.h"
#include "store/StudentTable.h"

namespace qm::store {

namespace {

// "方案 2（期中后）"
std::string versionTitle(const SavedVersion& version) {
    return "方案 " + std::to_string(version.number) + "（" + version.name + "）";
}

}  // namespace

int saveVersion(db::Connection& connection, const CurrentProject& project,
                const std::string& name) {
    const std::string& table = checkedTableName(project.fbTable);
    const AdjustmentTables tables(project.id());
    // Stored as every other text is (valid UTF-8 that an export can write), and on one line, as
    // the lists show it.
    const std::string trimmedName = trimmed(singleLine(xmlSafeText(name)));
    if (trimmedName.empty()) {
        throw UserError("请输入方案名称");
    }
    if (utf8CharacterCount(trimmedName) > kVersionNameLength) {
        throw UserError("方案名称不能超过 " + std::to_string(kVersionNameLength) + " 个字");
    }
    db::Transaction transaction(connection);
    for (const SavedVersion& version : listVersions(connection, project)) {
        if (version.name == trimmedName) {
            throw UserError("已有同名的" + versionTitle(version) + "，请换一个名称");
        }
    }
    if (connection.query("select 1 from " + table + " limit 1").empty()) {
        throw UserError("该分班项目还没有学生，无法保存方案");
    }
    pauseAfterReading();
    auto insert = connection.prepare("insert into " + tables.versions + "(name) values(?)");
    insert.bind(1, trimmedName);
    insert.execute();
    const auto number = connection.lastInsertId();
    auto rows = connection.prepare("insert into " + tables.versionRows +
                                   "(version,student_id,class_id) select ?,student_id,class_id "
                                   "from " +
                                   table);
    rows.bind(1, number);
    rows.execute();
    transaction.commit();
    return static_cast<int>(number);
}

std::vector<SavedVersion> listVersions(db::Connection& connection, const CurrentProject& project) {
    const AdjustmentTables tables(project.id());
    std::vector<SavedVersion> versions;
    for (const auto row :
         connection.query("select v.version,v.name,v.saved,count(r.student_id) as students from " +
                          tables.versions + " v left join " + tables.versionRows +
                          " r on r.version=v.version group by v.version order by v.version")) {
        versions.push_back({static_cast<int>(row["version"].toInt()), row["name"].toText(),
                            row["saved"].toText(), static_cast<int>(row["students"].toInt())});
    }
    return versions;
}

SavedVersion findVersion(db::Connection& connection, const CurrentProject& project, int number) {
    for (const SavedVersion& version : listVersions(connection, project)) {
        if (version.number == number) {
            return version;
        }
    }
    throw UserError("该分班项目没有方案 " + std::to_string(number));
}

ClassOfStudent versionClasses(db::Connection& connection, const CurrentProject& project,
                              int number) {
    const AdjustmentTables tables(project.id());
    auto select = connection.prepare("select student_id,class_id from " + tables.versionRows +
                                     " where version=?");
    select.bind(1, number);
    ClassOfStudent classes;
    for (const auto row : select.query()) {
        classes[static_cast<int>(row["student_id"].toInt())] = classNumber(row["class_id"]);
    }
    return classes;
}

AdjustmentOutcome restoreVersion(db::Connection& connection, const CurrentProject& project,
                                 int number) {
    const std::string& table = checkedTableName(project.fbTable);
    // The students to move are found under the write lock, so that the version comes back
    // whole also when another program changed the classes a moment before.
    db::Transaction transaction(connection);
    const SavedVersion version = findVersion(connection, project, number);
    const ClassOfStudent saved = versionClasses(connection, project, number);
    ClassOfStudent changes;
    for (const auto& [student, classId] : readClasses(connection, table)) {
        const auto found = saved.find(student);
        if (found != saved.end() && found->second != classId) {
            changes[student] = found->second;
        }
    }
    if (changes.empty()) {
        throw UserError("各班学生与" + versionTitle(version) + "相同，无需恢复");
    }
    pauseAfterReading();
    AdjustmentOutcome outcome =
        placeByHand(connection, project, changes, "恢复" + versionTitle(version));
    transaction.commit();
    outcome.description += "：" + std::to_string(changes.size()) + " 名学生回到方案中的班级";
    return outcome;
}

}  // namespace qm::store
