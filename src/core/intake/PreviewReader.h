#pragma once

#include <string>

#include "PreviewGrid.h"
#include "Workbook.h"
#include "common/UserError.h"

namespace qm::intake {

// Watches a read: told after each row, asked after each row whether to stop.
class ReadObserver {
  public:
    virtual ~ReadObserver() = default;
    // rowsRead: rows in the grid so far, the trailing blank row included once it is read.
    virtual void progress(int rowsRead) = 0;
    virtual bool cancelRequested() = 0;
};

// Thrown when the observer asked to stop; nothing read is kept.
class ReadCancelled : public UserError {
  public:
    explicit ReadCancelled(const std::string& path) : UserError("已取消读取文件 " + path) {}
};

// The columns of the import layout; a row with text beyond them is refused.
inline constexpr int kImportColumns = 17;

// Reads the import layout from the sheet the file marks as active: titles in row 1 (kept as the
// grid's titles), students from row 2 on, reading stopping after the first row whose column 1
// (学号) is empty. That row is read like the others and becomes the grid's trailing blank row; a
// sheet whose A2 is empty gives an empty grid. A cell holding only blanks is not empty: it does
// not stop the reading. Empty score cells (columns 5 to 13, blank after trimming) read "0"; other
// cells are kept untrimmed. In a file whose numbers are text (CSV), a 学号 or score written as a
// number reads as the spreadsheet readers show that number: 74.0 as 74. What the reading leaves out (the stopping row, filled rows
// below it) is noted in the grid.
// Throws UserError naming the file when it cannot be read, a row read (the title row included)
// has text beyond column 17, or the rows read hold more text than ReadLimits allows;
// ReadCancelled when the observer asks to stop.
PreviewGrid readPreviewFile(const std::string& path, ReadObserver* observer = nullptr);

// The same from the bytes of a file held in memory; `name` stands for the file name.
PreviewGrid readPreviewBytes(std::string bytes, const std::string& name,
                             ReadObserver* observer = nullptr);

// The same from a workbook already open; `path` names the file in messages.
PreviewGrid readPreview(const Workbook& workbook, const std::string& path,
                        ReadObserver* observer = nullptr);

// The spreadsheet name of a column: 1 gives A, 18 gives R, 28 gives AB.
std::string columnName(int column);

}  // namespace qm::intake
