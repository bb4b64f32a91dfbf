#include "XlsWorkbook.h"

#include <freexl.h>

#include <optional>

#include "BiffWorkbookStream.h"
#include "OleCompoundFile.h"
#include "common/NumberText.h"

namespace qm::intake {

namespace {

constexpr const char* kPasswordProtected = "工作簿有密码保护, 请在电子表格程序中取消密码后再导入";

std::string openFailure(int code) {
    switch (code) {
        case FREEXL_FILE_NOT_FOUND:
            return "文件不存在或无法打开";
        case FREEXL_INSUFFICIENT_MEMORY:
            return "内存不足";
        case FREEXL_INVALID_CFBF_HEADER:
        case FREEXL_CFBF_INVALID_SIGNATURE:
            return "不是有效的Excel文件";
        case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
            return "文件中没有Excel工作簿";
        default:
            return "文件已损坏或不是有效的xls文件 (FreeXL 错误 " + std::to_string(code) + ")";
    }
}

// The workbook stream of the compound document, read through libgsf: "Workbook" in BIFF8 files,
// "Book" in BIFF5 files. Nothing when there is neither.
std::optional<std::vector<unsigned char>> workbookStream(const std::string& path) {
    const auto file = OleCompoundFile::open(path);
    if (!file) {
        return std::nullopt;
    }
    auto stream = file->readStream("Workbook");
    return stream ? stream : file->readStream("Book");
}

}  // namespace

XlsWorkbook::XlsWorkbook(const std::string& path) : path_(path) {
    const auto stream = workbookStream(path);
    if (!stream) {
        throw unreadableFile(path_, "文件已损坏或不是有效的Excel文件");
    }
    records_ = std::make_unique<BiffWorkbookStream>(*stream);
    if (records_->encrypted()) {
        throw unreadableFile(path_, kPasswordProtected);
    }
    const int opened = freexl_open(path.c_str(), &handle_);
    if (opened != FREEXL_OK) {
        if (handle_) {
            freexl_close(handle_);
        }
        throw unreadableFile(path_, openFailure(opened));
    }
    unsigned int info = 0;
    if (freexl_get_info(handle_, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK &&
        info == FREEXL_BIFF_OBFUSCATED) {
        freexl_close(handle_);
        throw unreadableFile(path_, kPasswordProtected);
    }
    unsigned int count = 0;
    if (freexl_get_info(handle_, FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK || count == 0) {
        freexl_close(handle_);
        throw unreadableFile(path_, "工作簿中没有工作表");
    }
    for (unsigned int i = 0; i < count; ++i) {
        const char* name = nullptr;
        freexl_get_worksheet_name(handle_, static_cast<unsigned short>(i), &name);
        names_.emplace_back(name ? name : "");
    }
    // The records are numbered like FreeXL's sheets when both count the same worksheets.
    if (records_->worksheetCount() != static_cast<int>(count)) {
        records_.reset();
    }
    active_ = records_ ? records_->activeWorksheet() : 0;
}

XlsWorkbook::~XlsWorkbook() {
    freexl_close(handle_);
}

void XlsWorkbook::select(int sheet) const {
    if (sheet == selected_) {
        return;
    }
    if (sheet < 0 || sheet >= static_cast<int>(names_.size()) ||
        freexl_select_active_worksheet(handle_, static_cast<unsigned short>(sheet)) != FREEXL_OK) {
        throw unreadableFile(path_, "没有第" + std::to_string(sheet + 1) + "个工作表");
    }
    selected_ = sheet;
    if (freexl_worksheet_dimensions(handle_, &rows_, &columns_) != FREEXL_OK) {
        rows_ = 0;
        columns_ = 0;
    }
}

SheetCell XlsWorkbook::cell(int sheet, int row, int column) const {
    select(sheet);
    SheetCell cell;
    if (row < 1 || column < 1 || static_cast<unsigned>(row) > rows_ || column > columns_) {
        return cell;
    }
    if (const SheetCell* special = records_ ? records_->specialCell(sheet, row, column) : nullptr) {
        return *special;
    }
    FreeXL_CellValue value;
    const int status = freexl_get_cell_value(handle_, static_cast<unsigned>(row - 1),
                                             static_cast<unsigned short>(column - 1), &value);
    if (status != FREEXL_OK) {
        throw unreadableFile(path_, "文件已损坏 (第" + std::to_string(row) + "行第" +
                                        std::to_string(column) + "列无法读取)");
    }
    switch (value.type) {
        case FREEXL_CELL_INT:
            cell.kind = CellKind::Number;
            cell.number = value.value.int_value;
            cell.text = numberText(cell.number);
            break;
        case FREEXL_CELL_DOUBLE:
            cell.kind = CellKind::Number;
            cell.number = value.value.double_value;
            cell.text = numberText(cell.number);
            break;
        case FREEXL_CELL_TEXT:
        case FREEXL_CELL_SST_TEXT:
        case FREEXL_CELL_DATE:
        case FREEXL_CELL_DATETIME:
        case FREEXL_CELL_TIME:
            cell.kind = CellKind::Text;
            cell.text = value.value.text_value ? value.value.text_value : "";
            break;
        default:
            break;
    }
    return cell;
}

int XlsWorkbook::lastUsedColumn(int sheet, int row) const {
    select(sheet);
    for (int column = columns_; column >= 1; --column) {
        if (!cell(sheet, row, column).text.empty()) {
            return column;
        }
    }
    return 0;
}

int XlsWorkbook::lastRow(int sheet) const {
    select(sheet);
    return static_cast<int>(rows_);
}

}  // namespace qm::intake
