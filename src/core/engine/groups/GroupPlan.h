#pragma once

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "store/StudentGroup.h"

namespace qm::engine {

// The teacher's groups as a division run keeps them. The members of a 同班 group are placed as
// one; the groups are numbered here by index. Each 分开 group gets a key that the classes count
// their members under (ClassTally::apartCount).
class GroupPlan {
  public:
    // No groups: the division runs exactly as without them.
    GroupPlan() = default;
    // groups: the project's groups, holding only students of the project's student table.
    GroupPlan(const std::vector<store::StudentGroup>& groups, std::string projectTable);

    bool empty() const { return members_.empty(); }
    // The project's own student table (a pass may work on its twin).
    const std::string& projectTable() const { return projectTable_; }

    bool isMember(int studentId) const { return members_.count(studentId) != 0; }
    // The index of the student's 同班 group; nothing when it has none.
    std::optional<int> togetherOf(int studentId) const;
    const std::vector<int>& togetherMembers(int together) const { return together_[together]; }
    // The keys of the student's own 分开 groups.
    const std::vector<int>& apartKeysOf(int studentId) const;
    // The keys of the 分开 groups of all members of a 同班 group, each once.
    const std::vector<int>& apartKeysOfTogether(int together) const {
        return togetherApartKeys_[together];
    }
    // How many 分开 groups there are: their keys run from 0 to this number less one.
    int apartGroupCount() const { return apartGroupCount_; }

  private:
    struct Membership {
        int together = -1;
        std::vector<int> apartKeys;
    };

    std::string projectTable_;
    std::unordered_map<int, Membership> members_;
    std::vector<std::vector<int>> together_;
    std::vector<std::vector<int>> togetherApartKeys_;
    int apartGroupCount_ = 0;
};

}  // namespace qm::engine
