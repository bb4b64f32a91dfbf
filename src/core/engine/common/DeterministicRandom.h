#pragma once

#include <cmath>
#include <cstdint>

namespace qm::engine {

// Random numbers that are the same on every machine and with every standard library: a
// 64-bit generator (SplitMix64) and draws made from it with plain integer and floating-point
// arithmetic only. The same seed always gives the same division.
class DeterministicRandom {
  public:
    explicit DeterministicRandom(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1), 53 bits.
    double uniform() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
    // Uniform in 0 .. n - 1, for n from 1.
    int below(int n) { return static_cast<int>((next() >> 11) % static_cast<std::uint64_t>(n)); }
    // True with probability e^-x (x from 0): the test that lets a worse step through.
    bool chanceOfExpNegative(double x) { return uniform() < expNegative(x); }

    // e^-x for x from 0, with additions and multiplications only, so that no mathematical
    // library can make it differ: e^-x = 2^-k e^-r with r in [0, ln 2), e^-r by its series.
    static double expNegative(double x) {
        constexpr double kLn2 = 0.6931471805599453;
        if (!(x < 700)) {
            return 0;
        }
        const int k = static_cast<int>(x / kLn2);
        const double r = x - k * kLn2;
        double term = 1;
        double sum = 1;
        for (int n = 1; n <= 20; ++n) {
            term *= -r / n;
            sum += term;
        }
        return std::ldexp(sum, -k);
    }

  private:
    std::uint64_t state_;
};

}  // namespace qm::engine
