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

// One rule that every exchange of 深度优化 keeps (see ExchangeRules). A rule may keep its own view
// of the classes; applied() tells it of every exchange that is made (and of the reversed one that
// undoes a trial). Whether it allows an exchange may depend on the two classes of the exchange
// only: the search does not try two classes again while neither has changed.
class ExchangeRule {
  public:
    virtual ~ExchangeRule() = default;
    virtual bool allows(const Exchange& exchange) const = 0;
    virtual void applied(const Exchange& exchange) = 0;
};

}  // namespace qm::engine
