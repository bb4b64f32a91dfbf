#include "engine/division/PassStudent.h"

namespace qm::engine {

bool PassStudent::setInfo(int id, std::string name, int adjustedMark, std::string sexText,
                          int place, std::string pinyinText) {
    studentId = id;
    studentName = std::move(name);
    adjusted = adjustedMark;
    sex = std::move(sexText);
    placeType = place;
    pinyin = std::move(pinyinText);
    return true;
}

bool PassStudent::setScores(double math, double english, double chinese, double wuli,
                            double zhengzhi, double lishi, double tiyu, double dili,
                            double shengwu) {
    scores = {math, english, chinese, wuli, zhengzhi, lishi, tiyu, dili, shengwu};
    total = 0;
    for (int s = 0; s < kSubjectCount; ++s) {
        total += scores[s];
        bands[s] = scoreBand(scores[s]);
    }
    average = total / 9;
    return true;
}

bool PassStudent::sameScores(const PassStudent& other) const {
    return scores == other.scores;
}

}  // namespace qm::engine
