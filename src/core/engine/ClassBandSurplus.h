#pragma once

#include <array>
#include <vector>

#include "engine/BandTargets.h"
#include "engine/Subject.h"
#include "engine/Tdistribute.h"
#include "engine/Tstudent.h"

namespace qm::engine {

// How far each class's head count in a score band of a subject lies above the band's target
// (below: negative), as Tdistribute::bandSurplus gives it, held in one flat table for the bands
// the movable students have, and kept up to date with every exchange: fine tuning asks it for
// every candidate it weighs. Other bands, and all bands when the movable students' bands lie far
// wider apart than any school's scores, are asked of the class itself.
class ClassBandSurplus {
  public:
    ClassBandSurplus(const std::vector<Tdistribute>& classes, const BandTargets& targets);

    int at(int classIndex, Subject subject, int band) const {
        const unsigned index = static_cast<unsigned>(band - low_[subject]);
        if (index < static_cast<unsigned>(width_[subject])) {
            return surplus_[static_cast<std::size_t>(classIndex) * rowWidth_ + offset_[subject] +
                            index];
        }
        return classes_[classIndex].bandSurplus(subject, targets_, band);
    }

    // The student leaving has left the class and the student entering has joined it.
    void replaced(int classIndex, const Tstudent& leaving, const Tstudent& entering);

  private:
    static constexpr int kWidestRow = 1024;  // bands held per class, all subjects together

    const std::vector<Tdistribute>& classes_;
    const BandTargets& targets_;
    std::array<int, kSubjectCount> low_{};
    std::array<int, kSubjectCount> width_{};  // 0 for every subject when nothing is held
    std::array<int, kSubjectCount> offset_{};
    std::size_t rowWidth_ = 0;
    std::vector<int> surplus_;  // per class, per subject, per band
};

}  // namespace qm::engine
