#pragma once

#include <cmath>

namespace qm::engine {

// A running sum of doubles kept almost exactly: the rounded sum plus the rounding error of every
// addition (error-free transformation), so that adding and taking away values many times does not
// drift. Also keeps the sum of magnitudes, which bounds how far an ordinary left-to-right sum of
// the same values can be from the exact one.
class KeptSum {
  public:
    void add(double value) {
        const double sum = high_ + value;
        const double back = sum - high_;
        low_ += (high_ - (sum - back)) + (value - back);
        high_ = sum;
        magnitudes_ += std::fabs(value);
    }
    void remove(double value) {
        add(-value);
        magnitudes_ -= 2 * std::fabs(value);
    }
    // The sum rounded to a double.
    double value() const { return high_ + low_; }
    double magnitudes() const { return magnitudes_; }

  private:
    double high_ = 0;
    double low_ = 0;
    double magnitudes_ = 0;
};

}  // namespace qm::engine
