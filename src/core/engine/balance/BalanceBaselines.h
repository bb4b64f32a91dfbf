#pragma once

#include <cstdint>
#include <vector>

#include "engine/balance/PlacedCohort.h"

namespace qm::engine {

// Two simple ways of dividing the same students, to show how much better a division is than
// what anyone could do by hand. Both keep the fixed students where they are and give every class
// as many students of each sex as it holds now, so head counts and sexes come out the same and
// only who goes where differs. Each returns a class index per student, in the cohort's order.

// The seed of the random division shown beside a project's figures.
inline constexpr std::uint64_t kRandomBaselineSeed = 20240901;

// The students of each sex in a random order, dealt into the places of that sex.
std::vector<int> randomDivision(const PlacedCohort& cohort, std::uint64_t seed);

// The students of each sex by descending total (equal totals by student number) dealt like a
// serpentine draft: class 1, 2, ..., N, then N, ..., 2, 1, and so on, a class that has all its
// places of that sex being passed over.
std::vector<int> serpentineDivision(const PlacedCohort& cohort);

}  // namespace qm::engine
