#pragma once

#include <array>
#include <initializer_list>
#include <vector>

#include "engine/balance/PlacedCohort.h"
#include "engine/optimisation/CellSpreads.h"
#include "engine/optimisation/ExchangeState.h"

namespace qm::engine {

// Evens out class sizes at the start of 深度优化. A division spreads boys and girls separately,
// so classes can come out two or more apart in size where equal sizes were possible. The
// leveller moves single movable students (never fixed ones, never members of 同班 groups) from
// larger classes to smaller ones until the sizes differ by one at most, or until no move can
// bring them closer. Every move keeps the rules of an exchange (readings apart, 分开 groups
// apart, band limits) and keeps the spread of boys, of girls and of each category's members
// across the classes within what it was before. Among the moves that bring sizes closer it takes
// the one that helps the objective most; when no student can go straight from a larger class to
// a smaller one, one may go to a third class whose student goes on to the smaller one.
class SizeLeveller {
  public:
    SizeLeveller(const PlacedCohort& cohort, ExchangeState& state);

    // Moves students; returns how many moves it made.
    int run();

  private:
    struct Move {
        int student = -1;
        int to = -1;
    };
    struct Choice {
        double change = BalanceObjective::kForbidden;
        Move first;
        Move second;  // student -1: none
    };

    // The kinds of students whose head counts are kept even: boys, girls, and the members of
    // each category. The kinds a student counts in, -1 where he counts in none.
    std::array<int, 2> kindsOf(int student) const;
    // Whether the spreads of every kind stay within their limits when these students go, one
    // after the other, from class to class.
    bool keepsSpreads(std::initializer_list<std::array<int, 3>> moves) const;
    // The best move straight from class `from` to class `to`, if better than `best`.
    void tryDirect(int from, int to, Choice& best) const;
    // The best pair of moves from `from` to a third class and on to `to`, if better than `best`.
    void tryChain(int from, int to, Choice& best);
    void make(const Move& move);
    std::vector<std::vector<int>> movableByClass() const;

    int count(int classIndex, int kind) const {
        return counts_[static_cast<std::size_t>(classIndex) * kindCount_ +
                       static_cast<std::size_t>(kind)];
    }

    const PlacedCohort& cohort_;
    ExchangeState& state_;
    std::size_t kindCount_ = 2;
    std::vector<int> sizes_;                 // per class
    std::vector<int> counts_;                // per class and kind
    CellSpreads spreads_;                    // of every kind's head counts across the classes
    std::vector<int> limits_;                // per kind: its spread before any move
    std::vector<int> categoryKind_;          // per student: the kind of its category, or -1
    std::vector<std::vector<int>> byClass_;  // movable students per class, while choosing
};

}  // namespace qm::engine
