#pragma once

#include <string>
#include <vector>

namespace qm::db {
class Connection;
}

namespace qm::store {

// The tables in which a project keeps the teacher's own adjustments, named after the project's
// id (never after anything typed):
//   groups, groupMembers   groups of students kept apart (分开) or together (同班)
//   steps, stepRows        the steps that can be undone and redone, with every student they
//                          moved
//   versions, versionRows  saved versions of the classes, with every student's class
struct AdjustmentTables {
    explicit AdjustmentTables(int projectId);
    // Every name above.
    std::vector<std::string> all() const;

    std::string groups;
    std::string groupMembers;
    std::string steps;
    std::string stepRows;
    std::string versions;
    std::string versionRows;
};

// Creates those of the project's tables that are missing.
void createAdjustmentTables(db::Connection& connection, int projectId);

// Drops the project's tables, those that exist.
void dropAdjustmentTables(db::Connection& connection, int projectId);

// Whether every project of fb_info has all its tables; only reads.
bool adjustmentTablesComplete(db::Connection& connection);

// The tables of groups, steps and versions whose project is no longer in fb_info: an older
// version deleted a project without them. Only reads.
std::vector<std::string> tablesOfDeletedProjects(db::Connection& connection);

// Creates the missing tables of every project of fb_info: a database written before these tables
// existed gets them when it is opened, with nothing else changed.
void ensureAdjustmentTables(db::Connection& connection);

}  // namespace qm::store
