#pragma once

#include <memory>
#include <vector>

#include "engine/ExchangeRule.h"
#include "engine/PlacedCohort.h"

namespace qm::engine {

// Every rule an exchange of 深度优化 keeps, in one place. Built in: fixed students never move,
// and only students of the same sex and the same category change places, so every class keeps
// its number of boys, of girls and of each category's members. Added as rules: students reading
// the same in pinyin are never brought together; further rules (such as groups a teacher wants
// kept apart or together) join them through add().
class ExchangeRules {
  public:
    // With the pinyin rule.
    ExchangeRules(const PlacedCohort& cohort, const std::vector<int>& classOf);

    void add(std::unique_ptr<ExchangeRule> rule);

    bool movable(int student) const { return groupOf_[static_cast<std::size_t>(student)] >= 0; }
    // The students who may change places with each other share a group: same sex, same
    // category, not fixed. -1 for a fixed student.
    int group(int student) const { return groupOf_[static_cast<std::size_t>(student)]; }
    int groupCount() const { return groupCount_; }

    bool allows(const Exchange& exchange) const;
    // Tells every rule of an exchange that was made.
    void applied(const Exchange& exchange);

  private:
    std::vector<int> groupOf_;
    int groupCount_ = 0;
    std::vector<std::unique_ptr<ExchangeRule>> rules_;
};

}  // namespace qm::engine
