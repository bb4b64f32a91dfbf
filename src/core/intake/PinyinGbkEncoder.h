#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qm::intake {

// Encodes single characters from UTF-8 into GBK (code page 936) with glibc's iconv, so that
// names stored as UTF-8 can be looked up in the GBK pinyin dictionary. Not shareable between
// threads: each thread keeps its own.
class GbkEncoder {
  public:
    GbkEncoder();
    ~GbkEncoder();
    GbkEncoder(const GbkEncoder&) = delete;
    GbkEncoder& operator=(const GbkEncoder&) = delete;

    // The GBK bytes of one UTF-8 character; nothing when GBK has no such character or the bytes
    // are not valid UTF-8.
    std::optional<std::string> encode(std::string_view utf8Character);

  private:
    void* handle_;  // iconv_t
};

// The length in bytes of the UTF-8 character at the start of text: 1 to 4, and 1 for a byte that
// does not start a valid sequence, so that every byte of malformed text is taken once.
std::size_t utf8CharacterLength(std::string_view text);

}  // namespace qm::intake
