#include "engine/optimisation/ScoreNeighbours.h"

#include <algorithm>

namespace qm::engine {

ScoreNeighbours::ScoreNeighbours(const PlacedCohort& cohort, const ExchangeState& state)
    : lines_(static_cast<std::size_t>(state.rules().groupCount())),
      groupOf_(cohort.students.size(), -1),
      rank_(cohort.students.size(), -1) {
    for (int student : state.movable()) {
        groupOf_[static_cast<std::size_t>(student)] = state.rules().group(student);
        lines_[static_cast<std::size_t>(state.rules().group(student))].push_back(student);
    }
    for (auto& line : lines_) {
        // Equal totals keep the cohort's order, so the line is the same everywhere.
        std::stable_sort(line.begin(), line.end(), [&](int a, int b) {
            return cohort.students[static_cast<std::size_t>(a)].values[kTotal] <
                   cohort.students[static_cast<std::size_t>(b)].values[kTotal];
        });
        for (std::size_t r = 0; r < line.size(); ++r) {
            rank_[static_cast<std::size_t>(line[r])] = static_cast<int>(r);
        }
    }
}

int ScoreNeighbours::neighbour(int student, int offset) const {
    const auto& line =
        lines_[static_cast<std::size_t>(groupOf_[static_cast<std::size_t>(student)])];
    const long long place =
        static_cast<long long>(rank_[static_cast<std::size_t>(student)]) + offset;
    return place >= 0 && place < static_cast<long long>(line.size())
               ? line[static_cast<std::size_t>(place)]
               : -1;
}

int ScoreNeighbours::member(int student, std::uint64_t pick) const {
    const auto& line =
        lines_[static_cast<std::size_t>(groupOf_[static_cast<std::size_t>(student)])];
    return line[static_cast<std::size_t>(pick % line.size())];
}

}  // namespace qm::engine
