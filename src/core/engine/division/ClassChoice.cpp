#include "engine/division/ClassChoice.h"

#include <limits>
#include <stdexcept>

namespace qm::engine {

namespace {

// The sex count given to a class that holds the student's pinyin.
constexpr int kPinyinPenalty = 10000;

// The choice among the classes the predicate allows; -1 when it allows none.
template <typename Allowed>
int chooseClass(std::string_view sex, const std::vector<ClassTally>& classes,
                const PassStudent& student, Allowed allowed) {
    bool avoidSamePinyin = true;
    const int classCount = static_cast<int>(classes.size());
    for (;;) {
        // Both minima start above any reachable value, so that every class can be chosen however
        // many students it holds. A second sweep (every class held the pinyin) starts afresh.
        int bestSexCount = std::numeric_limits<int>::max();
        int bestBandSum = std::numeric_limits<int>::max();
        int result = -1;
        int considered = 0;
        int conflicts = 0;
        for (int c = 0; c < classCount; ++c) {
            if (!allowed(c)) {
                continue;
            }
            ++considered;
            const ClassTally& tally = classes[c];
            int sexCount = tally.sexCount(sex);
            if (avoidSamePinyin && tally.hasPinyin(student.pinyinKey)) {
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
        if (considered == 0 || conflicts != considered || !avoidSamePinyin) {
            return result;
        }
        avoidSamePinyin = false;
    }
}

}  // namespace

int findMixClass(std::string_view sex, const std::vector<ClassTally>& classes,
                 const PassStudent& student) {
    if (classes.empty()) {
        throw std::logic_error("findMixClass needs at least one class");
    }
    return chooseClass(sex, classes, student, [](int) { return true; });
}

std::optional<int> findMixClassAmong(std::string_view sex, const std::vector<ClassTally>& classes,
                                     const PassStudent& student, const std::vector<bool>& allowed) {
    const int choice = chooseClass(sex, classes, student, [&](int c) { return allowed[c]; });
    if (choice < 0) {
        return std::nullopt;
    }
    return choice;
}

}  // namespace qm::engine
