#include "common/TextConverter.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "common/TextConverterTables.h"
#include "common/Utf8.h"

namespace qm {

namespace codepages {
namespace {
#include "common/CodePageTables.inc"
}  // namespace
}  // namespace codepages

namespace {

using codepages::CodePageTable;

constexpr std::uint16_t kInvalid = 0xFFFF;
constexpr std::uint16_t kFourByteSecond = 0xFFFE;
constexpr std::uint16_t kWide = 0xFFFD;
// GB18030's four-byte codes counted from 81 30 81 30: those of the Basic Multilingual Plane come
// first; the planes beyond it start at 90 30 81 30 and follow each other without a gap.
constexpr std::uint32_t kBmpFourByteCodes = 39420;
constexpr std::uint32_t kFirstSupplementaryCode = 189000;  // 90 30 81 30
constexpr char32_t kLastCharacter = 0x10FFFF;

const CodePageTable* tableOf(unsigned codePage) {
    switch (codePage) {
        case 32768:  // Apple Roman, as older Mac workbooks name it
            codePage = 10000;
            break;
        case 32769:  // Windows Western, as older workbooks name it
            codePage = 1252;
            break;
        default:
            break;
    }
    for (const CodePageTable& table : codepages::kCodePageTables) {
        if (table.number == codePage) {
            return &table;
        }
    }
    return nullptr;
}

bool isDigitByte(unsigned char byte) {
    return byte >= 0x30 && byte <= 0x39;
}

bool isFourByteOuter(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}

// The character of a GB18030 four-byte code; nothing for a code that is not valid.
std::optional<char32_t> fourByteCharacter(const unsigned char* code) {
    if (!isFourByteOuter(code[0]) || !isDigitByte(code[1]) || !isFourByteOuter(code[2]) ||
        !isDigitByte(code[3])) {
        return std::nullopt;
    }
    const std::uint32_t index =
        (((code[0] - 0x81u) * 10 + (code[1] - 0x30u)) * 126 + (code[2] - 0x81u)) * 10 +
        (code[3] - 0x30u);
    if (index < kBmpFourByteCodes) {
        // The runs start at increasing indexes; the one holding `index` is the last one starting
        // at or before it.
        const auto& runs = codepages::kGb18030FourByteRuns;
        const std::size_t runCount = std::size(runs) / 2;
        std::size_t low = 0;
        std::size_t high = runCount - 1;  // the closing run, starting at kBmpFourByteCodes
        while (high - low > 1) {
            const std::size_t middle = (low + high) / 2;
            if (runs[2 * middle] <= index) {
                low = middle;
            } else {
                high = middle;
            }
        }
        if (runs[2 * low + 1] == 0xFFFFFFFF) {
            return std::nullopt;
        }
        return static_cast<char32_t>(runs[2 * low + 1] + (index - runs[2 * low]));
    }
    if (index >= kFirstSupplementaryCode &&
        index - kFirstSupplementaryCode <= kLastCharacter - 0x10000) {
        return static_cast<char32_t>(0x10000 + (index - kFirstSupplementaryCode));
    }
    return std::nullopt;
}

// The one character a letter and the combining mark after it make; nothing when they make none.
std::optional<std::uint16_t> composed(const CodePageTable& table, unsigned char first,
                                      unsigned char second) {
    const std::uint32_t key = static_cast<std::uint32_t>(first) << 24 |
                              static_cast<std::uint32_t>(second) << 16;
    const std::uint32_t* end = table.compositions + table.compositionCount;
    const std::uint32_t* found = std::lower_bound(table.compositions, end, key);
    if (found == end || (*found & 0xFFFF0000u) != key) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(*found & 0xFFFF);
}

// The character beyond the plane a byte pair reads as.
std::optional<char32_t> wideCharacter(const CodePageTable& table, unsigned char lead,
                                      unsigned char second) {
    const std::uint32_t code = static_cast<std::uint32_t>(lead) << 8 | second;
    std::size_t low = 0;
    std::size_t high = table.wideCount;
    while (low < high) {
        const std::size_t middle = (low + high) / 2;
        if (table.wide[2 * middle] < code) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    if (low == table.wideCount || table.wide[2 * low] != code) {
        return std::nullopt;
    }
    return static_cast<char32_t>(table.wide[2 * low + 1]);
}

}  // namespace

bool knowsCodePage(unsigned codePage) {
    return tableOf(codePage) != nullptr;
}

std::optional<std::string> codePageToUtf8(unsigned codePage, std::string_view bytes) {
    const CodePageTable* table = tableOf(codePage);
    if (!table) {
        return std::nullopt;
    }
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    std::string text;
    text.reserve(size);
    for (std::size_t at = 0; at < size;) {
        const unsigned char first = data[at];
        if (table->single[first] != kInvalid) {
            if (table->compositionCount > 0 && at + 1 < size) {
                if (const auto joined = composed(*table, first, data[at + 1])) {
                    appendUtf8(text, *joined);
                    at += 2;
                    continue;
                }
            }
            appendUtf8(text, table->single[first]);
            ++at;
            continue;
        }
        const std::uint16_t row = table->rowOf[first];
        if (row == kInvalid || at + 1 >= size) {
            return std::nullopt;  // not valid, or a lead byte at the end
        }
        const std::uint16_t character = table->rows[std::size_t{row} * 256 + data[at + 1]];
        if (character == kFourByteSecond) {
            if (at + 3 >= size) {
                return std::nullopt;
            }
            const auto wide = fourByteCharacter(data + at);
            if (!wide) {
                return std::nullopt;
            }
            appendUtf8(text, *wide);
            at += 4;
            continue;
        }
        if (character == kInvalid) {
            return std::nullopt;
        }
        if (character == kWide) {
            const auto wide = wideCharacter(*table, first, data[at + 1]);
            if (!wide) {
                return std::nullopt;
            }
            appendUtf8(text, *wide);
        } else {
            appendUtf8(text, character);
        }
        at += 2;
    }
    return text;
}

std::optional<std::string> gbkToUtf8(std::string_view bytes) {
    return codePageToUtf8(936, bytes);
}

std::optional<std::string> utf8ToGbk(std::string_view text) {
    if (!isValidUtf8(text)) {
        return std::nullopt;
    }
    const auto& pairs = codepages::kGbkEncoding;
    const std::size_t pairCount = std::size(pairs) / 2;
    std::string gbk;
    gbk.reserve(text.size());
    while (!text.empty()) {
        const std::size_t length = utf8CharacterLength(text);
        const char32_t code = utf8CodePoint(text);
        text.remove_prefix(length);
        if (code < 0x80) {
            gbk += static_cast<char>(code);
            continue;
        }
        if (code >= 0xE0000 && code <= 0xE007F) {
            continue;  // language tags carry no text: dropped, as glibc's converters drop them
        }
        // The pairs are ordered by character: a binary search over their first halves.
        std::size_t low = 0;
        std::size_t high = pairCount;
        while (low < high) {
            const std::size_t middle = (low + high) / 2;
            if (pairs[2 * middle] < code) {
                low = middle + 1;
            } else {
                high = middle;
            }
        }
        if (low == pairCount || pairs[2 * low] != code) {
            return std::nullopt;
        }
        const std::uint16_t bytes = pairs[2 * low + 1];  // below 0x100: one byte
        if (bytes >= 0x100) {
            gbk += static_cast<char>(bytes >> 8);
        }
        gbk += static_cast<char>(bytes & 0xFF);
    }
    return gbk;
}

}  // namespace qm
