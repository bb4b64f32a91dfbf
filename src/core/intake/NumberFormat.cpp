#include "NumberFormat.h"

#include <cctype>

namespace qm::intake {

namespace {

char lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// A bracketed part such as [h], [mm] or [ss]: an elapsed-time count.
bool isElapsedBracket(std::string_view inside) {
    if (inside.empty()) {
        return false;
    }
    const char first = lower(inside[0]);
    if (first != 'h' && first != 'm' && first != 's') {
        return false;
    }
    for (const char c : inside) {
        if (lower(c) != first) {
            return false;
        }
    }
    return true;
}

}  // namespace

NumberShape shapeOfFormatCode(std::string_view code) {
    // Only the first section counts (the one for positive numbers); a date letter inside quoted
    // text, after a backslash, after the padding marks _ and *, or inside brackets such as colours
    // ([Red]) and locales ([$-804]) is literal text. An elapsed time is a bracketed count ([h],
    // [mm], [ss]) written in small letters, as spreadsheet programs write it, or with a further
    // part of a time ([H]:MM:SS, HH[M]); a count in capitals alone ([H]) shows the number.
    bool dateLetter = false;
    bool smallCount = false;
    int elapsedCounts = 0;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == ';') {
            break;
        }
        if (c == '"') {
            const auto close = code.find('"', i + 1);
            i = close == std::string_view::npos ? code.size() : close;
        } else if (c == '[') {
            const auto close = code.find(']', i + 1);
            const auto end = close == std::string_view::npos ? code.size() : close;
            const std::string_view inside = code.substr(i + 1, end - i - 1);
            if (isElapsedBracket(inside)) {
                ++elapsedCounts;
                smallCount = smallCount || inside[0] == lower(inside[0]);
            }
            i = end;
        } else if (c == '\\' || c == '_' || c == '*') {
            ++i;
        } else {
            switch (lower(c)) {
                case 'y':
                case 'm':
                case 'd':
                case 'h':
                case 's':
                    dateLetter = true;
                    break;
                default:
                    break;
            }
        }
    }
    if (elapsedCounts > 0) {
        return dateLetter || smallCount || elapsedCounts > 1 ? NumberShape::Elapsed
                                                             : NumberShape::Plain;
    }
    return dateLetter ? NumberShape::Date : NumberShape::Plain;
}

NumberShape shapeOfBuiltInFormat(int id) {
    // 14 to 22 and 45 to 47 are the dates and times of every version; 27 to 36 and 50 to 58 those
    // of East Asian versions, 71 to 81 those of Thai ones. 46 is [h]:mm:ss.
    if (id == 46) {
        return NumberShape::Elapsed;
    }
    const bool date = (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
                      (id >= 50 && id <= 58) || (id >= 71 && id <= 81);
    return date ? NumberShape::Date : NumberShape::Plain;
}

}  // namespace qm::intake
