#pragma once

#include <memory>
#include <string>
#include <vector>

#include "NumberFormat.h"
#include "SheetCells.h"
#include "ZipArchive.h"

namespace qm::intake {

// What the cells of a sheet refer to: the shared strings, how each cell style shows numbers,
// and the date system of the workbook.
struct XlsxCellContext {
    const std::vector<std::string>& sharedStrings;
    const std::vector<NumberShape>& cellFormatShapes;
    bool epoch1904 = false;
};

// Reads the cells of one worksheet of an .xlsx file from its XML: the <c> elements of the <row>
// elements of <sheetData>. A cell is placed by its reference (in either letter case); a row or
// cell without one follows the previous one; rows given twice are merged. Shared strings are
// referred to, not copied; numbers are shown by their cell's number format, and dates written as
// ISO 8601 (cells of type "d") the same way.
std::unique_ptr<SheetCells> readXlsxSheet(const ZipArchive& archive, const std::string& entry,
                                          const XlsxCellContext& context);

}  // namespace qm::intake
