#pragma once

namespace qm::db {
class Connection;
}

namespace qm::store {

// How often 深度优化 ran on a project's present division (deep_opt_runs of its settings row): a
// division sets it anew, every run of 深度优化 counts one up. Each run searches on from where the
// one before stopped instead of repeating it. 0 for a project without a settings row.
int optimisationRuns(db::Connection& connection, int projectId);
void setOptimisationRuns(db::Connection& connection, int projectId, int runs);

}  // namespace qm::store
