#include "reports/TextTable.h"

#include "common/ColumnWidths.h"
#include "common/Csv.h"
#include "common/NumberText.h"
#include "common/Utf8.h"

namespace qm::reports {

namespace {

bool isWide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

}  // namespace

std::size_t displayWidth(std::string_view text) {
    std::size_t width = 0;
    while (!text.empty()) {
        width += isWide(utf8CodePoint(text)) ? 2 : 1;
        text.remove_prefix(utf8CharacterLength(text));
    }
    return width;
}

std::string alignedText(const TextRows& rows) {
    ColumnWidths<std::size_t> widths;
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            widths.fit(c, displayWidth(trimmed(row[c])));
        }
    }
    std::string text;
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            const std::string cell = trimmed(row[c]);
            const std::string fill(widths.width(c) - displayWidth(cell), ' ');
            line += (c == 0 ? "" : "  ") + (parseNumber(cell) ? fill + cell : cell + fill);
        }
        text += line.erase(line.find_last_not_of(' ') + 1) + "\n";
    }
    return text;
}

std::string csvText(const TextRows& rows) {
    std::string text;
    for (const auto& row : rows) {
        std::vector<std::string> cells;
        for (const auto& cell : row) {
            cells.push_back(trimmed(cell));
        }
        text += csvRecord(cells, "\n");
    }
    return text;
}

}  // namespace qm::reports
