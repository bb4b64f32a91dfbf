#include "engine/optimisation/PairExchangeSearch.h"

#include <algorithm>
#include <cmath>

namespace qm::engine {

namespace {

// A pair of classes is left once this many improvements between them have been made in a
// sweep; the next sweep comes back to it.
constexpr int kRoundsPerPair = 64;
// A sweep tries at most this many pairs of classes per class, those with the largest potential
// that changed since they were last tried; the next sweep takes the next.
constexpr int kPairsPerClass = 4;

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

void PairExchangeSearch::setUpAcross() {
    const BalanceObjective& objective = state_.objective();
    const std::size_t quantities = objective.quantityCount();
    const auto& weight = geometry_.weight;
    auto dot = [&](const std::vector<double>& x, const std::vector<double>& y) {
        double sum = 0;
        for (std::size_t k = 0; k < quantities; ++k) {
            sum += weight[k] * x[k] * y[k];
        }
        return sum;
    };
    std::vector<std::vector<double>> basis;
    if (reach_[0] > 0) {
        basis.push_back(geometry_.target);
        for (double& x : basis.back()) {
            x /= reach_[0];
        }
    }
    const std::size_t fixedAxes = basis.size();
    for (bool total : {true, false}) {
        std::vector<double> direction(quantities, 0);
        for (std::size_t k = 0; k < quantities; ++k) {
            direction[k] = (objective.quantityAt(k) == kTotal) == total ? 1 : 0;
        }
        for (const auto& axis : basis) {
            const double along = dot(direction, axis);
            for (std::size_t k = 0; k < quantities; ++k) {
                direction[k] -= along * axis[k];
            }
        }
        const double length = std::sqrt(dot(direction, direction));
        if (length > 1e-9) {
            for (double& x : direction) {
                x /= length;
            }
        } else {
            std::fill(direction.begin(), direction.end(), 0);  // adds nothing to the bound
        }
        basis.push_back(direction);
    }
    across_[0] = basis[fixedAxes];
    across_[1] = basis[fixedAxes + 1];
}

void PairExchangeSearch::listCandidates(int first, int second) {
    const BalanceObjective& objective = state_.objective();
    const std::size_t quantities = objective.quantityCount();
    setUpAcross();
    candidates_.clear();
    valueChanges_.clear();
    const ClassRoster& roster = state_.roster();
    for (int group = 0; group < roster.groupCount(); ++group) {
        lineUpByTotal(roster.members(second, group));
        for (int a : roster.members(first, group)) {
            const auto [from, to] = partnersOf(a);
            for (std::size_t place = from; place < to; ++place) {
                const int b = byTotal_[place].second;
                const Exchange exchange{a, b, first, second};
                const double change = state_.changeIgnoringBands(exchange);
                if (change == BalanceObjective::kForbidden) {
                    continue;
                }
                const std::size_t values = valueChanges_.size();
                valueChanges_.resize(values + quantities);
                double* d = &valueChanges_[values];
                objective.valueChange(a, b, d);
                double along = 0;
                double averageChange = 0;
                std::array<double, 2> across{};
                for (std::size_t k = 0; k < quantities; ++k) {
                    const double weighted = geometry_.weight[k] * d[k];
                    along += weighted * geometry_.target[k];
                    averageChange += weighted * (d[k] - 2 * geometry_.target[k]);
                    across[0] += weighted * across_[0][k];
                    across[1] += weighted * across_[1][k];
                }
                const double bandAlong = objective.bandAlong(geometry_, a, b);
                candidates_.push_back({a,
                                       b,
                                       change,
                                       averageChange,
                                       {reach_[0] > 0 ? along / reach_[0] : 0,
                                        reach_[1] > 0 ? bandAlong / reach_[1] : 0},
                                       across,
                                       values});
            }
        }
    }
}

double PairExchangeSearch::totalOf(int student) const {
    return state_.cohort().students[static_cast<std::size_t>(student)].values[kTotal];
}

void PairExchangeSearch::lineUpByTotal(const std::vector<int>& members) {
    byTotal_.clear();
    for (int b : members) {
        byTotal_.emplace_back(totalOf(b), b);
    }
    std::sort(byTotal_.begin(), byTotal_.end());
}

std::pair<std::size_t, std::size_t> PairExchangeSearch::partnersOf(int student) const {
    const auto count = static_cast<std::size_t>(kPartners);
    if (byTotal_.size() <= count) {
        return {0, byTotal_.size()};
    }
    const auto place = static_cast<std::size_t>(
        std::lower_bound(byTotal_.begin(), byTotal_.end(), std::make_pair(totalOf(student), -1)) -
        byTotal_.begin());
    const std::size_t from = std::min(place - std::min(place, count / 2), byTotal_.size() - count);
    return {from, from + count};
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
    // Sorted by small keys, then put in that order: moving whole candidates while sorting costs
    // more than the comparisons.
    order_.clear();
    for (std::size_t i = 0; i < candidates_.size(); ++i) {
        const Candidate& c = candidates_[i];
        order_.push_back({c.along[axis], c.a, c.b, i});
    }
    std::sort(order_.begin(), order_.end(), [](const SortKey& x, const SortKey& y) {
        if (x.along != y.along) {
            return x.along < y.along;
        }
        return x.a != y.a ? x.a < y.a : x.b < y.b;
    });
    sorted_.clear();
    for (const SortKey& key : order_) {
        sorted_.push_back(candidates_[key.place]);
    }
    candidates_.swap(sorted_);
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
    const Exchange second{j.a, j.b, geometry_.first, geometry_.second};
    noted_.clear();
    state_.objective().noteCells(first, noted_);
    state_.objective().noteCells(second, noted_);
    state_.apply(first, true);
    double change = state_.changeIgnoringBands(second);
    if (change != BalanceObjective::kForbidden) {
        state_.apply(second, true);
        change = state_.objective().spreadsKept(noted_) ? i.change + change
                                                        : BalanceObjective::kForbidden;
        state_.apply(second.reversed(), true);
    }
    state_.apply(first.reversed(), true);
    return change;
}

std::pair<std::size_t, std::size_t> PairExchangeSearch::bestPair(double& best) {
    const std::size_t count = candidates_.size();
    std::pair<std::size_t, std::size_t> found{count, count};
    const std::size_t axis = sortCandidates();
    const std::size_t other = 1 - axis;
    // The four projections side by side, so that the scan below, which rules out most pairs by
    // them alone, reads a quarter of what whole candidates would take.
    points_.clear();
    for (const Candidate& c : candidates_) {
        points_.push_back({c.along[axis], c.along[other], c.across[0], c.across[1]});
    }
    const double reachAlong = reach_[axis];
    const double reachOther = reach_[other];
    for (std::size_t i = 0; i < count; ++i) {
        const Candidate& x = candidates_[i];
        const Point& xp = points_[i];
        // A pair changes the objective by at least its squared distance from t along both
        // projections, minus |t|^2.
        const double slack = best + geometry_.potential();
        if (slack <= 0) {
            break;
        }
        const double radius = std::sqrt(slack);
        if (2 * xp.along > reachAlong + radius) {
            break;  // every later candidate lies further along still
        }
        const double low = reachAlong - xp.along - radius;
        const double high = reachAlong - xp.along + radius;
        auto start =
            std::lower_bound(points_.begin() + static_cast<std::ptrdiff_t>(i) + 1, points_.end(),
                             low, [](const Point& c, double value) { return c.along < value; });
        for (auto j = static_cast<std::size_t>(start - points_.begin());
             j < count && points_[j].along <= high; ++j) {
            const Point& yp = points_[j];
            const double offAxis = squared(xp.other + yp.other - reachOther) +
                                   squared(xp.across0 + yp.across0) +
                                   squared(xp.across1 + yp.across1);
            if (squared(xp.along + yp.along - reachAlong) + offAxis >= slack) {
                continue;
            }
            const Candidate& y = candidates_[j];
            if (y.a == x.a || y.b == x.b) {
                continue;
            }
            const double cross = averageCross(i, j);
            // The averages' part exactly, the bands' part at least its projection's share.
            const double bandLeast =
                squared(x.along[1] + y.along[1] - reach_[1]) - geometry_.bandPotential;
            if (x.averageChange + y.averageChange + cross + bandLeast >= best) {
                continue;
            }
            const double together =
                x.change + y.change + cross + state_.objective().bandCross(x.a, x.b, y.a, y.b);
            if (together >= best) {
                continue;
            }
            const double checked = changeOfBoth(x, y);
            if (checked < best) {
                best = checked;
                found = {i, j};
            }
        }
    }
    return found;
}

void PairExchangeSearch::prepare(int first, int second) {
    state_.objective().geometry(first, second, geometry_);
    reach_ = {std::sqrt(geometry_.averagePotential), std::sqrt(geometry_.bandPotential)};
    listCandidates(first, second);
}

bool PairExchangeSearch::improveByThree(int first, int second, int openings, double minGain) {
    prepare(first, second);
    std::vector<Candidate> singles = candidates_;
    const std::size_t count = std::min(singles.size(), static_cast<std::size_t>(openings));
    std::partial_sort(singles.begin(), singles.begin() + static_cast<std::ptrdiff_t>(count),
                      singles.end(), [](const Candidate& x, const Candidate& y) {
                          if (x.change != y.change) {
                              return x.change < y.change;
                          }
                          return x.a != y.a ? x.a < y.a : x.b < y.b;
                      });
    double best = -minGain;
    std::array<Exchange, 3> found{};
    bool any = false;
    for (std::size_t n = 0; n < count; ++n) {
        const Exchange opening{singles[n].a, singles[n].b, first, second};
        noted_.clear();
        state_.objective().noteCells(opening, noted_);
        const BalanceObjective::NotedCells openingCells = noted_;
        state_.apply(opening, true);
        prepare(first, second);
        // Neither of the two that complete it may move its students again.
        std::erase_if(candidates_,
                      [&](const Candidate& c) { return c.a == opening.b || c.b == opening.a; });
        double rest = best - singles[n].change;
        const auto [i, j] =
            candidates_.empty() ? std::make_pair(std::size_t{0}, std::size_t{0}) : bestPair(rest);
        if (i < candidates_.size() && j < candidates_.size() && i != j) {
            const Exchange second1{candidates_[i].a, candidates_[i].b, first, second};
            const Exchange second2{candidates_[j].a, candidates_[j].b, first, second};
            // The band limits of the three together, from where they started.
            BalanceObjective::NotedCells cells = openingCells;
            state_.apply(opening.reversed(), true);
            state_.objective().noteCells(second1, cells);
            state_.objective().noteCells(second2, cells);
            state_.apply(opening, true);
            state_.apply(second1, true);
            state_.apply(second2, true);
            if (state_.objective().spreadsKept(cells)) {
                best = rest + singles[n].change;
                found = {opening, second1, second2};
                any = true;
            }
            state_.apply(second2.reversed(), true);
            state_.apply(second1.reversed(), true);
        }
        state_.apply(opening.reversed(), true);
    }
    if (!any) {
        return false;
    }
    for (const Exchange& exchange : found) {
        state_.apply(exchange);
    }
    ++changes_[static_cast<std::size_t>(first)];
    ++changes_[static_cast<std::size_t>(second)];
    return true;
}

void PairExchangeSearch::runDeeper(int maxSweeps, int openings, double minGain,
                                   SearchControl& control, double progressFrom, double progressTo) {
    for (int sweep = 0; sweep < maxSweeps; ++sweep) {
        std::fill(triedAt_.begin(), triedAt_.end(), std::make_pair(-1, -1));
        auto pairs = pairsByPotential(minGain);
        pairs.resize(
            std::min(pairs.size(), static_cast<std::size_t>(kPairsPerClass * state_.classCount())));
        bool improved = false;
        for (std::size_t n = 0; n < pairs.size(); ++n) {
            const double done =
                (sweep + static_cast<double>(n) / static_cast<double>(pairs.size())) / maxSweeps;
            if (!control.proceed(progressFrom + (progressTo - progressFrom) * done)) {
                return;
            }
            if (improveByThree(pairs[n].first, pairs[n].second, openings, minGain)) {
                improved = true;
                run(1, minGain, control, progressFrom + (progressTo - progressFrom) * done,
                    progressFrom + (progressTo - progressFrom) * done);
            }
        }
        if (!improved) {
            return;
        }
    }
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
    // The best single exchange that keeps the band limits on its own (the limits are asked of
    // those that would be best only).
    const Candidate* bestSingle = nullptr;
    for (const Candidate& candidate : candidates_) {
        if ((bestSingle == nullptr || candidate.change < bestSingle->change) &&
            state_.objective().bandsAllow({candidate.a, candidate.b, first, second})) {
            bestSingle = &candidate;
        }
    }
    const Exchange single =
        bestSingle ? Exchange{bestSingle->a, bestSingle->b, first, second} : Exchange{};
    double best = bestSingle ? std::min(bestSingle->change, 0.0) : 0.0;
    const auto [i, j] = bestPair(best);
    if (best >= -minGain) {
        return false;
    }
    if (i < candidates_.size()) {
        state_.apply({candidates_[i].a, candidates_[i].b, first, second});
        state_.apply({candidates_[j].a, candidates_[j].b, first, second});
    } else {
        state_.apply(single);
    }
    ++changes_[static_cast<std::size_t>(first)];
    ++changes_[static_cast<std::size_t>(second)];
    return true;
}

void PairExchangeSearch::run(int maxSweeps, double minGain, SearchControl& control,
                             double progressFrom, double progressTo) {
    for (int sweep = 0; sweep < maxSweeps; ++sweep) {
        auto pairs = pairsByPotential(minGain);
        pairs.resize(
            std::min(pairs.size(), static_cast<std::size_t>(kPairsPerClass * state_.classCount())));
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

void PairExchangeSearch::settle(std::vector<int> changed, int pairsPerClass, int maxSweeps,
                                double minGain) {
    const int classes = state_.classCount();
    for (int sweep = 0; sweep < maxSweeps && !changed.empty(); ++sweep) {
        std::vector<char> improved(static_cast<std::size_t>(classes), 0);
        for (int c : changed) {
            std::vector<ClassPair> pairs;
            for (int other = 0; other < classes; ++other) {
                if (other != c) {
                    pairs.push_back({state_.objective().potential(c, other), std::min(c, other),
                                     std::max(c, other)});
                }
            }
            const auto count = std::min(pairs.size(), static_cast<std::size_t>(pairsPerClass));
            std::partial_sort(pairs.begin(), pairs.begin() + static_cast<std::ptrdiff_t>(count),
                              pairs.end(), [](const ClassPair& x, const ClassPair& y) {
                                  if (x.potential != y.potential) {
                                      return x.potential > y.potential;
                                  }
                                  return x.first != y.first ? x.first < y.first
                                                            : x.second < y.second;
                              });
            for (std::size_t n = 0; n < count && pairs[n].potential > minGain; ++n) {
                int round = 0;
                while (round < kRoundsPerPair &&
                       improve(pairs[n].first, pairs[n].second, minGain)) {
                    ++round;
                }
                if (round > 0) {
                    improved[static_cast<std::size_t>(pairs[n].first)] = 1;
                    improved[static_cast<std::size_t>(pairs[n].second)] = 1;
                }
            }
        }
        changed.clear();
        for (int c = 0; c < classes; ++c) {
            if (improved[static_cast<std::size_t>(c)] != 0) {
                changed.push_back(c);
            }
        }
    }
}

}  // namespace qm::engine
