#pragma once

#include <memory>
#include <vector>

#include "engine/balance/PlacedCohort.h"
#include "engine/groups/GroupPlan.h"
#include "engine/optimisation/ExchangeRule.h"

namespace qm::engine {

// Every rule an exchange of 深度优化 keeps, in one place. Built in: fixed students and the
// members of the teacher's 同班 groups never move (one member moving alone would leave its
// group; the group as a whole stays where it is), and only students of the same sex and the
// same category change places, so every class keeps its number of boys, of girls and of each
// category's members. Added as rules: students reading the same in pinyin are never brought
// together, nor the students of one of the teacher's 分开 groups; further rules join them
// through add().
class ExchangeRules {
  public:
    // With the pinyin rule and, when there are 分开 groups, their rule. An empty plan (the
    // default) adds no rule and holds nobody in place but the fixed students.
    ExchangeRules(const PlacedCohort& cohort, const std::vector<int>& classOf,
                  const GroupPlan& groups = {});

    void add(std::unique_ptr<ExchangeRule> rule);

    bool movable(int student) const { return groupOf_[static_cast<std::size_t>(student)] >= 0; }
    // The students who may change places with each other share an exchange group: same sex,
    // same category, free to move. -1 for a student who stays (fixed, or in a 同班 group).
    int group(int student) const { return groupOf_[static_cast<std::size_t>(student)]; }
    int groupCount() const { return groupCount_; }

    bool allows(const Exchange& exchange) const;
    // Tells every rule of an exchange that was made.
    void applied(const Exchange& exchange);
    // Whether a movable student may go to another class on his own, and telling every rule that
    // he did. Counts of sexes and categories are not a matter of these rules (see SizeLeveller).
    bool allowsMove(int student, int from, int to) const;
    void moved(int student, int from, int to);

  private:
    std::vector<int> groupOf_;
    int groupCount_ = 0;
    std::vector<std::unique_ptr<ExchangeRule>> rules_;
};

}  // namespace qm::engine
