#include "engine/ExchangeState.h"

namespace qm::engine {

ExchangeState::ExchangeState(const PlacedCohort& cohort, const BalanceGoal& goal,
                             const GroupPlan& groups)
    : classCount_(cohort.classCount),
      classOf_(cohort.presentClasses()),
      rules_(cohort, classOf_, groups),
      objective_(cohort, classOf_, goal),
      roster_(rules_, classOf_, cohort.classCount) {
    for (std::size_t i = 0; i < classOf_.size(); ++i) {
        if (rules_.movable(static_cast<int>(i))) {
            movable_.push_back(static_cast<int>(i));
        }
    }
}

void ExchangeState::apply(const Exchange& exchange) {
    rules_.applied(exchange);
    objective_.apply(exchange);
    roster_.apply(exchange);
    classOf_[static_cast<std::size_t>(exchange.a)] = exchange.classB;
    classOf_[static_cast<std::size_t>(exchange.b)] = exchange.classA;
}

double ExchangeState::refresh() {
    objective_.reset(classOf_);
    return objective_.value();
}

}  // namespace qm::engine
