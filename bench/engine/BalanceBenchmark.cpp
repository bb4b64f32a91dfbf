// Measures 深度优化 on deterministic synthetic cohorts (tests/engine/SchoolCohort): for each size,
// a division with the default settings, then 深度优化 in each strength on the divided classes,
// with the balance figures before and after and those of the random and serpentine baselines on
// the same students. Times are wall-clock and processor time of 深度优化 alone (reading the
// classes, the search, writing back and committing).
//
//   balance_benchmark [--quick]
//
// --quick leaves out the two largest cohorts.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <string>

#include "SchoolCohort.h"
#include "db/Connection.h"
#include "db/Transaction.h"
#include "engine/BalanceBaselines.h"
#include "engine/BalanceFigures.h"
#include "engine/DeepOptimisation.h"
#include "engine/DivisionRun.h"
#include "engine/RunSettings.h"
#include "store/DivisionSettings.h"
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
    std::printf("%-18s %-10s %-21s %-21s %-21s %-21s %8s %8s\n", "students/classes", "strength",
                "divided", "optimised", "random", "serpentine", "time", "cpu");
    for (const qm::test::SchoolCohort size :
         {qm::test::SchoolCohort{400, 8, 3}, qm::test::SchoolCohort{1000, 20, 9},
          qm::test::SchoolCohort{3000, 60, 9}, qm::test::SchoolCohort{5000, 100, 9}}) {
        if (quick && size.students > 1000) {
            continue;
        }
        const auto project = qm::store::createProject(connection, "bench", size.classes);
        qm::test::insertSchoolCohort(connection, project.fbTable, size);
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
            const std::string label =
                std::to_string(size.students) + " / " + std::to_string(size.classes) +
                (size.subjects < 9 ? " (" + std::to_string(size.subjects) + " subj.)" : "");
            std::printf("%-18s %-10s %-21s %-21s %-21s %-21s %7.2fs %7.2fs\n", label.c_str(),
                        mode == 0 ? "averages" : "bands", figuresText(divided).c_str(),
                        figuresText(after).c_str(), figuresText(random).c_str(),
                        figuresText(serpentine).c_str(), time, cpu);
            std::fflush(stdout);
        }
    }
    return 0;
}
