#include "store/DatabaseFileCheck.h"

#include <sqlite3.h>

#include <algorithm>
#include <string_view>
#include <vector>

#include "common/UserError.h"
#include "db/DbError.h"
#include "db/Statement.h"
#include "store/StudentTable.h"

namespace qm::store {

namespace {

// The columns fb_info and config have held since the first version. Columns added later are
// added when a database is opened, so a backup made by an older version still restores.
const std::vector<std::string_view> kProjectColumns = {"id", "memo", "num", "update_date",
                                                       "table_name"};
const std::vector<std::string_view> kSettingsColumns = {
    "id",         "is_avg_person", "is_avg_total", "is_avg_ch", "is_avg_math",
    "is_avg_eng", "is_avg_inter",  "inter",        "is_man",    "wtNum"};

std::string lowerCase(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
    return lower;
}

// The column names of a table in lower case, as SQL compares them; none when it is missing.
std::vector<std::string> columnsOf(sqlite3* file, const std::string& table) {
    db::Statement statement(file, "select name from pragma_table_info(?)");
    statement.bind(1, table);
    std::vector<std::string> names;
    for (const auto& row : statement.query()) {
        names.push_back(lowerCase(row[0].toText()));
    }
    return names;
}

void requireTable(sqlite3* file, const std::string& table,
                  const std::vector<std::string_view>& required, const std::string& refusal) {
    const std::vector<std::string> present = columnsOf(file, table);
    if (present.empty()) {
        throw UserError(refusal + "它没有表 " + table);
    }
    for (std::string_view column : required) {
        if (std::find(present.begin(), present.end(), lowerCase(column)) == present.end()) {
            throw UserError(refusal + "表 " + table + " 缺少列 " + std::string(column));
        }
    }
}

}  // namespace

void checkQuillmereDatabase(sqlite3* file, const std::string& name) {
    const std::string refusal = "不是 Quillmere 的数据库文件, 不能用来恢复: " + name + "\n";
    if (sqlite3_exec(file, "select count(*) from sqlite_master", nullptr, nullptr, nullptr) ==
        SQLITE_NOTADB) {
        throw UserError(refusal + "它不是 SQLite 数据库");
    }
    try {
        if (db::Statement(file, "select 1 from pragma_integrity_check where integrity_check='ok'")
                .query()
                .empty()) {
            throw db::DbError("完整性检查未通过");
        }
        requireTable(file, "fb_info", kProjectColumns, refusal);
        requireTable(file, "config", kSettingsColumns, refusal);
        const std::vector<std::string_view> studentColumns(kStudentColumns.begin(),
                                                           kStudentColumns.end());
        for (const auto& project : db::Statement(file, "select id from fb_info").query()) {
            const std::string table = studentTableName(static_cast<int>(project[0].toInt()));
            requireTable(file, table, studentColumns, refusal);
            requireTable(file, twinTableName(table), studentColumns, refusal);
        }
    } catch (const db::DbError& error) {
        throw UserError("数据库文件已损坏, 不能用来恢复: " + name + "\n" + error.what());
    }
}

}  // namespace qm::store
