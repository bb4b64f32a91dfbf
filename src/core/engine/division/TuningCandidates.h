#pragma once

#include <array>
#include <span>
#include <vector>

#include "engine/common/Subject.h"
#include "engine/division/PassStudent.h"

namespace qm::engine {

// The movable students of one sex as fine tuning meets them: numbered by position (class by
// class, slot by slot, in the order of the scan) and, to pick out the students whose totals lie
// in a window, sorted by total, all together and class by class. The entries sorted by total
// carry the students' score bands, so that a candidate's band head counts can be judged without
// looking the student up.
//
// An exchange makes two students change positions. Neither total leaves the order of all by
// total, so only the two entries' positions change there; in each of the two classes one total
// takes the place of another. An exchange costs the same whatever the cohort's size.
class TuningCandidates {
  public:
    struct Entry {
        double total;
        int position;
        std::array<int, kSubjectCount> bands;
    };
    struct Ranked {
        double total;
        int position;
    };

    // Adds the student in a slot of a class: classes in ascending order, slots ascending within.
    void add(int classIndex, int slot, const PassStudent& student);
    // Ends the adding; there are classCount classes in all.
    void finish(int classCount);

    int size() const { return static_cast<int>(classOf_.size()); }
    int classOf(int position) const { return classOf_[position]; }
    int slotOf(int position) const { return slotOf_[position]; }
    // The first position of a class; classCount gives the end of the last class.
    int classBegin(int classIndex) const { return classBegin_[classIndex]; }
    double total(int position) const { return totals_[position]; }
    const std::array<int, kSubjectCount>& bands(int position) const {
        return byTotal_[rank_[position]].bands;
    }
    // The entries whose totals lie between low and high (both included), ascending by total.
    std::span<const Entry> within(double low, double high) const;
    // The same among the students of one class.
    std::span<const Ranked> withinClass(int classIndex, double low, double high) const;

    // The students at two positions change places.
    void exchange(int first, int second);

  private:
    // The student at a position now has another total: its class's order follows.
    void retotal(int position, double total);

    std::vector<int> classOf_;     // per position
    std::vector<int> slotOf_;      // per position
    std::vector<double> totals_;   // per position, for scans in the order of positions
    std::vector<int> classBegin_;  // per class, one more entry at the end
    std::vector<Entry> byTotal_;   // ascending by total
    std::vector<int> rank_;        // per position: its entry in byTotal_
    // Per class, in the class's own positions, ascending by total.
    std::vector<Ranked> classByTotal_;
};

}  // namespace qm::engine
