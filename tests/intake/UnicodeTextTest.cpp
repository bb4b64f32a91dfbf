// The UTF-16 texts of .xls files and of _xHHHH_ escapes become valid UTF-8 holding only
// characters XML can hold.
#include <gtest/gtest.h>

#include "intake/UnicodeText.h"

namespace qm::intake {
namespace {

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
