#include "engine/ClassChoice.h"

#include <limits>
#include <stdexcept>

namespace qm::engine {

namespace {

// The sex count given to a class that holds the student's pinyin.
constexpr int kPinyinPenalty = 10000;

}  // namespace

int findMixClass(std::string_view sex, const std::vector<Tdistribute>& classes,
                 const Tstudent& student) {
    if (classes.empty()) {
        throw std::logic_error("findMixClass needs at least one class");
    }
    bool avoidSamePinyin = true;
    const int classCount = static_cast<int>(classes.size());
    for (;;) {
        // Both minima start above any reachable value, so that every class can be chosen however
        // many students it holds. A second sweep (every class held the pinyin) starts afresh.
        int bestSexCount = std::numeric_limits<int>::max();
        int bestBandSum = std::numeric_limits<int>::max();
        int result = 0;
        int conflicts = 0;
        for (int c = 0; c < classCount; ++c) {
            const Tdistribute& tally = classes[c];
            int sexCount = tally.sexCount(sex);
            if (avoidSamePinyin && tally.hasPingyin(student.pinyinKey)) {
                sexCount = kPinyinPenalty;
                ++conflicts;
            }
            if (sexCount > bestSexCount) {
                continue;
            }
            if (sexCount < bestSexCount) {
                bestBandSum = std::numeric_limits<int>::max();
            }
            bestSexCount = sexCount;
            int bandSum = 0;
            for (int s = 0; s < kSubjectCount; ++s) {
                bandSum += tally.bandCount(static_cast<Subject>(s), student.bands[s]);
            }
            if (bandSum < bestBandSum) {
                result = c;
                bestBandSum = bandSum;
            }
        }
        if (conflicts != classCount || !avoidSamePinyin) {
            return result;
        }
        avoidSamePinyin = false;
    }
}

}  // namespace qm::engine
