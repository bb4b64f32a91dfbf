#pragma once

#include <vector>

#include "engine/balance/PlacedCohort.h"
#include "engine/optimisation/ClassKeyCounts.h"
#include "engine/optimisation/ExchangeRule.h"

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
    bool allowsMove(int student, int to) const override;
    void moved(int student, int from, int to) override;

  private:
    static constexpr int kUnshared = -1;
    int readingOf(int student) const { return readingOf_[static_cast<std::size_t>(student)]; }

    std::vector<int> readingOf_;   // per student: a number per shared reading, or kUnshared
    ClassKeyCounts counts_{0, 0};  // per class and shared reading: how many of its students read so
};

}  // namespace qm::engine
