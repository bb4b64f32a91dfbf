#include "store/Schema.h"

#include "db/Connection.h"
#include "db/Transaction.h"

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

}  // namespace

void ensureSchema(db::Connection& connection) {
    // Looking is only reading: a database in use by a long division opens at once for reading.
    if (connection.tableExists("fb_info") && connection.tableExists("config")) {
        return;
    }
    db::Transaction transaction(connection);
    connection.exec(kCreateFbInfo);
    connection.exec(kCreateConfig);
    transaction.commit();
}

}  // namespace qm::store
