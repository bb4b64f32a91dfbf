#include "reports/ClassList.h"

#include "db/Connection.h"
#include "store/GroupCheck.h"
#include "store/StudentTable.h"

namespace qm::reports {

std::string className(const db::Value& classId) {
    return classId.isNull() ? "班" : store::classTitle(store::classNumber(classId));
}

std::vector<ClassEntry> listClasses(db::Connection& connection, const std::string& table) {
    const auto rows = connection.query("select class_id from " + store::checkedTableName(table) +
                                       " where class_id is not null group by class_id"
                                       " order by class_id");
    std::vector<ClassEntry> classes;
    classes.reserve(rows.size());
    for (const auto row : rows) {
        const db::Value& classId = row["class_id"];
        classes.push_back({static_cast<int>(classId.toInt()), className(classId)});
    }
    return classes;
}

}  // namespace qm::reports
