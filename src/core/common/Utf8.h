#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qm {

// Texts are UTF-8 throughout the system; these are the few things done with their characters.

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates).
bool isValidUtf8(std::string_view bytes);

// The length in bytes of the character at the start of the text: 1 to 4, and 1 for a byte that
// does not start a valid sequence, so that every byte of malformed text is taken once.
std::size_t utf8CharacterLength(std::string_view text);

// The code point of the character at the start of the text (as long as utf8CharacterLength says).
char32_t utf8CodePoint(std::string_view text);

// The number of characters of valid UTF-8 text.
std::size_t utf8CharacterCount(std::string_view text);

// Appends the character with this code point.
void appendUtf8(std::string& out, unsigned code);

// True for the characters XML 1.0 can hold: tab, line feed, carriage return, and the rest from
// U+0020 on, except the surrogates and U+FFFE and U+FFFF.
bool isXmlCharacter(char32_t code);

// The text as valid UTF-8 that an XML document can hold, as the database stores texts and the
// exports write them: every byte that starts no valid character, every overlong form, every lone
// surrogate and every character XML forbids (control characters other than tab, line feed and
// carriage return; U+FFFE and U+FFFF) becomes U+FFFD. A surrogate pair written as two
// three-byte sequences becomes the one character it stands for.
std::string xmlSafeText(std::string_view text);

// The first `count` characters of valid UTF-8 text (all of it when it is shorter).
std::string_view utf8Prefix(std::string_view text, std::size_t count);

// Blanks in names and titles are ASCII white space (and the other control characters) and the
// ideographic space U+3000 of Chinese input.
// The text without its leading and trailing blanks: "董华强 " gives "董华强".
std::string trimmedBlanks(std::string_view text);
// The text without any blank, inside it too: "卢 杰霞" gives "卢杰霞".
std::string withoutBlanks(std::string_view text);

}  // namespace qm
