#include "engine/division/ClassBandSurplus.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace qm::engine {

ClassBandSurplus::ClassBandSurplus(const std::vector<ClassTally>& classes,
                                   const BandTargets& targets)
    : classes_(classes), targets_(targets) {
    std::array<long long, kSubjectCount> high{};
    low_.fill(std::numeric_limits<int>::max());
    high.fill(std::numeric_limits<int>::min());
    for (const auto& tally : classes_) {
        for (const PassStudent* student : tally.students) {
            if (!student->movable()) {
                continue;
            }
            for (int s = 0; s < kSubjectCount; ++s) {
                low_[s] = std::min(low_[s], student->bands[s]);
                high[s] = std::max(high[s], static_cast<long long>(student->bands[s]));
            }
        }
    }
    long long row = 0;
    for (int s = 0; s < kSubjectCount; ++s) {
        row += std::max(0LL, high[s] - low_[s] + 1);
    }
    if (row == 0 || row > kWidestRow) {
        low_.fill(0);  // and width_ stays 0: every band is asked of the class
        return;
    }
    for (int s = 0; s < kSubjectCount; ++s) {
        offset_[s] = static_cast<int>(rowWidth_);
        width_[s] = static_cast<int>(std::max(0LL, high[s] - low_[s] + 1));
        rowWidth_ += static_cast<std::size_t>(width_[s]);
    }
    surplus_.reserve(classes_.size() * rowWidth_);
    for (const auto& tally : classes_) {
        for (int s = 0; s < kSubjectCount; ++s) {
            for (int w = 0; w < width_[s]; ++w) {
                surplus_.push_back(
                    tally.bandSurplus(static_cast<Subject>(s), targets_, low_[s] + w));
            }
        }
    }
}

void ClassBandSurplus::replaced(int classIndex, const PassStudent& leaving,
                                const PassStudent& entering) {
    const std::size_t row = static_cast<std::size_t>(classIndex) * rowWidth_;
    for (int s = 0; s < kSubjectCount; ++s) {
        for (const auto& [band, delta] :
             {std::pair{leaving.bands[s], -1}, std::pair{entering.bands[s], 1}}) {
            const unsigned index = static_cast<unsigned>(band - low_[s]);
            if (index < static_cast<unsigned>(width_[s])) {
                surplus_[row + static_cast<std::size_t>(offset_[s]) + index] += delta;
            }
        }
    }
}

// bandSwapTest answers 1 when the leaving surplus is above 0 and the entering one below 0, or
// when the leaving surplus exceeds the entering one by more than the tolerance. With the
// entering surplus e fixed, that is a leaving surplus above min(e < 0 ? 0 : none, e + inter); with
// the leaving surplus l fixed, an entering surplus below max(l > 0 ? 0 : none, l - inter).
ClassBandSurplus::Answers ClassBandSurplus::answersFor(int classIndex, const PassStudent& fixed,
                                                       bool fixedJoins) const {
    constexpr long long kNone = std::numeric_limits<long long>::max() / 4;
    const long long inter = classes_[classIndex].inter;
    Answers answers;
    answers.row_ = surplus_.data() + static_cast<std::size_t>(classIndex) * rowWidth_;
    answers.sign_ = fixedJoins ? 1 : -1;
    answers.fixedBands_ = fixed.bands;
    for (int s = 0; s < kSubjectCount; ++s) {
        answers.shift_[s] = offset_[s] - low_[s];
        const long long surplus = answers.row_[answers.shift_[s] + fixed.bands[s]];
        answers.threshold_[s] = fixedJoins ? std::min(surplus < 0 ? 0 : kNone, surplus + inter)
                                           : -std::max(surplus > 0 ? 0 : -kNone, surplus - inter);
    }
    return answers;
}

}  // namespace qm::engine
