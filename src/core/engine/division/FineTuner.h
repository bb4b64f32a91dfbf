#pragma once

#include <array>
#include <functional>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "engine/division/ClassBandSurplus.h"
#include "engine/division/ClassTally.h"
#include "engine/division/CohortFigures.h"
#include "engine/division/TuningCandidates.h"

namespace qm::engine {

// The rules an exchange has to satisfy (from the run's settings).
struct TuningRules {
    bool avgTotal = false;
    bool avgChinese = false;
    bool avgMath = false;
    bool avgEnglish = false;
    bool avgBands = false;
    bool isRefb = false;      // every exchange must also suit the second class
    bool keepGroups = false;  // the teacher's groups: no exchange may break one
};

// What one fine-tuning pass did: exchanges kept, and how often the second class of an exchange
// passed its own tests.
struct TuningCounts {
    int swaps = 0;
    int requalified = 0;
    bool operator==(const TuningCounts&) const = default;
};

// Fine tuning ("微调") of placed classes by exchanging students of the same sex between them.
// One pass tries, for every movable student of every class, every movable student of the same
// sex in every other class, and keeps an exchange when it does not move the class's averages away
// from the cohort's and does not worsen its band head counts (also for the second class during a
// re-division, or once the slot has changed hands). Students with the same pinyin never end up
// in one class through an exchange, nor do students of one 分开 group; members of a 同班 group
// never move.
//
// Every decision is the one the balance rules give when each class average is summed from the
// class's first student to its last. To keep a candidate's cost independent of the class size
// the tuner decides from the classes' kept sums: exactly when every value is a multiple of 1/256
// (then all such sums are exact), otherwise with an error bound, and it walks the classes only
// when the bound cannot decide.
//
// Most candidates fail, and to keep a pass from growing with the square of the cohort the tuner
// looks only at those that could pass: candidates whose totals lie in the window the total
// condition leaves, picked out through orders by total, and of those first the ones whose band
// score can pass, judged from each class's band surpluses. Which candidates are left out changes
// nothing: a candidate left out would have been turned away without being counted.
class FineTuner {
  public:
    FineTuner(std::vector<ClassTally>& classes, const TuningRules& rules,
              const CohortFigures& figures);

    // One pass. checkpoint is called before every slot's candidates (it may throw to stop).
    TuningCounts runPass(const std::function<void()>& checkpoint);

  private:
    // The magnitudes of a class's deviations from the cohort averages (cohort minus class) and a
    // bound on how far each may lie from the left-to-right value.
    struct Deviations {
        std::array<double, kQuantityCount> magnitude{};
        std::array<double, kQuantityCount> error{};
    };
    struct ClassView {
        std::vector<int> positionOfSlot;
        Deviations before;
        bool stale = true;
        int version = 0;  // counts the exchanges that changed the class
    };
    // What occupantSurplus_ holds for: the class asked, as it stands, and the occupant.
    struct BandQuestion {
        int classIndex = -1;
        int version = -1;
        const PassStudent* occupant = nullptr;
        bool occupantEnters = false;
        bool operator==(const BandQuestion&) const = default;
    };
    struct Window {
        double low;
        double high;
    };

    void scanSlot(int i, int k, TuningCounts& counts);
    int firstKeptOf(int i, int k, std::span<const TuningCandidates::Entry> inWindow,
                    TuningCounts& counts);
    int firstKeptInScanOrder(int i, int k, Window window, TuningCounts& counts);
    // Scans class j from a position on, then every later class but i from its start.
    void scanClassesFrom(int i, int k, int j, int position, TuningCounts& counts);
    // Tries the candidates of class j from a position on that lie in its window.
    void scanClassFrom(int i, int k, int j, int position, TuningCounts& counts);
    // Tries one candidate, given the band score of the class that decides first; true when the
    // exchange was kept.
    bool tryCandidate(int i, int k, int j, int l, int deciderBands, TuningCounts& counts);
    // Whether the occupant of slot k of class i has to suit class j as well.
    bool secondDecides(const PassStudent& occupant) const;
    Window totalWindow(int i, int j, const PassStudent& occupant);
    // The band score of the class that decides first (0 when bands do not count), for a candidate
    // with these bands; nothing when it is below 0, so that trying the candidate would change
    // nothing, not even a count.
    std::optional<int> deciderBandScore(int i, int j, const PassStudent& occupant,
                                        const std::array<int, kSubjectCount>& bands);
    // Neither the same scores, nor the same pinyin, nor a group broken.
    bool exchangeAllowed(int i, int j, const PassStudent& a, const PassStudent& b) const;
    bool pinyinClash(int i, int j, const PassStudent& a, const PassStudent& b) const;
    // Whether class c passes its test with leaving (in slot) replaced by entering, given its band
    // score for the exchange.
    bool passes(int c, int slot, const PassStudent& leaving, const PassStudent& entering,
                int bands);
    bool passesByWalking(int c, int slot, const PassStudent& entering, int bandScore) const;
    // The band score of class c: its bandSwapTest answers summed over the subjects.
    int bandScore(int c, const std::array<int, kSubjectCount>& leaving,
                  const std::array<int, kSubjectCount>& entering) const;
    const Deviations& before(int c);
    double errorBound(int count, double magnitudes, int quantity) const;
    void exchange(int i, int k, int j, int l);

    std::vector<ClassTally>& classes_;
    TuningRules rules_;
    const CohortFigures& figures_;
    ClassBandSurplus surplus_;
    std::vector<int> gainOrder_;
    std::array<bool, kQuantityCount> exactSums_{};
    std::vector<ClassView> views_;
    std::vector<TuningCandidates> sexes_;      // by sex key
    std::vector<std::pair<int, int>> picked_;  // scratch: a slot's candidates, band scores
    std::vector<int> classPicked_;             // scratch: positions of a class's candidates
    BandQuestion bandQuestion_;
    ClassBandSurplus::Answers answers_;  // for bandQuestion_
};

}  // namespace qm::engine
