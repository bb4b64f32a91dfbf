#pragma once

#include <vector>

#include "engine/optimisation/ExchangeRule.h"
#include "engine/optimisation/ExchangeRules.h"

namespace qm::engine {

// The movable students of every class, by exchange group (see ExchangeRules), kept up to date
// with every exchange: who could change places between two classes.
class ClassRoster {
  public:
    ClassRoster(const ExchangeRules& rules, const std::vector<int>& classOf, int classCount);

    const std::vector<int>& members(int classIndex, int group) const {
        return members_[index(classIndex, group)];
    }
    int groupCount() const { return groupCount_; }
    void apply(const Exchange& exchange);

  private:
    std::size_t index(int classIndex, int group) const {
        return static_cast<std::size_t>(classIndex) * static_cast<std::size_t>(groupCount_) +
               static_cast<std::size_t>(group);
    }

    int groupCount_;
    std::vector<std::vector<int>> members_;  // per class and group
    std::vector<int> slot_;                  // per student: place in its list
    std::vector<int> group_;                 // per student
};

}  // namespace qm::engine
