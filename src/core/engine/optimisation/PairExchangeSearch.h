#pragma once

#include <array>
#include <utility>
#include <vector>

#include "engine/optimisation/BalanceObjective.h"
#include "engine/optimisation/ExchangeState.h"
#include "engine/optimisation/SearchControl.h"

namespace qm::engine {

// The double-exchange search between two classes at a time. For a pair of classes it lists the
// allowed exchanges between them (each student with the kPartners students of his exchange group
// in the other class closest to him in total: exchanges further apart in total move the classes
// too far to be of use once they are near even) and makes the best single exchange or the best
// two exchanges together, whichever lowers the objective more, and repeats while that helps. Two
// exchanges together can even out what each alone cannot, since a single exchange moves a class
// by a whole student's difference in every subject at once; together they only have to keep the
// band limits, so one may mend what the other breaks.
//
// Most pairs of exchanges are never worked out: the change of two exchanges together is
// |d1 + d2 - t|^2 - |t|^2 (BalanceObjective::PairGeometry), which is at least what the
// projections of d1 + d2 - t on the averages' part and on the bands' part of t give. With the
// exchanges sorted by one projection, two can only beat the best found when the sum of their
// projections lies close to the length of that part of t; the other projection, then the exact
// averages' part, rule out most of the rest in a few operations each.
class PairExchangeSearch {
  public:
    static constexpr int kPartners = 14;

    explicit PairExchangeSearch(ExchangeState& state);

    // Sweeps over all pairs of classes, the most unequal first (the pair that could gain most),
    // until a sweep changes nothing or after maxSweeps. An exchange is made only when it lowers
    // the objective by more than minGain. A pair of classes that could not be improved is not
    // tried again until one of the two classes has changed.
    void run(int maxSweeps, double minGain, SearchControl& control, double progressFrom,
             double progressTo);
    // Once run() has stopped: three exchanges at a time between two classes, each of the
    // `openings` best single exchanges followed by the best two that complete it, while that
    // lowers the objective; after each success run() goes on. At most maxSweeps sweeps.
    void runDeeper(int maxSweeps, int openings, double minGain, SearchControl& control,
                   double progressFrom, double progressTo);

    // Settles the classes after a change to a few of them: the pairs of classes that hold one
    // of `changed`, `pairsPerClass` per such class with the largest potential, each improved
    // until it gains no more; pairs of classes that change on the way join, up to maxSweeps
    // sweeps.
    void settle(std::vector<int> changed, int pairsPerClass, int maxSweeps, double minGain);

  private:
    struct Candidate {
        int a;
        int b;
        double change;         // of the objective, band limits aside
        double averageChange;  // its part from the class averages
        // Projections of d on the averages' part and on the bands' part of t, each divided by
        // the length of that part.
        std::array<double, 2> along;
        // Projections of d on the across_ directions.
        std::array<double, 2> across;
        std::size_t values;  // where its value changes start in valueChanges_
    };
    // A candidate's projections as bestPair() scans them: along the axis it sorted by, along
    // the other, and on the two across_ directions.
    struct Point {
        double along;
        double other;
        double across0;
        double across1;
    };
    struct SortKey {
        double along;
        int a;
        int b;
        std::size_t place;
    };
    struct ClassPair {
        double potential;
        int first;
        int second;
    };

    std::vector<ClassPair> pairsByPotential(double minGain) const;
    // Makes the best single exchange or pair of exchanges between the classes; true when it
    // lowered the objective.
    bool improve(int first, int second, double minGain);
    // Three exchanges between the classes; true when made.
    bool improveByThree(int first, int second, int openings, double minGain);
    void prepare(int first, int second);
    void listCandidates(int first, int second);
    double totalOf(int student) const;
    // Lines up the students by total, for partnersOf(): the places in that line of the
    // kPartners closest to the student in total.
    void lineUpByTotal(const std::vector<int>& members);
    std::pair<std::size_t, std::size_t> partnersOf(int student) const;
    // Sorts the candidates along the projection that spreads them most; returns its index.
    std::size_t sortCandidates();
    // The best pair of candidates that beats `best`, lowering `best` to its change: their
    // places, or none.
    std::pair<std::size_t, std::size_t> bestPair(double& best);
    const double* valueChange(std::size_t candidate) const {
        return &valueChanges_[candidates_[candidate].values];
    }
    // Twice the weighted product of two candidates' value changes.
    double averageCross(std::size_t i, std::size_t j) const;
    // The change of making candidates i and j together, or kForbidden: tried on the state and
    // put back, so that every rule and band limit is checked on the classes as they would be
    // (one of the two may break a band limit that the other mends).
    double changeOfBoth(const Candidate& i, const Candidate& j);
    bool unchangedSinceTried(int first, int second) const;

    ExchangeState& state_;
    BalanceObjective::PairGeometry geometry_;
    std::array<double, 2> reach_{};  // lengths of the averages' and the bands' part of t
    // Up to two unit directions of the averages' part, square to t and to each other, along
    // which exchanges differ most: the total, and all subjects together (a student's general
    // level). A pair's distance from t along them rules most pairs out before the full sum.
    std::array<std::vector<double>, 2> across_;
    void setUpAcross();
    std::vector<Candidate> candidates_;
    std::vector<Point> points_;         // per candidate, in bestPair()
    std::vector<SortKey> order_;        // sortCandidates()'s work space
    std::vector<Candidate> sorted_;     // sortCandidates()'s work space
    std::vector<double> valueChanges_;  // per candidate and quantity taken, as they were listed
    std::vector<std::pair<double, int>> byTotal_;
    BalanceObjective::NotedCells noted_;
    std::vector<int> changes_;  // per class: how often it changed in this search
    // Per pair of classes: the changes of both when the pair last could not be improved.
    std::vector<std::pair<int, int>> triedAt_;
};

}  // namespace qm::engine
