#include "reports/ClassList.h"

#include "db/Connection.h"
#include "store/StudentTable.h"

namespace qm::reports {

std::string className(int classId) {
    return std::to_string(classId) + "班";
}

std::vector<ClassEntry> listClasses(db::Connection& connection, const std::string& table) {
    const auto rows = connection.query("select class_id,amp(class_id,'班') as className from " +
                                       store::checkedTableName(table) +
                                       " where class_id is not null group by class_id"
                                       " order by class_id");
    std::vector<ClassEntry> classes;
    classes.reserve(rows.size());
    for (const auto row : rows) {
        classes.push_back({static_cast<int>(row["class_id"].toInt()), row["className"].toText()});
    }
    return classes;
}

}  // namespace qm::reports
