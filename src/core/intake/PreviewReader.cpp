#include "PreviewReader.h"

#include <algorithm>

#include "ReadLimits.h"
#include "WorkbookFile.h"
#include "common/NumberText.h"

namespace qm::intake {

namespace {

constexpr int kFirstScoreColumn = 5;  // 数学
constexpr int kLastScoreColumn = 13;  // 生物

bool isScoreColumn(int column) {
    return column >= kFirstScoreColumn && column <= kLastScoreColumn;
}

// A number written as text shown as a number cell shows it, when that keeps its value: "74.0"
// gives "74", while "20240001234567890123" (more digits than a number cell holds) stays.
std::string asNumberText(std::string text) {
    const auto value = parseNumber(text);
    if (!value) {
        return text;
    }
    std::string shown = numberText(*value);
    return parseNumber(shown) == value ? shown : text;
}

void refuseExtraColumns(const Workbook& workbook, int sheet, int row, const std::string& path) {
    const int last = workbook.lastUsedColumn(sheet, row);
    if (last > kImportColumns) {
        throw unreadableFile(path, "第" + std::to_string(row) + "行第" + columnName(last) +
                                       "列有内容, 导入表格只能有17列 (A到Q), 请检查是否多出了列");
    }
}

// Whether a cell of the row from `firstColumn` to the last of the import layout holds text other
// than blanks.
bool holdsSomething(const Workbook& workbook, int sheet, int row, int firstColumn) {
    const int last = std::min(workbook.lastUsedColumn(sheet, row), kImportColumns);
    for (int column = firstColumn; column <= last; ++column) {
        if (!trimmed(workbook.cell(sheet, row, column).text).empty()) {
            return true;
        }
    }
    return false;
}

// Notes in the grid what the reading left out at and below its stopping row, so that a list with
// a blank row in the middle is not taken for the whole list.
void noteRowsNotRead(const Workbook& workbook, int sheet, PreviewGrid& grid) {
    const int stop = grid.stopRow();
    grid.stopRowFilled = holdsSomething(workbook, sheet, stop, 2);
    const int last = workbook.lastRow(sheet);
    for (int row = stop + 1; row <= last; ++row) {
        grid.filledRowsBelow += holdsSomething(workbook, sheet, row, 1) ? 1 : 0;
    }
}

}  // namespace

std::string columnName(int column) {
    std::string name;
    for (; column > 0; column = (column - 1) / 26) {
        name.insert(name.begin(), static_cast<char>('A' + (column - 1) % 26));
    }
    return name;
}

PreviewGrid readPreview(const Workbook& workbook, const std::string& path, ReadObserver* observer) {
    const int sheet = workbook.activeSheet();
    PreviewGrid grid;
    refuseExtraColumns(workbook, sheet, 1, path);
    for (int column = 1; column <= kImportColumns; ++column) {
        grid.titles[static_cast<std::size_t>(column - 1)] = workbook.cell(sheet, 1, column).text;
    }
    const bool numbersAreText = workbook.numbersAreText();
    std::size_t textBytes = 0;
    // Row k of the grid holds spreadsheet row k + 1; the loop goes on while the 学号 of the row
    // just filled is not empty, so it ends with that first row whose 学号 is empty.
    std::string studentNumber = workbook.cell(sheet, 2, 1).text;
    for (int k = 1; !studentNumber.empty(); ++k) {
        const int row = k + 1;
        refuseExtraColumns(workbook, sheet, row, path);
        PreviewGrid::Row cells;
        cells[0] = std::to_string(k);
        for (int column = 1; column <= kImportColumns; ++column) {
            std::string text = workbook.cell(sheet, row, column).text;
            const bool score = isScoreColumn(column);
            if (score && trimmed(text).empty()) {
                text = "0";
            } else if (numbersAreText && (score || column == 1)) {
                text = asNumberText(std::move(text));
            }
            textBytes += text.size();
            cells[static_cast<std::size_t>(column)] = std::move(text);
        }
        if (textBytes > ReadLimits::kPreviewTextBytes) {
            throw fileTooBig(path, "前 " + std::to_string(row) + " 行的文字超过 " +
                                       std::to_string(ReadLimits::kPreviewTextBytes >> 20) + " MB");
        }
        studentNumber = cells[1];
        grid.rows.push_back(std::move(cells));
        if (observer) {
            observer->progress(static_cast<int>(grid.rows.size()));
            if (observer->cancelRequested()) {
                throw ReadCancelled(path);
            }
        }
    }
    noteRowsNotRead(workbook, sheet, grid);
    return grid;
}

PreviewGrid readPreviewFile(const std::string& path, ReadObserver* observer) {
    const auto workbook = openWorkbookFile(path);
    return readPreview(*workbook, path, observer);
}

PreviewGrid readPreviewBytes(std::string bytes, const std::string& name, ReadObserver* observer) {
    const auto workbook = openWorkbookBytes(std::move(bytes), name);
    return readPreview(*workbook, name, observer);
}

}  // namespace qm::intake
