#include "support/AdjustmentFixture.h"

#include "db/Connection.h"
#include "store/AdjustmentTables.h"
#include "store/StudentTable.h"
#include "support/StudentRows.h"

namespace qm::test {

AdjustmentFixture::AdjustmentFixture() {
    project = store::createProject(connection(), "调整", 3);
    std::vector<StudentRow> rows;
    for (int i = 1; i <= 12; ++i) {
        StudentRow row{.student_id = i,
                       .student_name = "学生" + std::to_string(i),
                       .sex = i % 2 == 1 ? "男" : "女",
                       .class_id = (i - 1) % 3 + 1,
                       .type = store::kPlaced,
                       .pingyin = "XUE SHENG " + std::to_string(i)};
        for (int s = 0; s < 9; ++s) {
            row.scores[s] = 50 + 4 * i + s;
        }
        rows.push_back(row);
    }
    insertStudents(connection(), project.fbTable, rows);
}

std::map<int, int> AdjustmentFixture::classes() {
    std::map<int, int> classes;
    for (const auto row :
         connection().query("select student_id,class_id from " + project.fbTable)) {
        classes[static_cast<int>(row[0].toInt())] = static_cast<int>(row[1].toInt());
    }
    return classes;
}

std::string AdjustmentFixture::placements() {
    std::string text;
    for (const auto row : connection().query("select student_id,class_id,type from " +
                                             project.fbTable + " order by student_id")) {
        text += (text.empty() ? "" : " ") + row[0].toText() + ":" + row[1].toText() + ":" +
                row[2].toText();
    }
    return text;
}

int AdjustmentFixture::group(store::GroupKind kind, std::vector<int> members) {
    return store::addGroups(connection(), project, {{kind, std::move(members), ""}}).at(0);
}

void AdjustmentFixture::storeUnchecked(store::GroupKind kind, const std::vector<int>& members) {
    const store::AdjustmentTables tables(project.id());
    auto insert = connection().prepare("insert into " + tables.groups + "(kind) values(?)");
    insert.bind(1, store::kindName(kind));
    insert.execute();
    const auto id = connection().lastInsertId();
    auto member = connection().prepare("insert into " + tables.groupMembers + " values(?,?)");
    for (int student : members) {
        member.bind(1, id).bind(2, student);
        member.execute();
    }
}

}  // namespace qm::test
