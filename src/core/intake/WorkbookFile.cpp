#include "WorkbookFile.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "CsvWorkbook.h"
#include "FileBytes.h"
#include "OleCompoundFile.h"
#include "XlsWorkbook.h"
#include "XlsxWorkbook.h"
#include "common/Platform.h"

namespace qm::intake {

namespace {

enum class Content { CompoundDocument, ZipArchive, WorkbookStream, OldWorkbookStream, Text };

Content contentOf(std::string_view bytes) {
    if (hasCompoundFileSignature(bytes)) {
        return Content::CompoundDocument;
    }
    if (bytes.starts_with("PK\x03\x04") || bytes.starts_with("PK\x05\x06")) {
        return Content::ZipArchive;
    }
    // A file that starts with the BOF record of a workbook stream: 09 08 for BIFF5 to BIFF8, and
    // 09 00, 09 02, 09 04 for Excel 2.x, 3.x and 4.x.
    if (bytes.size() >= 4 && bytes[0] == '\x09' && bytes[3] == '\x00' &&
        static_cast<unsigned char>(bytes[2]) <= 20) {
        if (bytes[1] == '\x08') {
            return Content::WorkbookStream;
        }
        if (bytes[1] == '\x00' || bytes[1] == '\x02' || bytes[1] == '\x04') {
            return Content::OldWorkbookStream;
        }
    }
    return Content::Text;
}

std::string lowerExtension(const std::string& path) {
    std::string extension = platform::pathToUtf8(platform::pathFromUtf8(path).extension());
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

// The refusal of a file whose content is of another kind than its name says.
UserError misnamed(const std::string& name, const std::string& extension,
                   const std::string& content, const std::string& fitting) {
    return unreadableFile(name, "文件名是 " + extension + ", 但内容是" + content +
                                    ", 请把文件改名为 " + fitting + " 后再导入");
}

}  // namespace

std::unique_ptr<Workbook> openWorkbookBytes(std::string bytes, const std::string& name) {
    if (bytes.empty()) {
        throw unreadableFile(name, "文件是空的");
    }
    const std::string extension = lowerExtension(name);
    const bool xls = extension == ".xls";
    const bool xlsx = extension == ".xlsx" || extension == ".xlsm";
    const bool csv = extension == ".csv";
    if (!xls && !xlsx && !csv) {
        throw unreadableFile(name, "不支持的文件类型 (只能导入 .xls, .xlsx 或 .csv 文件)");
    }
    switch (contentOf(bytes)) {
        case Content::OldWorkbookStream:
            return std::make_unique<XlsWorkbook>(bytes, name);  // refused as too old
        case Content::CompoundDocument:
            if (xlsx) {
                // An .xlsx workbook protected by a password is a compound document.
                const auto file = OleCompoundFile::open(bytes);
                if (file && !file->holdsEncryptedPackage()) {
                    throw misnamed(name, extension, "Excel 97-2003 工作簿 (.xls)", ".xls");
                }
            } else if (csv) {
                throw misnamed(name, extension, "Excel 工作簿", ".xls");
            }
            return std::make_unique<XlsWorkbook>(bytes, name);
        case Content::WorkbookStream:
            if (!xls) {
                throw misnamed(name, extension, "Excel 工作簿 (.xls)", ".xls");
            }
            return std::make_unique<XlsWorkbook>(bytes, name);
        case Content::ZipArchive:
            if (!xlsx) {
                throw misnamed(name, extension, "Excel 工作簿 (.xlsx)", ".xlsx");
            }
            return std::make_unique<XlsxWorkbook>(std::move(bytes), name);
        case Content::Text:
            break;
    }
    if (!csv) {
        throw unreadableFile(name, "不是有效的Excel文件 (文件内容不是xls或xlsx格式)");
    }
    return std::make_unique<CsvWorkbook>(std::move(bytes), name);
}

std::unique_ptr<Workbook> openWorkbookFile(const std::string& path) {
    return openWorkbookBytes(readFileBytes(path), path);
}

}  // namespace qm::intake
