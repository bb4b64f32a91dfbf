#include "support/StudentRows.h"

#include "db/Connection.h"
#include "db/Transaction.h"

namespace qm::test {

void insertStudents(db::Connection& connection, const std::string& table,
                    const std::vector<StudentSpec>& students) {
    db::Transaction transaction(connection);
    auto insert = connection.prepare("insert into " + table +
                                     "(student_id,rec_id,student_name,sex,class_id,math,english,"
                                     "chinese,wuli,zhengzhi,lishi,tiyu,dili,shengwu,oral_school,"
                                     "addr,type,pingyin,fbMemo,pfType) values(?,?,?,?,?,?,?,?,?,?,"
                                     "?,?,?,?,?,?,?,?,?,?)");
    for (const auto& s : students) {
        int p = 1;
        insert.bind(p++, s.student_id).bind(p++, s.rec_id).bind(p++, s.student_name);
        insert.bind(p++, s.sex).bind(p++, s.class_id);
        for (double score : s.scores) {
            insert.bind(p++, score);
        }
        insert.bind(p++, s.oral_school).bind(p++, s.addr).bind(p++, s.type);
        insert.bind(p++, s.pingyin).bind(p++, s.fbMemo);
        insert.bind(p++, s.pfType ? db::Value(*s.pfType) : db::Value());
        insert.execute();
    }
    transaction.commit();
}

}  // namespace qm::test
