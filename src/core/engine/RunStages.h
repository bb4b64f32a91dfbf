#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/common/DivisionObserver.h"
#include "store/ProjectStore.h"

namespace qm::db {
class Connection;
}

namespace qm::engine {

// One stage of a division run: the students of one sex in one pass (a category, the students
// outside the categories, or the chosen classes of a re-division), placed and then fine-tuned.
// stage and sex are named as the run's progress reports name them.
struct RunStage {
    std::string stage;
    std::string sex;
    int students = 0;  // the students the stage places

    bool operator==(const RunStage&) const = default;
};

// The stages of a full division of the project, in the order the run takes them: each category
// in ascending order, then the students outside the categories; within each, the sex placed first
// by the settings. Raises what loading the settings raises.
std::vector<RunStage> divisionStages(db::Connection& connection,
                                     const store::CurrentProject& project);

// The stages of a re-division of these classes: the students of both sexes that it moves.
std::vector<RunStage> redivisionStages(db::Connection& connection,
                                       const store::CurrentProject& project,
                                       const std::vector<int>& classes);

// The students a full division would take out of the classes they sit in now: those placed by an
// earlier run. Students fixed to a class in advance are not counted; they stay.
int studentsPlacedByEarlierRun(db::Connection& connection, const store::CurrentProject& project);

// The students who sit in a class now, those fixed there in advance included: what a teacher
// counts in the classes before dividing again.
int studentsInClasses(db::Connection& connection, const store::CurrentProject& project);

// The stage a progress report of the run belongs to, searching from the stage of the previous
// report on, since a stage is never taken twice. The last stage when none matches.
std::size_t stageOf(const std::vector<RunStage>& stages, std::size_t from,
                    const DivisionProgress& progress);

// The share of the whole run done, 0 to 1, when the run reports progress in stage `index`: each
// stage weighs as many parts as it has students, and within a stage placing and every fine-tuning
// pass take equal parts. Stages weigh equally when no stage has students.
double shareDone(const std::vector<RunStage>& stages, std::size_t index,
                 const DivisionProgress& progress);

}  // namespace qm::engine
