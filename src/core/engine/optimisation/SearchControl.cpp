#include "engine/optimisation/SearchControl.h"

#include <algorithm>

namespace qm::engine {

SearchControl::SearchControl(DivisionObserver& observer, std::chrono::seconds timeCap)
    : observer_(observer), deadline_(std::chrono::steady_clock::now() + timeCap) {}

bool SearchControl::proceed(double done) {
    if (observer_.cancelRequested()) {
        throw OptimisationCancelled();
    }
    const int hundredths = std::clamp(static_cast<int>(done * 100), 0, 100);
    if (hundredths != reported_) {
        reported_ = hundredths;
        DivisionProgress progress;
        progress.stage = kOptimisationStage;
        progress.tuningPass = hundredths;
        progress.tuningPasses = 100;
        observer_.progress(progress);
    }
    capped_ = capped_ || std::chrono::steady_clock::now() >= deadline_;
    return !capped_;
}

}  // namespace qm::engine
