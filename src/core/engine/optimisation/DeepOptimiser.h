#pragma once

#include <chrono>
#include <vector>

#include "engine/balance/PlacedCohort.h"
#include "engine/common/DivisionObserver.h"
#include "engine/groups/GroupPlan.h"
#include "engine/optimisation/BalanceObjective.h"

namespace qm::engine {

// The two strengths of 深度优化 a teacher can choose.
enum class OptimiseStrength {
    Averages = 0,  // 平均分优先: class averages as close as they can come, band spreads no worse
    Bands = 1,  // 分数段优先: band spreads of at most 4 first, class averages within about 1
};

// What 深度优化 aims at in each strength.
BalanceGoal goalOf(OptimiseStrength strength);

// The searches of 深度优化 in the order it runs them.
enum class SearchPhase {
    Annealing,     // exchanges tried widely, worse ones too at first (simulated annealing); class
                   // sizes are evened out before it starts
    Descent,       // every exchange that improves, one after another
    PairExchange,  // the best one or two exchanges between two classes at a time
};

// The search under way when 深度优化 reports `hundredths` of its progress (its progress reports,
// of stage kOptimisationStage, carry them as tuningPass out of tuningPasses 100).
SearchPhase searchPhaseAt(int hundredths);

// What 深度优化 did.
struct OptimisationOutcome {
    std::vector<int> classOf;  // the new class index of every student, in the cohort's order
    bool stoppedAtTimeCap = false;
};

// Whether new classes are better than the classes they came from, as a teacher sees them: no
// spread of class sizes, of the total's class averages, of a subject's class averages (the
// largest among the subjects) or of band head counts (the largest among the subjects) wider,
// and class sizes closer, the total's or the worst subject's spread narrower, or else the
// objective lower.
bool betterClasses(const PlacedCohort& cohort, const std::vector<int>& before,
                   const std::vector<int>& after, const BalanceGoal& goal);

// 深度优化 of divided classes: first evens out class sizes (SizeLeveller), then exchanges
// students between classes to lower the objective of BalanceObjective, keeping every rule of
// ExchangeRules (the teacher's groups among them). Three searches in turn: simulated annealing
// (about 2,000 steps per movable student), a quick descent, then the double-exchange search
// between two classes at a time until no pair of classes improves; then rounds that weigh the
// quantities with the widest spreads of class averages more and search on; last, kicks of an
// iterated local search (IteratedSearch). The n-th run on the same division (`run`, from 0)
// draws with a seed of its own; from the second run on, 平均分优先 searches on from the classes
// the run before left by kicks alone, more of them, and 分数段优先 anneals from a lower
// temperature, so that neither repeats the run before. Every bound is a number of steps derived
// from the cohort, so the same cohort and run always give the same classes; the time cap only
// guards against a machine far slower than any school's. The outcome is the classes it started from
// unless they are better (betterClasses).
class DeepOptimiser {
  public:
    static constexpr std::chrono::seconds kTimeCap{300};

    // groups: the teacher's groups, which every exchange keeps (an empty plan when there are
    // none).
    DeepOptimiser(const PlacedCohort& cohort, const GroupPlan& groups, OptimiseStrength strength,
                  int run, DivisionObserver& observer);
    // Raises OptimisationCancelled when the observer asks to stop.
    OptimisationOutcome run();

  private:
    const PlacedCohort& cohort_;
    const GroupPlan& groups_;
    OptimiseStrength strength_;
    int run_;
    DivisionObserver& observer_;
};

}  // namespace qm::engine
