#include "intake/ImportSave.h"

#include <unordered_map>

#include "common/InterleavingPause.h"
#include "db/Connection.h"
#include "db/DbError.h"
#include "db/EngineError.h"
#include "db/Transaction.h"
#include "intake/ImportSaveRow.h"
#include "store/ProjectStore.h"
#include "store/StudentTable.h"

namespace qm::intake {

void SaveObserver::progress(int, int) {}
bool SaveObserver::cancelRequested() {
    return false;
}

std::string importSucceededMessage(int count, int namesTrimmed) {
    std::string message = "导入成功，共导入 " + std::to_string(count) + " 名学生";
    if (namesTrimmed > 0) {
        message += "\n其中 " + std::to_string(namesTrimmed) + " 名学生的姓名前后有空格，已去掉";
    }
    return message;
}

std::string importRowFailedMessage(int sheetRow, bool scoreAtFault) {
    return "插入数据库过程第" + std::to_string(sheetRow) + "行出错" +
           (scoreAtFault ? ",学生不考的科目请设置为0分" : "");
}

namespace {

// Binds the row in the order of store::kStudentColumns. A student fixed by its 备注 arrives in
// that class as type 2; the others wait in class 0 for a division.
void bindStudent(db::Statement& insert, const ImportedStudent& student) {
    int position = 1;
    insert.bind(position++, student.studentId);
    insert.bind(position++, student.recId);
    insert.bind(position++, student.name);
    insert.bind(position++, student.sex);
    insert.bind(position++, student.fixedClass.value_or(0));
    for (double score : student.scores) {
        insert.bind(position++, score);
    }
    insert.bind(position++, student.oralSchool);
    insert.bind(position++, student.addr);
    insert.bind(position++, student.fixedClass ? store::kFixed : store::kNotPlaced);
    insert.bind(position++, student.pinyin);
    insert.bind(position++, student.memo);
    insert.bind(position++, student.category);
}

SaveOutcome failedAt(int sheetRow, const RowProblem& problem) {
    SaveOutcome outcome;
    outcome.kind = SaveOutcome::Kind::Failed;
    outcome.failedSheetRow = sheetRow;
    outcome.message = importRowFailedMessage(sheetRow, problem.scoreAtFault);
    outcome.reason = problem.reason;
    return outcome;
}

}  // namespace

SaveOutcome saveImportedRows(db::Connection& connection, const store::CurrentProject& project,
                             const PreviewGrid& grid, SaveObserver* observer) {
    SaveObserver silent;
    SaveObserver& watch = observer ? *observer : silent;
    const std::string& table = store::checkedTableName(project.fbTable);
    const int total = grid.studentCount();

    // Until the commit the project's students are the old ones, for every other reader too;
    // leaving early rolls everything back. The class count the rows are checked against is read
    // under the write lock too.
    db::Transaction transaction(connection);
    const int classCount = store::findProjectOfTable(connection, table).num;
    auto insert = connection.prepare(store::insertStudentSql(table));
    pauseAfterReading();
    connection.exec("delete from " + table);
    std::unordered_map<int, int> sheetRowOfId;
    int namesTrimmed = 0;
    for (int r = 1; r <= total; ++r) {
        const int sheetRow = r + 1;  // grid row r came from spreadsheet row r+1
        auto read = readImportedStudent(grid.rows[static_cast<std::size_t>(r - 1)], classCount);
        if (const auto* problem = std::get_if<RowProblem>(&read)) {
            return failedAt(sheetRow, *problem);
        }
        const auto& student = std::get<ImportedStudent>(read);
        const auto [earlier, isNew] = sheetRowOfId.try_emplace(student.studentId, sheetRow);
        if (!isNew) {
            return failedAt(sheetRow, {"学号「" + std::to_string(student.studentId) + "」与第" +
                                       std::to_string(earlier->second) + "行重复"});
        }
        namesTrimmed += student.nameTrimmed ? 1 : 0;
        try {
            bindStudent(insert, student);
            insert.execute();
        } catch (const db::DbError& error) {
            if (!db::isConstraintError(error)) {
                throw;
            }
            return failedAt(sheetRow, {error.what()});
        }
        watch.progress(r, total);
        if (watch.cancelRequested()) {
            return SaveOutcome{.kind = SaveOutcome::Kind::Cancelled};
        }
    }
    transaction.commit();
    return SaveOutcome{.kind = SaveOutcome::Kind::Stored,
                       .rowsStored = total,
                       .message = importSucceededMessage(total, namesTrimmed)};
}

}  // namespace qm::intake
