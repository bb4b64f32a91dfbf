#pragma once

#include <limits>
#include <vector>

#include "engine/ExchangeRule.h"
#include "engine/PlacedCohort.h"

namespace qm::engine {

// What 深度优化 aims at besides even class averages.
struct BalanceGoal {
    // Weight of the band term (squared distances of band head counts from their fair share)
    // against the squared deviations of class averages, which count one per point squared.
    double bandWeight = 0;
    // Band head counts are held within windows this wide (or as wide as their subject's band
    // spread, when that is less): a count in its window stays there, one outside only comes
    // nearer. Bands that already fit keep fitting.
    int bandSpreadLimit = std::numeric_limits<int>::max();
};

// The objective that 深度优化 lowers, kept up to date exchange by exchange so that judging one
// costs a few operations whatever the class size:
//   the sum over classes and over the total and every subject taken of the squared deviation of
//   the class average from the cohort's average, plus bandWeight times the sum over classes,
//   subjects and bands of the squared distance of the band's head count from the class's fair
//   share (its size times the band's share of the cohort).
// Exchanges that would make a figure worse than the classes had at the start are forbidden: a
// class average may not leave the range the class averages spanned, and a band head count may
// not move away from its window, which lies within a window as wide as the subject's band spread
// that holds every class's count at the start.
class BalanceObjective {
  public:
    static constexpr double kForbidden = std::numeric_limits<double>::infinity();

    BalanceObjective(const PlacedCohort& cohort, const std::vector<int>& classOf,
                     const BalanceGoal& goal);

    // The objective of the classes as they stand.
    double value() const;
    // How much the exchange changes it, or kForbidden.
    double change(const Exchange& exchange) const;
    void apply(const Exchange& exchange);
    // Takes the sums and counts afresh from a placement, dropping rounding that running updates
    // gather.
    void reset(const std::vector<int>& classOf);

    // Any set of exchanges between two classes changes the objective by |d - t|^2 - |t|^2 in a
    // weighted norm, d being the summed change that the exchanges bring to the first class (in
    // the values of the quantities taken, and in the band head counts) and t a target of the two
    // classes. So |t|^2 (the potential) is the most the two classes can gain, and two exchanges
    // together change it by their single changes plus twice the product of their d.
    struct PairGeometry {
        int first = 0;
        int second = 0;
        std::vector<double> weight;      // per quantity taken
        std::vector<double> target;      // per quantity taken
        std::vector<double> bandTarget;  // per band cell; every cell weighs twice bandWeight
        double averagePotential = 0;     // |t|^2 of the quantities
        double bandPotential = 0;        // |t|^2 of the band head counts
        double potential() const { return averagePotential + bandPotential; }
    };
    void geometry(int first, int second, PairGeometry& out) const;
    double potential(int first, int second) const;

    std::size_t quantityCount() const { return quantityCount_; }
    // The change of values, per quantity taken, when b takes a's place.
    void valueChange(int a, int b, double* out) const;
    // The product of the band part of an exchange's d with the band part of t.
    double bandAlong(const PairGeometry& pair, int a, int b) const;
    // Twice the product of two exchanges' changes of band head counts, weighted: the part of
    // their joint change that the bands add beyond their single changes.
    double bandCross(int a1, int b1, int a2, int b2) const;

  private:
    const double* values(int student) const {
        return &values_[static_cast<std::size_t>(student) * quantityCount_];
    }
    int cell(int student, int subject) const {
        return cells_[static_cast<std::size_t>(student) * subjectCount_ +
                      static_cast<std::size_t>(subject)];
    }
    double& deviationSum(int c, std::size_t q) {
        return deviationSums_[static_cast<std::size_t>(c) * quantityCount_ + q];
    }
    double deviationSum(int c, std::size_t q) const {
        return deviationSums_[static_cast<std::size_t>(c) * quantityCount_ + q];
    }
    int& count(int c, int z) {
        return counts_[static_cast<std::size_t>(c) * cellCount_ + static_cast<std::size_t>(z)];
    }
    int count(int c, int z) const {
        return counts_[static_cast<std::size_t>(c) * cellCount_ + static_cast<std::size_t>(z)];
    }
    // Head count minus fair share.
    double excess(int c, int z) const {
        return count(c, z) -
               fairShares_[static_cast<std::size_t>(c) * cellCount_ + static_cast<std::size_t>(z)];
    }
    bool averageStaysInRange(std::size_t q, int c, double before, double after) const;
    bool countMayChange(int c, int z, int step) const;
    void setUpBands(const PlacedCohort& cohort, const std::vector<int>& classOf);
    void setUpWindows();
    void setUpAverageRanges();

    BalanceGoal goal_;
    int classCount_ = 0;
    std::size_t quantityCount_ = 0;       // the total and the subjects taken
    std::size_t subjectCount_ = 0;        // the subjects taken
    std::size_t cellCount_ = 0;           // bands of the subjects taken, over all those subjects
    std::vector<double> values_;          // per student and quantity taken
    std::vector<double> cohortAverages_;  // per quantity taken
    std::vector<int> cells_;              // per student and subject taken: its band cell
    std::vector<int> cellSubject_;        // per cell: the subject taken it belongs to
    std::vector<int> cohortCounts_;       // per cell
    std::vector<int> sizes_;              // per class
    std::vector<double> inverseSize_;     // per class: 1 / size (0 for an empty class)
    std::vector<double> deviationSums_;   // per class and quantity: sum - size * cohort average
    std::vector<int> counts_;             // per class and cell
    std::vector<double> fairShares_;      // per class and cell
    std::vector<int> windowLow_;          // per cell
    std::vector<int> windowHigh_;         // per cell
    std::vector<double> rangeLow_;        // per quantity: bounds of a class's deviation
    std::vector<double> rangeHigh_;
};

}  // namespace qm::engine
