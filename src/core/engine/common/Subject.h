#pragma once

#include <array>
#include <cmath>
#include <optional>
#include <string_view>

namespace qm::engine {

// The nine subjects in the order of the student table's score columns, then the sum of the nine
// as a tenth quantity that averages are taken of.
enum Subject : int {
    kMath = 0,
    kEnglish,
    kChinese,
    kWuli,
    kZhengzhi,
    kLishi,
    kTiyu,
    kDili,
    kShengwu,
};
inline constexpr int kSubjectCount = 9;
inline constexpr int kTotal = 9;  // index of the score total among the averaged quantities
inline constexpr int kQuantityCount = 10;

// The one-letter code that selects a subject ("M", "E", "C", "W", "Z", "L", "T", "D", "S");
// compared exactly, so any other text selects nothing.
inline std::optional<Subject> subjectFromCode(std::string_view code) {
    static constexpr std::array<std::string_view, kSubjectCount> codes = {"M", "E", "C", "W", "Z",
                                                                          "L", "T", "D", "S"};
    for (int s = 0; s < kSubjectCount; ++s) {
        if (codes[s] == code) {
            return static_cast<Subject>(s);
        }
    }
    return std::nullopt;
}

// The ten-point band of a score: the score divided by 10, truncated toward zero (59.9 is band 5,
// 100 is band 10).
inline int scoreBand(double score) {
    return static_cast<int>(std::trunc(score / 10.0));
}

}  // namespace qm::engine
