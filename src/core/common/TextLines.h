#pragma once

#include <string>
#include <string_view>

namespace qm {

// The text on one line, for lists that show one item per line: each line break (CR LF, CR or
// LF) and each tab becomes one blank.
std::string singleLine(std::string_view text);

}  // namespace qm
