#include "engine/optimisation/IteratedSearch.h"

#include <algorithm>
#include <limits>

#include "engine/balance/BalanceFigures.h"

namespace qm::engine {

namespace {

// Exchanges made by one shake, and draws tried to find them.
constexpr int kShakeExchanges = 2;
constexpr int kShakeDraws = 40;
// The double-exchange search after a shake: the pairs of each shaken class with the most to
// gain, and of the classes that change on the way, in a few sweeps.
constexpr int kSettlePairs = 3;
constexpr int kSettleSweeps = 3;

}  // namespace

IteratedSearch::IteratedSearch(ExchangeState& state, PairExchangeSearch& pairs,
                               const BalanceGoal& goal, const std::vector<int>& start,
                               std::uint64_t seed)
    : state_(state),
      pairs_(pairs),
      goal_(goal),
      ceiling_(measureBalance(state.cohort(), start)),
      random_(seed) {}

std::pair<int, int> IteratedSearch::furthestApart() const {
    const BalanceObjective& objective = state_.objective();
    double widest = -1;
    std::pair<int, int> classes{0, 1};
    for (std::size_t q = 0; q < objective.quantityCount(); ++q) {
        double low = std::numeric_limits<double>::max();
        double high = std::numeric_limits<double>::lowest();
        int lowClass = 0;
        int highClass = 0;
        for (int c = 0; c < state_.classCount(); ++c) {
            if (objective.classSize(c) == 0) {
                continue;
            }
            const double deviation = objective.classDeviation(c, q);
            if (deviation < low) {
                low = deviation;
                lowClass = c;
            }
            if (deviation > high) {
                high = deviation;
                highClass = c;
            }
        }
        if (high - low > widest && lowClass != highClass) {
            widest = high - low;
            classes = {lowClass, highClass};
        }
    }
    return classes;
}

std::pair<int, int> IteratedSearch::classesToShake(long long kick) {
    const auto [low, high] = furthestApart();
    if (kick % 3 == 0 || state_.classCount() < 3) {
        return {low, high};
    }
    const int kept = kick % 3 == 1 ? low : high;
    int other = random_.below(state_.classCount() - 1);
    other += other >= kept ? 1 : 0;
    return {kept, other};
}

void IteratedSearch::shake(int first, int second) {
    const ClassRoster& roster = state_.roster();
    int made = 0;
    for (int draw = 0; draw < kShakeDraws && made < kShakeExchanges; ++draw) {
        const int group = random_.below(roster.groupCount());
        const auto& ours = roster.members(first, group);
        const auto& theirs = roster.members(second, group);
        if (ours.empty() || theirs.empty()) {
            continue;
        }
        const Exchange exchange{
            ours[static_cast<std::size_t>(random_.below(static_cast<int>(ours.size())))],
            theirs[static_cast<std::size_t>(random_.below(static_cast<int>(theirs.size())))], first,
            second};
        if (state_.change(exchange) != BalanceObjective::kForbidden) {
            state_.apply(exchange);
            ++made;
        }
    }
}

double IteratedSearch::objectiveOf(const std::vector<int>& placement) const {
    return BalanceObjective(state_.cohort(), placement, goal_).value();
}

bool IteratedSearch::narrower(Held& held, const BalanceFigures& now) const {
    constexpr double kRounding = 1e-9;
    const BalanceFigures& old = held.figures;
    const double oldWidest = std::max(old.totalSpread(), old.worstSubjectSpread());
    const double nowWidest = std::max(now.totalSpread(), now.worstSubjectSpread());
    if (now.sizeSpread > old.sizeSpread || now.worstBandSpread() > old.worstBandSpread() ||
        nowWidest > oldWidest + kRounding ||
        now.totalSpread() > ceiling_.totalSpread() + kRounding ||
        now.worstSubjectSpread() > ceiling_.worstSubjectSpread() + kRounding) {
        return false;
    }
    if (nowWidest < oldWidest - kRounding) {
        held.objective.reset();
        return true;
    }
    if (!held.objective) {
        held.objective = objectiveOf(held.placement);
    }
    const double objectiveNow = objectiveOf(state_.placement());
    if (objectiveNow < *held.objective - kRounding * (1 + *held.objective)) {
        held.objective = objectiveNow;
        return true;
    }
    return false;
}

int IteratedSearch::run(long long kicks, double minGain, SearchControl& control,
                        double progressFrom, double progressTo) {
    int kept = 0;
    // The classes kept so far and their figures, measured once per kept kick rather than once
    // per kick.
    Held held{state_.placement(), measureBalance(state_.cohort(), state_.placement()), {}};
    for (long long kick = 0; kick < kicks; ++kick) {
        const double done = static_cast<double>(kick) / static_cast<double>(kicks);
        if (!control.proceed(progressFrom + (progressTo - progressFrom) * done)) {
            break;
        }
        state_.startRecord();
        const auto [first, second] = classesToShake(kick);
        shake(first, second);
        pairs_.settle({first, second}, kSettlePairs, kSettleSweeps, minGain);
        BalanceFigures now = measureBalance(state_.cohort(), state_.placement());
        if (narrower(held, now)) {
            state_.keep();
            held.placement = state_.placement();
            held.figures = std::move(now);
            ++kept;
        } else {
            state_.takeBack();
        }
    }
    state_.refresh();
    return kept;
}

}  // namespace qm::engine
