#include "store/StudentTable.h"

#include <algorithm>

#include "common/UserError.h"

namespace qm::store {

namespace {

// A fixed-width text column: trailing blanks are insignificant in comparisons and grouping (they
// are the column's padding), and a value longer than the width, not counting them, is refused by
// a named check.
std::string charColumn(std::string_view name, int width) {
    const std::string n(name);
    const std::string w = std::to_string(width);
    return n + " char(" + w + ") COLLATE RTRIM CONSTRAINT " + n + "_longer_than_" + w +
           " CHECK(length(rtrim(" + n + "))<=" + w + ")";
}

// A number column that refuses text which is not a number (the column's affinity has already
// turned numeric text into a number when the check runs).
std::string numberColumn(std::string_view name, std::string_view type) {
    const std::string n(name);
    return n + " " + std::string(type) + " CONSTRAINT " + n + "_not_a_number CHECK(typeof(" + n +
           ")<>'text' AND typeof(" + n + ")<>'blob')";
}

}  // namespace

int textColumnWidth(std::string_view column) {
    for (const auto& text : kTextColumns) {
        if (text.name == column) {
            return text.width;
        }
    }
    return 0;
}

std::string withoutPadding(std::string_view text) {
    return std::string(text.substr(0, text.find_last_not_of(' ') + 1));
}

std::string placeCode(PlaceType type) {
    return std::to_string(static_cast<int>(type));
}

std::string studentTableName(int projectId) {
    return "fb_" + std::to_string(projectId);
}

std::string twinTableName(const std::string& studentTable) {
    return "rb_" + studentTable;
}

bool isProjectTableName(std::string_view name) {
    if (name.starts_with("rb_")) {
        name.remove_prefix(3);
    }
    if (!name.starts_with("fb_") || name.size() == 3) {
        return false;
    }
    for (char c : name.substr(3)) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

const std::string& checkedTableName(const std::string& name) {
    if (!isProjectTableName(name)) {
        throw UserError("不是分班项目的学生表: " + name);
    }
    return name;
}

std::string createStudentTableSql(const std::string& name) {
    std::string sql = "CREATE TABLE " + checkedTableName(name) + "(";
    for (auto column : kStudentColumns) {
        if (const int width = textColumnWidth(column)) {
            sql += charColumn(column, width);
        } else if (column == "student_id") {
            sql += numberColumn(column, "int") + " PRIMARY KEY NOT NULL";
        } else {
            const bool score = std::find(kScoreColumns.begin(), kScoreColumns.end(), column) !=
                               kScoreColumns.end();
            sql += numberColumn(column, score ? "float" : "int");
        }
        sql += column == kStudentColumns.back() ? ")" : ",";
    }
    return sql;
}

std::string insertStudentSql(const std::string& name) {
    std::string columns;
    std::string placeholders;
    for (auto column : kStudentColumns) {
        columns += (columns.empty() ? "" : ",") + std::string(column);
        placeholders += placeholders.empty() ? "?" : ",?";
    }
    return "insert into " + checkedTableName(name) + "(" + columns + ") values(" + placeholders +
           ")";
}

}  // namespace qm::store
