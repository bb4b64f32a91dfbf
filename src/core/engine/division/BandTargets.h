#pragma once

#include <array>

#include "engine/common/Subject.h"

namespace qm::engine {

// The ideal head count of one class in every score band of every subject, for bands 0 to 1000.
// A band outside that range has target 0.
class BandTargets {
  public:
    static constexpr int kBands = 1001;

    // Sets a band's target; a band outside 0 to 1000 has no place and is ignored.
    void set(Subject subject, long long band, int target) {
        if (band >= 0 && band < kBands) {
            targets_[subject][static_cast<std::size_t>(band)] = target;
        }
    }
    int target(Subject subject, int band) const {
        return band >= 0 && band < kBands ? targets_[subject][static_cast<std::size_t>(band)] : 0;
    }

  private:
    std::array<std::array<int, kBands>, kSubjectCount> targets_{};
};

}  // namespace qm::engine
