#include "ReaderTarget.h"

#include <algorithm>
#include <fstream>
#include <memory>
#include <stdexcept>

#include "common/UserError.h"
#include "intake/PreviewReader.h"
#include "intake/WorkbookFile.h"

namespace qm::fuzz {

namespace {

// Enough of a sheet to reach every kind of cell record, and little enough that an input claiming
// two billion rows does not turn into a time-out of the walk itself.
constexpr int kWalkedRows = 200;
constexpr int kWalkedColumns = 40;

void walkEverySheet(const intake::Workbook& workbook) {
    const int sheets = static_cast<int>(workbook.sheetNames().size());
    for (int sheet = 0; sheet < sheets; ++sheet) {
        const int rows = std::min(workbook.lastRow(sheet), kWalkedRows);
        for (int row = 1; row <= rows; ++row) {
            const int columns = std::min(workbook.lastUsedColumn(sheet, row), kWalkedColumns);
            for (int column = 1; column <= columns; ++column) {
                workbook.cell(sheet, row, column);
            }
        }
    }
}

}  // namespace

void writeInputFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) {
        throw std::runtime_error("cannot write the input file " + path);
    }
}

ReaderTarget::ReaderTarget(std::string extension) : path_(folder_.file("input" + extension)) {}

void ReaderTarget::run(std::string_view bytes) {
    writeInputFile(path_, bytes);
    // A clear refusal (UserError) is what a damaged file must give; the walk goes on after a
    // refused preview, since the refusal may come from the layout rather than from the file.
    std::unique_ptr<intake::Workbook> workbook;
    try {
        workbook = intake::openWorkbookFile(path_);
        intake::readPreview(*workbook, path_);
    } catch (const UserError&) {
    }
    if (workbook) {
        try {
            walkEverySheet(*workbook);
        } catch (const UserError&) {
        }
    }
}

}  // namespace qm::fuzz
