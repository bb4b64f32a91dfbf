#include "engine/division/ArrangementHistory.h"

#include <functional>

namespace qm::engine {

ArrangementHistory::ArrangementHistory(const std::vector<ClassTally>& classes) {
    arrangements_.push_back(arrangementOf(classes));
    byHash_.emplace(hashOf(arrangements_.back()), 0);
}

std::optional<int> ArrangementHistory::record(const std::vector<ClassTally>& classes,
                                              const TuningCounts& counts) {
    Arrangement now = arrangementOf(classes);
    const std::uint64_t hash = hashOf(now);
    counts_.push_back(counts);
    const auto [first, last] = byHash_.equal_range(hash);
    for (auto it = first; it != last; ++it) {
        if (arrangements_[it->second] == now) {
            return it->second;
        }
    }
    arrangements_.push_back(std::move(now));
    byHash_.emplace(hash, static_cast<int>(arrangements_.size()) - 1);
    return std::nullopt;
}

void ArrangementHistory::restore(int pass, std::vector<ClassTally>& classes) const {
    const Arrangement& arrangement = arrangements_[pass];
    std::size_t position = 0;
    for (auto& tally : classes) {
        for (int slot = 0; slot < tally.count(); ++slot, ++position) {
            if (tally.students[slot] != arrangement[position]) {
                tally.replace(slot, arrangement[position]);
            }
        }
    }
}

ArrangementHistory::Arrangement ArrangementHistory::arrangementOf(
    const std::vector<ClassTally>& classes) {
    Arrangement arrangement;
    for (const auto& tally : classes) {
        arrangement.insert(arrangement.end(), tally.students.begin(), tally.students.end());
    }
    return arrangement;
}

std::uint64_t ArrangementHistory::hashOf(const Arrangement& arrangement) {
    std::uint64_t hash = 1469598103934665603ULL;
    for (const PassStudent* student : arrangement) {
        hash ^= std::hash<const PassStudent*>{}(student);
        hash *= 1099511628211ULL;
    }
    return hash;
}

}  // namespace qm::engine
