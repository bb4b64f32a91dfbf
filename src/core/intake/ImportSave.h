#pragma once

#include <string>

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
    // Asked after each row; true ends the save, and the project's students stay as they were.
    virtual bool cancelRequested();
};

// How a save ended.
struct SaveOutcome {
    enum class Kind {
        Stored,     // every student row stored, in place of the students before
        Failed,     // a row could not be stored; the students are as they were before the save
        Cancelled,  // the user cancelled; the students are as they were before the save
    };
    Kind kind = Kind::Stored;
    int rowsStored = 0;      // students the import stored (Stored only)
    std::string message;     // to show the user: the success, the row failure, or empty
    int failedSheetRow = 0;  // spreadsheet row of the failed row (Failed only)
    std::string reason;      // what was wrong with that row (Failed only)
};

// "导入成功，共导入 " + count + " 名学生", and on a second line how many names lost blanks around
// them, when any did.
std::string importSucceededMessage(int count, int namesTrimmed = 0);

// "插入数据库过程第" + sheetRow + "行出错", followed by ",学生不考的科目请设置为0分" when a score
// is at fault.
std::string importRowFailedMessage(int sheetRow, bool scoreAtFault);

// Replaces the current project's students with the student rows of the preview (every row but
// the trailing blank row), each with the pinyin of its name. Blanks around a name are removed
// (the message says how many names had them). A 备注 that is not blank fixes the student to that
// class (type 2). Values are bound, never put into the SQL text.
//
// All or nothing: the emptying of the table and every row are one transaction. A row that cannot
// be stored (see readImportedStudent; also a 学号 that repeats an earlier row's) ends the save
// with its spreadsheet row, and a cancel ends it after the row in progress; both leave the
// project's students exactly as they were. A failure of the database itself raises db::DbError,
// and a table that is no project's student table UserError, also with nothing changed.
SaveOutcome saveImportedRows(db::Connection& connection, const store::CurrentProject& project,
                             const PreviewGrid& grid, SaveObserver* observer = nullptr);

}  // namespace qm::intake
