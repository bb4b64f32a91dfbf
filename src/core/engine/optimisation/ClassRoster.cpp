#include "engine/optimisation/ClassRoster.h"

#include <utility>

namespace qm::engine {

ClassRoster::ClassRoster(const ExchangeRules& rules, const std::vector<int>& classOf,
                         int classCount)
    : groupCount_(rules.groupCount()),
      members_(static_cast<std::size_t>(classCount) * static_cast<std::size_t>(groupCount_)),
      slot_(classOf.size(), -1),
      group_(classOf.size(), -1) {
    for (std::size_t i = 0; i < classOf.size(); ++i) {
        const int student = static_cast<int>(i);
        if (!rules.movable(student)) {
            continue;
        }
        group_[i] = rules.group(student);
        auto& list = members_[index(classOf[i], group_[i])];
        slot_[i] = static_cast<int>(list.size());
        list.push_back(student);
    }
}

void ClassRoster::apply(const Exchange& exchange) {
    const auto a = static_cast<std::size_t>(exchange.a);
    const auto b = static_cast<std::size_t>(exchange.b);
    members_[index(exchange.classA, group_[a])][static_cast<std::size_t>(slot_[a])] = exchange.b;
    members_[index(exchange.classB, group_[b])][static_cast<std::size_t>(slot_[b])] = exchange.a;
    std::swap(slot_[a], slot_[b]);
}

}  // namespace qm::engine
