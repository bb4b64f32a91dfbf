#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Workbook.h"

namespace qm::intake {

class BiffWorkbookStream;

// An .xls workbook (BIFF5 or BIFF8 in a compound document) opened for reading through FreeXL.
// Numbers give their shortest decimal text, dates and times FreeXL's YYYY-MM-DD, HH:MM:SS or
// both (kind Text); formulas give their stored result and booleans TRUE or FALSE, read from the
// workbook's records since FreeXL does not give them. The active sheet is the one the workbook's
// first window shows. Throws UserError naming the file when it is damaged, not a workbook, or
// protected by a password.
class XlsWorkbook final : public Workbook {
  public:
    explicit XlsWorkbook(const std::string& path);
    ~XlsWorkbook() override;
    XlsWorkbook(const XlsWorkbook&) = delete;
    XlsWorkbook& operator=(const XlsWorkbook&) = delete;

    const std::vector<std::string>& sheetNames() const override { return names_; }
    int activeSheet() const override { return active_; }
    SheetCell cell(int sheet, int row, int column) const override;
    int lastUsedColumn(int sheet, int row) const override;
    int lastRow(int sheet) const override;

  private:
    void select(int sheet) const;

    std::string path_;
    const void* handle_ = nullptr;
    std::unique_ptr<BiffWorkbookStream> records_;  // what FreeXL does not tell
    std::vector<std::string> names_;
    int active_ = 0;
    mutable int selected_ = -1;
    mutable unsigned int rows_ = 0;
    mutable unsigned short columns_ = 0;
};

}  // namespace qm::intake
