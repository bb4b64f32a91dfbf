#include "engine/optimisation/ApartGroupRule.h"

#include <algorithm>

namespace qm::engine {

ApartGroupRule::ApartGroupRule(const PlacedCohort& cohort, const std::vector<int>& classOf,
                               const GroupPlan& groups)
    : counts_(cohort.classCount, static_cast<std::size_t>(groups.apartGroupCount())) {
    keysOf_.reserve(cohort.students.size());
    for (std::size_t i = 0; i < cohort.students.size(); ++i) {
        keysOf_.push_back(groups.apartKeysOf(cohort.students[i].studentId));
        for (int key : keysOf_.back()) {
            counts_.add(classOf[i], key);
        }
    }
}

bool ApartGroupRule::meetsPartner(int entering, int joined, int leaving) const {
    static const std::vector<int> none;
    const auto& leavingKeys = leaving >= 0 ? keysOf(leaving) : none;
    for (int key : keysOf(entering)) {
        const bool leavingHolds =
            std::find(leavingKeys.begin(), leavingKeys.end(), key) != leavingKeys.end();
        if (counts_.at(joined, key) - (leavingHolds ? 1 : 0) > 0) {
            return true;
        }
    }
    return false;
}

bool ApartGroupRule::allows(const Exchange& exchange) const {
    return !meetsPartner(exchange.a, exchange.classB, exchange.b) &&
           !meetsPartner(exchange.b, exchange.classA, exchange.a);
}

void ApartGroupRule::move(int student, int from, int to) {
    for (int key : keysOf(student)) {
        counts_.move(key, from, to);
    }
}

void ApartGroupRule::applied(const Exchange& exchange) {
    move(exchange.a, exchange.classA, exchange.classB);
    move(exchange.b, exchange.classB, exchange.classA);
}

bool ApartGroupRule::allowsMove(int student, int to) const {
    return !meetsPartner(student, to, -1);
}

void ApartGroupRule::moved(int student, int from, int to) {
    move(student, from, to);
}

}  // namespace qm::engine
