#pragma once

#include "engine/optimisation/ExchangeState.h"
#include "engine/optimisation/ScoreNeighbours.h"
#include "engine/optimisation/SearchControl.h"

namespace qm::engine {

// A quick descent: every movable student in turn takes the best of the exchanges with the
// sixteen students of his group closest to him in total, when it lowers the objective; sweeps
// over all students repeat while they lower it, at most a fixed number of times.
class DescentSearch {
  public:
    DescentSearch(ExchangeState& state, const ScoreNeighbours& neighbours);
    void run(int maxSweeps, double minGain, SearchControl& control, double progressFrom,
             double progressTo);

  private:
    // True when the student's best exchange was made.
    bool improve(int student, double minGain);

    ExchangeState& state_;
    const ScoreNeighbours& neighbours_;
};

}  // namespace qm::engine
