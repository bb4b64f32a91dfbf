#include "reports/VersionComparison.h"

#include "common/NumberText.h"
#include "db/Connection.h"
#include "db/Transaction.h"
#include "store/AdjustmentTables.h"
#include "store/StudentTable.h"

namespace qm::reports {

ClassStatistics versionStatistics(db::Connection& connection, const store::CurrentProject& project,
                                  int number) {
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
    return computeClassStatistics(connection, twin);
}

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
    comparison.firstStatistics = versionStatistics(connection, project, first);
    comparison.secondStatistics = versionStatistics(connection, project, second);
    return comparison;
}

}  // namespace qm::reports
