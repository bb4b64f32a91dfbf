#include "support/TeacherGroups.h"

#include <algorithm>
#include <random>

#include "store/GroupCheck.h"

namespace qm::test {

std::vector<store::NewGroup> makeGroups(std::vector<int> free, std::vector<int> fixed,
                                        const GroupMix& mix, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::shuffle(free.begin(), free.end(), random);
    std::vector<store::NewGroup> groups;
    std::vector<bool> holdsFixed;
    for (int g = 0; g < mix.apart + mix.together; ++g) {
        const bool apart = g < mix.apart;
        const int largest = apart ? mix.largestApart : mix.largestTogether;
        if (largest < 2) {
            continue;
        }
        const std::size_t size = 2 + random() % static_cast<std::uint32_t>(largest - 1);
        if (free.size() < size) {
            break;
        }
        store::NewGroup group{apart ? store::GroupKind::Apart : store::GroupKind::Together,
                              {free.end() - static_cast<long>(size), free.end()},
                              ""};
        free.resize(free.size() - size);
        const bool takesFixed =
            !fixed.empty() && static_cast<int>(random() % 100) < mix.fixedPercent;
        if (takesFixed) {
            group.members.back() = fixed.back();
            fixed.pop_back();
        }
        groups.push_back(std::move(group));
        holdsFixed.push_back(takesFixed);
    }
    // The k-th 分开 group takes the first student of the k-th 同班 group (the 分开 groups come
    // first).
    const auto apartMade = static_cast<std::size_t>(std::count_if(
        groups.begin(), groups.end(),
        [](const store::NewGroup& group) { return group.kind == store::GroupKind::Apart; }));
    for (std::size_t k = 0; k < static_cast<std::size_t>(mix.sharedMembers) && k < apartMade &&
                            apartMade + k < groups.size();
         ++k) {
        auto& apartGroup = groups[k];
        if (!holdsFixed[k] && !holdsFixed[apartMade + k] &&
            static_cast<int>(apartGroup.members.size()) < mix.largestApart) {
            apartGroup.members.push_back(groups[apartMade + k].members.front());
        }
    }
    return groups;
}

std::vector<std::string> brokenGroups(db::Connection& connection,
                                      const store::CurrentProject& project) {
    const auto classes = store::readClasses(connection, project.fbTable);
    std::vector<std::string> broken;
    for (const auto& group : store::loadGroups(connection, project.id())) {
        if (auto reason = store::whyBroken(group, classes)) {
            broken.push_back(*reason);
        }
    }
    return broken;
}

}  // namespace qm::test
