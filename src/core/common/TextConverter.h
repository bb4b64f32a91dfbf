#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qm {

// A conversion between two encodings by glibc's iconv, e.g. TextConverter("GBK", "UTF-8") turns
// UTF-8 into GBK. One converter serves one thread.
class TextConverter {
  public:
    TextConverter(const char* to, const char* from);
    ~TextConverter();
    TextConverter(const TextConverter&) = delete;
    TextConverter& operator=(const TextConverter&) = delete;

    // The whole text converted; nothing when some bytes are not valid in the source encoding or
    // have no place in the target encoding.
    std::optional<std::string> convert(std::string_view text);

  private:
    void* handle_;  // iconv_t
};

// Converts GBK text (code page 936) to UTF-8, reading it as GB18030, which contains GBK.
// Nothing when the bytes are not valid in that encoding.
std::optional<std::string> gbkToUtf8(std::string_view bytes);

}  // namespace qm
