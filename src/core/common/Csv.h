#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qm {

// One record of comma-separated values as RFC 4180 writes them: a field that holds a comma, a
// quote or a line break is quoted, quotes inside doubled. The record ends with lineEnd.
std::string csvRecord(const std::vector<std::string>& fields, std::string_view lineEnd = "\r\n");

}  // namespace qm
