#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Workbook.h"
#include "XlsxPackage.h"
#include "ZipArchive.h"

namespace qm::intake {

class SheetCells;

// An .xlsx workbook (transitional or strict) opened for reading: sheet names, the active sheet
// and the cells of each sheet with their kind. Shared strings, inline strings, numbers,
// booleans, dates and times (by their number format, or written as ISO 8601), error values, and
// empty or missing cells are read; formulas give their stored result. A sheet's XML is read the
// first time one of its cells is asked for.
//
//   XlsxWorkbook book("result.xlsx");
//   SheetCell c = book.cell(book.activeSheet(), 2, 5);  // cell E2
//
// Throws UserError naming the file when it is not a readable .xlsx workbook.
class XlsxWorkbook final : public Workbook {
  public:
    explicit XlsxWorkbook(const std::string& path);
    // From the bytes of a file; `name` names it in messages.
    XlsxWorkbook(std::string bytes, const std::string& name);
    ~XlsxWorkbook() override;

    const std::vector<std::string>& sheetNames() const override { return package_.sheetNames; }
    int activeSheet() const override { return package_.activeSheet; }
    SheetCell cell(int sheet, int row, int column) const override;
    int lastUsedColumn(int sheet, int row) const override;
    int lastRow(int sheet) const override;

    // The index of the sheet with this name, or -1.
    int sheetIndex(const std::string& name) const;

  private:
    void readParts();
    const SheetCells& sheet(int index) const;

    std::string path_;
    ZipArchive archive_;
    XlsxPackage package_;
    std::vector<std::string> sharedStrings_;
    std::vector<NumberShape> cellFormatShapes_;
    mutable std::vector<std::unique_ptr<SheetCells>> sheets_;  // read on first use
};

}  // namespace qm::intake
