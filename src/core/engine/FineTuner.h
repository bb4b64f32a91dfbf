#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "engine/CohortFigures.h"
#include "engine/Tdistribute.h"

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
class FineTuner {
  public:
    FineTuner(std::vector<Tdistribute>& classes, const TuningRules& rules,
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
    // The movable students of one sex, in scan order (by class, then slot): their totals, and the
    // same entries sorted by total, so that the candidates within a window of totals are found
    // without looking at the others.
    struct SexIndex {
        std::vector<double> totals;
        std::vector<int> classOf;
        std::vector<int> slotOf;
        std::vector<int> classBegin;  // first position of each class; one more entry at the end
        std::vector<std::pair<double, int>> byTotal;  // (total, position), ascending
        std::vector<std::uint64_t> marks;             // scratch: positions within a window
    };
    struct ClassView {
        std::vector<int> positionOfSlot;
        Deviations before;
        bool stale = true;
    };
    struct Window {
        double low;
        double high;
    };

    void scanSlot(int i, int k, TuningCounts& counts);
    // Scans class j from a position on, then every later class but i from its start.
    void scanClassesFrom(int i, int k, int j, int position, TuningCounts& counts);
    // Tries the candidates of class j from a position on, each against its own window.
    void scanClassFrom(int i, int k, int j, int position, TuningCounts& counts);
    // Tries one candidate; true when the exchange was kept.
    bool tryCandidate(int i, int k, int j, int l, TuningCounts& counts);
    Window totalWindow(int i, int j, const Tstudent& occupant);
    bool pinyinClash(int i, int j, const Tstudent& a, const Tstudent& b) const;
    // Whether class c passes its test with leaving (in slot) replaced by entering.
    bool passes(int c, int slot, const Tstudent& leaving, const Tstudent& entering);
    bool passesByWalking(int c, int slot, const Tstudent& entering, int bandScore) const;
    int bandScore(const Tdistribute& tally, const Tstudent& leaving,
                  const Tstudent& entering) const;
    const Deviations& before(int c);
    double errorBound(int count, double magnitudes, int quantity) const;
    void exchange(int i, int k, int j, int l);
    void moveInTotalOrder(SexIndex& index, int position, double newTotal);

    std::vector<Tdistribute>& classes_;
    TuningRules rules_;
    const CohortFigures& figures_;
    std::vector<int> gainOrder_;
    std::array<bool, kQuantityCount> exactSums_{};
    std::vector<ClassView> views_;
    std::vector<SexIndex> sexes_;
};

}  // namespace qm::engine
