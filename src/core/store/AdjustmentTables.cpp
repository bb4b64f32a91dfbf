#include "store/AdjustmentTables.h"

#include <algorithm>
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

std::vector<std::string> tablesOfDeletedProjects(db::Connection& connection) {
    std::set<std::string> kept;
    for (const auto row : connection.query("select id from fb_info where id is not null")) {
        for (std::string& name : AdjustmentTables(static_cast<int>(row["id"].toInt())).all()) {
            kept.insert(std::move(name));
        }
    }
    // Each name is checked against the names a project's tables have, so that no other table
    // (a project's students above all) is ever taken for one of them.
    std::vector<std::string> deleted;
    for (const auto row : connection.query("select name from sqlite_master where type='table'")) {
        const std::string name = row["name"].toText();
        const auto digits = name.find_first_not_of("0123456789", 3);
        if (!name.starts_with("fb_") || digits == 3 || digits == std::string::npos ||
            kept.count(name) != 0) {
            continue;
        }
        const std::string number = name.substr(3, digits - 3);
        if (number.size() > 9 || number.front() == '0') {
            continue;
        }
        const auto tables = AdjustmentTables(std::stoi(number)).all();
        if (std::find(tables.begin(), tables.end(), name) != tables.end()) {
            deleted.push_back(name);
        }
    }
    return deleted;
}

void ensureAdjustmentTables(db::Connection& connection) {
    for (const auto row : connection.query("select id from fb_info where id is not null")) {
        createAdjustmentTables(connection, static_cast<int>(row["id"].toInt()));
    }
}

}  // namespace qm::store
