#include "reports/VersionComparison.h"

#include <tuple>
#include <utility>

#include "common/NumberText.h"
#include "db/Connection.h"
#include "db/Transaction.h"
#include "engine/PlacedCohort.h"
#include "engine/RunSettings.h"
#include "store/AdjustmentTables.h"
#include "store/StudentTable.h"

namespace qm::reports {

namespace {

// Fills the twin table with the project's students that the version holds, in the version's
// classes, inside a unit of work that is always undone, and returns what `measure` takes of it.
template <typename Measure>
auto measureVersion(db::Connection& connection, const store::CurrentProject& project, int number,
                    Measure measure) {
    const std::string& table = store::checkedTableName(project.fbTable);
    const std::string& twin = store::checkedTableName(project.rbTable);
    const std::string rows = store::AdjustmentTables(project.id()).versionRows;
    store::findVersion(connection, project, number);
    db::Transaction scratch(connection);  // never committed
    connection.exec("delete from " + twin);
    auto copy = connection.prepare("insert into " + twin + " select * from " + table +
                                   " where student_id in(select student_id from " + rows +
                                   " where version=?)");
    copy.bind(1, number);
    copy.execute();
    auto classes =
        connection.prepare("update " + twin + " set class_id=(select class_id from " + rows +
                           " r where r.version=? and r.student_id=" + twin + ".student_id)");
    classes.bind(1, number);
    classes.execute();
    return measure(twin);
}

// The class statistics and the balance figures of the project's classes in a saved version;
// no balance figures when no student of the version sits in one of the project's classes.
std::pair<ClassStatistics, std::optional<engine::BalanceFigures>> versionFigures(
    db::Connection& connection, const store::CurrentProject& project, int number) {
    const int classCount = engine::projectClassCount(connection, project);
    const engine::SubjectChoice subjects = engine::projectSubjects(connection, project.id());
    return measureVersion(connection, project, number, [&](const std::string& twin) {
        std::pair<ClassStatistics, std::optional<engine::BalanceFigures>> figures{
            computeClassStatistics(connection, twin), std::nullopt};
        const engine::PlacedCohort cohort =
            engine::loadPlacedCohort(connection, twin, classCount, subjects);
        if (!cohort.students.empty()) {
            figures.second = engine::measureBalance(cohort, cohort.presentClasses());
        }
        return figures;
    });
}

}  // namespace

VersionComparison compareVersions(db::Connection& connection, const store::CurrentProject& project,
                                  int first, int second) {
    VersionComparison comparison;
    comparison.first = store::findVersion(connection, project, first);
    comparison.second = store::findVersion(connection, project, second);
    const auto firstClasses = store::versionClasses(connection, project, first);
    const auto secondClasses = store::versionClasses(connection, project, second);
    for (const auto row :
         connection.query("select student_id,student_name from " +
                          store::checkedTableName(project.fbTable) + " order by student_id")) {
        const int student = static_cast<int>(row["student_id"].toInt());
        const auto inFirst = firstClasses.find(student);
        const auto inSecond = secondClasses.find(student);
        if (inFirst != firstClasses.end() && inSecond != secondClasses.end() &&
            inFirst->second != inSecond->second) {
            comparison.moved.push_back({student, trimmed(row["student_name"].toText()),
                                        inFirst->second, inSecond->second});
        }
    }
    std::tie(comparison.firstStatistics, comparison.firstBalance) =
        versionFigures(connection, project, first);
    std::tie(comparison.secondStatistics, comparison.secondBalance) =
        versionFigures(connection, project, second);
    return comparison;
}

}  // namespace qm::reports
