// Measures 深度优化 on deterministic synthetic cohorts (tests/engine/SchoolCohort): for each size,
// a division with the default settings, then 深度优化 in each strength on the divided classes,
// with the balance figures before and after and those of the random and serpentine baselines on
// the same students. Times are wall-clock and processor time of 深度优化 alone (reading the
// classes, the search, writing back and committing). One cohort of 3,000 students in 60 classes
// comes a second time with the benchmarks' 200 groups of the teacher's (tests/engine/
// TeacherGroups), which the division and 深度优化 keep; the baselines do not keep them. Exits
// with status 1 when a group is not kept.
//
//   balance_benchmark [--quick]
//
// --quick leaves out the cohorts above 1,000 students.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <string>

#include "SchoolCohort.h"
#include "TeacherGroups.h"
#include "db/Connection.h"
#include "db/Transaction.h"
#include "engine/BalanceBaselines.h"
#include "engine/BalanceFigures.h"
#include "engine/DeepOptimisation.h"
#include "engine/DivisionRun.h"
#include "engine/RunSettings.h"
#include "store/DivisionSettings.h"
#include "store/GroupStore.h"
#include "store/ProjectStore.h"
#include "store/Schema.h"
#include "support/TempDatabase.h"

namespace {

using Clock = std::chrono::steady_clock;
using qm::engine::BalanceFigures;

double seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

BalanceFigures presentFigures(qm::db::Connection& connection,
                              const qm::store::CurrentProject& project) {
    const auto cohort = qm::engine::loadPlacedCohort(
        connection, project.fbTable, qm::engine::projectClassCount(connection, project));
    return qm::engine::measureBalance(cohort, cohort.presentClasses());
}

// "total / worst subject / worst band"
std::string figuresText(const BalanceFigures& figures) {
    char text[64];
    std::snprintf(text, sizeof text, "%5.2f / %5.2f / %2d", figures.totalSpread(),
                  figures.worstSubjectSpread(), figures.worstBandSpread());
    return text;
}

// The benchmarks' groups over the students of the table not fixed in advance.
void addGroups(qm::db::Connection& connection, const qm::store::CurrentProject& project) {
    std::vector<int> free;
    for (const auto row : connection.query("select student_id from " + project.fbTable +
                                           " where type<>2 order by student_id")) {
        free.push_back(static_cast<int>(row[0].toInt()));
    }
    qm::store::addGroups(connection, project,
                         qm::test::makeGroups(free, {}, qm::test::kBenchmarkGroups, 7));
}

void setStrength(qm::db::Connection& connection, int projectId, int mode) {
    auto settings = *qm::store::loadSettings(connection, projectId);
    settings.deep_opt_mode = mode;
    qm::store::saveSettings(connection, settings);
}

}  // namespace

int main(int argc, char** argv) {
    const bool quick = argc > 1 && std::string(argv[1]) == "--quick";
    const qm::test::TempFolder folder;
    qm::db::Connection connection(folder.file("fb.db"));
    qm::store::ensureSchema(connection);
    qm::engine::DivisionObserver quiet;
    std::printf(
        "Spreads of class averages in the total / in the worst subject / of band head counts "
        "in the worst subject\n\n");
    std::printf("%-22s %-10s %-21s %-21s %-21s %-21s %8s %8s\n", "students/classes", "strength",
                "divided", "optimised", "random", "serpentine", "time", "cpu");
    struct Case {
        qm::test::SchoolCohort size;
        bool groups;
    };
    std::size_t broken = 0;
    for (const Case& benchCase :
         {Case{{400, 8, 3}, false}, Case{{1000, 20, 9}, false}, Case{{3000, 60, 9}, false},
          Case{{3000, 60, 9}, true}, Case{{5000, 100, 9}, false}}) {
        const qm::test::SchoolCohort& size = benchCase.size;
        if (quick && size.students > 1000) {
            continue;
        }
        const auto project = qm::store::createProject(connection, "bench", size.classes);
        qm::test::insertSchoolCohort(connection, project.fbTable, size);
        if (benchCase.groups) {
            addGroups(connection, project);
        }
        const auto cohort = [&] {
            qm::engine::divide(connection, project, quiet);
            return qm::engine::loadPlacedCohort(connection, project.fbTable, size.classes);
        }();
        const auto divided = qm::engine::measureBalance(cohort, cohort.presentClasses());
        const auto random = qm::engine::measureBalance(
            cohort, qm::engine::randomDivision(cohort, qm::engine::kRandomBaselineSeed));
        const auto serpentine =
            qm::engine::measureBalance(cohort, qm::engine::serpentineDivision(cohort));
        for (int mode : {0, 1}) {
            qm::engine::divide(connection, project, quiet);  // the same classes again
            setStrength(connection, project.id(), mode);
            const auto start = Clock::now();
            const std::clock_t cpuStart = std::clock();
            qm::engine::optimiseClasses(connection, project, quiet);
            const double time = seconds(start);
            const double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
            const auto after = presentFigures(connection, project);
            broken += qm::test::brokenGroups(connection, project).size();
            const std::string label =
                std::to_string(size.students) + " / " + std::to_string(size.classes) +
                (size.subjects < 9 ? " (" + std::to_string(size.subjects) + " subj.)" : "") +
                (benchCase.groups ? " +200 groups" : "");
            std::printf("%-22s %-10s %-21s %-21s %-21s %-21s %7.2fs %7.2fs\n", label.c_str(),
                        mode == 0 ? "averages" : "bands", figuresText(divided).c_str(),
                        figuresText(after).c_str(), figuresText(random).c_str(),
                        figuresText(serpentine).c_str(), time, cpu);
            std::fflush(stdout);
        }
    }
    std::printf("\ngroups not kept: %zu\n", broken);
    return broken == 0 ? 0 : 1;
}
