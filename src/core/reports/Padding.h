#pragma once

#include <string>

namespace qm::reports {

// A value of a fixed-width text column without the trailing blanks that may pad it.
inline std::string withoutPadding(std::string text) {
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

}  // namespace qm::reports
