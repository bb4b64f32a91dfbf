#include "engine/optimisation/AnnealingSearch.h"

namespace qm::engine {

namespace {

constexpr int kSampledExchanges = 2000;
// The temperature falls from its start to e^-9 (about one eight-thousandth) of it.
constexpr double kCooling = 9;
// One step in eight takes any partner of the group, the others one of the eight closest.
constexpr int kFarPartnerOneIn = 8;
constexpr int kClosePartners = 4;  // on either side
constexpr long long kStepsPerCheck = 4096;

}  // namespace

AnnealingSearch::AnnealingSearch(ExchangeState& state, const ScoreNeighbours& neighbours,
                                 std::uint64_t seed)
    : state_(state), neighbours_(neighbours), random_(seed) {}

int AnnealingSearch::partnerOf(int student) {
    if (random_.below(kFarPartnerOneIn) == 0) {
        return neighbours_.member(student, random_.next());
    }
    const int distance = 1 + random_.below(kClosePartners);
    const int offset = random_.below(2) == 0 ? distance : -distance;
    const int partner = neighbours_.neighbour(student, offset);
    return partner >= 0 ? partner : neighbours_.neighbour(student, -offset);
}

double AnnealingSearch::startingTemperature() {
    const auto& movable = state_.movable();
    double rises = 0;
    int count = 0;
    for (int i = 0; i < kSampledExchanges; ++i) {
        const int a =
            movable[static_cast<std::size_t>(random_.below(static_cast<int>(movable.size())))];
        const int b = partnerOf(a);
        if (b < 0 || state_.classOf(a) == state_.classOf(b)) {
            continue;
        }
        const double change = state_.change(state_.exchangeOf(a, b));
        if (change > 0 && change != BalanceObjective::kForbidden) {
            rises += change;
            ++count;
        }
    }
    return count > 0 ? rises / count / 2 : 0;
}

void AnnealingSearch::run(long long steps, double heat, SearchControl& control, double progressFrom,
                          double progressTo) {
    const auto& movable = state_.movable();
    const double start = heat * startingTemperature();
    if (start <= 0 || steps <= 0) {
        return;
    }
    double temperature = start;
    for (long long step = 0; step < steps; ++step) {
        if (step % kStepsPerCheck == 0) {
            const double done = static_cast<double>(step) / static_cast<double>(steps);
            if (!control.proceed(progressFrom + (progressTo - progressFrom) * done)) {
                return;
            }
            temperature = start * DeterministicRandom::expNegative(kCooling * done);
        }
        const int a =
            movable[static_cast<std::size_t>(random_.below(static_cast<int>(movable.size())))];
        const int b = partnerOf(a);
        if (b < 0 || state_.classOf(a) == state_.classOf(b)) {
            continue;
        }
        const Exchange exchange = state_.exchangeOf(a, b);
        const double change = state_.change(exchange);
        if (change == BalanceObjective::kForbidden) {
            continue;
        }
        if (change <= 0 || random_.chanceOfExpNegative(change / temperature)) {
            state_.apply(exchange);
        }
    }
}

}  // namespace qm::engine
