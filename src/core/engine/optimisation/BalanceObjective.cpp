#include "engine/optimisation/BalanceObjective.h"

#include <algorithm>
#include <map>

namespace qm::engine {

namespace {

double squared(double x) {
    return x * x;
}

}  // namespace

BalanceObjective::BalanceObjective(const PlacedCohort& cohort, const std::vector<int>& classOf,
                                   const BalanceGoal& goal)
    : goal_(goal), classCount_(cohort.classCount) {
    if (cohort.taken[kTotal]) {
        quantities_.push_back(kTotal);
    }
    for (int s = 0; s < kSubjectCount; ++s) {
        if (cohort.taken[s]) {
            quantities_.push_back(s);
        }
    }
    quantityCount_ = quantities_.size();
    weights_.assign(quantityCount_, 1.0);
    cohortAverages_.assign(quantityCount_, 0);
    for (const auto& student : cohort.students) {
        for (std::size_t q = 0; q < quantityCount_; ++q) {
            values_.push_back(student.values[quantities_[q]]);
            cohortAverages_[q] += student.values[quantities_[q]];
        }
    }
    const double cohortSize = static_cast<double>(cohort.students.size());
    for (double& average : cohortAverages_) {
        average /= cohortSize;
    }
    setUpBands(cohort);
    reset(classOf);
    setUpLimits();
}

void BalanceObjective::weighMore(int quantity, double factor) {
    for (std::size_t q = 0; q < quantityCount_; ++q) {
        if (quantities_[q] == quantity) {
            weights_[q] *= factor;
        }
    }
}

void BalanceObjective::setUpBands(const PlacedCohort& cohort) {
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
    const double cohortSize = static_cast<double>(cohort.students.size());
    for (int cohortCount : cohortCounts_) {
        shares_.push_back(cohortCount / cohortSize);
    }
}

void BalanceObjective::setUpLimits() {
    std::vector<int> subjectSpread(subjectCount_, 0);
    for (std::size_t z = 0; z < cellCount_; ++z) {
        auto& spread = subjectSpread[static_cast<std::size_t>(cellSubject_[z])];
        spread = std::max(spread, spreads_.spread(static_cast<int>(z)));
    }
    const int widest =
        subjectSpread.empty() ? 0 : *std::max_element(subjectSpread.begin(), subjectSpread.end());
    for (std::size_t z = 0; z < cellCount_; ++z) {
        const int startSpread = goal_.eachSubjectKeepsItsBands
                                    ? subjectSpread[static_cast<std::size_t>(cellSubject_[z])]
                                    : widest;
        limits_.push_back(std::min(goal_.bandSpreadLimit, startSpread));
    }
}

void BalanceObjective::setSizes(const std::vector<int>& classOf) {
    sizes_.assign(static_cast<std::size_t>(classCount_), 0);
    for (int c : classOf) {
        ++sizes_[static_cast<std::size_t>(c)];
    }
    inverseSizes_.clear();
    for (int size : sizes_) {
        inverseSizes_.push_back(size > 0 ? 1.0 / size : 0.0);
    }
}

void BalanceObjective::reset(const std::vector<int>& classOf) {
    setSizes(classOf);
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
    spreads_ = CellSpreads(counts_, classCount_, cohortCounts_);
}

double BalanceObjective::value() const {
    double total = 0;
    for (int c = 0; c < classCount_; ++c) {
        for (std::size_t q = 0; q < quantityCount_; ++q) {
            total += weights_[q] * squared(deviationSum(c, q) * inverseSize(c));
        }
        if (goal_.bandWeight > 0) {
            for (std::size_t z = 0; z < cellCount_; ++z) {
                total += goal_.bandWeight * squared(excess(c, static_cast<int>(z)));
            }
        }
    }
    return total;
}

bool BalanceObjective::shiftAllowed(int z, int fallingClass, int risingClass) const {
    const int after = spreads_.spreadAfter(z, count(fallingClass, z), count(risingClass, z));
    return after <= std::max(limits_[static_cast<std::size_t>(z)], spreads_.spread(z));
}

void BalanceObjective::shift(int z, int fallingClass, int risingClass) {
    spreads_.shift(z, count(fallingClass, z), count(risingClass, z));
    --count(fallingClass, z);
    ++count(risingClass, z);
}

bool BalanceObjective::bandsAllow(const Exchange& exchange) const {
    for (std::size_t j = 0; j < subjectCount_; ++j) {
        const int za = cell(exchange.a, static_cast<int>(j));
        const int zb = cell(exchange.b, static_cast<int>(j));
        if (za != zb && (!shiftAllowed(za, exchange.classA, exchange.classB) ||
                         !shiftAllowed(zb, exchange.classB, exchange.classA))) {
            return false;
        }
    }
    return true;
}

double BalanceObjective::change(const Exchange& exchange) const {
    const int p = exchange.classA;
    const int q = exchange.classB;
    const double* leaving = values(exchange.a);
    const double* entering = values(exchange.b);
    const double inverseP = inverseSize(p);
    const double inverseQ = inverseSize(q);
    double averages = 0;
    for (std::size_t k = 0; k < quantityCount_; ++k) {
        const double d = entering[k] - leaving[k];
        averages += weights_[k] * (d * (2 * deviationSum(p, k) + d) * inverseP * inverseP +
                                   d * (d - 2 * deviationSum(q, k)) * inverseQ * inverseQ);
    }
    if (goal_.bandWeight == 0) {
        return averages;
    }
    double bands = 0;
    for (std::size_t j = 0; j < subjectCount_; ++j) {
        const int za = cell(exchange.a, static_cast<int>(j));
        const int zb = cell(exchange.b, static_cast<int>(j));
        if (za != zb) {
            // (e-1)^2 - e^2 = 1 - 2e for a count that falls, (e+1)^2 - e^2 = 1 + 2e for one
            // that rises.
            bands += 2 * (excess(p, zb) - excess(p, za) + excess(q, za) - excess(q, zb)) + 4;
        }
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
            shift(za, p, q);
            shift(zb, q, p);
        }
    }
}

double BalanceObjective::bandTermOf(int c, int size, int student, int step) const {
    double term = 0;
    std::size_t j = 0;
    for (std::size_t z = 0; z < cellCount_; ++z) {
        // The student's cells come in the order of the cells, one per subject.
        int heads = count(c, static_cast<int>(z));
        if (j < subjectCount_ && cell(student, static_cast<int>(j)) == static_cast<int>(z)) {
            heads += step;
            ++j;
        }
        term += squared(heads - size * shares_[z]);
    }
    return term;
}

double BalanceObjective::moveChange(int student, int from, int to) const {
    for (std::size_t j = 0; j < subjectCount_; ++j) {
        if (!shiftAllowed(cell(student, static_cast<int>(j)), from, to)) {
            return kForbidden;
        }
    }
    const int sizeFrom = sizes_[static_cast<std::size_t>(from)];
    const int sizeTo = sizes_[static_cast<std::size_t>(to)];
    const double* own = values(student);
    double averages = 0;
    for (std::size_t k = 0; k < quantityCount_; ++k) {
        const double d = own[k] - cohortAverages_[k];
        const double leftBehind = sizeFrom > 1 ? (deviationSum(from, k) - d) / (sizeFrom - 1) : 0;
        averages += weights_[k] *
                    (squared(leftBehind) - squared(deviationSum(from, k) * inverseSize(from)) +
                     squared((deviationSum(to, k) + d) / (sizeTo + 1)) -
                     squared(deviationSum(to, k) * inverseSize(to)));
    }
    if (goal_.bandWeight == 0) {
        return averages;
    }
    const double bands =
        bandTermOf(from, sizeFrom - 1, student, -1) - bandTermOf(from, sizeFrom, student, 0) +
        bandTermOf(to, sizeTo + 1, student, 1) - bandTermOf(to, sizeTo, student, 0);
    return averages + goal_.bandWeight * bands;
}

void BalanceObjective::applyMove(int student, int from, int to) {
    const double* own = values(student);
    for (std::size_t k = 0; k < quantityCount_; ++k) {
        const double d = own[k] - cohortAverages_[k];
        deviationSum(from, k) -= d;
        deviationSum(to, k) += d;
    }
    for (std::size_t j = 0; j < subjectCount_; ++j) {
        shift(cell(student, static_cast<int>(j)), from, to);
    }
    for (int c : {from, to}) {
        auto& size = sizes_[static_cast<std::size_t>(c)];
        size += c == from ? -1 : 1;
        inverseSizes_[static_cast<std::size_t>(c)] = size > 0 ? 1.0 / size : 0.0;
    }
}

void BalanceObjective::noteCells(const Exchange& exchange, NotedCells& cells) const {
    for (std::size_t j = 0; j < subjectCount_; ++j) {
        const int za = cell(exchange.a, static_cast<int>(j));
        const int zb = cell(exchange.b, static_cast<int>(j));
        if (za != zb) {
            cells.emplace_back(za, spreads_.spread(za));
            cells.emplace_back(zb, spreads_.spread(zb));
        }
    }
}

bool BalanceObjective::spreadsKept(const NotedCells& cells) const {
    for (const auto& [z, noted] : cells) {
        if (spreads_.spread(z) > std::max(limits_[static_cast<std::size_t>(z)], noted)) {
            return false;
        }
    }
    return true;
}

void BalanceObjective::geometry(int first, int second, PairGeometry& out) const {
    out.first = first;
    out.second = second;
    out.weight.resize(quantityCount_);
    out.target.resize(quantityCount_);
    out.averagePotential = 0;
    const double squareP = squared(inverseSize(first));
    const double squareQ = squared(inverseSize(second));
    for (std::size_t k = 0; k < quantityCount_; ++k) {
        out.weight[k] = weights_[k] * (squareP + squareQ);
        out.target[k] = (deviationSum(second, k) * squareQ - deviationSum(first, k) * squareP) /
                        (squareP + squareQ);
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
    const double squareP = squared(inverseSize(first));
    const double squareQ = squared(inverseSize(second));
    double result = 0;
    for (std::size_t k = 0; k < quantityCount_; ++k) {
        const double gap = deviationSum(second, k) * squareQ - deviationSum(first, k) * squareP;
        result += weights_[k] * squared(gap) / (squareP + squareQ);
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
