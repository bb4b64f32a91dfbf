#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "engine/balance/BalanceFigures.h"
#include "engine/common/DeterministicRandom.h"
#include "engine/optimisation/BalanceObjective.h"
#include "engine/optimisation/ExchangeState.h"
#include "engine/optimisation/PairExchangeSearch.h"
#include "engine/optimisation/SearchControl.h"

namespace qm::engine {

// Searches on from classes the double-exchange search can no longer improve (iterated local
// search): each kick shakes up two classes by a few exchanges drawn at random, the double-exchange
// search settles the classes again, and the result is kept when it is narrower, else every
// exchange of the kick is taken back. Narrower: class sizes and the widest band spread no
// wider, the widest spread of class averages (the total's or a subject's, whichever is wider)
// narrower, or as wide with the objective lower; and neither the total's spread nor the widest
// subject spread wider than in the classes 深度优化 started from, so that what it keeps is
// better classes than those (betterClasses). The two classes are those
// whose averages lie furthest apart in the quantity (the total or a subject) whose class
// averages spread widest, or one of them with a class drawn at random, in turn: the spread a
// teacher reads first is narrowed where it is decided. The draws come from the seed, so the same
// classes and seed give the same result.
class IteratedSearch {
  public:
    // start: the classes 深度优化 started from.
    IteratedSearch(ExchangeState& state, PairExchangeSearch& pairs, const BalanceGoal& goal,
                   const std::vector<int>& start, std::uint64_t seed);

    // At most `kicks` kicks; returns how many were kept.
    int run(long long kicks, double minGain, SearchControl& control, double progressFrom,
            double progressTo);

  private:
    // The classes with the lowest and the highest average in the quantity whose class averages
    // spread widest.
    std::pair<int, int> furthestApart() const;
    // The two classes of the kick-th kick.
    std::pair<int, int> classesToShake(long long kick);
    // A few exchanges drawn at random between the two classes, each keeping every rule.
    void shake(int first, int second);
    // The classes kept so far, their figures, and their objective once it was needed.
    struct Held {
        std::vector<int> placement;
        BalanceFigures figures;
        std::optional<double> objective;
    };
    // Whether the classes now, whose figures are `now`, are narrower than the held ones (see
    // above); when they are narrower by the objective alone, the held objective becomes theirs.
    bool narrower(Held& held, const BalanceFigures& now) const;
    double objectiveOf(const std::vector<int>& placement) const;

    ExchangeState& state_;
    PairExchangeSearch& pairs_;
    BalanceGoal goal_;
    BalanceFigures ceiling_;
    DeterministicRandom random_;
};

}  // namespace qm::engine
