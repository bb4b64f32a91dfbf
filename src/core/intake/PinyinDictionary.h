#pragma once

#include <string_view>

namespace qm::intake {

// The constant data behind pinyin conversion, looked up by GBK (code page 936) byte values.

// The toneless syllable of a GBK double-byte character in lower case, such as "zhang" for
// D5 C5, with ü written v ("lv", "nv") except in "lue" and "nue". Empty when the character has
// no reading, when the code is outside GBK's double-byte range, and for the symbol rows 0xA1 to
// 0xA9.
std::string_view syllableOfGbk(unsigned char lead, unsigned char trail);

// The number shown by a numbered symbol of GBK row 0xA2 (circled, bracketed, Roman numerals and
// the like), as text: "1" for A2 D9, "12" for A2 FC. Empty for places that hold no number.
std::string_view numberOfRowA2(unsigned char trail);

// The Latin text of a Greek letter of GBK row 0xA6 in lower case ("th" for theta, "o" for
// omega); capitals (A1 to B8) and small letters (C1 to D8) alike. Empty for other places.
std::string_view latinOfGreek(unsigned char trail);

}  // namespace qm::intake
