#include "store/StudentCopy.h"

#include "common/InterleavingPause.h"
#include "common/UserError.h"
#include "db/Connection.h"
#include "db/DbError.h"
#include "db/EngineError.h"
#include "db/Transaction.h"
#include "store/GroupStore.h"
#include "store/ProjectStore.h"
#include "store/StudentTable.h"

namespace qm::store {

namespace {

// "student_id,...,2,...,pfType": every column of the source row, with the placement code of a
// fixed student in place of its own. The source's rows are read, never written.
std::string columnsFixedInClass() {
    std::string columns;
    for (auto column : kStudentColumns) {
        columns += (columns.empty() ? "" : ",") +
                   (column == "type" ? std::to_string(kFixed) : std::string(column));
    }
    return columns;
}

}  // namespace

int copyStudents(db::Connection& connection, const CurrentProject& target, int sourceId,
                 CopyMode mode) {
    const std::string& targetTable = checkedTableName(target.fbTable);
    int copied = 0;
    try {
        db::Transaction transaction(connection);  // the source as it is when the copy is made
        const Project source = findProject(connection, sourceId);
        const std::string& sourceTable = checkedTableName(source.table_name);
        if (sourceTable == targetTable) {
            throw UserError("不能把当前分班项目的学生复制到它自己");
        }
        pauseAfterReading();
        if (mode == CopyMode::Overwrite) {
            connection.exec("delete from " + targetTable +
                            " where  student_id in(select student_id from " + sourceTable + ")");
        }
        copied = connection
                     .prepare("insert into " + targetTable + " select " + columnsFixedInClass() +
                              " from " + sourceTable)
                     .execute();
        copyGroups(connection, sourceId, target.id());
        transaction.commit();
    } catch (const db::DbError& error) {
        // A student number already present; a busy database and the like keep their own words.
        if (db::isConstraintError(error)) {
            throw UserError(kCopyFailed);
        }
        throw;
    }
    return copied;
}

}  // namespace qm::store
