#include "WorkbookFile.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

#include "CsvWorkbook.h"
#include "OleCompoundFile.h"
#include "XlsWorkbook.h"
#include "XlsxWorkbook.h"

namespace qm::intake {

namespace {

std::string lowerExtension(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

std::string firstBytes(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        throw unreadableFile(path, "文件不存在");
    }
    if (std::filesystem::is_directory(path, error)) {
        throw unreadableFile(path, "这是一个文件夹, 不是文件");
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw unreadableFile(path, "文件无法打开 (没有读取权限或被占用)");
    }
    std::string bytes(8, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    if (bytes.empty()) {
        throw unreadableFile(path, "文件是空的");
    }
    return bytes;
}

// A compound document is an .xls workbook, or an .xlsx workbook encrypted with a password.
std::unique_ptr<Workbook> openCompoundFile(const std::string& path) {
    const auto file = OleCompoundFile::open(path);
    if (!file) {
        throw unreadableFile(path, "文件已损坏或不是有效的Excel文件");
    }
    if (file->hasStream("EncryptionInfo") || file->hasStream("EncryptedPackage")) {
        throw unreadableFile(path, "工作簿有密码保护, 请在电子表格程序中取消密码后再导入");
    }
    if (!file->hasStream("Workbook") && !file->hasStream("Book")) {
        throw unreadableFile(path, "不是Excel工作簿 (可能是其他Office文档)");
    }
    return std::make_unique<XlsWorkbook>(path);
}

}  // namespace

std::unique_ptr<Workbook> openWorkbookFile(const std::string& path) {
    const std::string start = firstBytes(path);
    if (hasCompoundFileSignature(start)) {
        return openCompoundFile(path);
    }
    if (start.starts_with("PK\x03\x04") || start.starts_with("PK\x05\x06")) {
        return std::make_unique<XlsxWorkbook>(path);
    }
    const std::string extension = lowerExtension(path);
    if (extension == ".csv" || extension == ".txt") {
        return std::make_unique<CsvWorkbook>(path);
    }
    if (extension == ".xls" || extension == ".xlsx") {
        throw unreadableFile(path, "不是有效的Excel文件 (文件内容不是xls或xlsx格式)");
    }
    throw unreadableFile(path, "不支持的文件类型 (只能导入 .xls, .xlsx 或 .csv 文件)");
}

}  // namespace qm::intake
