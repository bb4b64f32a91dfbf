#include "store/OutsideClasses.h"

#include "db/Connection.h"
#include "store/StudentTable.h"

namespace qm::store {

std::vector<ClassHeadCount> studentsOutsideClasses(db::Connection& connection,
                                                   const std::string& table, int classCount) {
    auto statement =
        connection.prepare("select class_id,count(*) as num from " + checkedTableName(table) +
                           " where (class_id<1 or class_id>?) and not (class_id=0 and type<>" +
                           placeCode(kFixed) + ") group by class_id order by class_id");
    statement.bind(1, classCount);
    std::vector<ClassHeadCount> outside;
    for (const auto row : statement.query()) {
        outside.push_back(
            {static_cast<int>(row["class_id"].toInt()), static_cast<int>(row["num"].toInt())});
    }
    return outside;
}

std::string outsideClassesLine(const std::vector<ClassHeadCount>& outside, int classCount) {
    if (outside.empty()) {
        return {};
    }
    int total = 0;
    std::string perClass;
    for (const auto& [classId, students] : outside) {
        total += students;
        perClass += (perClass.empty() ? "" : "，") + std::to_string(classId) + "班" +
                    std::to_string(students) + "名";
    }
    return "有" + std::to_string(total) + "名学生不在本项目的1到" + std::to_string(classCount) +
           "班中：" + perClass;
}

std::string outsideClassesLine(db::Connection& connection, const std::string& table,
                               int classCount) {
    return outsideClassesLine(studentsOutsideClasses(connection, table, classCount), classCount);
}

}  // namespace qm::store
