#pragma once

#include <string>
#include <vector>

#include "SheetCell.h"
#include "common/UserError.h"

namespace qm::intake {

// A spreadsheet file opened for reading. Sheets are numbered from 0 in the order of the file's
// sheet tabs; rows and columns from 1, as the spreadsheet shows them (cell A1 is row 1, column 1).
class Workbook {
  public:
    virtual ~Workbook() = default;

    virtual const std::vector<std::string>& sheetNames() const = 0;
    // The sheet the file marks as active (the one shown when it is opened): the first one unless
    // the file says otherwise.
    virtual int activeSheet() const = 0;
    // A cell outside the used part of the sheet is Empty.
    virtual SheetCell cell(int sheet, int row, int column) const = 0;
    // The last column of the row holding a cell with non-empty text; 0 when there is none.
    virtual int lastUsedColumn(int sheet, int row) const = 0;
    // The last row holding a cell; 0 for an empty sheet.
    virtual int lastRow(int sheet) const = 0;
    // True when every cell is text as written, numbers included (a CSV file), so that "74.0" is
    // not known to be the number 74.
    virtual bool numbersAreText() const { return false; }
};

// The refusal for a file that cannot be read, naming the file and what is wrong with it.
inline UserError unreadableFile(const std::string& path, const std::string& reason) {
    return UserError("无法读取文件 " + path + ": " + reason);
}

// The refusal of a password-protected workbook.
inline UserError passwordProtected(const std::string& path) {
    return unreadableFile(path, "工作簿有密码保护, 请在电子表格程序中取消密码后再导入");
}

// The refusal of a sheet number the workbook does not have (counted from 0).
inline UserError noSuchSheet(const std::string& path, int index) {
    return unreadableFile(path, "没有第" + std::to_string(index + 1) + "个工作表");
}

}  // namespace qm::intake
