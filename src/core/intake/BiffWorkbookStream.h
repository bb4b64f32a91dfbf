#pragma once

#include <map>
#include <utility>
#include <vector>

#include "SheetCell.h"

namespace qm::intake {

// What the .xls reader learns from the BIFF records of a workbook stream itself, beside FreeXL:
// whether the workbook is encrypted (FILEPASS), the sheet it opens with (WINDOW1), which sheets
// are worksheets (BOUNDSHEET), and the cells FreeXL gives no value for: the stored results of
// formulas (FORMULA, with STRING for a text result; text results of BIFF5 files are left out)
// and booleans and error values (BOOLERR).
class BiffWorkbookStream {
  public:
    explicit BiffWorkbookStream(const std::vector<unsigned char>& stream);

    bool encrypted() const { return encrypted_; }
    // Index of the active sheet among the worksheets only.
    int activeWorksheet() const { return activeWorksheet_; }
    int worksheetCount() const { return static_cast<int>(worksheetCells_.size()); }
    // A formula result, boolean or error value at (row, column), counted from 1 on the
    // worksheet with this index; nullptr when the cell is none of these.
    const SheetCell* specialCell(int worksheet, int row, int column) const;

  private:
    void readGlobals(const std::vector<unsigned char>& stream);
    void readSheet(const std::vector<unsigned char>& stream, std::size_t offset,
                   std::map<std::pair<int, int>, SheetCell>& cells);

    bool biff8_ = false;
    bool encrypted_ = false;
    int activeWorksheet_ = 0;
    std::vector<std::size_t> worksheetOffsets_;
    std::vector<std::map<std::pair<int, int>, SheetCell>> worksheetCells_;
};

}  // namespace qm::intake
