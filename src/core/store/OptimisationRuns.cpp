#include "store/OptimisationRuns.h"

#include "db/Connection.h"

namespace qm::store {

int optimisationRuns(db::Connection& connection, int projectId) {
    auto select = connection.prepare("select deep_opt_runs from config where id=?");
    select.bind(1, projectId);
    const auto rows = select.query();
    if (rows.empty() || rows[0]["deep_opt_runs"].isNull()) {
        return 0;
    }
    return static_cast<int>(rows[0]["deep_opt_runs"].toInt());
}

void setOptimisationRuns(db::Connection& connection, int projectId, int runs) {
    auto update = connection.prepare("update config set deep_opt_runs=? where id=?");
    update.bind(1, runs).bind(2, projectId);
    update.execute();
}

}  // namespace qm::store
