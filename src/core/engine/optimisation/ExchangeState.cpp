#include "engine/optimisation/ExchangeState.h"

namespace qm::engine {

ExchangeState::ExchangeState(const PlacedCohort& cohort, const BalanceGoal& goal,
                             const GroupPlan& groups)
    : cohort_(cohort),
      classCount_(cohort.classCount),
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

const ClassRoster& ExchangeState::roster() const {
    if (rosterStale_) {
        roster_ = ClassRoster(rules_, classOf_, classCount_);
        rosterStale_ = false;
    }
    return roster_;
}

void ExchangeState::apply(const Exchange& exchange, bool trial) {
    rules_.applied(exchange);
    objective_.apply(exchange);
    if (!rosterStale_) {
        roster_.apply(exchange);
    }
    classOf_[static_cast<std::size_t>(exchange.a)] = exchange.classB;
    classOf_[static_cast<std::size_t>(exchange.b)] = exchange.classA;
    if (recording_ && !trial) {
        record_.push_back(exchange);
    }
}

void ExchangeState::startRecord() {
    record_.clear();
    recording_ = true;
}

void ExchangeState::takeBack() {
    recording_ = false;
    for (auto it = record_.rbegin(); it != record_.rend(); ++it) {
        apply(it->reversed());
    }
    record_.clear();
}

void ExchangeState::keep() {
    recording_ = false;
    record_.clear();
}

double ExchangeState::moveChange(int student, int to) const {
    const int from = classOf(student);
    return rules_.allowsMove(student, from, to) ? objective_.moveChange(student, from, to)
                                                : BalanceObjective::kForbidden;
}

void ExchangeState::move(int student, int to) {
    const int from = classOf(student);
    rules_.moved(student, from, to);
    objective_.applyMove(student, from, to);
    classOf_[static_cast<std::size_t>(student)] = to;
    rosterStale_ = true;
}

double ExchangeState::refresh() {
    objective_.reset(classOf_);
    return objective_.value();
}

}  // namespace qm::engine
