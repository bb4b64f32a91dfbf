#include "engine/ClassBandSurplus.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace qm::engine {

ClassBandSurplus::ClassBandSurplus(const std::vector<Tdistribute>& classes,
                                   const BandTargets& targets)
    : classes_(classes), targets_(targets) {
    std::array<long long, kSubjectCount> high{};
    low_.fill(std::numeric_limits<int>::max());
    high.fill(std::numeric_limits<int>::min());
    for (const auto& tally : classes_) {
        for (const Tstudent* student : tally.students) {
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

void ClassBandSurplus::replaced(int classIndex, const Tstudent& leaving, const Tstudent& entering) {
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

void ClassBandSurplus::answersFor(int classIndex, const Tstudent& fixed, bool fixedJoins,
                                  Answers& answers) const {
    const Tdistribute& tally = classes_[classIndex];
    const int* row = surplus_.data() + static_cast<std::size_t>(classIndex) * rowWidth_;
    answers.table_.resize(rowWidth_);
    for (int s = 0; s < kSubjectCount; ++s) {
        const int fixedSurplus = row[offset_[s] + fixed.bands[s] - low_[s]];
        answers.shift_[s] = offset_[s] - low_[s];
        for (int w = 0; w < width_[s]; ++w) {
            const int surplus = row[offset_[s] + w];
            const int answer = fixedJoins ? tally.bandSwapAnswer(surplus, fixedSurplus)
                                          : tally.bandSwapAnswer(fixedSurplus, surplus);
            answers.table_[static_cast<std::size_t>(offset_[s] + w)] =
                low_[s] + w == fixed.bands[s] ? 0 : answer;
        }
    }
}

}  // namespace qm::engine
