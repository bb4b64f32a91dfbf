#include "reports/TextTable.h"

#include <algorithm>

#include "common/NumberText.h"

namespace qm::reports {

namespace {

bool isWide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

std::string quotedForCsv(const std::string& cell) {
    if (cell.find_first_of(",\"\r\n") == std::string::npos) {
        return cell;
    }
    std::string quoted = "\"";
    for (char c : cell) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

}  // namespace

std::size_t displayWidth(std::string_view text) {
    std::size_t width = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t c = length == 1 ? lead : lead & (0x3F >> (length - 1));
        for (std::size_t k = 1; k < length && i + k < text.size(); ++k) {
            c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        width += isWide(c) ? 2 : 1;
        i += length;
    }
    return width;
}

std::string alignedText(const TextRows& rows) {
    std::vector<std::size_t> widths;
    for (const auto& row : rows) {
        widths.resize(std::max(widths.size(), row.size()), 0);
        for (std::size_t c = 0; c < row.size(); ++c) {
            widths[c] = std::max(widths[c], displayWidth(trimmed(row[c])));
        }
    }
    std::string text;
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            const std::string cell = trimmed(row[c]);
            const std::string fill(widths[c] - displayWidth(cell), ' ');
            line += (c == 0 ? "" : "  ") + (parseNumber(cell) ? fill + cell : cell + fill);
        }
        text += line.erase(line.find_last_not_of(' ') + 1) + "\n";
    }
    return text;
}

std::string csvText(const TextRows& rows) {
    std::string text;
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            text += (c == 0 ? "" : ",") + quotedForCsv(trimmed(row[c]));
        }
        text += "\n";
    }
    return text;
}

}  // namespace qm::reports
