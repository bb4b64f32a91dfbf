#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/TextLines.h"

namespace qm::db {
class Connection;
}

namespace qm::store {

// One row of fb_info.
struct Project {
    int id = 0;
    std::string memo;
    int num = 0;              // number of classes
    std::string update_date;  // local date and time of creation, "YYYY-MM-DD HH:MM:SS"
    std::string table_name;   // "fb_" + id

    // The description as one line of a list: line breaks and tabs shown as blanks.
    std::string memoOnOneLine() const { return singleLine(memo); }
};

// The project a front works on: its student table, the twin, and its id as text. Empty
// fbTable means no project is current.
struct CurrentProject {
    std::string fbTable;
    std::string rbTable;
    std::string fbId;
    std::string memo;

    bool isOpen() const { return !fbTable.empty(); }
    int id() const;
};

// Reads a class count as typed: a whole number from kMinClassCount to kMaxClassCount (1 to 999),
// else UserError with a clear message.
int parseClassCount(std::string_view text);

// Creates a project as one unit: its fb_info row, table_name, student table, twin table and
// default settings row. A failure leaves nothing behind. Returns the project, now current. A
// class count outside 1 to 999 is refused with UserError; the description is stored as valid
// UTF-8 that an export can write (see xmlSafeText).
CurrentProject createProject(db::Connection& connection, const std::string& memo, int classCount);

// All projects in id order.
std::vector<Project> listProjects(db::Connection& connection);

// The project with this id; UserError when there is none.
Project findProject(db::Connection& connection, int id);

// The project whose student table has this name; UserError when there is none.
Project findProjectOfTable(db::Connection& connection, const std::string& table);

// How many students the project has now.
int studentCount(db::Connection& connection, const CurrentProject& project);

// Makes the project with this id current; UserError when there is none.
CurrentProject openProject(db::Connection& connection, int id);

// Deletes a project with its settings row, student table and twin table, as one unit.
// UserError when there is no such project.
void deleteProject(db::Connection& connection, int id);

}  // namespace qm::store
