#pragma once

#include <memory>
#include <string>
#include <vector>

#include "SheetCells.h"
#include "Workbook.h"

namespace qm::intake {

// A workbook whose sheets are read into SheetCells the first time one of their cells is asked
// for, and kept: the .xls and .xlsx workbooks.
class LazySheetsWorkbook : public Workbook {
  public:
    SheetCell cell(int sheet, int row, int column) const override;
    int lastUsedColumn(int sheet, int row) const override;
    int lastRow(int sheet) const override;

  protected:
    // The file named in messages.
    virtual const std::string& displayPath() const = 0;
    // Reads the cells of the sheet with this index, which is in range.
    virtual std::unique_ptr<SheetCells> readSheet(int index) const = 0;

  private:
    const SheetCells& sheet(int index) const;

    mutable std::vector<std::unique_ptr<SheetCells>> sheets_;  // by index, read on first use
};

}  // namespace qm::intake
