#include "reports/XlsxWriter.h"

#include <xlsxwriter.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <system_error>

#include "common/Platform.h"
#include "common/UserError.h"
#include "common/Utf8.h"
#include "intake/XlsxWorkbook.h"
#include "intake/ZipArchive.h"
#include "store/WriteTargets.h"

namespace qm::reports {

namespace {

namespace fs = std::filesystem;

lxw_row_t rowIndex(std::size_t row) {
    return static_cast<lxw_row_t>(row);
}
lxw_col_t columnIndex(std::size_t column) {
    return static_cast<lxw_col_t>(column);
}

// The writer uses a row it failed to allocate all the same, and crashes. So before each cell,
// room is asked of the allocator first: when there is none, the export ends as out of memory;
// otherwise the block just given back serves the writer's own small allocations.
void ensureRoomForCell() {
    constexpr std::size_t kRoom = 64 << 10;
    void* room = std::malloc(kRoom);
    if (room == nullptr) {
        throw std::bad_alloc();
    }
    std::free(room);
}

// The writer's failures the user can do something about, told in their words: memory that ran
// out (as std::bad_alloc, like every other place where it does) and a full disk. Where the
// writer reports them as a failed zip or file operation, errno tells.
void throwIfOutOfRoom(lxw_error error, int systemError, const std::string& target) {
    if (error == LXW_ERROR_MEMORY_MALLOC_FAILED || systemError == ENOMEM) {
        throw std::bad_alloc();
    }
    if (platform::isDiskFull(systemError)) {
        throw UserError("磁盘已满，无法写入 " + target);
    }
}

// Reads the written workbook back as the import reads a workbook, every sheet to its end. A file
// whose XML is not well formed is refused here, before it can replace the target.
void checkReadsBack(const std::string& written, const std::string& target) {
    try {
        const intake::XlsxWorkbook book(written);
        for (int sheet = 0; sheet < static_cast<int>(book.sheetNames().size()); ++sheet) {
            book.lastRow(sheet);
        }
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception& error) {
        throw UserError("导出的文件无法读回，没有保存 " + target + ": " + error.what());
    }
}

// An .xlsx workbook (a zip package with a workbook part), or an empty file: either may be
// replaced by a new export.
bool isWorkbookOrEmpty(const std::string& path) {
    std::error_code error;
    const auto file = platform::pathFromUtf8(path);
    if (fs::is_regular_file(file, error) && fs::file_size(file, error) == 0 && !error) {
        return true;
    }
    try {
        return intake::ZipArchive(path).contains("xl/workbook.xml");
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

XlsxWriter::XlsxWriter(ExportTarget target)
    : target_(std::move(target)), path_(target_.path), partialPath_(path_ + ".part") {
    checkTarget();
    workbook_ = workbook_new(partialPath_.c_str());
    if (workbook_ == nullptr) {
        throw UserError("无法建立电子表格: " + path_);
    }
}

void XlsxWriter::checkTarget() const {
    store::refuseDatabaseFile(target_.databasePath, path_);
    store::refuseDatabaseFile(target_.databasePath, partialPath_);
    if (!target_.replaceAnyFile && store::somethingAt(path_) && !isWorkbookOrEmpty(path_)) {
        throw store::ExistingFileRefused("文件 " + path_ +
                                         " 已经存在，而且不是 Excel 工作簿(.xlsx)，没有替换它");
    }
}

XlsxWriter::~XlsxWriter() {
    if (workbook_ != nullptr) {
        lxw_workbook_free(workbook_);  // never saved: nothing was written
    }
}

void XlsxWriter::check(int error, const std::string& what) const {
    if (error != LXW_NO_ERROR) {
        throwIfOutOfRoom(static_cast<lxw_error>(error), 0, path_);
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
    lxw_format* format = workbook_add_format(workbook_);
    if (format == nullptr) {
        throw std::bad_alloc();  // the writer's only reason to give none
    }
    return format;
}

void XlsxWriter::writeText(lxw_worksheet* sheet, std::size_t row, std::size_t column,
                           const std::string& text, lxw_format* format) {
    // A text from an older database may hold bytes or characters that XML cannot; the file must
    // stay readable whatever the database gives.
    const std::string safe = xmlSafeText(text);
    ensureRoomForCell();
    check(worksheet_write_string(sheet, rowIndex(row), columnIndex(column), safe.c_str(), format),
          "单元格");
}

void XlsxWriter::writeNumber(lxw_worksheet* sheet, std::size_t row, std::size_t column,
                             double value, lxw_format* format) {
    ensureRoomForCell();
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
    errno = 0;
    const lxw_error closed = workbook_close(workbook_);
    const int closeErrno = errno;
    workbook_ = nullptr;
    if (closed != LXW_NO_ERROR) {
        std::filesystem::remove(partial, error);
        throwIfOutOfRoom(closed, closeErrno, path_);
        throw UserError("无法写入 " + path_ + ": " + lxw_strerror(closed));
    }
    try {
        checkReadsBack(partialPath_, path_);
    } catch (const UserError&) {
        std::filesystem::remove(partial, error);
        throw;
    }
    try {
        checkTarget();  // the target may have become something else while the workbook was written
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
