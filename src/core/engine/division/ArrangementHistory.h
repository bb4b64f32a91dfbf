#pragma once

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

#include "engine/division/ClassTally.h"
#include "engine/division/FineTuner.h"

namespace qm::engine {

// The arrangements of the classes (who sits in which slot) before the first fine-tuning pass of
// a sex and after each pass. A pass depends on nothing but the arrangement it starts from, so once
// a pass leads back to an arrangement seen before, every later pass repeats an earlier one.
class ArrangementHistory {
  public:
    explicit ArrangementHistory(const std::vector<ClassTally>& classes);

    // Records the arrangement after the next pass and what that pass did. Returns the number of
    // the earlier pass after which the classes stood exactly the same (0: before the first).
    std::optional<int> record(const std::vector<ClassTally>& classes, const TuningCounts& counts);
    // What pass number (from 1) did.
    const TuningCounts& countsOf(int pass) const { return counts_[pass - 1]; }
    // Puts the students back as they stood after that pass (0: before the first).
    void restore(int pass, std::vector<ClassTally>& classes) const;

  private:
    using Arrangement = std::vector<PassStudent*>;
    static Arrangement arrangementOf(const std::vector<ClassTally>& classes);
    static std::uint64_t hashOf(const Arrangement& arrangement);

    std::vector<Arrangement> arrangements_;
    std::vector<TuningCounts> counts_;
    std::unordered_multimap<std::uint64_t, int> byHash_;
};

}  // namespace qm::engine
