#pragma once

#include <optional>
#include <unordered_set>
#include <vector>

#include "engine/division/ClassTally.h"
#include "engine/division/PassStudent.h"
#include "engine/groups/GroupPlan.h"

namespace qm::engine {

// Where the teacher's groups stand during one division pass: the class each 同班 group has
// (from the first of its members to join one, or a member loaded as placed or sitting in the
// project's table outside the pass), and the places the classes hold in the 分开 groups. A
// 同班 group holds its places once, for all its members, in the class it has.
class GroupSeating {
  public:
    GroupSeating(const GroupPlan& plan, std::vector<ClassTally>& classes);

    // Gives a student its group marks; before it joins a class.
    void mark(PassStudent& student) const;
    // The student has joined tally c (it is in the tally's list).
    void joined(int studentId, int c);
    // A student outside the pass sits in the class of tally c: its groups count there.
    void sitsOutside(int studentId, int c);
    bool hasJoined(int studentId) const { return joined_.count(studentId) != 0; }

    // The tally the student's 同班 group already has, if any.
    std::optional<int> classOfGroup(int studentId) const;
    // One mark per tally: whether the student, with its 同班 group, meets no 分开 partner there.
    std::vector<bool> allowedClasses(int studentId) const;
    // The other members of the student's 同班 group that have not joined a class.
    std::vector<int> waitingMates(int studentId) const;

  private:
    void seatTogether(int together, int c);

    const GroupPlan& plan_;
    std::vector<ClassTally>& classes_;
    std::vector<int> seats_;  // per 同班 group: its tally, or -1
    std::unordered_set<int> joined_;
};

}  // namespace qm::engine
