#include "CsvWorkbook.h"

#include <algorithm>
#include <filesystem>

#include "FileBytes.h"
#include "ReadLimits.h"
#include "common/Platform.h"
#include "common/TextConverter.h"
#include "common/Utf8.h"

namespace qm::intake {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The separator the first line uses most; a comma when it uses none or ties.
char detectSeparator(std::string_view text) {
    int counts[3] = {0, 0, 0};
    const char candidates[3] = {',', ';', '\t'};
    bool quoted = false;
    for (const char c : text) {
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && (c == '\n' || c == '\r')) {
            break;
        } else if (!quoted) {
            for (int k = 0; k < 3; ++k) {
                counts[k] += c == candidates[k] ? 1 : 0;
            }
        }
    }
    int best = 0;
    for (int k = 1; k < 3; ++k) {
        if (counts[k] > counts[best]) {
            best = k;
        }
    }
    return candidates[best];
}

// Splits the text into records of fields. A quote opens a quoted field only at the start of a
// field; elsewhere it is an ordinary character, as spreadsheet programs read it.
std::vector<std::vector<std::string>> parseRecords(std::string_view text, char separator,
                                                   const std::string& path) {
    std::vector<std::vector<std::string>> records;
    std::vector<std::string> record;
    std::string field;
    bool quoted = false;
    bool fieldStarted = false;  // something of the current record has been read
    int line = 1;
    int quoteLine = 0;
    auto endField = [&] {
        if (field.size() > ReadLimits::kCellCharacters &&
            utf8CharacterCount(field) > ReadLimits::kCellCharacters) {
            throw fileTooBig(path, "第" + std::to_string(line) + "行有超过 " +
                                       std::to_string(ReadLimits::kCellCharacters) +
                                       " 个字符的内容");
        }
        record.push_back(std::move(field));
        field.clear();
    };
    std::size_t widest = 0;  // fields of the widest record so far: room made for the next
    auto endRecord = [&] {
        endField();
        if (records.size() >= static_cast<std::size_t>(ReadLimits::kRows)) {
            throw fileTooBig(path, "超过 " + std::to_string(ReadLimits::kRows) + " 行");
        }
        widest = std::max(widest, record.size());
        records.push_back(std::move(record));
        record = {};
        record.reserve(widest);
        fieldStarted = false;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                line += c == '\n' ? 1 : 0;
                field += c;
            }
        } else if (c == '"' && field.empty()) {
            quoted = true;
            quoteLine = line;
            fieldStarted = true;
        } else if (c == separator) {
            endField();
            fieldStarted = true;
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            ++line;
            endRecord();
        } else {
            field += c;
            fieldStarted = true;
        }
    }
    if (quoted) {
        throw unreadableFile(path, "第" + std::to_string(quoteLine) + "行的引号没有闭合");
    }
    if (fieldStarted || !field.empty() || !record.empty()) {
        endRecord();
    }
    return records;
}

// The file's text as UTF-8: UTF-8 as it is (without its byte order mark), anything else read as
// GBK.
std::string decodeText(std::string bytes, const std::string& path) {
    if (bytes.size() > ReadLimits::kTextBytes) {
        throw fileTooBig(path, "有 " + std::to_string(bytes.size() >> 20) + " MB, 超过了 " +
                                   std::to_string(ReadLimits::kTextBytes >> 20) + " MB");
    }
    if (bytes.find('\0') != std::string::npos) {
        throw unreadableFile(path, "不是文本文件, 也不是Excel文件");
    }
    if (bytes.starts_with(kUtf8Bom)) {
        bytes.erase(0, kUtf8Bom.size());
        if (!isValidUtf8(bytes)) {
            throw unreadableFile(path, "文件标明为UTF-8编码, 但其中有无效的字符");
        }
        return bytes;
    }
    if (isValidUtf8(bytes)) {
        return bytes;
    }
    auto converted = gbkToUtf8(bytes);
    if (!converted) {
        throw unreadableFile(path, "文件编码无法识别 (不是UTF-8, 也不是GBK)");
    }
    return std::move(*converted);
}

}  // namespace

CsvWorkbook::CsvWorkbook(const std::string& path) : CsvWorkbook(readFileBytes(path), path) {}

CsvWorkbook::CsvWorkbook(std::string bytes, const std::string& name) : path_(name) {
    // Control characters a spreadsheet cannot hold become U+FFFD, as in the other readers.
    const std::string text = xmlSafeText(decodeText(std::move(bytes), name));
    separator_ = detectSeparator(text);
    rows_ = parseRecords(text, separator_, name);
    names_.push_back(xmlSafeText(platform::pathToUtf8(platform::pathFromUtf8(name).stem())));
}

const std::vector<std::string>* CsvWorkbook::findRow(int sheet, int row) const {
    if (sheet != 0) {
        throw noSuchSheet(path_, sheet);
    }
    if (row < 1 || row > static_cast<int>(rows_.size())) {
        return nullptr;
    }
    return &rows_[static_cast<std::size_t>(row - 1)];
}

SheetCell CsvWorkbook::cell(int sheet, int row, int column) const {
    const auto* fields = findRow(sheet, row);
    SheetCell cell;
    if (fields && column >= 1 && column <= static_cast<int>(fields->size()) &&
        !(*fields)[static_cast<std::size_t>(column - 1)].empty()) {
        cell.kind = CellKind::Text;
        cell.text = (*fields)[static_cast<std::size_t>(column - 1)];
    }
    return cell;
}

int CsvWorkbook::lastUsedColumn(int sheet, int row) const {
    const auto* fields = findRow(sheet, row);
    if (!fields) {
        return 0;
    }
    for (auto column = fields->size(); column >= 1; --column) {
        if (!(*fields)[column - 1].empty()) {
            return static_cast<int>(column);
        }
    }
    return 0;
}

int CsvWorkbook::lastRow(int sheet) const {
    findRow(sheet, 1);
    return static_cast<int>(rows_.size());
}

}  // namespace qm::intake
