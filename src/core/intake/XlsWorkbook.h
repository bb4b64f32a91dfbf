#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "LazySheetsWorkbook.h"

namespace qm::intake {

class BiffWorkbookStream;

// An .xls workbook (BIFF5, BIFF7 or BIFF8) opened for reading: the workbook stream (named
// Workbook, or Book in BIFF5 files, in any letter case) of a compound document, or a bare
// workbook stream. Numbers give their shortest decimal text; dates, times and elapsed times the
// text their number format calls for (see SerialDate.h); formulas their stored result; booleans
// TRUE or FALSE; error values as written. The active sheet is the one the workbook's first
// window shows. A sheet's records are read the first time one of its cells is asked for. Throws
// UserError naming the file when it is damaged, not a workbook, too old, or protected by a
// password.
class XlsWorkbook final : public LazySheetsWorkbook {
  public:
    explicit XlsWorkbook(const std::string& path);
    // From the bytes of a file; `name` names it in messages.
    XlsWorkbook(std::string_view bytes, const std::string& name);
    ~XlsWorkbook() override;
    XlsWorkbook(const XlsWorkbook&) = delete;
    XlsWorkbook& operator=(const XlsWorkbook&) = delete;

    const std::vector<std::string>& sheetNames() const override;
    int activeSheet() const override;

  private:
    const std::string& displayPath() const override;
    std::unique_ptr<SheetCells> readSheet(int index) const override;

    std::unique_ptr<BiffWorkbookStream> stream_;
};

}  // namespace qm::intake
