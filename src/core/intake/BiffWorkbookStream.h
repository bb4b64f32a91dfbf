#pragma once

#include <memory>
#include <string>
#include <vector>

#include "BiffRecords.h"
#include "BiffText.h"
#include "NumberFormat.h"
#include "SheetCells.h"
#include "common/UserError.h"

namespace qm::intake {

// The workbook stream of an .xls file (BIFF5, BIFF7 or BIFF8) read record by record. The
// workbook's global records are read at once: the sheets (BOUNDSHEET; only worksheets are kept),
// the sheet the workbook opens with (WINDOW1), the date system (DATEMODE), the code page of BIFF5
// texts (CODEPAGE), the shared strings (SST with its CONTINUE records) and the number formats of
// the cell formats (FORMAT, XF). A worksheet's cells are read when asked for. Every length and
// offset is checked against the bytes present. Throws UserError naming `path` for a stream that
// is encrypted (FILEPASS), of Excel 2.x to 4.x, damaged, or without worksheets.
class BiffWorkbookStream {
  public:
    // `namedBook`: the stream is named Book, as in BIFF5 files.
    BiffWorkbookStream(std::string stream, std::string path, bool namedBook);

    const std::string& path() const { return path_; }
    const std::vector<std::string>& sheetNames() const { return names_; }
    int activeSheet() const { return active_; }
    // The cells of the worksheet with this index (counted among the worksheets from 0).
    std::unique_ptr<SheetCells> readSheet(int index) const;

  private:
    void readGlobals(bool namedBook);
    void findMisplacedSheets(std::size_t afterGlobals, const std::vector<std::size_t>& positions);
    UserError damaged(const std::string& what) const;

    std::string stream_;
    std::string path_;
    BiffBytes bytes_;
    mutable BiffText text_;
    bool epoch1904_ = false;
    int active_ = 0;
    std::vector<std::string> names_;
    std::vector<std::size_t> offsets_;  // of each worksheet's BOF record
    std::vector<std::string> sharedStrings_;
    std::vector<NumberShape> cellFormatShapes_;  // by XF index
};

}  // namespace qm::intake
