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

    // Whether every band of every movable student is held: then answersFor can be used.
    bool holdsEveryBand() const { return rowWidth_ != 0; }

    // The answers of class c's bandSwapTest, summed into a band score, when one movable student
    // (the fixed side) leaves the class or joins it and any other movable student takes the
    // other side: one entry per held band, 0 for the fixed side's own band, where the subject
    // does not change. The answers change only when the class does.
    class Answers {
      public:
        // The band score for a student with these bands on the other side.
        int score(const std::array<int, kSubjectCount>& bands) const {
            int sum = 0;
            for (int s = 0; s < kSubjectCount; ++s) {
                sum += table_[static_cast<std::size_t>(shift_[s] + bands[s])];
            }
            return sum;
        }

      private:
        friend class ClassBandSurplus;
        std::vector<int> table_;
        std::array<int, kSubjectCount> shift_{};  // per subject: table index minus band
    };
    // Fills answers for class c and the fixed side; fixedJoins when that student joins the class
    // (the other side leaves it). Only when holdsEveryBand.
    void answersFor(int classIndex, const Tstudent& fixed, bool fixedJoins, Answers& answers) const;

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
