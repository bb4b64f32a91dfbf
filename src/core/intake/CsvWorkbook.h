#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "Workbook.h"

namespace qm::intake {

// A CSV text file seen as a workbook of one sheet named after the file. The text is UTF-8, with
// or without a byte order mark, or else GBK; fields are separated by commas, semicolons or tabs,
// whichever the first line uses most, and may be quoted as RFC 4180 says (separators, doubled
// quotes and line breaks inside quotes). Every non-empty field is a Text cell, taken as written:
// "85.0" stays "85.0"; characters XML cannot hold become U+FFFD. Throws UserError naming the file
// when it cannot be read as text, and the "文件太大" refusal beyond the limits of ReadLimits.
class CsvWorkbook final : public Workbook {
  public:
    explicit CsvWorkbook(const std::string& path);
    // From the bytes of a file; `name` names it in messages and gives the sheet its name.
    CsvWorkbook(std::string bytes, const std::string& name);

    const std::vector<std::string>& sheetNames() const override { return names_; }
    int activeSheet() const override { return 0; }
    SheetCell cell(int sheet, int row, int column) const override;
    int lastUsedColumn(int sheet, int row) const override;
    int lastRow(int sheet) const override;
    bool numbersAreText() const override { return true; }

    char separator() const { return separator_; }
    // The records as read, each a list of its fields.
    const std::vector<std::vector<std::string>>& records() const { return rows_; }

  private:
    const std::vector<std::string>* findRow(int sheet, int row) const;

    std::string path_;
    std::vector<std::string> names_;
    char separator_ = ',';
    std::vector<std::vector<std::string>> rows_;
};

}  // namespace qm::intake
