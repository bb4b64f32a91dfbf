#include "reports/XlsxWriter.h"

#include <xlsxwriter.h>

#include <filesystem>
#include <system_error>

#include "common/Platform.h"
#include "common/UserError.h"
#include "common/Utf8.h"
#include "intake/XlsxWorkbook.h"

namespace qm::reports {

namespace {

lxw_row_t rowIndex(std::size_t row) {
    return static_cast<lxw_row_t>(row);
}
lxw_col_t columnIndex(std::size_t column) {
    return static_cast<lxw_col_t>(column);
}

// Reads the written workbook back as the import reads a workbook, every sheet to its end. A file
// whose XML is not well formed is refused here, before it can replace the target.
void checkReadsBack(const std::string& written, const std::string& target) {
    try {
        const intake::XlsxWorkbook book(written);
        for (int sheet = 0; sheet < static_cast<int>(book.sheetNames().size()); ++sheet) {
            book.lastRow(sheet);
        }
    } catch (const std::exception& error) {
        throw UserError("导出的文件无法读回，没有保存 " + target + ": " + error.what());
    }
}

}  // namespace

XlsxWriter::XlsxWriter(std::string path)
    : path_(std::move(path)),
      partialPath_(path_ + ".part"),
      workbook_(workbook_new(partialPath_.c_str())) {
    if (workbook_ == nullptr) {
        throw UserError("无法建立电子表格: " + path_);
    }
}

XlsxWriter::~XlsxWriter() {
    if (workbook_ != nullptr) {
        lxw_workbook_free(workbook_);  // never saved: nothing was written
    }
}

void XlsxWriter::check(int error, const std::string& what) const {
    if (error != LXW_NO_ERROR) {
        throw UserError("写电子表格 " + path_ + " 出错(" + what +
                        "): " + lxw_strerror(static_cast<lxw_error>(error)));
    }
}

lxw_worksheet* XlsxWriter::addSheet(const std::string& name) {
    check(workbook_validate_sheet_name(workbook_, name.c_str()), "工作表名 " + name);
    lxw_worksheet* sheet = workbook_add_worksheet(workbook_, name.c_str());
    if (sheet == nullptr) {
        throw UserError("写电子表格 " + path_ + " 出错: 无法添加工作表 " + name);
    }
    return sheet;
}

lxw_format* XlsxWriter::addFormat() {
    return workbook_add_format(workbook_);
}

void XlsxWriter::writeText(lxw_worksheet* sheet, std::size_t row, std::size_t column,
                           const std::string& text, lxw_format* format) {
    // A text from an older database may hold bytes or characters that XML cannot; the file must
    // stay readable whatever the database gives.
    const std::string safe = xmlSafeText(text);
    check(worksheet_write_string(sheet, rowIndex(row), columnIndex(column), safe.c_str(), format),
          "单元格");
}

void XlsxWriter::writeNumber(lxw_worksheet* sheet, std::size_t row, std::size_t column,
                             double value, lxw_format* format) {
    check(worksheet_write_number(sheet, rowIndex(row), columnIndex(column), value, format),
          "单元格");
}

void XlsxWriter::setColumnWidth(lxw_worksheet* sheet, std::size_t column, double width) {
    check(worksheet_set_column(sheet, columnIndex(column), columnIndex(column), width, nullptr),
          "列宽");
}

void XlsxWriter::save() {
    // libxlsxwriter takes the file name as UTF-8 on every system; the rest goes through paths.
    const std::filesystem::path target = platform::pathFromUtf8(path_);
    const std::filesystem::path partial = platform::pathFromUtf8(partialPath_);
    const auto folder = target.has_parent_path() ? target.parent_path() : ".";
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        throw UserError("无法写入 " + path_ + ": 文件夹 " + platform::pathToUtf8(folder) + " 不存在");
    }
    // workbook_close writes the file and frees the workbook, also when writing fails.
    const lxw_error closed = workbook_close(workbook_);
    workbook_ = nullptr;
    if (closed != LXW_NO_ERROR) {
        std::filesystem::remove(partial, error);
        throw UserError("无法写入 " + path_ + ": " + lxw_strerror(closed));
    }
    try {
        checkReadsBack(partialPath_, path_);
    } catch (const UserError&) {
        std::filesystem::remove(partial, error);
        throw;
    }
    std::filesystem::rename(partial, target, error);
    if (error) {
        const std::string reason = error.message();
        std::filesystem::remove(partial, error);
        throw UserError("无法写入 " + path_ + ": " + reason);
    }
}

}  // namespace qm::reports
