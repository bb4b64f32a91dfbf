#include "XlsWorkbook.h"

#include "BiffWorkbookStream.h"
#include "FileBytes.h"
#include "OleCompoundFile.h"

namespace qm::intake {

namespace {

// The workbook stream of the file's bytes: from the compound document that holds it, or the bytes
// themselves when they are a bare workbook stream.
std::unique_ptr<BiffWorkbookStream> openStream(std::string_view bytes, const std::string& name) {
    if (!hasCompoundFileSignature(bytes)) {
        return std::make_unique<BiffWorkbookStream>(std::string(bytes), name, false);
    }
    const auto file = OleCompoundFile::open(bytes);
    if (!file) {
        throw unreadableFile(name, "文件已损坏或不是有效的Excel文件");
    }
    if (file->holdsEncryptedPackage()) {
        throw passwordProtected(name);
    }
    for (const char* streamName : {"Workbook", "Book"}) {
        if (!file->hasStream(streamName)) {
            continue;
        }
        auto stream = file->readStream(streamName);
        if (!stream) {
            throw unreadableFile(name, "文件已损坏 (工作簿数据无法读取)");
        }
        return std::make_unique<BiffWorkbookStream>(std::move(*stream), name,
                                                    std::string_view(streamName) == "Book");
    }
    throw unreadableFile(name, "不是Excel工作簿 (可能是其他Office文档)");
}

}  // namespace

XlsWorkbook::XlsWorkbook(const std::string& path) : XlsWorkbook(readFileBytes(path), path) {}

XlsWorkbook::XlsWorkbook(std::string_view bytes, const std::string& name)
    : stream_(openStream(bytes, name)) {}

XlsWorkbook::~XlsWorkbook() = default;

const std::vector<std::string>& XlsWorkbook::sheetNames() const {
    return stream_->sheetNames();
}

int XlsWorkbook::activeSheet() const {
    return stream_->activeSheet();
}

const std::string& XlsWorkbook::displayPath() const {
    return stream_->path();
}

std::unique_ptr<SheetCells> XlsWorkbook::readSheet(int index) const {
    return stream_->readSheet(index);
}

}  // namespace qm::intake
