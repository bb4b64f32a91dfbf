#include "store/StepRecorder.h"

#include <utility>
#include <vector>

#include "db/Connection.h"
#include "store/AdjustmentTables.h"
#include "store/ProjectStore.h"
#include "store/StudentTable.h"

namespace qm::store {

Placements readPlacements(db::Connection& connection, const std::string& table) {
    Placements placements;
    for (const auto row :
         connection.query("select student_id,class_id,type from " + checkedTableName(table))) {
        placements[static_cast<int>(row["student_id"].toInt())] = {row["class_id"], row["type"]};
    }
    return placements;
}

StepRecorder::StepRecorder(db::Connection& connection, const CurrentProject& project)
    : connection_(connection),
      projectId_(project.id()),
      table_(checkedTableName(project.fbTable)),
      before_(readPlacements(connection, table_)) {}

void StepRecorder::record(const std::string& action) {
    const Placements after = readPlacements(connection_, table_);
    std::vector<std::pair<int, const Placement*>> changes;
    for (const auto& [student, now] : after) {
        const auto was = before_.find(student);
        if (was != before_.end() && !(was->second == now)) {
            changes.emplace_back(student, &now);
        }
    }
    if (changes.empty()) {
        return;
    }
    const AdjustmentTables tables(projectId_);
    connection_.exec("delete from " + tables.stepRows + " where step in(select step from " +
                     tables.steps + " where undone=1);delete from " + tables.steps +
                     " where undone=1");
    auto insertStep = connection_.prepare("insert into " + tables.steps + "(action) values(?)");
    insertStep.bind(1, action);
    insertStep.execute();
    const std::int64_t step = connection_.lastInsertId();
    auto insertRow = connection_.prepare(
        "insert into " + tables.stepRows +
        "(step,student_id,old_class,old_type,new_class,new_type) values(?,?,?,?,?,?)");
    for (const auto& [student, now] : changes) {
        const Placement& was = before_.at(student);
        insertRow.bind(1, step).bind(2, student).bind(3, was.classId).bind(4, was.type);
        insertRow.bind(5, now->classId).bind(6, now->type);
        insertRow.execute();
    }
    const std::string newest = "(select step from " + tables.steps + " order by step desc limit " +
                               std::to_string(kHistoryDepth) + ")";
    connection_.exec("delete from " + tables.stepRows + " where step not in" + newest +
                     ";delete from " + tables.steps + " where step not in" + newest);
}

}  // namespace qm::store
