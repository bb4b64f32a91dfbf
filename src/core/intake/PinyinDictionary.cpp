#include "intake/PinyinDictionary.h"

#include <array>
#include <cstdint>

namespace qm::intake {

namespace {

// kSyllables and kGbkSyllableNumbers, generated from the Unihan readings (see tools/pinyin).
#include "PinyinTable.inc"

constexpr unsigned kFirstLead = 0x81;
constexpr unsigned kFirstTrail = 0x40;
constexpr unsigned kLastTrail = 0xFE;
constexpr unsigned kTrailsPerLead = kLastTrail - kFirstTrail + 1;

// The places of row 0xA2 that show numbers: each run counts 1, 2, 3, ... from its first place.
struct NumberRun {
    unsigned char first;
    unsigned char last;
};
constexpr std::array<NumberRun, 6> kRowA2Runs = {{
    {0xA1, 0xAA},  // small Roman numerals 1 to 10
    {0xB1, 0xC4},  // numbers with a full stop 1 to 20
    {0xC5, 0xD8},  // numbers in parentheses 1 to 20
    {0xD9, 0xE2},  // circled numbers 1 to 10
    {0xE5, 0xEE},  // ideographic numbers in parentheses 1 to 10
    {0xF1, 0xFC},  // Roman numerals 1 to 12
}};
constexpr std::array<std::string_view, 21> kNumberTexts = {
    "",   "1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9", "10",
    "11", "12", "13", "14", "15", "16", "17", "18", "19", "20"};

// Alpha to omega; eta gives e, upsilon u, omega o.
constexpr std::array<std::string_view, 24> kGreekLatin = {
    "a", "b", "g", "d", "e", "z", "e", "th", "i",  "k",  "l",  "m",
    "n", "x", "o", "p", "r", "s", "t", "u",  "ph", "kh", "ps", "o"};
constexpr unsigned char kGreekCapitalAlpha = 0xA1;
constexpr unsigned char kGreekSmallAlpha = 0xC1;

static_assert(kGbkSyllableNumbers.size() == (0xFE - kFirstLead + 1) * kTrailsPerLead);

}  // namespace

std::string_view syllableOfGbk(unsigned char lead, unsigned char trail) {
    // 0xFF is neither a lead nor a trail byte of GBK; it must not reach past the table.
    if (lead < kFirstLead || lead == 0xFF || trail < kFirstTrail || trail > kLastTrail) {
        return {};
    }
    const std::uint16_t number =
        kGbkSyllableNumbers[(lead - kFirstLead) * kTrailsPerLead + (trail - kFirstTrail)];
    return kSyllables[number];
}

std::string_view numberOfRowA2(unsigned char trail) {
    for (const auto& run : kRowA2Runs) {
        if (trail >= run.first && trail <= run.last) {
            return kNumberTexts[trail - run.first + 1];
        }
    }
    return {};
}

std::string_view latinOfGreek(unsigned char trail) {
    for (unsigned char first : {kGreekCapitalAlpha, kGreekSmallAlpha}) {
        if (trail >= first && trail < first + kGreekLatin.size()) {
            return kGreekLatin[trail - first];
        }
    }
    return {};
}

}  // namespace qm::intake
