#include "LazySheetsWorkbook.h"

namespace qm::intake {

const SheetCells& LazySheetsWorkbook::sheet(int index) const {
    if (index < 0 || index >= static_cast<int>(sheetNames().size())) {
        throw noSuchSheet(displayPath(), index);
    }
    sheets_.resize(sheetNames().size());
    auto& loaded = sheets_[static_cast<std::size_t>(index)];
    if (!loaded) {
        loaded = readSheet(index);
    }
    return *loaded;
}

SheetCell LazySheetsWorkbook::cell(int index, int row, int column) const {
    return sheet(index).cell(row, column);
}

int LazySheetsWorkbook::lastUsedColumn(int index, int row) const {
    return sheet(index).lastUsedColumn(row);
}

int LazySheetsWorkbook::lastRow(int index) const {
    return sheet(index).lastRow();
}

}  // namespace qm::intake
