#include "store/AdjustmentTables.h"

#include <set>
#include <utility>

#include "db/Connection.h"

namespace qm::store {

AdjustmentTables::AdjustmentTables(int projectId) {
    const std::string prefix = "fb_" + std::to_string(projectId) + "_";
    groups = prefix + "groups";
    groupMembers = prefix + "group_members";
    steps = prefix + "steps";
    stepRows = prefix + "step_rows";
    versions = prefix + "versions";
    versionRows = prefix + "version_rows";
}

std::vector<std::string> AdjustmentTables::all() const {
    return {groups, groupMembers, steps, stepRows, versions, versionRows};
}

void createAdjustmentTables(db::Connection& connection, int projectId) {
    const AdjustmentTables tables(projectId);
    const std::string now = "TEXT NOT NULL DEFAULT (datetime('now','localtime'))";
    const std::pair<std::string, std::string> layouts[] = {
        {tables.groups,
         "group_id INTEGER PRIMARY KEY AUTOINCREMENT,"
         "kind TEXT NOT NULL CHECK(kind IN ('分开','同班')),label TEXT NOT NULL DEFAULT ''"},
        {tables.groupMembers,
         "group_id INTEGER NOT NULL,student_id INTEGER NOT NULL,PRIMARY KEY(group_id,student_id)"},
        {tables.steps, "step INTEGER PRIMARY KEY AUTOINCREMENT,action TEXT NOT NULL,made " + now +
                           ",undone INTEGER NOT NULL DEFAULT 0"},
        {tables.stepRows,
         "step INTEGER NOT NULL,student_id INTEGER NOT NULL,old_class INTEGER,old_type INTEGER,"
         "new_class INTEGER,new_type INTEGER,PRIMARY KEY(step,student_id)"},
        {tables.versions,
         "version INTEGER PRIMARY KEY AUTOINCREMENT,name TEXT NOT NULL,saved " + now},
        {tables.versionRows,
         "version INTEGER NOT NULL,student_id INTEGER NOT NULL,class_id INTEGER,"
         "PRIMARY KEY(version,student_id)"},
    };
    for (const auto& [name, columns] : layouts) {
        connection.exec("CREATE TABLE IF NOT EXISTS " + name + "(" + columns + ")");
    }
}

void dropAdjustmentTables(db::Connection& connection, int projectId) {
    for (const std::string& name : AdjustmentTables(projectId).all()) {
        connection.exec("DROP TABLE IF EXISTS " + name);
    }
}

bool adjustmentTablesComplete(db::Connection& connection) {
    std::set<std::string> present;
    for (const auto row : connection.query("select name from sqlite_master where type='table'")) {
        present.insert(row["name"].toText());
    }
    for (const auto row : connection.query("select id from fb_info where id is not null")) {
        for (const std::string& name :
             AdjustmentTables(static_cast<int>(row["id"].toInt())).all()) {
            if (present.count(name) == 0) {
                return false;
            }
        }
    }
    return true;
}

void ensureAdjustmentTables(db::Connection& connection) {
    for (const auto row : connection.query("select id from fb_info where id is not null")) {
        createAdjustmentTables(connection, static_cast<int>(row["id"].toInt()));
    }
}

}  // namespace qm::store
