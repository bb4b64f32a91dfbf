#include "engine/balance/BalanceFigures.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

namespace qm::engine {

namespace {

template <typename T>
T spreadOf(const std::vector<T>& values) {
    if (values.empty()) {
        return T{};
    }
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    return *high - *low;
}

// Head counts per class of the students for whom `counts` is true.
template <typename Predicate>
int countSpread(const PlacedCohort& cohort, const std::vector<int>& classOf, Predicate counts) {
    std::vector<int> heads(static_cast<std::size_t>(cohort.classCount), 0);
    for (std::size_t i = 0; i < cohort.students.size(); ++i) {
        if (counts(cohort.students[i])) {
            ++heads[static_cast<std::size_t>(classOf[i])];
        }
    }
    return spreadOf(heads);
}

BalanceFigures::Average averageFigures(const PlacedCohort& cohort, const std::vector<int>& classOf,
                                       int quantity) {
    const auto classCount = static_cast<std::size_t>(cohort.classCount);
    std::vector<double> sums(classCount, 0);
    std::vector<int> heads(classCount, 0);
    double cohortSum = 0;
    for (std::size_t i = 0; i < cohort.students.size(); ++i) {
        const double value = cohort.students[i].values[quantity];
        sums[static_cast<std::size_t>(classOf[i])] += value;
        ++heads[static_cast<std::size_t>(classOf[i])];
        cohortSum += value;
    }
    const double cohortAverage = cohortSum / static_cast<double>(cohort.students.size());
    std::vector<double> averages;
    BalanceFigures::Average figures;
    figures.quantity = quantity;
    for (std::size_t c = 0; c < classCount; ++c) {
        if (heads[c] > 0) {
            averages.push_back(sums[c] / heads[c]);
            figures.largestDeviation =
                std::max(figures.largestDeviation, std::fabs(averages.back() - cohortAverage));
        }
    }
    figures.spread = spreadOf(averages);
    return figures;
}

int bandSpread(const PlacedCohort& cohort, const std::vector<int>& classOf, Subject subject) {
    // Head counts per band, each a row over the classes.
    std::map<int, std::vector<int>> bands;
    for (std::size_t i = 0; i < cohort.students.size(); ++i) {
        auto& row = bands[cohort.students[i].bands[subject]];
        row.resize(static_cast<std::size_t>(cohort.classCount), 0);
        ++row[static_cast<std::size_t>(classOf[i])];
    }
    int spread = 0;
    for (const auto& [band, heads] : bands) {
        spread = std::max(spread, spreadOf(heads));
    }
    return spread;
}

}  // namespace

double BalanceFigures::totalSpread() const {
    for (const Average& average : averages) {
        if (average.quantity == kTotal) {
            return average.spread;
        }
    }
    return 0;
}

double BalanceFigures::worstSubjectSpread() const {
    double worst = 0;
    for (const Average& average : averages) {
        if (average.quantity != kTotal) {
            worst = std::max(worst, average.spread);
        }
    }
    return worst;
}

int BalanceFigures::worstBandSpread() const {
    int worst = 0;
    for (const Bands& subject : bands) {
        worst = std::max(worst, subject.spread);
    }
    return worst;
}

int BalanceFigures::worstCategorySpread() const {
    int worst = 0;
    for (const Category& category : categories) {
        worst = std::max(worst, category.spread);
    }
    return worst;
}

BalanceFigures measureBalance(const PlacedCohort& cohort, const std::vector<int>& classOf) {
    BalanceFigures figures;
    if (cohort.students.empty() || cohort.classCount < 1) {
        return figures;
    }
    if (cohort.taken[kTotal]) {
        figures.averages.push_back(averageFigures(cohort, classOf, kTotal));
    }
    for (int s = 0; s < kSubjectCount; ++s) {
        if (cohort.taken[s]) {
            figures.averages.push_back(averageFigures(cohort, classOf, s));
            figures.bands.push_back(
                {static_cast<Subject>(s), bandSpread(cohort, classOf, static_cast<Subject>(s))});
        }
    }
    std::set<std::string> labels;
    for (const auto& student : cohort.students) {
        if (!student.category.empty()) {
            labels.insert(student.category);
        }
    }
    for (const std::string& label : labels) {
        figures.categories.push_back(
            {label, countSpread(cohort, classOf,
                                [&](const PlacedStudent& s) { return s.category == label; })});
    }
    figures.boysSpread =
        countSpread(cohort, classOf, [](const PlacedStudent& s) { return s.sex == "男"; });
    figures.girlsSpread =
        countSpread(cohort, classOf, [](const PlacedStudent& s) { return s.sex == "女"; });
    figures.sizeSpread = countSpread(cohort, classOf, [](const PlacedStudent&) { return true; });
    return figures;
}

}  // namespace qm::engine
