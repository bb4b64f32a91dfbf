#pragma once

#include <cstdint>

#include "engine/common/DeterministicRandom.h"
#include "engine/optimisation/ExchangeState.h"
#include "engine/optimisation/ScoreNeighbours.h"
#include "engine/optimisation/SearchControl.h"

namespace qm::engine {

// Simulated annealing over exchanges: a random movable student and a partner of his group,
// mostly one of the eight closest to him in total, change places when that lowers the
// objective, or now and then when it raises it, the less often the colder the search has
// grown. A fixed seed and a fixed number of steps make it the same on every machine.
class AnnealingSearch {
  public:
    AnnealingSearch(ExchangeState& state, const ScoreNeighbours& neighbours, std::uint64_t seed);

    // Makes `steps` steps, telling the control where it stands between progressFrom and
    // progressTo; stops early when the control says so. heat: the share of the usual starting
    // temperature to start from (1 from a division, less to search on near classes already
    // evened out).
    void run(long long steps, double heat, SearchControl& control, double progressFrom,
             double progressTo);

  private:
    int partnerOf(int student);
    // The starting temperature: half the average rise of a sample of exchanges.
    double startingTemperature();

    ExchangeState& state_;
    const ScoreNeighbours& neighbours_;
    DeterministicRandom random_;
};

}  // namespace qm::engine
