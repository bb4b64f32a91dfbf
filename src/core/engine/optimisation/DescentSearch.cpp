#include "engine/optimisation/DescentSearch.h"

namespace qm::engine {

namespace {

constexpr int kPartnersPerSide = 8;
constexpr std::size_t kStudentsPerCheck = 512;

}  // namespace

DescentSearch::DescentSearch(ExchangeState& state, const ScoreNeighbours& neighbours)
    : state_(state), neighbours_(neighbours) {}

bool DescentSearch::improve(int student, double minGain) {
    double best = -minGain;
    int bestPartner = -1;
    for (int distance = 1; distance <= kPartnersPerSide; ++distance) {
        for (int offset : {distance, -distance}) {
            const int partner = neighbours_.neighbour(student, offset);
            if (partner < 0 || state_.classOf(partner) == state_.classOf(student)) {
                continue;
            }
            const double change = state_.change(state_.exchangeOf(student, partner));
            if (change < best) {
                best = change;
                bestPartner = partner;
            }
        }
    }
    if (bestPartner < 0) {
        return false;
    }
    state_.apply(state_.exchangeOf(student, bestPartner));
    return true;
}

void DescentSearch::run(int maxSweeps, double minGain, SearchControl& control, double progressFrom,
                        double progressTo) {
    const auto& movable = state_.movable();
    for (int sweep = 0; sweep < maxSweeps; ++sweep) {
        bool improved = false;
        for (std::size_t i = 0; i < movable.size(); ++i) {
            if (i % kStudentsPerCheck == 0) {
                const double done =
                    (sweep + static_cast<double>(i) / static_cast<double>(movable.size())) /
                    maxSweeps;
                if (!control.proceed(progressFrom + (progressTo - progressFrom) * done)) {
                    return;
                }
            }
            improved = improve(movable[i], minGain) || improved;
        }
        if (!improved) {
            return;
        }
    }
}

}  // namespace qm::engine
