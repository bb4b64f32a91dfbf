#pragma once

#include <cstdint>
#include <vector>

#include "engine/optimisation/ExchangeState.h"

namespace qm::engine {

// The movable students of every exchange group lined up by total, so that the partners closest
// in score to a student are found at once: the likeliest exchanges to make small, useful steps.
class ScoreNeighbours {
  public:
    ScoreNeighbours(const PlacedCohort& cohort, const ExchangeState& state);

    // The student `offset` places above (positive) or below (negative) in the student's group,
    // or -1 when the line ends before.
    int neighbour(int student, int offset) const;
    // A student of the same group chosen by a number from 0 up (taken modulo the group's size).
    int member(int student, std::uint64_t pick) const;

  private:
    std::vector<std::vector<int>> lines_;  // per group, by ascending total
    std::vector<int> groupOf_;             // per student, -1 when fixed
    std::vector<int> rank_;                // per student: place in its line
};

}  // namespace qm::engine
