#include "XlsxWorkbook.h"

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
}

std::unique_ptr<SheetCells> XlsxWorkbook::readSheet(int index) const {
    const auto sheet = static_cast<std::size_t>(index);
    const std::string& entry = package_.sheetEntries[sheet];
    if (entry.empty() || !archive_.contains(entry)) {
        throw unreadableFile(path_, "文件已损坏 (找不到工作表 " + package_.sheetNames[sheet] + ")");
    }
    return readXlsxSheet(archive_, entry,
                         XlsxCellContext{sharedStrings_, cellFormatShapes_, package_.epoch1904});
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
