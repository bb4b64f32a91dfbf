#include "store/HandPlacement.h"

#include <set>

#include "db/Connection.h"
#include "db/Transaction.h"
#include "store/ProjectStore.h"
#include "store/StepRecorder.h"
#include "store/StudentTable.h"

namespace qm::store {

AdjustmentOutcome placeByHand(db::Connection& connection, const CurrentProject& project,
                              const ClassOfStudent& newClasses, const std::string& description) {
    const std::string& table = checkedTableName(project.fbTable);
    db::Transaction transaction(connection);
    refuseBrokenGroups(connection, project.id(), table, newClasses, "不能" + description + ":");
    const ClassOfStudent oldClasses = readClasses(connection, table);
    StepRecorder recorder(connection, project);
    auto update = connection.prepare("update " + table + " set class_id=? where student_id=?");
    std::set<int> classes;
    for (const auto& [student, classId] : newClasses) {
        update.bind(1, classId).bind(2, student);
        update.execute();
        classes.insert(classId);
        if (const auto old = oldClasses.find(student); old != oldClasses.end()) {
            classes.insert(old->second);
        }
    }
    recorder.record(description);
    transaction.commit();
    classes.erase(0);
    return {description, {classes.begin(), classes.end()}};
}

}  // namespace qm::store
