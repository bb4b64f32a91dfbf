#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "engine/common/KeptSum.h"
#include "engine/common/Subject.h"
#include "engine/division/BandTargets.h"
#include "engine/division/KeyCountTable.h"
#include "engine/division/PassStudent.h"

namespace qm::engine {

// One class being filled by a division pass: its students in the order they joined, its head
// counts, and the tallies the class choice and fine tuning ask about. Besides the list it keeps,
// up to date with every change, the sum of every score and of the totals, the head count of every
// score band and of every pinyin, so that each question costs the same whatever the class size.
// It refers to its students without owning them.
class ClassTally {
  public:
    // Appends a student; boys and girls count the trimmed sex texts 男 and 女.
    void addStudent(PassStudent* student);
    // boys for exactly "男", girls for exactly "女", 0 for any other text.
    int sexCount(std::string_view sex) const;

    // A class average as the balance rules read it: the students' values added from first to
    // last, divided by the head count. Walks the list.
    double average(int quantity) const;
    double avgTotal() const { return average(kTotal); }
    // The same left-to-right sum with the student in one slot replaced by another (slot -1:
    // none replaced): the sum the class would have after an exchange in that slot.
    double walkedSum(int quantity, int slot, const PassStudent* substitute) const;
    const KeptSum& keptSum(int quantity) const { return sums_[quantity]; }

    // How many students share the band of the score in the subject of the code; 0 for a code
    // that is not one of the nine.
    int bandCount(std::string_view code, double score) const;
    int bandCount(Subject subject, int band) const { return bandColumns_[subject].count(band); }
    // Whether exchanging a student of this class with the leaving score for one with the
    // entering score suits this class's band head counts in the subject: 1, 0 (same band, or a
    // code that is not one of the nine) or -1.
    int bandSwapTest(std::string_view code, const BandTargets& targets, double leaving,
                     double entering) const;
    int bandSwapTest(Subject subject, const BandTargets& targets, int leavingBand,
                     int enteringBand) const {
        if (leavingBand == enteringBand) {
            return 0;
        }
        return bandSwapAnswer(bandSurplus(subject, targets, leavingBand),
                              bandSurplus(subject, targets, enteringBand));
    }
    // How far the class's head count in a band lies above the band's target (below: negative).
    int bandSurplus(Subject subject, const BandTargets& targets, int band) const {
        return bandCount(subject, band) - targets.target(subject, band);
    }
    // The answer of bandSwapTest for two different bands, from the class's surplus in the band
    // the exchange takes a student from and in the band it brings one to: 1 when the class is
    // over its target in the first and under it in the second, or when the first surplus exceeds
    // the second by more than the band tolerance; otherwise -1.
    int bandSwapAnswer(int leavingSurplus, int enteringSurplus) const {
        // Both conditions are worked out without a jump between them: fine tuning asks this for
        // many candidates, and which one holds cannot be foreseen.
        const bool overAndUnder = (leavingSurplus > 0) & (enteringSurplus < 0);
        const bool fartherApart = leavingSurplus - enteringSurplus > inter;
        return 2 * static_cast<int>(overAndUnder | fartherApart) - 1;
    }

    // Pinyin questions by pinyin key (PassStudent::pinyinKey).
    int pinyinCount(int pinyinKey) const;
    bool hasPinyin(int pinyinKey) const { return pinyinCount(pinyinKey) > 0; }
    // True when a student with another id holds this pinyin.
    bool hasOtherPinyin(int studentId, int pinyinKey) const;

    // How many places the class holds in the 分开 group of this key: its students counted in the
    // group (PassStudent::apartKeys) and the places held for it by holdApartPlaces.
    int apartCount(int apartKey) const;
    // Holds (delta 1) or frees (delta -1) a place in each of these 分开 groups, for students
    // who sit in the class without being in its list: a 同班 group's members, counted once for
    // the whole group, and students of the class outside the pass.
    void holdApartPlaces(const std::vector<int>& apartKeys, int delta);

    // Puts a student of the same sex into a slot and returns the one who was there.
    PassStudent* replace(int slot, PassStudent* incoming);

    // The head count.
    int count() const { return static_cast<int>(students.size()); }

    std::vector<PassStudent*> students;
    int boys = 0;
    int girls = 0;
    int inter = 0;  // band tolerance of bandSwapTest

  private:
    // Head counts per band of one subject, for the bands seen so far.
    struct BandColumn {
        int firstBand = 0;
        std::vector<int> counts;
        int count(int band) const {
            const long long index = static_cast<long long>(band) - firstBand;
            return index >= 0 && index < static_cast<long long>(counts.size())
                       ? counts[static_cast<std::size_t>(index)]
                       : 0;
        }
        void add(int band, int delta);
    };

    void tally(const PassStudent& student, int delta);

    std::array<KeptSum, kQuantityCount> sums_{};
    std::array<BandColumn, kSubjectCount> bandColumns_{};
    KeyCountTable pinyinCounts_;
    KeyCountTable apartCounts_;
};

}  // namespace qm::engine
