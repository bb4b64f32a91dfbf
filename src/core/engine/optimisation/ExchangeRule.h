#pragma once

namespace qm::engine {

// Two students of different classes changing places: student a goes from classA to classB and
// student b from classB to classA. Students are indices into the cohort, classes class indices.
struct Exchange {
    int a = 0;
    int b = 0;
    int classA = 0;
    int classB = 0;

    // The exchange that puts both back.
    Exchange reversed() const { return {a, b, classB, classA}; }
};

// One rule that every change of 深度优化 keeps (see ExchangeRules): an exchange, or a student
// moving on his own to even out class sizes. A rule may keep its own view of the classes;
// applied() and moved() tell it of every change that is made (and of the reversed one that undoes
// a trial). Whether it allows an exchange may depend on the two classes of the exchange only: the
// search does not try two classes again while neither has changed.
class ExchangeRule {
  public:
    virtual ~ExchangeRule() = default;
    virtual bool allows(const Exchange& exchange) const = 0;
    virtual void applied(const Exchange& exchange) = 0;
    virtual bool allowsMove(int student, int to) const = 0;
    virtual void moved(int student, int from, int to) = 0;
};

}  // namespace qm::engine
