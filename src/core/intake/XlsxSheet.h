#pragma once

#include <string>
#include <utility>
#include <vector>

#include "SheetCell.h"
#include "ZipArchive.h"

namespace qm::intake {

// What the cells of a sheet refer to: the shared strings, which cell styles are dates, and the
// date system of the workbook.
struct XlsxCellContext {
    const std::vector<std::string>& sharedStrings;
    const std::vector<bool>& dateStyles;
    bool epoch1904 = false;
};

// The cells of one worksheet of an .xlsx file, read once from its XML.
class XlsxSheet {
  public:
    XlsxSheet(const ZipArchive& archive, const std::string& entry, const XlsxCellContext& context);

    SheetCell cell(int row, int column) const;
    int lastUsedColumn(int row) const;
    int lastRow() const { return rows_.empty() ? 0 : rows_.back().number; }

    // One row's cells, ordered by column.
    struct Row {
        int number = 0;
        std::vector<std::pair<int, SheetCell>> cells;
    };

  private:
    const Row* findRow(int row) const;
    std::vector<Row> rows_;  // ordered by row number
};

}  // namespace qm::intake
