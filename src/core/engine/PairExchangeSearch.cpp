#include "engine/PairExchangeSearch.h"

#include <algorithm>
#include <cmath>

namespace qm::engine {

namespace {

// A pair of classes is left once this many improvements between them have been made in a
// sweep; the next sweep comes back to it.
constexpr int kRoundsPerPair = 64;

double squared(double x) {
    return x * x;
}

}  // namespace

PairExchangeSearch::PairExchangeSearch(ExchangeState& state)
    : state_(state),
      changes_(static_cast<std::size_t>(state.classCount()), 0),
      triedAt_(static_cast<std::size_t>(state.classCount() * state.classCount()), {-1, -1}) {}

std::vector<PairExchangeSearch::ClassPair> PairExchangeSearch::pairsByPotential(
    double minGain) const {
    std::vector<ClassPair> pairs;
    for (int p = 0; p < state_.classCount(); ++p) {
        for (int q = p + 1; q < state_.classCount(); ++q) {
            const double potential = state_.objective().potential(p, q);
            if (potential > minGain && !unchangedSinceTried(p, q)) {
                pairs.push_back({potential, p, q});
            }
        }
    }
    std::sort(pairs.begin(), pairs.end(), [](const ClassPair& x, const ClassPair& y) {
        if (x.potential != y.potential) {
            return x.potential > y.potential;
        }
        return x.first != y.first ? x.first < y.first : x.second < y.second;
    });
    return pairs;
}

bool PairExchangeSearch::unchangedSinceTried(int first, int second) const {
    const auto& tried = triedAt_[static_cast<std::size_t>(first * state_.classCount() + second)];
    return tried.first == changes_[static_cast<std::size_t>(first)] &&
           tried.second == changes_[static_cast<std::size_t>(second)];
}

void PairExchangeSearch::listCandidates(int first, int second) {
    const BalanceObjective& objective = state_.objective();
    const std::size_t quantities = objective.quantityCount();
    candidates_.clear();
    valueChanges_.clear();
    const ClassRoster& roster = state_.roster();
    for (int group = 0; group < roster.groupCount(); ++group) {
        for (int a : roster.members(first, group)) {
            for (int b : roster.members(second, group)) {
                const double change = state_.change({a, b, first, second});
                if (change == BalanceObjective::kForbidden) {
                    continue;
                }
                const std::size_t values = valueChanges_.size();
                valueChanges_.resize(values + quantities);
                double* d = &valueChanges_[values];
                objective.valueChange(a, b, d);
                double along = 0;
                double averageChange = 0;
                for (std::size_t k = 0; k < quantities; ++k) {
                    along += geometry_.weight[k] * d[k] * geometry_.target[k];
                    averageChange += geometry_.weight[k] * d[k] * (d[k] - 2 * geometry_.target[k]);
                }
                const double bandAlong = objective.bandAlong(geometry_, a, b);
                candidates_.push_back({a,
                                       b,
                                       change,
                                       averageChange,
                                       {reach_[0] > 0 ? along / reach_[0] : 0,
                                        reach_[1] > 0 ? bandAlong / reach_[1] : 0},
                                       values});
            }
        }
    }
}

std::size_t PairExchangeSearch::sortCandidates() {
    std::array<double, 2> spread{};
    for (std::size_t axis = 0; axis < 2; ++axis) {
        const auto [low, high] = std::minmax_element(
            candidates_.begin(), candidates_.end(), [axis](const Candidate& x, const Candidate& y) {
                return x.along[axis] < y.along[axis];
            });
        spread[axis] = high->along[axis] - low->along[axis];
    }
    const std::size_t axis = spread[1] > spread[0] ? 1 : 0;
    std::sort(candidates_.begin(), candidates_.end(),
              [axis](const Candidate& x, const Candidate& y) {
                  if (x.along[axis] != y.along[axis]) {
                      return x.along[axis] < y.along[axis];
                  }
                  return x.a != y.a ? x.a < y.a : x.b < y.b;
              });
    return axis;
}

double PairExchangeSearch::averageCross(std::size_t i, std::size_t j) const {
    const double* x = valueChange(i);
    const double* y = valueChange(j);
    double product = 0;
    for (std::size_t k = 0; k < geometry_.weight.size(); ++k) {
        product += geometry_.weight[k] * x[k] * y[k];
    }
    return 2 * product;
}

double PairExchangeSearch::changeOfBoth(const Candidate& i, const Candidate& j) {
    const Exchange first{i.a, i.b, geometry_.first, geometry_.second};
    state_.apply(first);
    const double second = state_.change({j.a, j.b, geometry_.first, geometry_.second});
    state_.apply(first.reversed());
    return second == BalanceObjective::kForbidden ? second : i.change + second;
}

std::pair<std::size_t, std::size_t> PairExchangeSearch::bestPair(double& best) {
    const std::size_t none = candidates_.size();
    std::pair<std::size_t, std::size_t> found{none, none};
    const std::size_t axis = sortCandidates();
    const std::size_t other = 1 - axis;
    for (std::size_t i = 0; i < candidates_.size(); ++i) {
        const Candidate& x = candidates_[i];
        // A pair changes the objective by at least its squared distance from t along both
        // projections, minus |t|^2.
        const double slack = best + geometry_.potential();
        if (slack <= 0) {
            break;
        }
        const double radius = std::sqrt(slack);
        if (2 * x.along[axis] > reach_[axis] + radius) {
            break;  // every later candidate lies further along still
        }
        const double low = reach_[axis] - x.along[axis] - radius;
        const double high = reach_[axis] - x.along[axis] + radius;
        auto j = std::lower_bound(
            candidates_.begin() + static_cast<std::ptrdiff_t>(i) + 1, candidates_.end(), low,
            [axis](const Candidate& c, double value) { return c.along[axis] < value; });
        for (; j != candidates_.end() && j->along[axis] <= high; ++j) {
            const double offAxis = squared(x.along[other] + j->along[other] - reach_[other]);
            if (squared(x.along[axis] + j->along[axis] - reach_[axis]) + offAxis >= slack ||
                j->a == x.a || j->b == x.b) {
                continue;
            }
            const auto jIndex = static_cast<std::size_t>(j - candidates_.begin());
            const double cross = averageCross(i, jIndex);
            // The averages' part exactly, the bands' part at least its projection's share.
            const double bandLeast =
                squared(x.along[1] + j->along[1] - reach_[1]) - geometry_.bandPotential;
            if (x.averageChange + j->averageChange + cross + bandLeast >= best) {
                continue;
            }
            const double together =
                x.change + j->change + cross + state_.objective().bandCross(x.a, x.b, j->a, j->b);
            if (together >= best) {
                continue;
            }
            const double checked = changeOfBoth(x, *j);
            if (checked < best) {
                best = checked;
                found = {i, jIndex};
            }
        }
    }
    return found;
}

bool PairExchangeSearch::improve(int first, int second, double minGain) {
    state_.objective().geometry(first, second, geometry_);
    if (geometry_.potential() <= minGain) {
        return false;
    }
    reach_ = {std::sqrt(geometry_.averagePotential), std::sqrt(geometry_.bandPotential)};
    listCandidates(first, second);
    if (candidates_.empty()) {
        return false;
    }
    const Candidate bestSingle = *std::min_element(
        candidates_.begin(), candidates_.end(),
        [](const Candidate& x, const Candidate& y) { return x.change < y.change; });
    double best = std::min(bestSingle.change, 0.0);
    const auto [i, j] = bestPair(best);
    if (best >= -minGain) {
        return false;
    }
    if (i < candidates_.size()) {
        state_.apply({candidates_[i].a, candidates_[i].b, first, second});
        state_.apply({candidates_[j].a, candidates_[j].b, first, second});
    } else {
        state_.apply({bestSingle.a, bestSingle.b, first, second});
    }
    ++changes_[static_cast<std::size_t>(first)];
    ++changes_[static_cast<std::size_t>(second)];
    return true;
}

void PairExchangeSearch::run(int maxSweeps, double minGain, SearchControl& control,
                             double progressFrom, double progressTo) {
    for (int sweep = 0; sweep < maxSweeps; ++sweep) {
        const auto pairs = pairsByPotential(minGain);
        bool improved = false;
        for (std::size_t n = 0; n < pairs.size(); ++n) {
            // Each sweep takes half of what is left of the progress.
            const double done = 1 - std::ldexp(1.0, -sweep) +
                                std::ldexp(1.0, -sweep - 1) * static_cast<double>(n) /
                                    static_cast<double>(pairs.size());
            if (!control.proceed(progressFrom + (progressTo - progressFrom) * done)) {
                return;
            }
            const auto [p, q] = std::make_pair(pairs[n].first, pairs[n].second);
            int round = 0;
            while (round < kRoundsPerPair && improve(p, q, minGain)) {
                ++round;
            }
            if (round < kRoundsPerPair) {
                triedAt_[static_cast<std::size_t>(p * state_.classCount() + q)] = {
                    changes_[static_cast<std::size_t>(p)], changes_[static_cast<std::size_t>(q)]};
            }
            improved = improved || round > 0;
        }
        if (!improved) {
            return;
        }
    }
}

}  // namespace qm::engine
