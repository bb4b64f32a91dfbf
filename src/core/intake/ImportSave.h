#pragma once

#include <string>
#include <string_view>

#include "intake/PreviewGrid.h"

namespace qm::db {
class Connection;
}
namespace qm::store {
struct CurrentProject;
}

namespace qm::intake {

// What a front learns while previewed rows are stored.
class SaveObserver {
  public:
    virtual ~SaveObserver() = default;
    // After each row stored: rows done so far, of rowsTotal. A desktop repaints its progress bar
    // and handles pending events here, so that a click on 取消 is seen before the next row.
    virtual void progress(int rowsDone, int rowsTotal);
    // Asked after each row; true ends the save and empties the student table.
    virtual bool cancelRequested();
};

// How a save ended.
struct SaveOutcome {
    enum class Kind {
        Stored,     // every student row stored
        Failed,     // a row could not be stored; the rows before it stay stored
        Cancelled,  // the user cancelled; the student table is empty
    };
    Kind kind = Kind::Stored;
    int rowsStored = 0;      // rows in the student table when the save ended
    std::string message;     // to show the user: kImportSucceeded, the row failure, or empty
    int failedSheetRow = 0;  // spreadsheet row of the failed row (Failed only)
    std::string reason;      // what was wrong with that row, for a detailed display (Failed only)
};

inline constexpr std::string_view kImportSucceeded = "导入成功";

// "插入数据库过程第" + sheetRow + "行出错,学生不考的科目请设置为0分".
std::string importRowFailedMessage(int sheetRow);

// Replaces the current project's students with the student rows of the preview (every row but
// the trailing blank one), each with the pinyin of its name. A non-blank 备注 fixes the student
// to that class (type 2). Values are bound, never put into the SQL text.
//
// The table is emptied first, in the same transaction as the first rows; rows are committed in
// batches. A row that cannot be stored (a 学号 that is not a whole number or repeats an earlier
// one, a score that is not a number, a 备注 that is not a class number, a text too long for its
// column) ends the save: the rows before it stay stored, and so does the failed row itself when
// only its 备注 was wrong (then with class 0 and type 0). Cancelling empties the table. A failure
// of the emptying, or of the database itself, raises db::DbError.
SaveOutcome saveImportedRows(db::Connection& connection, const store::CurrentProject& project,
                             const PreviewGrid& grid, SaveObserver* observer = nullptr);

}  // namespace qm::intake
