#include "BiffWorkbookStream.h"

#include <map>

#include "BiffSheetReader.h"
#include "ReadLimits.h"
#include "Workbook.h"

namespace qm::intake {

namespace {

constexpr unsigned kFilePass = 0x002F;
constexpr unsigned kCodePage = 0x0042;
constexpr unsigned kDateMode = 0x0022;
constexpr unsigned kWindow1 = 0x003D;
constexpr unsigned kBoundSheet = 0x0085;
constexpr unsigned kSst = 0x00FC;
constexpr unsigned kFormat = 0x041E;
constexpr unsigned kXf = 0x00E0;

constexpr const char* kTooOld = "Excel 2.x–4.x 格式太旧，请用表格程序另存为 .xls 或 .xlsx";

// The beginning-of-file records of Excel 2.x, 3.x and 4.x.
bool isOldBof(unsigned type) {
    return type == 0x0009 || type == 0x0209 || type == 0x0409;
}

// One sheet of the BOUNDSHEET records: its name, where its substream starts, and whether it is a
// worksheet (not a chart, macro sheet or code module).
struct SheetEntry {
    std::string name;
    std::size_t offset = 0;
    bool worksheet = false;
};

}  // namespace

BiffWorkbookStream::BiffWorkbookStream(std::string stream, std::string path, bool namedBook)
    : stream_(std::move(stream)), path_(std::move(path)), bytes_(stream_), text_(true) {
    readGlobals(namedBook);
}

UserError BiffWorkbookStream::damaged(const std::string& what) const {
    return unreadableFile(path_, "文件已损坏 (" + what + ")");
}

void BiffWorkbookStream::readGlobals(bool namedBook) {
    BiffCursor cursor(bytes_, 0);
    BiffRecord record;
    if (!cursor.next(record)) {
        throw damaged("工作簿数据不完整");
    }
    if (isOldBof(record.type)) {
        throw unreadableFile(path_, kTooOld);
    }
    if (record.type != kBiffBof || record.length < 4) {
        throw damaged("不是Excel工作簿的数据");
    }
    // BIFF8 says 0x0600, BIFF5 and BIFF7 0x0500; some writers put neither, and then BIFF8's longer
    // BOF record or the stream's name tell.
    const unsigned version = bytes_.u16(record.data);
    const bool biff8 =
        version == 0x0600 || (version != 0x0500 && (record.length >= 16 || !namedBook));
    text_.setBiff8(biff8);

    std::vector<SheetEntry> sheets;
    std::map<unsigned, NumberShape> formatShapes;
    std::vector<unsigned> cellFormats;  // the number format of each XF
    std::size_t sharedTextBytes = 0;
    int activeTab = 0;
    bool sawWindow = false;
    while (cursor.next(record) && record.type != kBiffEof) {
        const std::size_t at = record.data;
        switch (record.type) {
            case kFilePass:
                throw passwordProtected(path_);
            case kCodePage:
                if (record.length >= 2) {
                    text_.setCodePage(bytes_.u16(at));
                }
                break;
            case kDateMode:
                epoch1904_ = record.length >= 2 && bytes_.u16(at) == 1;
                break;
            case kWindow1:
                if (record.length >= 12 && !sawWindow) {
                    sawWindow = true;  // the first window is the one the workbook opens with
                    activeTab = static_cast<int>(bytes_.u16(at + 10));
                }
                break;
            case kBoundSheet: {
                BiffContinuedData data(bytes_, record);
                SheetEntry sheet;
                if (record.length >= 7 && data.skip(6) && text_.read(data, 1, sheet.name)) {
                    sheet.offset = bytes_.u32(at);
                    sheet.worksheet = bytes_.u8(at + 5) == 0;
                    sheets.push_back(std::move(sheet));
                }
                break;
            }
            case kFormat: {
                BiffContinuedData data(bytes_, record);
                std::string code;
                if (record.length >= 3 && data.skip(2) && text_.read(data, biff8 ? 2 : 1, code)) {
                    formatShapes[bytes_.u16(at)] = shapeOfFormatCode(code);
                }
                break;
            }
            case kXf:
                cellFormats.push_back(record.length >= 4 ? bytes_.u16(at + 2) : 0);
                break;
            case kSst: {
                // Two counts, then the strings, running on through CONTINUE records. A string
                // cut short (its CONTINUE record empty or missing) gives the characters present
                // and ends the table: a cell that refers to a string beyond is refused.
                BiffContinuedData data(bytes_, record, cursor);
                std::string text;
                if (!data.skip(8)) {
                    break;
                }
                while (!data.atEnd() && text_.read(data, 2, text, BiffText::CutShort::Read)) {
                    sharedTextBytes += text.size();
                    if (sharedTextBytes > ReadLimits::kTextBytes) {
                        throw fileTooBig(
                            path_,
                            "中的文字超过 " + std::to_string(ReadLimits::kTextBytes >> 20) + " MB");
                    }
                    sharedStrings_.push_back(std::move(text));
                }
                break;
            }
            default:
                break;
        }
    }
    for (const unsigned format : cellFormats) {
        const auto custom = formatShapes.find(format);
        cellFormatShapes_.push_back(custom != formatShapes.end()
                                        ? custom->second
                                        : shapeOfBuiltInFormat(static_cast<int>(format)));
    }

    // The reader numbers the worksheets only; the active tab counts every sheet.
    std::vector<std::size_t> positions;  // of each worksheet among all sheets
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        if (sheets[i].worksheet) {
            if (static_cast<int>(i) == activeTab) {
                active_ = static_cast<int>(names_.size());
            }
            names_.push_back(sheets[i].name);
            offsets_.push_back(sheets[i].offset);
            positions.push_back(i);
        }
    }
    if (names_.empty()) {
        throw unreadableFile(path_, "工作簿中没有工作表");
    }
    findMisplacedSheets(record.type == kBiffEof ? record.data + record.length : bytes_.size(),
                        positions);
}

// A worksheet whose recorded offset does not lead to a BOF record is taken from the order of the
// substreams after the global records, the n-th sheet being the n-th substream.
void BiffWorkbookStream::findMisplacedSheets(std::size_t afterGlobals,
                                             const std::vector<std::size_t>& positions) {
    const auto leadsToBof = [this](std::size_t offset) {
        return bytes_.size() >= 4 && offset <= bytes_.size() - 4 && bytes_.u16(offset) == kBiffBof;
    };
    bool allPlaced = true;
    for (const std::size_t offset : offsets_) {
        allPlaced = allPlaced && leadsToBof(offset);
    }
    if (allPlaced) {
        return;
    }
    std::vector<std::size_t> substreams;
    BiffCursor cursor(bytes_, afterGlobals);
    BiffRecord record;
    int depth = 0;
    while (cursor.next(record)) {
        if (record.type == kBiffBof && depth++ == 0) {
            substreams.push_back(record.offset);
        } else if (record.type == kBiffEof && depth > 0) {
            --depth;
        }
    }
    for (std::size_t i = 0; i < offsets_.size(); ++i) {
        if (!leadsToBof(offsets_[i])) {
            offsets_[i] =
                positions[i] < substreams.size() ? substreams[positions[i]] : bytes_.size();
        }
    }
}

std::unique_ptr<SheetCells> BiffWorkbookStream::readSheet(int index) const {
    const auto sheet = static_cast<std::size_t>(index);
    if (index < 0 || sheet >= names_.size()) {
        throw noSuchSheet(path_, index);
    }
    const BiffSheetContext context{bytes_,     text_, sharedStrings_, cellFormatShapes_,
                                   epoch1904_, path_, names_[sheet]};
    return readBiffSheet(context, offsets_[sheet]);
}

}  // namespace qm::intake
