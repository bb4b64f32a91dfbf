#pragma once

#include <vector>

#include "engine/ExchangeRule.h"
#include "engine/PlacedCohort.h"

namespace qm::engine {

// Students whose names read the same in pinyin are never brought into one class: an exchange is
// refused when either student would join a class in which somebody else reads the same. As in a
// division, trailing blanks do not count and two empty readings are the same reading. Students
// who already share a class (because no division could part them) may stay together.
class PinyinApartRule : public ExchangeRule {
  public:
    PinyinApartRule(const PlacedCohort& cohort, const std::vector<int>& classOf);
    bool allows(const Exchange& exchange) const override;
    void applied(const Exchange& exchange) override;

  private:
    int& count(int classIndex, int reading) {
        return counts_[static_cast<std::size_t>(classIndex) * readingCount_ +
                       static_cast<std::size_t>(reading)];
    }
    int count(int classIndex, int reading) const {
        return counts_[static_cast<std::size_t>(classIndex) * readingCount_ +
                       static_cast<std::size_t>(reading)];
    }

    static constexpr int kUnshared = -1;

    std::vector<int> readingOf_;  // per student: a number per shared reading, or kUnshared
    std::size_t readingCount_ = 0;
    std::vector<int> counts_;  // per class and reading: how many students of the class read so
};

}  // namespace qm::engine
