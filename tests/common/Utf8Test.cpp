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

}  // namespace
}  // namespace qm
