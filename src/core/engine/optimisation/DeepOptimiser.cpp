#include "engine/optimisation/DeepOptimiser.h"

#include <algorithm>

#include "engine/balance/BalanceFigures.h"
#include "engine/optimisation/AnnealingSearch.h"
#include "engine/optimisation/DescentSearch.h"
#include "engine/optimisation/ExchangeState.h"
#include "engine/optimisation/IteratedSearch.h"
#include "engine/optimisation/PairExchangeSearch.h"
#include "engine/optimisation/ScoreNeighbours.h"
#include "engine/optimisation/SearchControl.h"
#include "engine/optimisation/SizeLeveller.h"

namespace qm::engine {

namespace {

constexpr std::uint64_t kAnnealingSeed = 20240917;
// Each further run on the same division anneals with another seed, from this share of the
// starting temperature: warm enough to leave the classes the run before left, cool enough to
// end near them.
constexpr std::uint64_t kSeedPerRun = 0x9E3779B97F4A7C15ULL;
constexpr double kFurtherRunHeat = 0.3;
constexpr long long kAnnealingStepsPerStudent = 2000;
constexpr long long kMostAnnealingSteps = 6'000'000;
constexpr int kDescentSweeps = 20;
constexpr int kPairSweeps = 40;
// Three exchanges at a time between two classes cost more the more students there are: each
// pair of classes tries this many openings divided by the movable students, at most
// kMostOpenings; below kFewestOpenings the search is left out.
constexpr long long kOpeningsBudget = 20000;
constexpr int kMostOpenings = 64;
constexpr int kFewestOpenings = 4;
constexpr int kDeeperSweeps = 2;
// A spread of class averages that ends wider than it started (the total's, or a subject's
// beyond the widest the subjects had) gets its quantity weighed this much more, and the
// double-exchange search goes on, at most this many times.
constexpr double kRepairWeight = 4;
constexpr int kRepairRounds = 3;
// The spread a teacher reads first is the widest among the total and the subjects. Rounds that
// weigh the quantities whose spread is within kNearWidest of the widest kWidestWeight times more
// and let the double-exchange search go on; the rounds get kWidestBudget divided by the movable
// students, between 1 and kMostWidestRounds.
constexpr double kNearWidest = 0.8;
constexpr double kWidestWeight = 2;
constexpr long long kWidestBudget = 8000;
constexpr long long kMostWidestRounds = 24;
// Kicks of the iterated search that ends 深度优化 (kickCount): kKickBudget divided by the movable
// students, at most kKickSeats divided by the students a class holds, between kFewestKicks and
// kMostKicks, and in a first run at most kKicksPerClass per class; its draws come from the run's
// seed mixed with kKickSeed. A kick costs more the larger the classes, and few classes have few
// pairs to shake: 200 students in 4 classes, or 1,000 in 6, would otherwise wait seconds for
// kicks that gain little. A further run, which the teacher asks for to search on, is not held
// to the classes' count.
constexpr long long kKickBudget = 200000;
constexpr long long kKickSeats = 10000;
constexpr long long kKicksPerClass = 25;
constexpr long long kFewestKicks = 20;
constexpr long long kMostKicks = 300;
constexpr std::uint64_t kKickSeed = 0x5DEECE66DULL;
// A further run of 平均分优先 makes this many times the kicks of a first run.
constexpr long long kFurtherRunKicks = 4;
// Gains below this share of the objective are not worth an exchange.
constexpr double kRelativeMinGain = 1e-9;

// Shares of the progress bar.
constexpr double kAnnealingEnd = 0.6;
constexpr double kDescentEnd = 0.65;
constexpr double kPairsEnd = 0.85;
constexpr double kNarrowEnd = 0.9;

// Weighs more the quantities whose spread of class averages is now wider than it was: the
// total beyond its own, a subject beyond the widest of the subjects. False when there is none.
bool weighWiderSpreads(const PlacedCohort& cohort, const std::vector<int>& before,
                       ExchangeState& state) {
    const BalanceFigures old = measureBalance(cohort, before);
    const BalanceFigures now = measureBalance(cohort, state.placement());
    bool any = false;
    for (const auto& average : now.averages) {
        const double limit =
            average.quantity == kTotal ? old.totalSpread() : old.worstSubjectSpread();
        if (average.spread > limit) {
            state.weighMore(average.quantity, kRepairWeight);
            any = true;
        }
    }
    return any;
}

// The kicks of a run (see kKickBudget).
long long kickCount(long long movable, long long classCount, bool firstRun) {
    long long kicks = std::min(kKickBudget / movable, kKickSeats * classCount / movable);
    if (firstRun) {
        kicks = std::min(kicks, kKicksPerClass * classCount);
    }
    return std::clamp(kicks, kFewestKicks, kMostKicks);
}

// The widest spread of class averages among the total and the subjects taken.
double widestSpread(const BalanceFigures& figures) {
    return std::max(figures.totalSpread(), figures.worstSubjectSpread());
}

// Narrows the widest spreads of class averages in `rounds` rounds (see kNearWidest) and leaves
// the state at the best classes met on the way, by betterClasses, beginning with those it holds.
void narrowWidestSpreads(const PlacedCohort& cohort, ExchangeState& state, const BalanceGoal& goal,
                         long long rounds, double minGain, SearchControl& control) {
    std::vector<int> best = state.placement();
    state.startRecord();
    for (long long round = 0; round < rounds && !control.timeCapReached(); ++round) {
        const BalanceFigures now = measureBalance(cohort, state.placement());
        const double widest = widestSpread(now);
        for (const auto& average : now.averages) {
            if (average.spread >= kNearWidest * widest) {
                state.weighMore(average.quantity, kWidestWeight);
            }
        }
        state.refresh();
        PairExchangeSearch(state).run(kPairSweeps, minGain, control, kNarrowEnd, kNarrowEnd);
        if (betterClasses(cohort, best, state.placement(), goal)) {
            best = state.placement();
            state.keep();
            state.startRecord();
        }
    }
    state.takeBack();
    state.refresh();
}

}  // namespace

BalanceGoal goalOf(OptimiseStrength strength) {
    BalanceGoal goal;
    if (strength == OptimiseStrength::Bands) {
        goal.bandWeight = 0.05;
        goal.bandSpreadLimit = 4;
    } else {
        // The band limits keep the widest band spread of all subjects; the small weight only
        // prefers even bands where the averages do not mind.
        goal.bandWeight = 0.0005;
        goal.eachSubjectKeepsItsBands = false;
    }
    return goal;
}

bool betterClasses(const PlacedCohort& cohort, const std::vector<int>& before,
                   const std::vector<int>& after, const BalanceGoal& goal) {
    const BalanceFigures old = measureBalance(cohort, before);
    const BalanceFigures now = measureBalance(cohort, after);
    constexpr double kRounding = 1e-9;
    if (now.sizeSpread > old.sizeSpread || now.worstBandSpread() > old.worstBandSpread() ||
        now.totalSpread() > old.totalSpread() + kRounding ||
        now.worstSubjectSpread() > old.worstSubjectSpread() + kRounding) {
        return false;
    }
    // Even sizes come first, then the spreads a teacher reads.
    if (now.sizeSpread < old.sizeSpread || now.totalSpread() < old.totalSpread() - kRounding ||
        now.worstSubjectSpread() < old.worstSubjectSpread() - kRounding) {
        return true;
    }
    BalanceObjective objective(cohort, before, goal);
    const double objectiveBefore = objective.value();
    objective.reset(after);
    return objective.value() < objectiveBefore - kRounding * (1 + objectiveBefore);
}

SearchPhase searchPhaseAt(int hundredths) {
    const double share = hundredths / 100.0;
    if (share < kAnnealingEnd) {
        return SearchPhase::Annealing;
    }
    return share < kDescentEnd ? SearchPhase::Descent : SearchPhase::PairExchange;
}

DeepOptimiser::DeepOptimiser(const PlacedCohort& cohort, const GroupPlan& groups,
                             OptimiseStrength strength, int run, DivisionObserver& observer)
    : cohort_(cohort), groups_(groups), strength_(strength), run_(run), observer_(observer) {}

OptimisationOutcome DeepOptimiser::run() {
    OptimisationOutcome outcome;
    outcome.classOf = cohort_.presentClasses();
    if (cohort_.students.empty() || cohort_.classCount < 2) {
        return outcome;
    }
    const BalanceGoal goal = goalOf(strength_);
    ExchangeState state(cohort_, goal, groups_);
    if (state.movable().empty()) {
        return outcome;
    }
    SearchControl control(observer_, kTimeCap);
    SizeLeveller(cohort_, state).run();
    const double minGain = kRelativeMinGain * (1 + state.refresh());
    const ScoreNeighbours neighbours(cohort_, state);
    const auto movable = static_cast<long long>(state.movable().size());

    const std::uint64_t seed = kAnnealingSeed + static_cast<std::uint64_t>(run_) * kSeedPerRun;
    const long long kicks = kickCount(movable, cohort_.classCount, run_ == 0);
    PairExchangeSearch settling(state);
    if (run_ > 0 && strength_ == OptimiseStrength::Averages) {
        // A further run of 平均分优先 goes on from the classes the run before left, by kicks
        // alone (draws of its own, and more of them): annealing again would leave the even
        // classes it found for a search that seldom comes back as close.
        // Its progress starts where the double-exchange search starts in a first run, so that
        // the phase shown is the one under way.
        settling.run(kPairSweeps, minGain, control, kDescentEnd, kPairsEnd);
        IteratedSearch(state, settling, goal, outcome.classOf, seed ^ kKickSeed)
            .run(kFurtherRunKicks * kicks, minGain, control, kPairsEnd, 1);
    } else {
        AnnealingSearch(state, neighbours, seed)
            .run(std::min(kAnnealingStepsPerStudent * movable, kMostAnnealingSteps),
                 run_ == 0 ? 1.0 : kFurtherRunHeat, control, 0, kAnnealingEnd);
        state.refresh();
        if (!control.timeCapReached()) {
            DescentSearch(state, neighbours)
                .run(kDescentSweeps, minGain, control, kAnnealingEnd, kDescentEnd);
            state.refresh();
        }
        PairExchangeSearch pairs(state);
        if (!control.timeCapReached()) {
            pairs.run(kPairSweeps, minGain, control, kDescentEnd, kPairsEnd);
        }
        const long long openings = std::min<long long>(kMostOpenings, kOpeningsBudget / movable);
        if (!control.timeCapReached() && openings >= kFewestOpenings) {
            pairs.runDeeper(kDeeperSweeps, static_cast<int>(openings), minGain, control, kPairsEnd,
                            kNarrowEnd);
        }
        for (int round = 0; round < kRepairRounds && !control.timeCapReached() &&
                            !betterClasses(cohort_, outcome.classOf, state.placement(), goal);
             ++round) {
            if (!weighWiderSpreads(cohort_, outcome.classOf, state)) {
                break;
            }
            state.refresh();
            PairExchangeSearch(state).run(kPairSweeps, minGain, control, kNarrowEnd, kNarrowEnd);
        }
        narrowWidestSpreads(cohort_, state, goal,
                            std::clamp(kWidestBudget / movable, 1LL, kMostWidestRounds), minGain,
                            control);
        IteratedSearch(state, settling, goal, outcome.classOf, seed ^ kKickSeed)
            .run(kicks, minGain, control, kNarrowEnd, 1);
    }
    const std::vector<int> found = state.placement();
    control.proceed(1);
    outcome.stoppedAtTimeCap = control.timeCapReached();
    if (betterClasses(cohort_, outcome.classOf, found, goal)) {
        outcome.classOf = found;
    }
    return outcome;
}

}  // namespace qm::engine
