#include "BiffBuilder.h"

#include <cstring>

namespace qm::test {

namespace {

constexpr unsigned kBof = 0x0809;
constexpr unsigned kEof = 0x000A;
constexpr unsigned kContinue = 0x003C;

void append(std::string& out, unsigned type, const std::string& data) {
    out += BiffBuilder::u16(type);
    out += BiffBuilder::u16(static_cast<unsigned>(data.size()));
    out += data;
}

}  // namespace

std::string BiffBuilder::u16(unsigned value) {
    return {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)};
}

std::string BiffBuilder::u32(std::uint32_t value) {
    return u16(value & 0xFFFF) + u16(value >> 16);
}

std::string BiffBuilder::f64(double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return u32(static_cast<std::uint32_t>(bits)) + u32(static_cast<std::uint32_t>(bits >> 32));
}

std::string BiffBuilder::unicodeText(const std::u16string& text, int countBytes) {
    std::string out = countBytes == 1 ? std::string(1, static_cast<char>(text.size()))
                                      : u16(static_cast<unsigned>(text.size()));
    out += '\x01';
    for (const char16_t c : text) {
        out += u16(c);
    }
    return out;
}

BiffBuilder::BiffBuilder(bool biff8) : biff8_(biff8) {}

void BiffBuilder::global(unsigned type, const std::string& data) {
    globals_.push_back({type, data});
}

void BiffBuilder::codePage(unsigned codePage) {
    global(0x0042, u16(codePage));
}

void BiffBuilder::window1(unsigned activeTab) {
    global(0x003D, std::string(10, '\0') + u16(activeTab) + std::string(6, '\0'));
}

void BiffBuilder::dateMode1904() {
    global(0x0022, u16(1));
}

unsigned BiffBuilder::cellFormat(unsigned formatId, const std::string& code) {
    const std::string general = u16(0) + u16(0) + std::string(biff8_ ? 16 : 12, '\0');
    for (; cellFormats_ < 16; ++cellFormats_) {
        global(0x00E0, general);  // the 16 cell formats every workbook starts with
    }
    if (!code.empty()) {
        std::u16string wide(code.begin(), code.end());
        global(0x041E,
               u16(formatId) + (biff8_ ? unicodeText(wide, 2)
                                       : std::string(1, static_cast<char>(code.size())) + code));
    }
    global(0x00E0, u16(0) + u16(formatId) + std::string(biff8_ ? 16 : 12, '\0'));
    return cellFormats_++;
}

void BiffBuilder::sharedStrings(const std::vector<SharedString>& strings,
                                std::size_t maxRecordData) {
    // Each record is filled up to maxRecordData; a string's characters running on into the next
    // record continue there after a flags byte, in one byte each when they all fit in one.
    std::vector<std::string> parts(1, u32(static_cast<std::uint32_t>(strings.size())) +
                                          u32(static_cast<std::uint32_t>(strings.size())));
    const auto room = [&] { return maxRecordData - parts.back().size(); };
    const auto appendBytes = [&](const std::string& bytes) {
        for (const char c : bytes) {
            if (room() == 0) {
                parts.emplace_back();
            }
            parts.back() += c;
        }
    };
    for (const auto& string : strings) {
        // The first part is written in one byte a character when all that fit here allow it.
        bool wide = false;
        for (std::size_t k = 0; k < string.text.size() && k < room(); ++k) {
            wide = wide || string.text[k] > 0xFF;
        }
        const unsigned flags =
            (wide ? 0x01 : 0) | (string.runs ? 0x08 : 0) | (string.phonetic.empty() ? 0 : 0x04);
        std::string header = u16(static_cast<unsigned>(string.text.size()));
        header += static_cast<char>(flags);
        if (string.runs) {
            header += u16(string.runs);
        }
        if (!string.phonetic.empty()) {
            header += u32(static_cast<std::uint32_t>(string.phonetic.size()));
        }
        if (room() < header.size() + 2) {
            parts.emplace_back();  // a header is never split
        }
        parts.back() += header;
        std::size_t next = 0;
        while (next < string.text.size()) {
            const char16_t c = string.text[next];
            if (room() < (wide ? 2u : 1u) || (!wide && c > 0xFF)) {
                // Run on into a new record, whose first byte tells the width of what follows.
                wide = false;
                for (std::size_t k = next; k < string.text.size() && k < next + maxRecordData;
                     ++k) {
                    wide = wide || string.text[k] > 0xFF;
                }
                parts.emplace_back(1, static_cast<char>(wide ? 0x01 : 0x00));
            }
            parts.back() += wide ? u16(c) : std::string(1, static_cast<char>(c));
            ++next;
        }
        for (unsigned run = 0; run < string.runs; ++run) {
            appendBytes(u16(run) + u16(0));
        }
        appendBytes(string.phonetic);
    }
    global(0x00FC, parts.front());
    for (std::size_t k = 1; k < parts.size(); ++k) {
        global(kContinue, parts[k]);
    }
}

int BiffBuilder::addSheet(const std::string& name, SheetKind kind) {
    sheets_.push_back({name, kind, {}});
    return static_cast<int>(sheets_.size()) - 1;
}

void BiffBuilder::record(int sheet, unsigned type, const std::string& data) {
    sheets_[static_cast<std::size_t>(sheet)].records.push_back({type, data});
}

std::string BiffBuilder::cellHeader(int row, int column, unsigned format) const {
    return u16(static_cast<unsigned>(row)) + u16(static_cast<unsigned>(column)) + u16(format);
}

void BiffBuilder::number(int sheet, int row, int column, double value, unsigned format) {
    record(sheet, 0x0203, cellHeader(row, column, format) + f64(value));
}

void BiffBuilder::rk(int sheet, int row, int column, std::uint32_t rk, unsigned format) {
    record(sheet, 0x027E, cellHeader(row, column, format) + u32(rk));
}

void BiffBuilder::sharedText(int sheet, int row, int column, std::uint32_t index, unsigned format) {
    record(sheet, 0x00FD, cellHeader(row, column, format) + u32(index));
}

void BiffBuilder::label(int sheet, int row, int column, const std::u16string& text) {
    record(sheet, 0x0204, cellHeader(row, column, 15) + unicodeText(text, 2));
}

void BiffBuilder::labelBytes(int sheet, int row, int column, const std::string& bytes) {
    record(sheet, 0x0204,
           cellHeader(row, column, 15) + u16(static_cast<unsigned>(bytes.size())) + bytes);
}

void BiffBuilder::boolErr(int sheet, int row, int column, unsigned value, bool error) {
    record(sheet, 0x0205,
           cellHeader(row, column, 15) + static_cast<char>(value) + static_cast<char>(error));
}

void BiffBuilder::formulaNumber(int sheet, int row, int column, double value, unsigned format) {
    // The result, then flags, a cache field and an empty formula.
    record(sheet, 0x0006, cellHeader(row, column, format) + f64(value) + u16(0) + u32(0) + u16(0));
}

void BiffBuilder::formulaSpecial(int sheet, int row, int column, unsigned kind, unsigned value) {
    const std::string result = std::string(1, static_cast<char>(kind)) + '\0' +
                               static_cast<char>(value) + std::string(3, '\0') + u16(0xFFFF);
    record(sheet, 0x0006, cellHeader(row, column, 15) + result + u16(0) + u32(0) + u16(0));
}

std::string BiffBuilder::stream(bool wrongOffsets) const {
    const std::string version = u16(biff8_ ? 0x0600 : 0x0500);
    const auto bof = [&](unsigned kind) {
        return version + u16(kind) + (biff8_ ? std::string(12, '\0') : std::string(4, '\0'));
    };
    // The globals, with BOUNDSHEET records whose offsets are filled in below.
    std::string out;
    append(out, kBof, bof(0x0005));
    for (const auto& record : globals_) {
        append(out, record.type, record.data);
    }
    std::vector<std::size_t> offsetFields;
    for (const auto& sheet : sheets_) {
        std::string data =
            u32(0) + '\0' + static_cast<char>(sheet.kind == SheetKind::Chart ? 2 : 0);
        if (biff8_) {
            data += unicodeText(std::u16string(sheet.name.begin(), sheet.name.end()), 1);
        } else {
            data += static_cast<char>(sheet.name.size()) + sheet.name;
        }
        offsetFields.push_back(out.size() + 4);
        append(out, 0x0085, data);
    }
    append(out, kEof, "");
    for (std::size_t i = 0; i < sheets_.size(); ++i) {
        const std::uint32_t offset = wrongOffsets ? 7 : static_cast<std::uint32_t>(out.size());
        out.replace(offsetFields[i], 4, u32(offset));
        append(out, kBof, bof(sheets_[i].kind == SheetKind::Chart ? 0x0020 : 0x0010));
        for (const auto& record : sheets_[i].records) {
            append(out, record.type, record.data);
        }
        append(out, kEof, "");
    }
    return out;
}

}  // namespace qm::test
