#include "intake/ImportSave.h"

#include <optional>

#include "db/Connection.h"
#include "db/DbError.h"
#include "db/Transaction.h"
#include "intake/ImportSaveRow.h"
#include "store/ProjectStore.h"
#include "store/StudentTable.h"

namespace qm::intake {

void SaveObserver::progress(int, int) {}
bool SaveObserver::cancelRequested() {
    return false;
}

std::string importRowFailedMessage(int sheetRow) {
    return "插入数据库过程第" + std::to_string(sheetRow) + "行出错,学生不考的科目请设置为0分";
}

namespace {

// Rows committed together. Each commit waits for the disk; a few hundred rows per commit keep a
// large import well under a second while a crash loses at most one batch.
constexpr int kRowsPerTransaction = 500;

// Binds the row in the order of store::kStudentColumns. A student fixed by its 备注 arrives in
// that class as type 2; the others wait in class 0 for a division.
void bindStudent(db::Statement& insert, const ImportedStudent& student, const FixedClass& fixed) {
    int position = 1;
    insert.bind(position++, student.studentId);
    insert.bind(position++, student.recId);
    insert.bind(position++, student.name);
    insert.bind(position++, student.sex);
    insert.bind(position++, fixed.fixed ? fixed.classId : 0);
    for (double score : student.scores) {
        insert.bind(position++, score);
    }
    insert.bind(position++, student.oralSchool);
    insert.bind(position++, student.addr);
    insert.bind(position++, fixed.fixed ? store::kFixed : store::kNotPlaced);
    insert.bind(position++, student.pinyin);
    insert.bind(position++, student.memo);
    insert.bind(position++, student.category);
}

// Stores one row; gives the reason when it cannot be stored. `inserted` tells whether the row
// itself went in: a wrong 备注 is reported only once the row is stored, which then stays,
// unplaced.
std::optional<std::string> storeRow(db::Statement& insert, const PreviewGrid::Row& row,
                                    bool& inserted) {
    inserted = false;
    auto read = readImportedStudent(row);
    if (auto* problem = std::get_if<std::string>(&read)) {
        return *problem;
    }
    const auto& student = std::get<ImportedStudent>(read);
    const FixedClass fixed = readFixedClass(student.memo);
    try {
        bindStudent(insert, student, fixed);
        insert.execute();
    } catch (const db::DbError& error) {
        return std::string(error.what());
    }
    inserted = true;
    if (!fixed.problem.empty()) {
        return fixed.problem;
    }
    return std::nullopt;
}

}  // namespace

SaveOutcome saveImportedRows(db::Connection& connection, const store::CurrentProject& project,
                             const PreviewGrid& grid, SaveObserver* observer) {
    SaveObserver silent;
    SaveObserver& watch = observer ? *observer : silent;
    const std::string& table = store::checkedTableName(project.fbTable);
    auto insert = connection.prepare(store::insertStudentSql(table));
    const int total = grid.studentCount();

    std::optional<db::Transaction> batch;
    batch.emplace(connection);
    connection.exec("delete from " + table);

    SaveOutcome outcome;
    for (int r = 1; r <= total; ++r) {
        bool inserted = false;
        const auto problem = storeRow(insert, grid.rows[static_cast<std::size_t>(r - 1)], inserted);
        if (inserted) {
            ++outcome.rowsStored;
        }
        if (problem) {
            if (!connection.inTransaction()) {
                // The engine gave up the whole transaction (a full disk, say): this batch is
                // gone, so the rows before the failure cannot be promised to the user.
                throw db::DbError(*problem);
            }
            batch->commit();
            outcome.kind = SaveOutcome::Kind::Failed;
            outcome.failedSheetRow = r + 1;  // grid row r came from spreadsheet row r+1
            outcome.message = importRowFailedMessage(r + 1);
            outcome.reason = *problem;
            return outcome;
        }
        watch.progress(r, total);
        if (watch.cancelRequested()) {
            connection.exec("delete from " + table);
            batch->commit();
            return SaveOutcome{SaveOutcome::Kind::Cancelled, 0, "", 0, ""};
        }
        if (r % kRowsPerTransaction == 0 && r < total) {
            batch->commit();
            batch.emplace(connection);
        }
    }
    batch->commit();
    outcome.message = std::string(kImportSucceeded);
    return outcome;
}

}  // namespace qm::intake
