#include <gtest/gtest.h>

#include "intake/PinyinDictionary.h"

namespace qm::intake {
namespace {

bool isSyllable(std::string_view text) {
    if (text.empty() || text.size() > 6) {
        return false;
    }
    for (char c : text) {
        if (c < 'a' || c > 'z') {
            return false;
        }
    }
    return true;
}

// Properties of the generated table that the conversion relies on, over every GBK code.
TEST(PinyinDictionaryTest, EveryReadingIsOneShortLowerCaseSyllableOutsideTheSymbolRows) {
    int withReading = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const auto syllable =
                syllableOfGbk(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
            if (syllable.empty()) {
                continue;
            }
            ++withReading;
            EXPECT_TRUE(isSyllable(syllable)) << std::hex << lead << ' ' << trail;
            EXPECT_FALSE(lead >= 0xA1 && lead <= 0xA9) << std::hex << lead << ' ' << trail;
            EXPECT_NE(trail, 0x7F) << std::hex << lead;
        }
    }
    // GB2312's 6,763 characters alone all have readings.
    EXPECT_GT(withReading, 20000);
    EXPECT_EQ(syllableOfGbk(0xD5, 0xC5), "zhang");
    EXPECT_EQ(syllableOfGbk(0xB0, 0xA1), "a");  // 啊, the first character of GB2312
    EXPECT_EQ(syllableOfGbk(0xFF, 0x40), "");
    EXPECT_EQ(syllableOfGbk(0xD5, 0xFF), "");
}

TEST(PinyinDictionaryTest, RowA2GivesTheNumberEachSymbolShows) {
    const std::vector<std::pair<unsigned char, std::string_view>> cases = {
        {0xA1, "1"}, {0xAA, "10"}, {0xAB, ""},  {0xB0, ""},   {0xB1, "1"}, {0xC4, "20"},
        {0xC5, "1"}, {0xD8, "20"}, {0xD9, "1"}, {0xE2, "10"}, {0xE3, ""},  {0xE4, ""},
        {0xE5, "1"}, {0xEE, "10"}, {0xEF, ""},  {0xF0, ""},   {0xF1, "1"}, {0xFC, "12"},
        {0xFD, ""},  {0xFE, ""},   {0xFF, ""},  {0xA0, ""}};
    for (const auto& [trail, expected] : cases) {
        EXPECT_EQ(numberOfRowA2(trail), expected) << std::hex << int{trail};
    }
}

}  // namespace
}  // namespace qm::intake
