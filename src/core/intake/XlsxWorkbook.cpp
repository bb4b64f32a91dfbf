#include "XlsxWorkbook.h"

#include "SheetCells.h"
#include "XlsxSheet.h"

namespace qm::intake {

XlsxWorkbook::XlsxWorkbook(const std::string& path) : path_(path), archive_(path) {
    readParts();
}

XlsxWorkbook::XlsxWorkbook(std::string bytes, const std::string& name)
    : path_(name), archive_(std::move(bytes), name) {
    readParts();
}

XlsxWorkbook::~XlsxWorkbook() = default;

void XlsxWorkbook::readParts() {
    package_ = readXlsxPackage(archive_);
    if (package_.sheetNames.empty()) {
        throw unreadableFile(path_, "工作簿中没有工作表");
    }
    sharedStrings_ = readSharedStrings(archive_, package_.sharedStringsEntry);
    cellFormatShapes_ = readCellFormatShapes(archive_, package_.stylesEntry);
    sheets_.resize(package_.sheetNames.size());
}

const SheetCells& XlsxWorkbook::sheet(int index) const {
    if (index < 0 || index >= static_cast<int>(sheets_.size())) {
        throw noSuchSheet(path_, index);
    }
    auto& loaded = sheets_[static_cast<std::size_t>(index)];
    if (!loaded) {
        const std::string& entry = package_.sheetEntries[static_cast<std::size_t>(index)];
        if (entry.empty() || !archive_.contains(entry)) {
            throw unreadableFile(path_, "文件已损坏 (找不到工作表 " +
                                            package_.sheetNames[static_cast<std::size_t>(index)] +
                                            ")");
        }
        loaded =
            readXlsxSheet(archive_, entry,
                          XlsxCellContext{sharedStrings_, cellFormatShapes_, package_.epoch1904});
    }
    return *loaded;
}

SheetCell XlsxWorkbook::cell(int index, int row, int column) const {
    return sheet(index).cell(row, column);
}

int XlsxWorkbook::lastUsedColumn(int index, int row) const {
    return sheet(index).lastUsedColumn(row);
}

int XlsxWorkbook::lastRow(int index) const {
    return sheet(index).lastRow();
}

int XlsxWorkbook::sheetIndex(const std::string& name) const {
    for (std::size_t i = 0; i < package_.sheetNames.size(); ++i) {
        if (package_.sheetNames[i] == name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace qm::intake
