#pragma once

#include <limits>
#include <utility>
#include <vector>

#include "engine/balance/PlacedCohort.h"
#include "engine/optimisation/CellSpreads.h"
#include "engine/optimisation/ExchangeRule.h"

namespace qm::engine {

// What 深度优化 aims at besides even class averages.
struct BalanceGoal {
    // Weight of the band term (squared distances of band head counts from their fair share)
    // against the squared deviations of class averages, which count one per point squared.
    double bandWeight = 0;
    // The spread of a band's head counts across the classes (largest minus smallest) is held to
    // this, or to the band spread at the start when that is less; a band that spreads wider may
    // only come closer.
    int bandSpreadLimit = std::numeric_limits<int>::max();
    // Whose band spread at the start holds a band: its own subject's (no subject's band spread
    // gets worse), or the widest of all subjects' (the widest band spread, the one a teacher
    // reads, gets no worse, and a subject with even bands may give some of it up for closer
    // class averages).
    bool eachSubjectKeepsItsBands = true;
};

// The objective that 深度优化 lowers, kept up to date change by change so that judging one costs
// a few operations whatever the class size:
//   the sum over classes and over the total and every subject taken of the squared deviation of
//   the class average from the cohort's average, plus bandWeight times the sum over classes,
//   subjects and bands of the squared distance of the band's head count from the class's fair
//   share (its size times the band's share of the cohort).
// A change that would spread a band's head counts wider than its limit allows is forbidden.
// Class averages are not bounded: the search may pass through classes less even than the start
// on its way to more even ones.
class BalanceObjective {
  public:
    static constexpr double kForbidden = std::numeric_limits<double>::infinity();

    BalanceObjective(const PlacedCohort& cohort, const std::vector<int>& classOf,
                     const BalanceGoal& goal);

    // The objective of the classes as they stand.
    double value() const;
    // How much the exchange changes it, band limits aside.
    double change(const Exchange& exchange) const;
    // Whether the exchange keeps every band within its limit.
    bool bandsAllow(const Exchange& exchange) const;
    void apply(const Exchange& exchange);

    // A student going from one class to another on his own, which changes both sizes: how much
    // it changes the objective, or kForbidden when it spreads a band beyond its limit.
    double moveChange(int student, int from, int to) const;
    void applyMove(int student, int from, int to);

    // Takes the sums and counts afresh from a placement, dropping rounding that running updates
    // gather.
    void reset(const std::vector<int>& classOf);

    // The band cells an exchange changes, each with its spread now; after further exchanges,
    // spreadsKept() tells whether every such cell still keeps to its limit as it was noted.
    using NotedCells = std::vector<std::pair<int, int>>;
    void noteCells(const Exchange& exchange, NotedCells& cells) const;
    bool spreadsKept(const NotedCells& cells) const;

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
    // How far the class average of the q-th quantity taken lies from the cohort's (0 for an
    // empty class).
    double classDeviation(int c, std::size_t q) const {
        return deviationSum(c, q) * inverseSize(c);
    }
    int classSize(int c) const { return sizes_[static_cast<std::size_t>(c)]; }
    // Which quantity (kTotal or a subject) is the q-th taken.
    int quantityAt(std::size_t q) const { return quantities_[q]; }
    // Weighs the squared deviations of one quantity (kTotal or a subject taken) this many times
    // more from now on, to bring its class averages closer at the others' expense.
    void weighMore(int quantity, double factor);
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
    double inverseSize(int c) const { return inverseSizes_[static_cast<std::size_t>(c)]; }
    // Head count minus fair share.
    double excess(int c, int z) const {
        return count(c, z) -
               sizes_[static_cast<std::size_t>(c)] * shares_[static_cast<std::size_t>(z)];
    }
    // Whether a class losing a student of the cell and another gaining one keeps its limit.
    bool shiftAllowed(int z, int fallingClass, int risingClass) const;
    void shift(int z, int fallingClass, int risingClass);
    // The band term of one class as it would be with `size` students and one student fewer (-1)
    // or more (+1) in the given student's cells.
    double bandTermOf(int c, int size, int student, int step) const;
    void setSizes(const std::vector<int>& classOf);
    void setUpBands(const PlacedCohort& cohort);
    void setUpLimits();

    BalanceGoal goal_;
    int classCount_ = 0;
    std::size_t quantityCount_ = 0;       // the total and the subjects taken
    std::size_t subjectCount_ = 0;        // the subjects taken
    std::size_t cellCount_ = 0;           // bands of the subjects taken, over all those subjects
    std::vector<int> quantities_;         // the quantities taken: kTotal first, then subjects
    std::vector<double> weights_;         // per quantity taken
    std::vector<double> values_;          // per student and quantity taken
    std::vector<double> cohortAverages_;  // per quantity taken
    std::vector<int> cells_;              // per student and subject taken: its band cell
    std::vector<int> cellSubject_;        // per cell: the subject taken it belongs to
    std::vector<int> cohortCounts_;       // per cell
    std::vector<double> shares_;          // per cell: its share of the cohort
    std::vector<int> sizes_;              // per class
    std::vector<double> inverseSizes_;    // per class: 1 / size (0 for an empty class)
    std::vector<double> deviationSums_;   // per class and quantity: sum - size * cohort average
    std::vector<int> counts_;             // per class and cell
    std::vector<int> limits_;             // per cell: the spread it is held to
    CellSpreads spreads_;
};

}  // namespace qm::engine
