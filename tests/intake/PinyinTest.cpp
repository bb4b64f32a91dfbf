#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "intake/Pinyin.h"

namespace qm::intake {
namespace {

// GBK bytes of the characters used below.
const std::string kZhang = "\xD5\xC5";            // 张
const std::string kSan = "\xC8\xFD";              // 三
const std::string kFullStop = "\xA1\xA3";         // 。 ideographic full stop
const std::string kCircledOne = "\xA2\xD9";       // ①
const std::string kRomanTwelve = "\xA2\xFC";      // Ⅻ
const std::string kOmega = "\xA6\xB8";            // Ω
const std::string kSmallOmega = "\xA6\xD8";       // ω
const std::string kTheta = "\xA6\xA8";            // Θ
const std::string kFullWidthA = "\xA3\xC1";       // Ａ
const std::string kFullWidthSmallA = "\xA3\xE1";  // ａ
const std::string kFullWidthComma = "\xA3\xAC";   // ，

struct Case {
    std::string text;
    int flags;
    int maxLength;
    std::string expected;
};

// "D5 C5 flags 1 max 255": the text as hex bytes, so that names stay readable ASCII.
std::string describe(const Case& c, const char* separator) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (unsigned char byte : c.text) {
        text += text.empty() ? "" : separator;
        text += kHex[byte >> 4];
        text += kHex[byte & 0x0F];
    }
    const std::string flags =
        c.flags < 0 ? "minus" + std::to_string(-c.flags) : std::to_string(c.flags);
    return (text.empty() ? "empty" : text) + separator + "flags" + separator + flags + separator +
           "max" + separator + std::to_string(c.maxLength);
}

void PrintTo(const Case& c, std::ostream* out) {
    *out << describe(c, " ");
}

class GetPingyinTest : public ::testing::TestWithParam<Case> {};

TEST_P(GetPingyinTest, ConvertsAsTheFlagsSay) {
    const Case& c = GetParam();
    EXPECT_EQ(getPingyin(c.text, c.flags, c.maxLength), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GetPingyinTest,
    ::testing::Values(
        // Chinese characters: first letters, or whole syllables without separators.
        Case{kZhang + kSan, 0, 255, "ZS"}, Case{kZhang + kSan, 1, 255, "ZHANGSAN"},
        Case{kZhang + kSan, 1, 3, "ZHA"}, Case{kZhang + kSan, 1, 0, ""},
        // ASCII: letters upper-cased, digits kept, the rest only with flag 4.
        Case{"A1b2", 0, 255, "A1B2"}, Case{"a-b", 0, 255, "AB"}, Case{"a-b", 4, 255, "A-B"},
        // Punctuation of row 0xA1 has no reading: nothing, or "?" with flag 2.
        Case{kFullStop, 1, 255, ""}, Case{kFullStop, 3, 255, "?"},
        // Numbered symbols of row 0xA2; an empty place gives nothing even with flag 2.
        Case{kCircledOne, 0, 255, "1"}, Case{kRomanTwelve, 0, 255, "12"},
        Case{"\xA2\xAB", 2, 255, ""}, Case{"\xA2\xA0", 2, 255, "?"}, Case{"\xA2\xA0", 0, 255, ""},
        // Greek letters always give their whole Latin text.
        Case{"\xA6\xA1", 0, 255, "A"}, Case{"\xA6\xC1", 0, 255, "A"}, Case{kOmega, 0, 255, "O"},
        Case{kSmallOmega, 1, 255, "O"}, Case{kTheta, 0, 255, "TH"}, Case{kTheta, 1, 255, "TH"},
        Case{"\xA6\xB9", 2, 255, "?"}, Case{"\xA6\xB9", 0, 255, ""},
        // Full-width ASCII: not upper-cased; other than letters and digits only with flag 4.
        Case{kFullWidthA, 0, 255, "A"}, Case{kFullWidthSmallA, 0, 255, "a"},
        Case{kFullWidthComma, 0, 255, ""}, Case{kFullWidthComma, 4, 255, ","},
        // Places of the row outside full-width ASCII give no letter or digit, never "?".
        Case{"\xA3\x80", 2, 255, ""}, Case{"\xA3\x41", 3, 255, ""}, Case{"\xA3\xA0", 4, 255, " "},
        // A lead byte at the end, or before a byte below 0x40, is a single byte of its own.
        Case{"A\xD5", 0, 255, "A"}, Case{"A\xD5", 4, 255, "A\xD5"},
        Case{"\xD5"
             "1",
             0, 255, "1"},
        Case{"\xD5"
             "1",
             4, 255,
             "\xD5"
             "1"},
        // Bytes outside GBK's double-byte range have no reading and are not looked up.
        Case{"\xFF\x40", 2, 255, "?"}, Case{"\xFE\xFF", 2, 255, "?"}, Case{"\xB0\x7F", 2, 255, "?"},
        // A negative flags value gives nothing at all.
        Case{kZhang + "A", -1, 255, ""}, Case{"A", -4, 255, ""}),
    [](const ::testing::TestParamInfo<Case>& param) { return describe(param.param, "_"); });

TEST(NamePinyinTest, JoinsTheSyllablesOfEachCharacterWithBlanks) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"张三", "ZHANG SAN"},
        {"Tom", "T O M"},
        {"", ""},
        // Characters without a reading before the first reading add nothing; after it each
        // still adds its blank.
        {"·张", "ZHANG"},
        {"张·三", "ZHANG  SAN"},
        {"王 ", "WANG "},
        {"😀李", "LI"},  // outside GBK
        {"李😀", "LI "},
        {"\xFF李", "LI"},  // not UTF-8
        {"Ａ李", "A LI"},  // full-width letter
        {"①李", "1 LI"},
    };
    for (const auto& [name, expected] : cases) {
        EXPECT_EQ(namePinyin(name), expected) << name;
    }
}

// The customary readings of characters common in names, through the whole path from UTF-8.
TEST(NamePinyinTest, GivesTheCustomaryReadings) {
    EXPECT_EQ(namePinyin("张三王李长重乐单解区查"),
              "ZHANG SAN WANG LI ZHANG ZHONG LE DAN JIE QU CHA");
    EXPECT_EQ(namePinyin("行"), "XING");
    // ü is written v, except in lue and nue.
    EXPECT_EQ(namePinyin("女吕略虐绿"), "NV LV LUE NUE LV");
}

}  // namespace
}  // namespace qm::intake
