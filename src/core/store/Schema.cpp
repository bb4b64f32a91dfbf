#include "store/Schema.h"

#include <set>
#include <string>
#include <vector>

#include "db/Connection.h"
#include "db/Transaction.h"
#include "store/AdjustmentTables.h"

namespace qm::store {

namespace {

constexpr const char* kCreateFbInfo =
    "CREATE TABLE IF NOT EXISTS fb_info("
    "id INTEGER PRIMARY KEY AUTOINCREMENT,"
    "memo TEXT,"
    "num INTEGER,"
    "update_date TEXT DEFAULT (datetime('now','localtime')),"
    "table_name TEXT)";

constexpr const char* kCreateConfig =
    "CREATE TABLE IF NOT EXISTS config("
    "id INTEGER PRIMARY KEY,"
    "is_avg_person INTEGER,is_avg_total INTEGER,is_avg_ch INTEGER,is_avg_math INTEGER,"
    "is_avg_eng INTEGER,is_avg_inter INTEGER,inter INTEGER,is_man INTEGER,wtNum INTEGER)";

// Settings columns added after the first release: whether a division ends with 深度优化, its
// strength, the subjects 科目设置 leaves out of it and of the balance figures (none), and how
// often 深度优化 ran on the present division. A database made before them gets them on opening,
// its rows reading as off, all subjects taking part and no run yet.
constexpr const char* kAddedSettingsColumns[] = {"is_deep_opt", "deep_opt_mode", "skip_subjects",
                                                 "deep_opt_runs"};

std::vector<std::string> missingSettingsColumns(db::Connection& connection) {
    std::set<std::string> present;
    for (const auto row : connection.query("pragma table_info(config)")) {
        present.insert(row["name"].toText());
    }
    std::vector<std::string> missing;
    for (const std::string column : kAddedSettingsColumns) {
        if (present.count(column) == 0) {
            missing.push_back(column);
        }
    }
    return missing;
}

}  // namespace

void ensureSchema(db::Connection& connection) {
    // Looking is only reading: a database in use by a long division opens at once for reading.
    if (connection.tableExists("fb_info") && connection.tableExists("config") &&
        missingSettingsColumns(connection).empty() && adjustmentTablesComplete(connection) &&
        tablesOfDeletedProjects(connection).empty()) {
        return;
    }
    db::Transaction transaction(connection);
    connection.exec(kCreateFbInfo);
    connection.exec(kCreateConfig);
    for (const std::string& column : missingSettingsColumns(connection)) {
        connection.exec("alter table config add column " + column + " INTEGER DEFAULT 0");
    }
    ensureAdjustmentTables(connection);
    for (const std::string& table : tablesOfDeletedProjects(connection)) {
        connection.exec("drop table " + table);
    }
    transaction.commit();
}

}  // namespace qm::store
