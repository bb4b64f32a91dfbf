#pragma once

#include <array>
#include <string>
#include <vector>

#include "engine/common/Subject.h"
#include "store/ProjectStore.h"

namespace qm::db {
class Connection;
}

namespace qm::engine {

// A student who sits in one of a project's classes, as the balance figures and 深度优化 see him.
struct PlacedStudent {
    int studentId = 0;
    std::array<double, kQuantityCount> values{};  // the nine scores in table order, then the total
    std::array<int, kSubjectCount> bands{};       // the ten-point band of every score
    std::string sex;                              // trimmed
    std::string category;                         // pfType without trailing blanks; "" for none
    std::string pinyin;                           // without trailing blanks
    bool fixed = false;                           // type 2: fixed to its class in advance
    int classIndex = 0;                           // 0 for class 1, up to classCount - 1
};

// The students of a project's classes 1 to classCount. Students outside them (not placed, or
// fixed to a class the project does not have) take no part in the classes' balance.
struct PlacedCohort {
    int classCount = 0;
    std::vector<PlacedStudent> students;  // ascending student_id
    // Per quantity (the nine subjects, then the total): whether somebody has a score in it.
    std::array<bool, kQuantityCount> taken{};

    // The present class index of every student.
    std::vector<int> presentClasses() const;
};

// The subjects that take part in the balance (科目设置): a flag per subject in table order.
using SubjectChoice = std::array<bool, kSubjectCount>;
inline constexpr SubjectChoice kEverySubject = {true, true, true, true, true,
                                                true, true, true, true};

// Reads the cohort of a student table with classCount classes. A subject counts as taken when
// it takes part and somebody has a score in it; the total stays the sum of all nine scores, as
// everywhere else in the program. A score without a value is refused with a UserError naming
// the student.
PlacedCohort loadPlacedCohort(db::Connection& connection, const std::string& table, int classCount,
                              const SubjectChoice& subjects = kEverySubject);

// The subjects a project's settings let take part; all of them without a settings row.
SubjectChoice projectSubjects(db::Connection& connection, int projectId);

// The cohort of a project's own classes, with the subjects its settings let take part.
PlacedCohort loadProjectCohort(db::Connection& connection, const store::CurrentProject& project);

}  // namespace qm::engine
