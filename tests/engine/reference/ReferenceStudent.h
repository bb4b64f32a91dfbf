#pragma once

#include <array>
#include <string>

namespace qm::reference {

// A student of the literal reference division, field for field as the rules describe it.
struct ReferenceStudent {
    int studentId = 0;
    std::string studentName;
    int adjusted = 0;
    // math, english, chinese, wuli, zhengzhi, lishi, tiyu, dili, shengwu
    std::array<double, 9> scores{};
    double average = 0;
    double total = 0;
    std::string sex;
    int placeType = 0;
    std::string pingyin;

    void setScores(const std::array<double, 9>& values) {
        scores = values;
        total = scores[0] + scores[1] + scores[2] + scores[3] + scores[4] + scores[5] + scores[6] +
                scores[7] + scores[8];
        average = total / 9;
    }
    bool sameScores(const ReferenceStudent& other) const {
        for (int s = 0; s < 9; ++s) {
            if (scores[s] != other.scores[s]) {
                return false;
            }
        }
        return true;
    }
};

}  // namespace qm::reference
