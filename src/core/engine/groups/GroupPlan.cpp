#include "engine/groups/GroupPlan.h"

#include <algorithm>

namespace qm::engine {

GroupPlan::GroupPlan(const std::vector<store::StudentGroup>& groups, std::string projectTable)
    : projectTable_(std::move(projectTable)) {
    for (const store::StudentGroup& group : groups) {
        if (group.kind == store::GroupKind::Together) {
            for (int student : group.members) {
                members_[student].together = static_cast<int>(together_.size());
            }
            together_.push_back(group.members);
        } else {
            for (int student : group.members) {
                members_[student].apartKeys.push_back(apartGroupCount_);
            }
            ++apartGroupCount_;
        }
    }
    togetherApartKeys_.resize(together_.size());
    for (std::size_t t = 0; t < together_.size(); ++t) {
        auto& keys = togetherApartKeys_[t];
        for (int student : together_[t]) {
            const auto& own = members_[student].apartKeys;
            keys.insert(keys.end(), own.begin(), own.end());
        }
        std::sort(keys.begin(), keys.end());
        keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    }
}

std::optional<int> GroupPlan::togetherOf(int studentId) const {
    const auto found = members_.find(studentId);
    if (found == members_.end() || found->second.together < 0) {
        return std::nullopt;
    }
    return found->second.together;
}

const std::vector<int>& GroupPlan::apartKeysOf(int studentId) const {
    static const std::vector<int> none;
    const auto found = members_.find(studentId);
    return found == members_.end() ? none : found->second.apartKeys;
}

}  // namespace qm::engine
