#include <gtest/gtest.h>

#include "common/Utf8.h"

namespace qm {
namespace {

// Every code point written by appendUtf8 reads back whole, with its length in bytes.
TEST(Utf8, CharactersOfOneToFourBytesRoundTrip) {
    const struct {
        char32_t code;
        std::size_t length;
    } cases[] = {{U'A', 1}, {U'é', 2}, {U'学', 3}, {U'\U0001F600', 4}, {U'\U00020000', 4}};
    for (const auto& c : cases) {
        std::string text;
        appendUtf8(text, static_cast<unsigned>(c.code));
        EXPECT_EQ(text.size(), c.length) << static_cast<unsigned>(c.code);
        EXPECT_TRUE(isValidUtf8(text));
        EXPECT_EQ(utf8CharacterLength(text), c.length);
        EXPECT_EQ(utf8CodePoint(text), c.code);
        EXPECT_EQ(utf8CharacterCount(text + text), 2u);
    }
}

TEST(Utf8, MalformedBytesAreTakenOneByOne) {
    for (const std::string bad : {"\xC0\xAF", "\xE5\xAD", "\xFF", "\x80"}) {
        EXPECT_FALSE(isValidUtf8(bad));
        EXPECT_EQ(utf8CharacterLength(bad), 1u);
    }
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));  // well formed, but a surrogate
    EXPECT_EQ(utf8CharacterLength(""), 0u);
}

// What the database stores and the exports write: valid UTF-8 that XML can hold, whatever a
// reader or an older database gives.
TEST(Utf8, XmlSafeTextReplacesWhatXmlCannotHold) {
    const std::string fffd = "\xEF\xBF\xBD";
    const struct {
        const char* what;
        std::string text;
        std::string safe;
    } cases[] = {
        {"plain text stays", "张三 O'Neil\t1\r\n2", "张三 O'Neil\t1\r\n2"},
        {"a byte that starts nothing",
         "a\xFF"
         "b",
         "a" + fffd + "b"},
        {"a sequence cut short", "\xE5\xAD", fffd + fffd},
        {"an overlong form", "\xE0\x80\xAF", fffd},
        {"a lone high surrogate", "x\xED\xA0\x80y", "x" + fffd + "y"},
        {"a lone low surrogate", "\xED\xB0\x85", fffd},
        {"a pair as two sequences", "\xED\xA0\x81\xED\xB0\x85", "\xF0\x90\x90\x85"},
        {"NUL and other controls", std::string("a\0b\x01\x1F", 5), "a" + fffd + "b" + fffd + fffd},
        {"the non-characters U+FFFE and U+FFFF", "\xEF\xBF\xBE\xEF\xBF\xBF", fffd + fffd},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", fffd},
    };
    for (const auto& c : cases) {
        const std::string safe = xmlSafeText(c.text);
        EXPECT_EQ(safe, c.safe) << c.what;
        EXPECT_TRUE(isValidUtf8(safe)) << c.what;
    }
}

TEST(Utf8, PrefixCutsWholeCharacters) {
    EXPECT_EQ(utf8Prefix("张三丰", 2), "张三");
    EXPECT_EQ(utf8Prefix("张三", 5), "张三");
    EXPECT_EQ(utf8Prefix("ab", 0), "");
}

// Blanks of names: ASCII white space and the ideographic space, never a byte of another
// character (U+3000 shares its first two bytes with 、 and 。).
TEST(Utf8, BlanksAroundAndInsideNames) {
    const struct {
        std::string text, trimmed, without;
    } cases[] = {
        {"董华强 ", "董华强", "董华强"},
        {"\u3000 卢 杰霞\t\u3000", "卢 杰霞", "卢杰霞"},
        {"张、三。", "张、三。", "张、三。"},
        {" \u3000 ", "", ""},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(trimmedBlanks(c.text), c.trimmed) << c.text;
        EXPECT_EQ(withoutBlanks(c.text), c.without) << c.text;
    }
}

}  // namespace
}  // namespace qm
