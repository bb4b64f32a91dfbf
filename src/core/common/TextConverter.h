#pragma once

#include <optional>
#include <string>
#include <string_view>

// Conversions between UTF-8, the system's text, and the code pages of old files: GBK (CSV files
// from Chinese Windows, the keys of the pinyin dictionary) and the code pages of Excel 5 and 95
// workbooks. They work from the program's own tables (generated from glibc's iconv when
// building), so every system converts alike.
namespace qm {

// True for a Windows code page number the program can read (932, 936, 950, 1250 to 1258, ...).
bool knowsCodePage(unsigned codePage);

// Text in a code page as UTF-8; nothing when the code page is unknown or some bytes are not
// valid in it. Code page 936 is read as GB18030, which contains GBK.
std::optional<std::string> codePageToUtf8(unsigned codePage, std::string_view bytes);

// GBK text (code page 936) as UTF-8, read as GB18030, which contains GBK. Nothing when the bytes
// are not valid in that encoding.
std::optional<std::string> gbkToUtf8(std::string_view bytes);

// UTF-8 text in GBK; nothing when the text is not valid UTF-8 or holds a character GBK lacks.
std::optional<std::string> utf8ToGbk(std::string_view text);

}  // namespace qm
