#pragma once

#include <chrono>

#include "engine/common/DivisionObserver.h"

namespace qm::engine {

// The stage of 深度优化's progress reports.
inline constexpr const char* kOptimisationStage = "深度优化";

// Raised when the user stops 深度优化; the tables are then as they were before it.
struct OptimisationCancelled : DivisionCancelled {
    OptimisationCancelled() : DivisionCancelled("深度优化") {}
};

// Where a search stands, told to the front as progress (stage 深度优化, in hundredths), and
// whether it may go on: the user may cancel, and a time cap stops a search that runs far longer
// than its step bounds should ever take on any machine. The steps, not the clock, bound the
// search; the cap is only a safety net.
class SearchControl {
  public:
    SearchControl(DivisionObserver& observer, std::chrono::seconds timeCap);

    // done: the share of the whole search done, 0 to 1. Raises OptimisationCancelled when the
    // user asked to stop; false once the time cap is reached.
    bool proceed(double done);
    bool timeCapReached() const { return capped_; }

  private:
    DivisionObserver& observer_;
    std::chrono::steady_clock::time_point deadline_;
    int reported_ = -1;
    bool capped_ = false;
};

}  // namespace qm::engine
