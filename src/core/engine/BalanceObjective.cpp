#include "engine/BalanceObjective.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace qm::engine {

namespace {

double squared(double x) {
    return x * x;
}

// The first count of a window of this width centred on the share.
int centredStart(double share, int width) {
    return static_cast<int>(std::floor(share - width / 2.0 + 0.5));
}

// How far a value lies outside a range; 0 inside.
double distanceOutside(double value, double low, double high) {
    return std::max({0.0, low - value, value - high});
}

}  // namespace

BalanceObjective::BalanceObjective(const PlacedCohort& cohort, const std::vector<int>& classOf,
                                   const BalanceGoal& goal)
    : goal_(goal), classCount_(cohort.classCount) {
    std::vector<int> quantities;
    if (cohort.taken[kTotal]) {
        quantities.push_back(kTotal);
    }
    for (int s = 0; s < kSubjectCount; ++s) {
        if (cohort.taken[s]) {
            quantities.push_back(s);
        }
    }
    quantityCount_ = quantities.size();
    cohortAverages_.assign(quantityCount_, 0);
    for (const auto& student : cohort.students) {
        for (std::size_t q = 0; q < quantityCount_; ++q) {
            values_.push_back(student.values[quantities[q]]);
            cohortAverages_[q] += student.values[quantities[q]];
        }
    }
    const double cohortSize = static_cast<double>(cohort.students.size());
    for (double& average : cohortAverages_) {
        average /= cohortSize;
    }
    sizes_.assign(static_cast<std::size_t>(classCount_), 0);
    for (int c : classOf) {
        ++sizes_[static_cast<std::size_t>(c)];
    }
    for (int size : sizes_) {
        inverseSize_.push_back(size > 0 ? 1.0 / size : 0.0);
    }
    setUpBands(cohort, classOf);
    reset(classOf);
    setUpWindows();
    setUpAverageRanges();
}

void BalanceObjective::setUpBands(const PlacedCohort& cohort, const std::vector<int>& classOf) {
    std::vector<int> subjects;
    for (int s = 0; s < kSubjectCount; ++s) {
        if (cohort.taken[s]) {
            subjects.push_back(s);
        }
    }
    subjectCount_ = subjects.size();
    // Cells numbered subject by subject, bands ascending.
    std::vector<std::map<int, int>> cellOfBand(subjectCount_);
    for (std::size_t j = 0; j < subjectCount_; ++j) {
        for (const auto& student : cohort.students) {
            cellOfBand[j].try_emplace(student.bands[subjects[j]], 0);
        }
        for (auto& [band, cell] : cellOfBand[j]) {
            cell = static_cast<int>(cellSubject_.size());
            cellSubject_.push_back(static_cast<int>(j));
        }
    }
    cellCount_ = cellSubject_.size();
    cohortCounts_.assign(cellCount_, 0);
    for (const auto& student : cohort.students) {
        for (std::size_t j = 0; j < subjectCount_; ++j) {
            const int cell = cellOfBand[j].at(student.bands[subjects[j]]);
            cells_.push_back(cell);
            ++cohortCounts_[static_cast<std::size_t>(cell)];
        }
    }
    const double cohortSize = static_cast<double>(classOf.size());
    for (int size : sizes_) {
        for (int cohortCount : cohortCounts_) {
            fairShares_.push_back(size * (cohortCount / cohortSize));
        }
    }
}

void BalanceObjective::setUpWindows() {
    std::vector<int> lowest(cellCount_, 0);
    std::vector<int> highest(cellCount_, 0);
    std::vector<int> spread(subjectCount_, 0);
    for (std::size_t z = 0; z < cellCount_; ++z) {
        lowest[z] = highest[z] = count(0, static_cast<int>(z));
        for (int c = 1; c < classCount_; ++c) {
            lowest[z] = std::min(lowest[z], count(c, static_cast<int>(z)));
            highest[z] = std::max(highest[z], count(c, static_cast<int>(z)));
        }
        auto& subjectSpread = spread[static_cast<std::size_t>(cellSubject_[z])];
        subjectSpread = std::max(subjectSpread, highest[z] - lowest[z]);
    }
    for (std::size_t z = 0; z < cellCount_; ++z) {
        // The outer window: as wide as the subject's band spread, holding every class's count,
        // centred on an average class's fair share as far as that allows. Keeping every count
        // in it keeps the subject's band spread.
        const int outerWidth = spread[static_cast<std::size_t>(cellSubject_[z])];
        const double share = cohortCounts_[z] / static_cast<double>(classCount_);
        const int outerLow =
            std::clamp(centredStart(share, outerWidth), highest[z] - outerWidth, lowest[z]);
        // The window itself, no wider than the limit, within the outer window and holding the
        // counts when they fit into it.
        const int width = std::min(outerWidth, goal_.bandSpreadLimit);
        int low = centredStart(share, width);
        if (highest[z] - lowest[z] <= width) {
            low = std::clamp(low, std::max(outerLow, highest[z] - width),
                             std::min(lowest[z], outerLow + outerWidth - width));
        } else {
            low = std::clamp(low, outerLow, outerLow + outerWidth - width);
        }
        windowLow_.push_back(low);
        windowHigh_.push_back(low + width);
    }
}

void BalanceObjective::setUpAverageRanges() {
    rangeLow_.assign(quantityCount_, 0);
    rangeHigh_.assign(quantityCount_, 0);
    for (std::size_t q = 0; q < quantityCount_; ++q) {
        bool first = true;
        for (int c = 0; c < classCount_; ++c) {
            if (sizes_[static_cast<std::size_t>(c)] == 0) {
                continue;
            }
            const double deviation = deviationSum(c, q) * inverseSize_[static_cast<std::size_t>(c)];
            rangeLow_[q] = first ? deviation : std::min(rangeLow_[q], deviation);
            rangeHigh_[q] = first ? deviation : std::max(rangeHigh_[q], deviation);
            first = false;
        }
    }
}

void BalanceObjective::reset(const std::vector<int>& classOf) {
    std::vector<double> sums(static_cast<std::size_t>(classCount_) * quantityCount_, 0);
    counts_.assign(static_cast<std::size_t>(classCount_) * cellCount_, 0);
    for (std::size_t i = 0; i < classOf.size(); ++i) {
        const int c = classOf[i];
        for (std::size_t q = 0; q < quantityCount_; ++q) {
            sums[static_cast<std::size_t>(c) * quantityCount_ + q] +=
                values(static_cast<int>(i))[q];
        }
        for (std::size_t j = 0; j < subjectCount_; ++j) {
            ++count(c, cell(static_cast<int>(i), static_cast<int>(j)));
        }
    }
    deviationSums_.assign(sums.size(), 0);
    for (int c = 0; c < classCount_; ++c) {
        for (std::size_t q = 0; q < quantityCount_; ++q) {
            deviationSum(c, q) = sums[static_cast<std::size_t>(c) * quantityCount_ + q] -
                                 sizes_[static_cast<std::size_t>(c)] * cohortAverages_[q];
        }
    }
}

double BalanceObjective::value() const {
    double total = 0;
    for (int c = 0; c < classCount_; ++c) {
        const double inverse = inverseSize_[static_cast<std::size_t>(c)];
        for (std::size_t q = 0; q < quantityCount_; ++q) {
            total += squared(deviationSum(c, q) * inverse);
        }
        if (goal_.bandWeight > 0) {
            for (std::size_t z = 0; z < cellCount_; ++z) {
                total += goal_.bandWeight * squared(excess(c, static_cast<int>(z)));
            }
        }
    }
    return total;
}

bool BalanceObjective::averageStaysInRange(std::size_t q, int c, double before,
                                           double after) const {
    const double inverse = inverseSize_[static_cast<std::size_t>(c)];
    return distanceOutside(after * inverse, rangeLow_[q], rangeHigh_[q]) <=
           distanceOutside(before * inverse, rangeLow_[q], rangeHigh_[q]);
}

// A count may step within its window or toward it, never away from it.
bool BalanceObjective::countMayChange(int c, int z, int step) const {
    const auto cellIndex = static_cast<std::size_t>(z);
    return step < 0 ? count(c, z) > windowLow_[cellIndex] : count(c, z) < windowHigh_[cellIndex];
}

double BalanceObjective::change(const Exchange& exchange) const {
    const int p = exchange.classA;
    const int q = exchange.classB;
    const double* leaving = values(exchange.a);
    const double* entering = values(exchange.b);
    const double inverseP = inverseSize_[static_cast<std::size_t>(p)];
    const double inverseQ = inverseSize_[static_cast<std::size_t>(q)];
    double averages = 0;
    for (std::size_t k = 0; k < quantityCount_; ++k) {
        const double d = entering[k] - leaving[k];
        if (d == 0) {
            continue;
        }
        const double sumP = deviationSum(p, k);
        const double sumQ = deviationSum(q, k);
        if (!averageStaysInRange(k, p, sumP, sumP + d) ||
            !averageStaysInRange(k, q, sumQ, sumQ - d)) {
            return kForbidden;
        }
        averages +=
            d * (2 * sumP + d) * inverseP * inverseP + d * (d - 2 * sumQ) * inverseQ * inverseQ;
    }
    double bands = 0;
    for (std::size_t j = 0; j < subjectCount_; ++j) {
        const int za = cell(exchange.a, static_cast<int>(j));
        const int zb = cell(exchange.b, static_cast<int>(j));
        if (za == zb) {
            continue;
        }
        if (!countMayChange(p, za, -1) || !countMayChange(p, zb, 1) || !countMayChange(q, za, 1) ||
            !countMayChange(q, zb, -1)) {
            return kForbidden;
        }
        // (e-1)^2 - e^2 = 1 - 2e for a count that falls, (e+1)^2 - e^2 = 1 + 2e for one that rises.
        bands += 2 * (excess(p, zb) - excess(p, za) + excess(q, za) - excess(q, zb)) + 4;
    }
    return averages + goal_.bandWeight * bands;
}

void BalanceObjective::apply(const Exchange& exchange) {
    const int p = exchange.classA;
    const int q = exchange.classB;
    const double* leaving = values(exchange.a);
    const double* entering = values(exchange.b);
    for (std::size_t k = 0; k < quantityCount_; ++k) {
        const double d = entering[k] - leaving[k];
        deviationSum(p, k) += d;
        deviationSum(q, k) -= d;
    }
    for (std::size_t j = 0; j < subjectCount_; ++j) {
        const int za = cell(exchange.a, static_cast<int>(j));
        const int zb = cell(exchange.b, static_cast<int>(j));
        if (za != zb) {
            --count(p, za);
            ++count(p, zb);
            ++count(q, za);
            --count(q, zb);
        }
    }
}

void BalanceObjective::geometry(int first, int second, PairGeometry& out) const {
    out.first = first;
    out.second = second;
    out.weight.resize(quantityCount_);
    out.target.resize(quantityCount_);
    out.averagePotential = 0;
    const double squareP = squared(inverseSize_[static_cast<std::size_t>(first)]);
    const double squareQ = squared(inverseSize_[static_cast<std::size_t>(second)]);
    for (std::size_t k = 0; k < quantityCount_; ++k) {
        out.weight[k] = squareP + squareQ;
        out.target[k] =
            (deviationSum(second, k) * squareQ - deviationSum(first, k) * squareP) / out.weight[k];
        out.averagePotential += out.weight[k] * squared(out.target[k]);
    }
    out.bandTarget.resize(cellCount_);
    out.bandPotential = 0;
    // Every band cell weighs twice the band weight, and its target is half the two classes'
    // difference of excess head counts.
    for (std::size_t z = 0; z < cellCount_; ++z) {
        const int cellIndex = static_cast<int>(z);
        out.bandTarget[z] = (excess(second, cellIndex) - excess(first, cellIndex)) / 2;
        out.bandPotential += 2 * goal_.bandWeight * squared(out.bandTarget[z]);
    }
}

double BalanceObjective::potential(int first, int second) const {
    const double squareP = squared(inverseSize_[static_cast<std::size_t>(first)]);
    const double squareQ = squared(inverseSize_[static_cast<std::size_t>(second)]);
    double result = 0;
    for (std::size_t k = 0; k < quantityCount_; ++k) {
        const double gap = deviationSum(second, k) * squareQ - deviationSum(first, k) * squareP;
        result += squared(gap) / (squareP + squareQ);
    }
    if (goal_.bandWeight > 0) {
        for (std::size_t z = 0; z < cellCount_; ++z) {
            const int cellIndex = static_cast<int>(z);
            result += goal_.bandWeight / 2 *
                      squared(excess(second, cellIndex) - excess(first, cellIndex));
        }
    }
    return result;
}

void BalanceObjective::valueChange(int a, int b, double* out) const {
    const double* leaving = values(a);
    const double* entering = values(b);
    for (std::size_t k = 0; k < quantityCount_; ++k) {
        out[k] = entering[k] - leaving[k];
    }
}

double BalanceObjective::bandAlong(const PairGeometry& pair, int a, int b) const {
    double along = 0;
    for (std::size_t j = 0; j < subjectCount_; ++j) {
        const int za = cell(a, static_cast<int>(j));
        const int zb = cell(b, static_cast<int>(j));
        if (za != zb) {
            along += pair.bandTarget[static_cast<std::size_t>(zb)] -
                     pair.bandTarget[static_cast<std::size_t>(za)];
        }
    }
    return 2 * goal_.bandWeight * along;
}

double BalanceObjective::bandCross(int a1, int b1, int a2, int b2) const {
    // Each exchange takes one from a band cell and adds one to another, per subject: the
    // product of two such changes.
    int product = 0;
    for (std::size_t j = 0; j < subjectCount_; ++j) {
        const int out1 = cell(a1, static_cast<int>(j));
        const int in1 = cell(b1, static_cast<int>(j));
        const int out2 = cell(a2, static_cast<int>(j));
        const int in2 = cell(b2, static_cast<int>(j));
        if (out1 != in1 && out2 != in2) {
            product += (out1 == out2) - (out1 == in2) - (in1 == out2) + (in1 == in2);
        }
    }
    return 4 * goal_.bandWeight * product;
}

}  // namespace qm::engine
