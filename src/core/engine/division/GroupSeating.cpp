#include "engine/division/GroupSeating.h"

namespace qm::engine {

GroupSeating::GroupSeating(const GroupPlan& plan, std::vector<ClassTally>& classes)
    : plan_(plan), classes_(classes) {}

void GroupSeating::mark(PassStudent& student) const {
    if (plan_.togetherOf(student.studentId)) {
        student.inTogetherGroup = true;  // its group holds the places of its 分开 groups
    } else {
        student.apartKeys = plan_.apartKeysOf(student.studentId);
    }
}

void GroupSeating::joined(int studentId, int c) {
    joined_.insert(studentId);
    if (const auto together = plan_.togetherOf(studentId)) {
        seatTogether(*together, c);
    }
}

void GroupSeating::sitsOutside(int studentId, int c) {
    if (const auto together = plan_.togetherOf(studentId)) {
        seatTogether(*together, c);
    } else {
        classes_[c].holdApartPlaces(plan_.apartKeysOf(studentId), 1);
    }
}

std::optional<int> GroupSeating::classOfGroup(int studentId) const {
    const auto together = plan_.togetherOf(studentId);
    if (!together || *together >= static_cast<int>(seats_.size()) || seats_[*together] < 0) {
        return std::nullopt;
    }
    return seats_[*together];
}

std::vector<bool> GroupSeating::allowedClasses(int studentId) const {
    const auto together = plan_.togetherOf(studentId);
    const auto& keys =
        together ? plan_.apartKeysOfTogether(*together) : plan_.apartKeysOf(studentId);
    std::vector<bool> allowed(classes_.size(), true);
    for (std::size_t c = 0; c < classes_.size(); ++c) {
        for (int key : keys) {
            if (classes_[c].apartCount(key) > 0) {
                allowed[c] = false;
            }
        }
    }
    return allowed;
}

std::vector<int> GroupSeating::waitingMates(int studentId) const {
    std::vector<int> mates;
    if (const auto together = plan_.togetherOf(studentId)) {
        for (int member : plan_.togetherMembers(*together)) {
            if (member != studentId && !hasJoined(member)) {
                mates.push_back(member);
            }
        }
    }
    return mates;
}

// The first class a 同班 group gets is its class for the pass; a later member elsewhere (only
// where the refusals before the run could not see it) does not move it.
void GroupSeating::seatTogether(int together, int c) {
    if (together >= static_cast<int>(seats_.size())) {
        seats_.resize(static_cast<std::size_t>(together) + 1, -1);
    }
    if (seats_[together] < 0) {
        seats_[together] = c;
        classes_[c].holdApartPlaces(plan_.apartKeysOfTogether(together), 1);
    }
}

}  // namespace qm::engine
