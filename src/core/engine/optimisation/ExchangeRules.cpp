#include "engine/optimisation/ExchangeRules.h"

#include <map>
#include <string>
#include <utility>

#include "engine/optimisation/ApartGroupRule.h"
#include "engine/optimisation/PinyinApartRule.h"

namespace qm::engine {

ExchangeRules::ExchangeRules(const PlacedCohort& cohort, const std::vector<int>& classOf,
                             const GroupPlan& groups) {
    std::map<std::pair<std::string, std::string>, int> exchangeGroups;
    for (const auto& student : cohort.students) {
        if (student.fixed || groups.togetherOf(student.studentId)) {
            groupOf_.push_back(-1);
            continue;
        }
        const auto key = std::make_pair(student.sex, student.category);
        groupOf_.push_back(
            exchangeGroups.try_emplace(key, static_cast<int>(exchangeGroups.size())).first->second);
    }
    groupCount_ = static_cast<int>(exchangeGroups.size());
    add(std::make_unique<PinyinApartRule>(cohort, classOf));
    if (groups.apartGroupCount() > 0) {
        add(std::make_unique<ApartGroupRule>(cohort, classOf, groups));
    }
}

void ExchangeRules::add(std::unique_ptr<ExchangeRule> rule) {
    rules_.push_back(std::move(rule));
}

bool ExchangeRules::allows(const Exchange& exchange) const {
    if (exchange.classA == exchange.classB || !movable(exchange.a) ||
        group(exchange.a) != group(exchange.b)) {
        return false;
    }
    for (const auto& rule : rules_) {
        if (!rule->allows(exchange)) {
            return false;
        }
    }
    return true;
}

void ExchangeRules::applied(const Exchange& exchange) {
    for (const auto& rule : rules_) {
        rule->applied(exchange);
    }
}

bool ExchangeRules::allowsMove(int student, int from, int to) const {
    if (from == to || !movable(student)) {
        return false;
    }
    for (const auto& rule : rules_) {
        if (!rule->allowsMove(student, to)) {
            return false;
        }
    }
    return true;
}

void ExchangeRules::moved(int student, int from, int to) {
    for (const auto& rule : rules_) {
        rule->moved(student, from, to);
    }
}

}  // namespace qm::engine
