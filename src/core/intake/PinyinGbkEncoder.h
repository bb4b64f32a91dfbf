#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qm::intake {

// Encodes single characters from UTF-8 into GBK (code page 936), so that names stored as UTF-8
// can be looked up in the GBK pinyin dictionary.
class GbkEncoder {
  public:
    // The GBK bytes of one UTF-8 character; nothing when GBK has no such character or the bytes
    // are not valid UTF-8.
    std::optional<std::string> encode(std::string_view utf8Character) const;
};

}  // namespace qm::intake
