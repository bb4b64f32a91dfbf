#include "engine/DeepOptimiser.h"

#include "engine/AnnealingSearch.h"
#include "engine/DescentSearch.h"
#include "engine/ExchangeState.h"
#include "engine/PairExchangeSearch.h"
#include "engine/ScoreNeighbours.h"
#include "engine/SearchControl.h"

namespace qm::engine {

namespace {

constexpr std::uint64_t kAnnealingSeed = 20240917;
constexpr long long kAnnealingStepsPerStudent = 2000;
constexpr int kDescentSweeps = 20;
constexpr int kPairSweeps = 40;
// Gains below this share of the objective are not worth an exchange.
constexpr double kRelativeMinGain = 1e-9;

// Shares of the progress bar.
constexpr double kAnnealingEnd = 0.6;
constexpr double kDescentEnd = 0.65;

}  // namespace

BalanceGoal goalOf(OptimiseStrength strength) {
    BalanceGoal goal;
    if (strength == OptimiseStrength::Bands) {
        goal.bandWeight = 0.05;
        goal.bandSpreadLimit = 4;
    } else {
        goal.bandWeight = 0.004;
    }
    return goal;
}

SearchPhase searchPhaseAt(int hundredths) {
    const double share = hundredths / 100.0;
    if (share < kAnnealingEnd) {
        return SearchPhase::Annealing;
    }
    return share < kDescentEnd ? SearchPhase::Descent : SearchPhase::PairExchange;
}

DeepOptimiser::DeepOptimiser(const PlacedCohort& cohort, const GroupPlan& groups,
                             OptimiseStrength strength, DivisionObserver& observer)
    : cohort_(cohort), groups_(groups), strength_(strength), observer_(observer) {}

OptimisationOutcome DeepOptimiser::run() {
    OptimisationOutcome outcome;
    outcome.classOf = cohort_.presentClasses();
    if (cohort_.students.empty() || cohort_.classCount < 2) {
        return outcome;
    }
    ExchangeState state(cohort_, goalOf(strength_), groups_);
    const double objectiveBefore = state.refresh();
    if (state.movable().size() < 2) {
        return outcome;
    }
    const double minGain = kRelativeMinGain * (1 + objectiveBefore);
    SearchControl control(observer_, kTimeCap);
    const ScoreNeighbours neighbours(cohort_, state);

    AnnealingSearch(state, neighbours, kAnnealingSeed)
        .run(kAnnealingStepsPerStudent * static_cast<long long>(state.movable().size()), control, 0,
             kAnnealingEnd);
    state.refresh();
    if (!control.timeCapReached()) {
        DescentSearch(state, neighbours)
            .run(kDescentSweeps, minGain, control, kAnnealingEnd, kDescentEnd);
        state.refresh();
    }
    if (!control.timeCapReached()) {
        PairExchangeSearch(state).run(kPairSweeps, minGain, control, kDescentEnd, 1);
    }
    control.proceed(1);
    outcome.stoppedAtTimeCap = control.timeCapReached();
    const double after = state.refresh();
    if (after < objectiveBefore) {
        outcome.classOf = state.placement();
    }
    return outcome;
}

}  // namespace qm::engine
