#pragma once

#include <vector>

#include "engine/balance/PlacedCohort.h"
#include "engine/groups/GroupPlan.h"
#include "engine/optimisation/BalanceObjective.h"
#include "engine/optimisation/ClassRoster.h"
#include "engine/optimisation/ExchangeRules.h"

namespace qm::engine {

// The classes while 深度优化 works on them: where every student sits, the rules, the objective
// and the roster of movable students, all changed together by apply() and move().
class ExchangeState {
  public:
    ExchangeState(const PlacedCohort& cohort, const BalanceGoal& goal, const GroupPlan& groups);

    const PlacedCohort& cohort() const { return cohort_; }
    const std::vector<int>& placement() const { return classOf_; }
    int classOf(int student) const { return classOf_[static_cast<std::size_t>(student)]; }
    Exchange exchangeOf(int a, int b) const { return {a, b, classOf(a), classOf(b)}; }
    // The movable students, in cohort order.
    const std::vector<int>& movable() const { return movable_; }
    const ExchangeRules& rules() const { return rules_; }
    const ClassRoster& roster() const;
    const BalanceObjective& objective() const { return objective_; }
    int classCount() const { return classCount_; }

    // How much the exchange changes the objective, or BalanceObjective::kForbidden when a rule
    // or a band limit forbids it.
    double change(const Exchange& exchange) const {
        return rules_.allows(exchange) && objective_.bandsAllow(exchange)
                   ? objective_.change(exchange)
                   : BalanceObjective::kForbidden;
    }
    // The same with the band limits left aside, for an exchange that is judged together with
    // others (see BalanceObjective::spreadsKept).
    double changeIgnoringBands(const Exchange& exchange) const {
        return rules_.allows(exchange) ? objective_.change(exchange) : BalanceObjective::kForbidden;
    }
    // Makes the exchange. A trial and the exchange that puts it back (both `trial`) are left
    // out of the record that takeBack() undoes.
    void apply(const Exchange& exchange, bool trial = false);

    // A movable student going to another class on his own: the change of the objective, or
    // kForbidden when a rule or a band limit forbids it. Sexes and categories are the caller's
    // matter (see SizeLeveller).
    double moveChange(int student, int to) const;
    void move(int student, int to);

    // Keeps a record of the exchanges made from now on, so that takeBack() can undo them.
    void startRecord();
    // Undoes the exchanges made since startRecord() and stops recording.
    void takeBack();
    // Keeps the exchanges made since startRecord() and stops recording.
    void keep();

    // See BalanceObjective::weighMore.
    void weighMore(int quantity, double factor) { objective_.weighMore(quantity, factor); }
    // Takes the objective afresh from the placement, dropping the rounding that running updates
    // gather, and returns it.
    double refresh();

  private:
    const PlacedCohort& cohort_;
    int classCount_;
    std::vector<int> classOf_;
    std::vector<int> movable_;
    ExchangeRules rules_;
    BalanceObjective objective_;
    // Moves change the lengths of the roster's lists; it is listed afresh when next asked for.
    mutable ClassRoster roster_;
    mutable bool rosterStale_ = false;
    bool recording_ = false;
    std::vector<Exchange> record_;
};

}  // namespace qm::engine
