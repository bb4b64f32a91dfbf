#include "reports/VersionComparison.h"

#include <tuple>
#include <utility>

#include "common/NumberText.h"
#include "db/Connection.h"
#include "engine/balance/PlacedCohort.h"
#include "engine/common/RunSettings.h"
#include "store/AdjustmentTables.h"
#include "store/StudentTable.h"

namespace qm::reports {

namespace {

// The project's students that a saved version holds, in the version's classes, as a temporary
// table of this connection named like the project's twin table. SQLite looks for a temporary
// table before a table of the database, so the class statistics and the balance figures read it
// as they read a project's table, while the database itself is not written: a comparison needs
// no write lock and works while another program divides. The table goes with the object.
class VersionStudents {
  public:
    VersionStudents(db::Connection& connection, const store::CurrentProject& project, int number)
        : connection_(connection), name_(store::checkedTableName(project.rbTable)) {
        const std::string& table = store::checkedTableName(project.fbTable);
        const std::string rows = store::AdjustmentTables(project.id()).versionRows;
        store::findVersion(connection, project, number);
        connection.exec("drop table if exists temp." + name_);
        auto copy = connection.prepare("create temp table " + name_ + " as select * from main." +
                                       table + " where student_id in(select student_id from main." +
                                       rows + " where version=?)");
        copy.bind(1, number);
        copy.execute();
        auto classes = connection.prepare(
            "update temp." + name_ + " set class_id=(select class_id from main." + rows +
            " r where r.version=? and r.student_id=" + name_ + ".student_id)");
        classes.bind(1, number);
        classes.execute();
    }
    ~VersionStudents() {
        try {
            connection_.exec("drop table if exists temp." + name_);
        } catch (...) {
            // The table is the connection's own and goes when the connection closes.
        }
    }
    VersionStudents(const VersionStudents&) = delete;
    VersionStudents& operator=(const VersionStudents&) = delete;

    const std::string& table() const { return name_; }

  private:
    db::Connection& connection_;
    std::string name_;
};

// The class statistics and the balance figures of the project's classes in a saved version;
// no balance figures when no student of the version sits in one of the project's classes.
std::pair<ClassStatistics, std::optional<engine::BalanceFigures>> versionFigures(
    db::Connection& connection, const store::CurrentProject& project, int number) {
    const int classCount = engine::projectClassCount(connection, project);
    const engine::SubjectChoice subjects = engine::projectSubjects(connection, project.id());
    const VersionStudents version(connection, project, number);
    std::pair<ClassStatistics, std::optional<engine::BalanceFigures>> figures{
        computeClassStatistics(connection, version.table()), std::nullopt};
    const engine::PlacedCohort cohort =
        engine::loadPlacedCohort(connection, version.table(), classCount, subjects);
    if (!cohort.students.empty()) {
        figures.second = engine::measureBalance(cohort, cohort.presentClasses());
    }
    return figures;
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
