#include "engine/optimisation/DeepOptimisation.h"

#include "common/InterleavingPause.h"
#include "common/NumberText.h"
#include "common/UserError.h"
#include "db/Connection.h"
#include "db/Transaction.h"
#include "engine/balance/BalanceFigures.h"
#include "engine/balance/PlacedCohort.h"
#include "engine/groups/DivisionGroups.h"
#include "engine/optimisation/DeepOptimiser.h"
#include "store/DivisionSettings.h"
#include "store/OptimisationRuns.h"
#include "store/StepRecorder.h"
#include "store/StudentTable.h"

namespace qm::engine {

namespace {

std::string strengthName(OptimiseStrength strength) {
    return strength == OptimiseStrength::Bands ? "分数段优先" : "平均分优先";
}

bool asksForOptimisation(const std::optional<store::DivisionSettings>& settings) {
    return settings && settings->is_deep_opt == 1;
}

OptimiseStrength strengthOf(const std::optional<store::DivisionSettings>& settings) {
    return settings && settings->deep_opt_mode == 1 ? OptimiseStrength::Bands
                                                    : OptimiseStrength::Averages;
}

void writeBack(db::Connection& connection, const std::string& table, const PlacedCohort& cohort,
               const std::vector<int>& classOf) {
    auto update = connection.prepare("update " + table + " set class_id=? where student_id=?");
    for (std::size_t i = 0; i < cohort.students.size(); ++i) {
        if (classOf[i] != cohort.students[i].classIndex) {
            update.bind(1, classOf[i] + 1).bind(2, cohort.students[i].studentId);
            update.execute();
        }
    }
}

void report(const PlacedCohort& cohort, const OptimisationOutcome& outcome,
            DivisionObserver& observer) {
    const BalanceFigures before = measureBalance(cohort, cohort.presentClasses());
    const BalanceFigures after = measureBalance(cohort, outcome.classOf);
    int moved = 0;
    for (std::size_t i = 0; i < cohort.students.size(); ++i) {
        moved += outcome.classOf[i] != cohort.students[i].classIndex ? 1 : 0;
    }
    if (outcome.stoppedAtTimeCap) {
        observer.consoleLine("深度优化用满了 " + std::to_string(DeepOptimiser::kTimeCap.count()) +
                             " 秒的时间上限，提前结束，保留到此为止最好的分班");
    }
    observer.consoleLine("深度优化：调整了 " + std::to_string(moved) + " 名学生的班级");
    if (after.sizeSpread != before.sizeSpread) {
        observer.consoleLine("深度优化：班级人数最大差 " + std::to_string(before.sizeSpread) +
                             " → " + std::to_string(after.sizeSpread) + " 人");
    }
    observer.consoleLine("深度优化：总分平均分最大差 " + decimalText(before.totalSpread(), 2) +
                         " → " + decimalText(after.totalSpread(), 2) + " 分，单科最大差 " +
                         decimalText(before.worstSubjectSpread(), 2) + " → " +
                         decimalText(after.worstSubjectSpread(), 2) + " 分");
    observer.consoleLine("深度优化：分数段人数最大差 " + std::to_string(before.worstBandSpread()) +
                         " → " + std::to_string(after.worstBandSpread()) + " 人");
}

// The run-th run of 深度优化 on the present division (from 0), which the project then counts.
void runOptimisation(db::Connection& connection, const store::CurrentProject& project,
                     const PlacedCohort& cohort, OptimiseStrength strength, int run,
                     DivisionObserver& observer) {
    observer.consoleLine("深度优化开始（" + strengthName(strength) + "）");
    const GroupPlan groups = projectGroups(connection, project);
    const OptimisationOutcome outcome =
        DeepOptimiser(cohort, groups, strength, run, observer).run();
    writeBack(connection, project.fbTable, cohort, outcome.classOf);
    store::setOptimisationRuns(connection, project.id(), run + 1);
    report(cohort, outcome, observer);
    observer.consoleLine("深度优化结束");
}

}  // namespace

void optimiseClasses(db::Connection& connection, const store::CurrentProject& project,
                     DivisionObserver& observer) {
    // The classes are read under the write lock: what is written back is made of the classes as
    // they are, never of classes another program changed meanwhile.
    db::Transaction transaction(connection);
    const auto settings = store::loadSettings(connection, project.id());
    const PlacedCohort cohort = loadProjectCohort(connection, project);
    if (cohort.students.empty()) {
        throw UserError("该分班项目的班级里还没有学生，请先分班");
    }
    pauseAfterReading();
    store::StepRecorder step(connection, project);
    runOptimisation(connection, project, cohort, strengthOf(settings),
                    store::optimisationRuns(connection, project.id()), observer);
    reportUnkeptGroups(connection, project, observer);
    step.record("深度优化");
    transaction.commit();
}

bool optimisesAfterDivision(db::Connection& connection, const store::CurrentProject& project) {
    return asksForOptimisation(store::loadSettings(connection, project.id()));
}

void optimiseAfterDivision(db::Connection& connection, const store::CurrentProject& project,
                           DivisionObserver& observer) {
    const auto settings = store::loadSettings(connection, project.id());
    // A new division starts the count of runs of 深度优化 afresh, so that it gives the same
    // classes whatever ran on the division before.
    store::setOptimisationRuns(connection, project.id(), 0);
    if (!asksForOptimisation(settings)) {
        return;
    }
    const PlacedCohort cohort = loadProjectCohort(connection, project);
    if (cohort.students.empty()) {
        return;  // nobody was placed: nothing to even out
    }
    db::Transaction transaction(connection);
    runOptimisation(connection, project, cohort, strengthOf(settings), 0, observer);
    transaction.commit();
}

}  // namespace qm::engine
