#pragma once

#include <vector>

#include "engine/balance/PlacedCohort.h"
#include "engine/groups/GroupPlan.h"
#include "engine/optimisation/ClassKeyCounts.h"
#include "engine/optimisation/ExchangeRule.h"

namespace qm::engine {

// The teacher's 分开 groups are never brought together: an exchange is refused when either
// student would join a class that holds another student of one of its 分开 groups (the student
// it changes places with no longer counts there). Students of a group who already share a class
// (a division that could not part them) may stay where they are.
class ApartGroupRule : public ExchangeRule {
  public:
    ApartGroupRule(const PlacedCohort& cohort, const std::vector<int>& classOf,
                   const GroupPlan& groups);
    bool allows(const Exchange& exchange) const override;
    void applied(const Exchange& exchange) override;
    bool allowsMove(int student, int to) const override;
    void moved(int student, int from, int to) override;

  private:
    const std::vector<int>& keysOf(int student) const {
        return keysOf_[static_cast<std::size_t>(student)];
    }
    // Whether `entering` meets one of its 分开 partners in the class it joins, where `leaving`
    // (if any: -1 for none) makes room.
    bool meetsPartner(int entering, int joined, int leaving) const;
    void move(int student, int from, int to);

    std::vector<std::vector<int>> keysOf_;  // per student: the keys of its 分开 groups
    ClassKeyCounts counts_;  // per class and 分开 group: how many of its students the class has
};

}  // namespace qm::engine
