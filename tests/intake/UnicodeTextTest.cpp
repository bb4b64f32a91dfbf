// Texts the readers give are valid UTF-8 holding only characters XML can hold.
#include <gtest/gtest.h>

#include "common/Utf8.h"
#include "intake/UnicodeText.h"

namespace qm::intake {
namespace {

TEST(UnicodeText, ReplacesWhatXmlCannotHold) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"张三 Tom\t\r\n", "张三 Tom\t\r\n"},
        {std::string("a\0b", 3), "a\uFFFDb"},
        {"a\x01\x0B\x1F"
         "b",
         "a\uFFFD\uFFFD\uFFFDb"},
        {"\xED\xA0\x80", "\uFFFD"},  // an encoded surrogate
        {"\xEF\xBF\xBE", "\uFFFD"},  // U+FFFE
        {"\xC3", "\uFFFD"},          // cut short
        {"\xF0\x90\x90\x85", "\U00010405"},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(xmlSafeText(text), expected) << text;
        EXPECT_TRUE(isValidUtf8(xmlSafeText(text)));
    }
}

TEST(UnicodeText, JoinsSurrogatePairsOfUtf16) {
    const std::vector<std::pair<std::vector<unsigned>, std::string>> cases = {
        {{0x5F20, 0x4E09}, "张三"},     {{0xD801, 0xDC05}, "\U00010405"},
        {{0xD801, 0x41}, "\uFFFDA"},  // high surrogate without its partner
        {{0xDC05, 0x41}, "\uFFFDA"},  // low surrogate alone
        {{0x41, 0xD801}, "A\uFFFD"},  // high surrogate at the end
        {{0x0000, 0x0009}, "\uFFFD\t"}, {{0xFFFF}, "\uFFFD"},
    };
    for (const auto& [units, expected] : cases) {
        std::string out;
        {
            Utf16Appender appender(out);
            for (const unsigned unit : units) {
                appender.add(unit);
            }
        }
        EXPECT_EQ(out, expected);
    }
}

}  // namespace
}  // namespace qm::intake
