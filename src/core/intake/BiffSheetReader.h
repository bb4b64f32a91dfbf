#pragma once

#include <memory>
#include <string>
#include <vector>

#include "BiffRecords.h"
#include "BiffText.h"
#include "NumberFormat.h"
#include "SheetCells.h"

namespace qm::intake {

// What the cells of a worksheet refer to in the workbook's global records.
struct BiffSheetContext {
    const BiffBytes& bytes;
    BiffText& text;
    const std::vector<std::string>& sharedStrings;
    const std::vector<NumberShape>& cellFormatShapes;  // by XF index
    bool epoch1904;
    const std::string& path;
    const std::string& sheetName;
};

// Reads the cells of the worksheet substream starting at `offset` (its BOF record) up to its EOF:
// numbers (NUMBER, RK, MULRK), texts (LABELSST, LABEL, RSTRING; one cut short at the end of its
// record gives the characters present), booleans and error values (BOOLERR), and the stored
// results of formulas (FORMULA, also under the record types of Excel 3 and 4, with STRING for a
// text). Substreams
// inside it (embedded charts) and records of other kinds are passed over. Throws UserError
// naming the file when the substream is damaged.
std::unique_ptr<SheetCells> readBiffSheet(const BiffSheetContext& context, std::size_t offset);

}  // namespace qm::intake
