#include "BiffWorkbookStream.h"

#include <cstring>

#include "common/NumberText.h"
#include "common/Utf8.h"

namespace qm::intake {

namespace {

constexpr unsigned kBof = 0x0809;
constexpr unsigned kEof = 0x000A;
constexpr unsigned kFilePass = 0x002F;
constexpr unsigned kWindow1 = 0x003D;
constexpr unsigned kBoundSheet = 0x0085;
constexpr unsigned kFormula = 0x0006;
constexpr unsigned kString = 0x0207;
constexpr unsigned kContinue = 0x003C;
constexpr unsigned kBoolErr = 0x0205;

unsigned uint16At(const std::vector<unsigned char>& bytes, std::size_t at) {
    return static_cast<unsigned>(bytes[at] | (bytes[at + 1] << 8));
}

std::uint32_t uint32At(const std::vector<unsigned char>& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(uint16At(bytes, at)) |
           (static_cast<std::uint32_t>(uint16At(bytes, at + 2)) << 16);
}

// One BIFF record: its type and where its data lies in the stream.
struct Record {
    unsigned type = 0;
    std::size_t data = 0;
    std::size_t length = 0;
};

// Walks the records from an offset; stops at the end of the stream or a record running past it.
class RecordCursor {
  public:
    RecordCursor(const std::vector<unsigned char>& bytes, std::size_t offset)
        : bytes_(bytes), next_(offset) {}

    bool next(Record& record) {
        if (next_ + 4 > bytes_.size()) {
            return false;
        }
        record.type = uint16At(bytes_, next_);
        record.length = uint16At(bytes_, next_ + 2);
        record.data = next_ + 4;
        if (record.data + record.length > bytes_.size()) {
            return false;
        }
        next_ = record.data + record.length;
        return true;
    }
    // The record after the current one, without moving past it.
    bool peek(Record& record) const {
        RecordCursor copy(bytes_, next_);
        return copy.next(record);
    }

  private:
    const std::vector<unsigned char>& bytes_;
    std::size_t next_;
};

// The text of a BIFF8 STRING record (a formula's text result): a character count, a flags byte
// saying whether characters take one byte or two, then the characters, continued in CONTINUE
// records that each start with a new flags byte. Surrogate pairs are joined.
std::string readStringRecord(const std::vector<unsigned char>& bytes, const Record& first,
                             RecordCursor& cursor) {
    if (first.length < 3) {
        return {};
    }
    std::size_t remaining = uint16At(bytes, first.data);
    std::vector<unsigned> units;
    Record part = first;
    std::size_t at = first.data + 2;
    for (;;) {
        const bool wide = (bytes[at] & 0x01) != 0;
        const bool rich = (bytes[at] & 0x08) != 0;
        const bool extended = (bytes[at] & 0x04) != 0;
        ++at;
        if (part.type != kContinue) {
            at += (rich ? 2 : 0) + (extended ? 4 : 0);  // run and phonetic sizes come first
        }
        const std::size_t end = part.data + part.length;
        while (remaining > 0 && at + (wide ? 2 : 1) <= end) {
            units.push_back(wide ? uint16At(bytes, at) : bytes[at]);
            at += wide ? 2 : 1;
            --remaining;
        }
        Record following;
        if (remaining == 0 || !cursor.peek(following) || following.type != kContinue ||
            following.length == 0) {
            break;
        }
        cursor.next(part);
        at = part.data;
    }
    std::string text;
    for (std::size_t i = 0; i < units.size(); ++i) {
        unsigned code = units[i];
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (units[++i] - 0xDC00);
        }
        appendUtf8(text, code);
    }
    return text;
}

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

SheetCell booleanCell(bool value) {
    return {CellKind::Boolean, value ? "TRUE" : "FALSE", value ? 1.0 : 0.0};
}

}  // namespace

BiffWorkbookStream::BiffWorkbookStream(const std::vector<unsigned char>& stream) {
    readGlobals(stream);
    if (encrypted_) {
        return;  // the records after FILEPASS are encrypted
    }
    worksheetCells_.resize(worksheetOffsets_.size());
    for (std::size_t i = 0; i < worksheetOffsets_.size(); ++i) {
        readSheet(stream, worksheetOffsets_[i], worksheetCells_[i]);
    }
}

void BiffWorkbookStream::readGlobals(const std::vector<unsigned char>& stream) {
    RecordCursor cursor(stream, 0);
    Record record;
    int activeTab = 0;
    bool sawWindow = false;
    std::vector<bool> isWorksheet;
    while (cursor.next(record) && record.type != kEof) {
        if (record.type == kBof && record.length >= 2) {
            biff8_ = uint16At(stream, record.data) == 0x0600;
        } else if (record.type == kFilePass) {
            encrypted_ = true;
            return;
        } else if (record.type == kWindow1 && record.length >= 12 && !sawWindow) {
            sawWindow = true;  // the first window is the one the workbook opens with
            activeTab = static_cast<int>(uint16At(stream, record.data + 10));
        } else if (record.type == kBoundSheet && record.length >= 6) {
            const bool worksheet = stream[record.data + 5] == 0;
            isWorksheet.push_back(worksheet);
            if (worksheet) {
                worksheetOffsets_.push_back(uint32At(stream, record.data));
            }
        }
    }
    // The active tab counts every sheet; the reader numbers only the worksheets.
    int worksheetsBefore = 0;
    for (int i = 0; i < activeTab && i < static_cast<int>(isWorksheet.size()); ++i) {
        worksheetsBefore += isWorksheet[static_cast<std::size_t>(i)] ? 1 : 0;
    }
    const bool activeIsWorksheet = activeTab < static_cast<int>(isWorksheet.size()) &&
                                   isWorksheet[static_cast<std::size_t>(activeTab)];
    activeWorksheet_ = activeIsWorksheet ? worksheetsBefore : 0;
}

void BiffWorkbookStream::readSheet(const std::vector<unsigned char>& stream, std::size_t offset,
                                   std::map<std::pair<int, int>, SheetCell>& cells) {
    RecordCursor cursor(stream, offset);
    Record record;
    std::pair<int, int> pendingText{0, 0};  // the formula whose text comes in a STRING record
    bool first = true;
    while (cursor.next(record)) {
        if (record.type == kEof && !first) {
            return;
        }
        first = false;
        if ((record.type == kFormula && record.length >= 14) ||
            (record.type == kBoolErr && record.length >= 8)) {
            const std::pair<int, int> at{static_cast<int>(uint16At(stream, record.data)) + 1,
                                         static_cast<int>(uint16At(stream, record.data + 2)) + 1};
            const std::size_t value = record.data + 6;
            if (record.type == kBoolErr) {
                const bool isError = stream[value + 1] != 0;
                cells[at] = isError ? SheetCell{CellKind::Text, errorText(stream[value]), 0.0}
                                    : booleanCell(stream[value] != 0);
            } else if (uint16At(stream, value + 6) != 0xFFFF) {
                double number = 0.0;
                std::memcpy(&number, &stream[value], sizeof number);  // little-endian IEEE 754
                cells[at] = {CellKind::Number, numberText(number), number};
            } else {
                switch (stream[value]) {
                    case 0:  // text, in the STRING record that follows (read for BIFF8 only)
                        pendingText = biff8_ ? at : std::pair{0, 0};
                        break;
                    case 1:
                        cells[at] = booleanCell(stream[value + 2] != 0);
                        break;
                    case 2:
                        cells[at] = {CellKind::Text, errorText(stream[value + 2]), 0.0};
                        break;
                    default:  // an empty text result
                        cells[at] = {CellKind::Text, "", 0.0};
                        break;
                }
            }
        } else if (record.type == kString && pendingText.first > 0) {
            cells[pendingText] = {CellKind::Text, readStringRecord(stream, record, cursor), 0.0};
            pendingText = {0, 0};
        }
    }
}

const SheetCell* BiffWorkbookStream::specialCell(int worksheet, int row, int column) const {
    if (worksheet < 0 || worksheet >= worksheetCount()) {
        return nullptr;
    }
    const auto& cells = worksheetCells_[static_cast<std::size_t>(worksheet)];
    const auto found = cells.find({row, column});
    return found == cells.end() ? nullptr : &found->second;
}

}  // namespace qm::intake
