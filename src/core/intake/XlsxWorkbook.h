#pragma once

#include <memory>
#include <string>
#include <vector>

#include "LazySheetsWorkbook.h"
#include "XlsxPackage.h"
#include "ZipArchive.h"

namespace qm::intake {

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
class XlsxWorkbook final : public LazySheetsWorkbook {
  public:
    explicit XlsxWorkbook(const std::string& path);
    // From the bytes of a file; `name` names it in messages.
    XlsxWorkbook(std::string bytes, const std::string& name);
    ~XlsxWorkbook() override;

    const std::vector<std::string>& sheetNames() const override { return package_.sheetNames; }
    int activeSheet() const override { return package_.activeSheet; }

    // The index of the sheet with this name, or -1.
    int sheetIndex(const std::string& name) const;

  private:
    void readParts();
    const std::string& displayPath() const override { return path_; }
    std::unique_ptr<SheetCells> readSheet(int index) const override;

    std::string path_;
    ZipArchive archive_;
    XlsxPackage package_;
    std::vector<std::string> sharedStrings_;
    std::vector<NumberShape> cellFormatShapes_;
};

}  // namespace qm::intake
