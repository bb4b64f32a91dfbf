#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qm::intake {

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates).
bool isValidUtf8(std::string_view bytes);

// Converts GBK text (code page 936) to UTF-8 with glibc's iconv, reading it as GB18030, which
// contains GBK. Nothing when the bytes are not valid in that encoding.
std::optional<std::string> gbkToUtf8(std::string_view bytes);

// Appends one character of the Basic Multilingual Plane (a 16-bit code, as spreadsheet files
// store text) in UTF-8.
void appendUtf8(std::string& out, unsigned code);

}  // namespace qm::intake
