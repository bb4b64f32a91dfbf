#include "store/Schema.h"

#include "db/Connection.h"
#include "db/Transaction.h"
#include "store/AdjustmentTables.h"

namespace qm::store {

void ensureSchema(db::Connection& connection) {
    db::Transaction transaction(connection);
    connection.exec(
        "CREATE TABLE IF NOT EXISTS fb_info("
        "id INTEGER PRIMARY KEY AUTOINCREMENT,"
        "memo TEXT,"
        "num INTEGER,"
        "update_date TEXT DEFAULT (datetime('now','localtime')),"
        "table_name TEXT);"
        "CREATE TABLE IF NOT EXISTS config("
        "id INTEGER PRIMARY KEY,"
        "is_avg_person INTEGER,is_avg_total INTEGER,is_avg_ch INTEGER,is_avg_math INTEGER,"
        "is_avg_eng INTEGER,is_avg_inter INTEGER,inter INTEGER,is_man INTEGER,wtNum INTEGER);");
    ensureAdjustmentTables(connection);
    transaction.commit();
}

}  // namespace qm::store
