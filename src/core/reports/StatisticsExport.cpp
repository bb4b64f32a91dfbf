#include "reports/StatisticsExport.h"

#include <xlsxwriter.h>

#include "common/ColumnWidths.h"
#include "reports/BalanceReport.h"
#include "reports/ClassStatistics.h"
#include "reports/TextTable.h"
#include "reports/XlsxWriter.h"

namespace qm::reports {

namespace {

// Sheet rows from a block's first row to the next block's: the grid, one empty row, the two
// empty rows and the title row before the next grid.
std::size_t blockHeight(const StatGrid& grid) {
    return grid.rowCount() + 4;
}

struct Formats {
    lxw_format* title;
    lxw_format* twoDecimals;
    lxw_format* redTwoDecimals;
};

Formats makeFormats(XlsxWriter& workbook) {
    Formats formats{workbook.addFormat(), workbook.addFormat(), workbook.addFormat()};
    format_set_bold(formats.title);
    format_set_num_format(formats.twoDecimals, "0.00");
    format_set_num_format(formats.redTwoDecimals, "0.00");
    format_set_font_color(formats.redTwoDecimals, LXW_COLOR_RED);
    return formats;
}

// A cell of grid row 0 is a title; the others are counts, figures or class names.
void writeCell(XlsxWriter& workbook, lxw_worksheet* sheet, std::size_t row, std::size_t column,
               const StatCell& cell, bool isTitle, const Formats& formats) {
    if (cell.number && !isTitle) {
        lxw_format* format = cell.red           ? formats.redTwoDecimals
                             : cell.twoDecimals ? formats.twoDecimals
                                                : nullptr;
        workbook.writeNumber(sheet, row, column, *cell.number, format);
    } else if (!cell.text.empty()) {
        workbook.writeText(sheet, row, column, cell.text, isTitle ? formats.title : nullptr);
    }
}

// A sheet's columns: two characters beside the widest text, and at least eight characters wide.
using SheetColumnWidths = ColumnWidths<std::size_t>;
SheetColumnWidths sheetColumnWidths() {
    return SheetColumnWidths(2, 8);
}

void setColumnWidths(XlsxWriter& workbook, lxw_worksheet* sheet, const SheetColumnWidths& widths) {
    for (std::size_t c = 0; c < widths.count(); ++c) {
        workbook.setColumnWidth(sheet, c, static_cast<double>(widths.width(c)));
    }
}

void writeBalance(XlsxWriter& workbook, const BalanceReport& balance, const Formats& formats) {
    lxw_worksheet* sheet = workbook.addSheet(kBalanceSheetName);
    SheetColumnWidths widths = sheetColumnWidths();
    for (std::size_t c = 0; c < kBalanceHeadings.size(); ++c) {
        workbook.writeText(sheet, 0, c, kBalanceHeadings[c], formats.title);
        widths.fit(c, displayWidth(kBalanceHeadings[c]));
    }
    std::size_t row = 1;
    for (const BalanceRow& figure : balanceRows(balance)) {
        workbook.writeText(sheet, row, 0, figure.label);
        widths.fit(0, displayWidth(figure.label));
        for (std::size_t c = 0; c < figure.values.size(); ++c) {
            workbook.writeNumber(sheet, row, c + 1, figure.values[c],
                                 figure.points ? formats.twoDecimals : nullptr);
        }
        ++row;
    }
    ++row;  // one empty row before the words
    for (const std::string& line : balanceSummary(balance)) {
        workbook.writeText(sheet, row++, 0, line);
    }
    setColumnWidths(workbook, sheet, widths);
}

}  // namespace

void exportStatistics(const ClassStatistics& statistics, const ExportTarget& target,
                      const BalanceReport* balance) {
    XlsxWriter workbook(target);
    lxw_worksheet* sheet = workbook.addSheet(kStatisticsSheetName);
    const Formats formats = makeFormats(workbook);

    SheetColumnWidths widths = sheetColumnWidths();
    std::size_t first = 0;  // the block's first sheet row
    bool titled = false;    // every block after the first has a title
    for (const StatGrid* grid : statistics.grids()) {
        if (titled) {
            workbook.writeText(sheet, first - 1, 0, grid->name(), formats.title);
        }
        widths.addColumns(grid->columnCount() - 1);
        for (std::size_t r = 0; r < grid->rowCount(); ++r) {
            for (std::size_t c = 1; c < grid->columnCount(); ++c) {
                const StatCell& cell = grid->cell(r, c);
                writeCell(workbook, sheet, first + r, c - 1, cell, r == 0, formats);
                widths.fit(c - 1, displayWidth(cell.text));
            }
        }
        first += blockHeight(*grid);
        titled = true;
    }
    setColumnWidths(workbook, sheet, widths);
    worksheet_freeze_panes(sheet, 0, 1);
    if (balance != nullptr) {
        writeBalance(workbook, *balance, formats);
    }
    workbook.save();
}

}  // namespace qm::reports
