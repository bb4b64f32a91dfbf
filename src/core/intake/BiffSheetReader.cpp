#include "BiffSheetReader.h"

#include <cstring>
#include <optional>

#include "PreviewReader.h"
#include "Workbook.h"

namespace qm::intake {

namespace {

constexpr unsigned kNumber = 0x0203;
constexpr unsigned kRk = 0x027E;
constexpr unsigned kMulRk = 0x00BD;
constexpr unsigned kLabelSst = 0x00FD;
constexpr unsigned kLabel = 0x0204;
constexpr unsigned kRString = 0x00D6;
constexpr unsigned kBoolErr = 0x0205;
constexpr unsigned kFormula = 0x0006;
// The FORMULA record types of Excel 3 and 4, which some writers still put into BIFF5 and BIFF8
// files; the value and its marks lie where the later record has them.
constexpr unsigned kFormula3 = 0x0206;
constexpr unsigned kFormula4 = 0x0406;
constexpr unsigned kString = 0x0207;

std::string errorText(unsigned code) {
    switch (code) {
        case 0x00:
            return "#NULL!";
        case 0x07:
            return "#DIV/0!";
        case 0x0F:
            return "#VALUE!";
        case 0x17:
            return "#REF!";
        case 0x1D:
            return "#NAME?";
        case 0x24:
            return "#NUM!";
        default:
            return "#N/A";
    }
}

// An RK value: a 30-bit whole number or the upper 30 bits of a double, perhaps divided by 100.
double rkValue(std::uint32_t rk) {
    double value = 0.0;
    if ((rk & 0x02) != 0) {
        value = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
    } else {
        const std::uint64_t bits = static_cast<std::uint64_t>(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return (rk & 0x01) != 0 ? value / 100.0 : value;
}

class SheetRecords {
  public:
    SheetRecords(const BiffSheetContext& context, SheetCells& cells)
        : context_(context), bytes_(context.bytes), cells_(cells) {}

    // Takes one record of the worksheet itself (not of a substream inside it).
    void take(const BiffRecord& record, BiffCursor& cursor) {
        const std::size_t at = record.data;
        const std::size_t length = record.length;
        if (record.type == kString) {
            takeFormulaText(record, cursor);
            return;
        }
        if (length < 6 || !isCell(record.type)) {
            return;
        }
        pendingText_.reset();
        const int row = static_cast<int>(bytes_.u16(at)) + 1;
        const int column = static_cast<int>(bytes_.u16(at + 2)) + 1;
        const unsigned format = bytes_.u16(at + 4);
        switch (record.type) {
            case kNumber:
                if (length >= 14) {
                    cells_.addNumber(row, column, bytes_.f64(at + 6), shape(format));
                }
                break;
            case kRk:
                if (length >= 10) {
                    cells_.addNumber(row, column, rkValue(bytes_.u32(at + 6)), shape(format));
                }
                break;
            case kMulRk:
                takeMulRk(record, row);
                break;
            case kLabelSst:
                if (length >= 10) {
                    takeSharedText(row, column, bytes_.u32(at + 6));
                }
                break;
            case kLabel:
            case kRString:
                takeText(record, row, column);
                break;
            case kBoolErr:
                if (length >= 8) {
                    if (bytes_.u8(at + 7) != 0) {
                        cells_.addText(row, column, errorText(bytes_.u8(at + 6)));
                    } else {
                        cells_.addBoolean(row, column, bytes_.u8(at + 6) != 0);
                    }
                }
                break;
            case kFormula:
            case kFormula3:
            case kFormula4:
                if (length >= 14) {
                    takeFormula(at, row, column, format);
                }
                break;
            default:
                break;
        }
    }

  private:
    static bool isCell(unsigned type) {
        return type == kNumber || type == kRk || type == kMulRk || type == kLabelSst ||
               type == kLabel || type == kRString || type == kBoolErr || type == kFormula ||
               type == kFormula3 || type == kFormula4;
    }

    NumberShape shape(unsigned format) const {
        return format < context_.cellFormatShapes.size() ? context_.cellFormatShapes[format]
                                                         : NumberShape::Plain;
    }

    UserError damaged(int row, int column, const std::string& what) const {
        return unreadableFile(context_.path, "文件已损坏 (工作表 " + context_.sheetName + " 第" +
                                                 std::to_string(row) + "行第" + columnName(column) +
                                                 "列" + what + ")");
    }

    void takeMulRk(const BiffRecord& record, int row) {
        // Row, first column, then a format and an RK value for each column, then the last column.
        const std::size_t count = record.length >= 6 ? (record.length - 6) / 6 : 0;
        const int first = static_cast<int>(bytes_.u16(record.data + 2)) + 1;
        for (std::size_t k = 0; k < count; ++k) {
            const std::size_t at = record.data + 4 + 6 * k;
            cells_.addNumber(row, first + static_cast<int>(k), rkValue(bytes_.u32(at + 2)),
                             shape(bytes_.u16(at)));
        }
    }

    void takeSharedText(int row, int column, std::uint32_t index) {
        if (index >= context_.sharedStrings.size()) {
            throw damaged(row, column, "引用的共享字符串不存在");
        }
        cells_.addSharedText(row, column, index);
    }

    void takeText(const BiffRecord& record, int row, int column) {
        BiffContinuedData data(bytes_, record);
        std::string text;
        if (!data.skip(6) || !context_.text.read(data, 2, text, BiffText::CutShort::Read)) {
            throw damaged(row, column, "的文字不完整");
        }
        cells_.addText(row, column, std::move(text));
    }

    void takeFormula(std::size_t at, int row, int column, unsigned format) {
        // The stored result: a number, or, marked by 0xFFFF in its last two bytes, a text (in the
        // STRING record that follows), a boolean, an error value or an empty text.
        if (bytes_.u16(at + 12) != 0xFFFF) {
            cells_.addNumber(row, column, bytes_.f64(at + 6), shape(format));
            return;
        }
        switch (bytes_.u8(at + 6)) {
            case 0:
                pendingText_ = std::pair{row, column};
                break;
            case 1:
                cells_.addBoolean(row, column, bytes_.u8(at + 8) != 0);
                break;
            case 2:
                cells_.addText(row, column, errorText(bytes_.u8(at + 8)));
                break;
            case 3:
                cells_.addText(row, column, "");
                break;
            default:
                break;
        }
    }

    void takeFormulaText(const BiffRecord& record, BiffCursor& cursor) {
        if (!pendingText_) {
            return;
        }
        const auto [row, column] = *pendingText_;
        pendingText_.reset();
        BiffContinuedData data(bytes_, record, cursor);
        std::string text;
        if (!context_.text.read(data, 2, text, BiffText::CutShort::Read)) {
            throw damaged(row, column, "的公式结果不完整");
        }
        cells_.addText(row, column, std::move(text));
    }

    const BiffSheetContext& context_;
    const BiffBytes& bytes_;
    SheetCells& cells_;
    std::optional<std::pair<int, int>> pendingText_;  // the formula whose text comes next
};

}  // namespace

std::unique_ptr<SheetCells> readBiffSheet(const BiffSheetContext& context, std::size_t offset) {
    auto cells =
        std::make_unique<SheetCells>(context.path, &context.sharedStrings, context.epoch1904);
    BiffCursor cursor(context.bytes, offset);
    BiffRecord record;
    if (!cursor.next(record) || record.type != kBiffBof) {
        throw unreadableFile(context.path,
                             "文件已损坏 (找不到工作表 " + context.sheetName + " 的数据)");
    }
    SheetRecords records(context, *cells);
    int depth = 1;  // substreams inside the worksheet, such as embedded charts, count deeper
    while (depth > 0 && cursor.next(record)) {
        if (record.type == kBiffBof) {
            ++depth;
        } else if (record.type == kBiffEof) {
            --depth;
        } else if (depth == 1) {
            records.take(record, cursor);
        }
    }
    if (depth > 0 && cursor.cutShort()) {
        throw unreadableFile(context.path,
                             "文件已损坏 (工作表 " + context.sheetName + " 的数据不完整)");
    }
    cells->finish();
    return cells;
}

}  // namespace qm::intake
