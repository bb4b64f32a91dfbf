#include "common/TextLines.h"

namespace qm {

std::string singleLine(std::string_view text) {
    std::string line;
    line.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;  // the LF that follows gives the blank
        }
        line += (c == '\r' || c == '\n' || c == '\t') ? ' ' : c;
    }
    return line;
}

}  // namespace qm
