#include "store/ProjectStore.h"

#include "common/NumberText.h"
#include "common/UserError.h"
#include "db/Connection.h"
#include "db/Transaction.h"
#include "store/AdjustmentTables.h"
#include "store/DivisionSettings.h"
#include "store/StudentTable.h"

namespace qm::store {

int CurrentProject::id() const {
    const auto value = parseWholeNumber(fbId);
    if (!value) {
        throw UserError("请选择你要操作的分班项");
    }
    return *value;
}

int parseClassCount(std::string_view text) {
    const auto value = parseWholeNumber(text);
    if (!value || *value < 1) {
        throw UserError("班级数必须是从1起的整数: \"" + std::string(text) + "\"");
    }
    return *value;
}

CurrentProject createProject(db::Connection& connection, const std::string& memo, int classCount) {
    if (classCount < 1) {
        throw UserError("班级数必须是从1起的整数: " + std::to_string(classCount));
    }
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
    const Project project = findProject(connection, id);
    const std::string& table = checkedTableName(project.table_name);
    db::Transaction transaction(connection);
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
