#include "store/ProjectStore.h"

#include "common/InterleavingPause.h"
#include "common/NumberText.h"
#include "common/UserError.h"
#include "common/Utf8.h"
#include "db/Connection.h"
#include "db/Transaction.h"
#include "store/AdjustmentTables.h"
#include "store/DivisionSettings.h"
#include "store/Limits.h"
#include "store/StudentTable.h"

namespace qm::store {

int CurrentProject::id() const {
    const auto value = parseWholeNumber(fbId);
    if (!value) {
        throw UserError("请选择你要操作的分班项");
    }
    return *value;
}

namespace {

UserError classCountRefused(std::string_view shown) {
    return UserError("班级数必须是" + std::to_string(kMinClassCount) + "到" +
                     std::to_string(kMaxClassCount) + "之间的整数: " + std::string(shown));
}

bool isClassCount(int count) {
    return count >= kMinClassCount && count <= kMaxClassCount;
}

}  // namespace

int parseClassCount(std::string_view text) {
    const auto value = parseWholeNumber(text);
    if (!value || !isClassCount(*value)) {
        throw classCountRefused("\"" + std::string(text) + "\"");
    }
    return *value;
}

CurrentProject createProject(db::Connection& connection, const std::string& typedMemo,
                             int classCount) {
    if (!isClassCount(classCount)) {
        throw classCountRefused(std::to_string(classCount));
    }
    const std::string memo = xmlSafeText(typedMemo);
    db::Transaction transaction(connection);
    auto insert = connection.prepare("insert into fb_info(memo,num) values(?,?)");
    insert.bind(1, memo).bind(2, classCount);
    insert.execute();
    const int id = static_cast<int>(connection.lastInsertId());

    CurrentProject project;
    project.fbTable = studentTableName(id);
    project.rbTable = twinTableName(project.fbTable);
    project.fbId = std::to_string(id);
    project.memo = memo;

    auto name = connection.prepare("update fb_info set table_name=? where id=?");
    name.bind(1, project.fbTable).bind(2, id);
    name.execute();
    connection.exec(createStudentTableSql(project.fbTable));
    connection.exec(createStudentTableSql(project.rbTable));
    insertDefaultSettings(connection, id);
    createAdjustmentTables(connection, id);
    transaction.commit();
    return project;
}

namespace {

Project projectFromRow(const db::Row& row) {
    Project project;
    project.id = static_cast<int>(row["id"].toInt());
    project.memo = row["memo"].toText();
    project.num = row["num"].isNull() ? 0 : static_cast<int>(row["num"].toInt());
    project.update_date = row["update_date"].toText();
    project.table_name = row["table_name"].toText();
    return project;
}

}  // namespace

std::vector<Project> listProjects(db::Connection& connection) {
    std::vector<Project> projects;
    for (const auto row : connection.query("select * from fb_info order by id")) {
        projects.push_back(projectFromRow(row));
    }
    return projects;
}

Project findProject(db::Connection& connection, int id) {
    auto statement = connection.prepare("select * from fb_info where id=?");
    statement.bind(1, id);
    const auto rows = statement.query();
    if (rows.empty()) {
        throw UserError("分班项目 " + std::to_string(id) + " 不存在");
    }
    return projectFromRow(rows[0]);
}

Project findProjectOfTable(db::Connection& connection, const std::string& table) {
    auto statement = connection.prepare("select * from fb_info where table_name=?");
    statement.bind(1, table);
    const auto rows = statement.query();
    if (rows.empty()) {
        throw UserError("找不到分班项目: " + table);
    }
    return projectFromRow(rows[0]);
}

int studentCount(db::Connection& connection, const CurrentProject& project) {
    return static_cast<int>(
        connection.query("select count(*) from " + checkedTableName(project.fbTable))[0][0]
            .toInt());
}

CurrentProject openProject(db::Connection& connection, int id) {
    const Project project = findProject(connection, id);
    CurrentProject current;
    current.fbTable = checkedTableName(project.table_name);
    current.rbTable = twinTableName(current.fbTable);
    current.fbId = std::to_string(project.id);
    current.memo = project.memo;
    return current;
}

void deleteProject(db::Connection& connection, int id) {
    db::Transaction transaction(connection);
    const Project project = findProject(connection, id);
    const std::string& table = checkedTableName(project.table_name);
    pauseAfterReading();
    auto deleteInfo = connection.prepare("delete from fb_info where id=?");
    deleteInfo.bind(1, id);
    deleteInfo.execute();
    auto deleteConfig = connection.prepare("delete from config where id=?");
    deleteConfig.bind(1, id);
    deleteConfig.execute();
    // A table that is already gone (a damaged file) does not stop the deletion of the rest.
    connection.exec("drop table if exists " + table);
    connection.exec("drop table if exists " + twinTableName(table));
    dropAdjustmentTables(connection, id);
    transaction.commit();
}

}  // namespace qm::store
