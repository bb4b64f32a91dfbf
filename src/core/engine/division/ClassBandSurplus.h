#pragma once

#include <array>
#include <vector>

#include "engine/common/Subject.h"
#include "engine/division/BandTargets.h"
#include "engine/division/ClassTally.h"
#include "engine/division/PassStudent.h"

namespace qm::engine {

// How far each class's head count in a score band of a subject lies above the band's target
// (below: negative), as ClassTally::bandSurplus gives it, held in one flat table for the bands
// the movable students have, and kept up to date with every exchange: fine tuning asks it for
// every candidate it weighs. Other bands, and all bands when the movable students' bands lie far
// wider apart than any school's scores, are asked of the class itself.
class ClassBandSurplus {
  public:
    ClassBandSurplus(const std::vector<ClassTally>& classes, const BandTargets& targets);

    int at(int classIndex, Subject subject, int band) const {
        const unsigned index = static_cast<unsigned>(band - low_[subject]);
        if (index < static_cast<unsigned>(width_[subject])) {
            return surplus_[static_cast<std::size_t>(classIndex) * rowWidth_ + offset_[subject] +
                            index];
        }
        return classes_[classIndex].bandSurplus(subject, targets_, band);
    }

    // The student leaving has left the class and the student entering has joined it.
    void replaced(int classIndex, const PassStudent& leaving, const PassStudent& entering);

    // Whether every band of every movable student is held: then answersFor can be used.
    bool holdsEveryBand() const { return rowWidth_ != 0; }

    // Class c's band score when one movable student (the fixed side) leaves the class or joins
    // it and another movable student takes the other side: the class's bandSwapTest answers
    // summed over the subjects, read straight from the table. With the fixed side's surplus
    // given, an answer is 1 exactly when the other side's surplus lies beyond one threshold per
    // subject (below it when the other side joins, above it when it leaves), so a score costs a
    // comparison per subject. Valid until the class changes.
    class Answers {
      public:
        // The band score for a student with these bands on the other side.
        int score(const std::array<int, kSubjectCount>& bands) const {
            int sum = 0;
            for (int s = 0; s < kSubjectCount; ++s) {
                const long long other = sign_ * row_[shift_[s] + bands[s]];
                const int answer = other > threshold_[s] ? 1 : -1;
                sum += bands[s] != fixedBands_[s] ? answer : 0;
            }
            return sum;
        }

      private:
        friend class ClassBandSurplus;
        const int* row_ = nullptr;
        long long sign_ = 1;  // -1 when the other side joins: its surplus must lie below
        std::array<int, kSubjectCount> shift_{};  // per subject: index in the row minus band
        std::array<long long, kSubjectCount> threshold_{};
        std::array<int, kSubjectCount> fixedBands_{};
    };
    // The answers of class c for the fixed side; fixedJoins when that student joins the class
    // (the other side leaves it). Only when holdsEveryBand.
    Answers answersFor(int classIndex, const PassStudent& fixed, bool fixedJoins) const;

  private:
    static constexpr int kWidestRow = 1024;  // bands held per class, all subjects together

    const std::vector<ClassTally>& classes_;
    const BandTargets& targets_;
    std::array<int, kSubjectCount> low_{};
    std::array<int, kSubjectCount> width_{};  // 0 for every subject when nothing is held
    std::array<int, kSubjectCount> offset_{};
    std::size_t rowWidth_ = 0;
    std::vector<int> surplus_;  // per class, per subject, per band
};

}  // namespace qm::engine
