#include "store/StudentCopy.h"

#include "common/UserError.h"
#include "db/Connection.h"
#include "db/DbError.h"
#include "db/Transaction.h"
#include "store/GroupStore.h"
#include "store/ProjectStore.h"
#include "store/StudentTable.h"

namespace qm::store {

int copyStudents(db::Connection& connection, const CurrentProject& target, int sourceId,
                 CopyMode mode) {
    const std::string& targetTable = checkedTableName(target.fbTable);
    const Project source = findProject(connection, sourceId);
    const std::string& sourceTable = checkedTableName(source.table_name);
    if (sourceTable == targetTable) {
        throw UserError("不能把当前分班项目的学生复制到它自己");
    }
    int copied = 0;
    try {
        db::Transaction transaction(connection);
        connection.exec("update " + sourceTable + " set type=2");
        if (mode == CopyMode::Overwrite) {
            connection.exec("delete from " + targetTable +
                            " where  student_id in(select student_id from " + sourceTable + ")");
        }
        copied = connection.prepare("insert into " + targetTable + " select * from " + sourceTable)
                     .execute();
        connection.exec("update " + sourceTable + " set type=1");
        copyGroups(connection, sourceId, target.id());
        transaction.commit();
    } catch (const db::DbError&) {
        throw UserError(kCopyFailed);
    }
    return copied;
}

}  // namespace qm::store
