#include "support/StudentRows.h"

#include "db/Connection.h"
#include "db/Transaction.h"
#include "db/Value.h"
#include "store/StudentTable.h"

namespace qm::test {

void insertStudents(db::Connection& connection, const std::string& table,
                    const std::vector<StudentRow>& students) {
    db::Transaction transaction(connection);
    auto insert = connection.prepare(store::insertStudentSql(table));
    for (const auto& s : students) {
        std::vector<db::Value> values = {s.student_id, s.rec_id, s.student_name, s.sex, s.class_id};
        values.insert(values.end(), s.scores.begin(), s.scores.end());
        values.insert(values.end(), {s.oral_school, s.addr, s.type, s.pingyin, s.fbMemo,
                                     s.pfType ? db::Value(*s.pfType) : db::Value()});
        for (std::size_t i = 0; i < values.size(); ++i) {
            insert.bind(static_cast<int>(i + 1), values[i]);
        }
        insert.execute();
    }
    transaction.commit();
}

}  // namespace qm::test
