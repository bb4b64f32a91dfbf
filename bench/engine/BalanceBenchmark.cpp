// Measures 深度优化 on deterministic synthetic cohorts (tests/engine/SchoolCohort) of several
// sizes, seeds and numbers of subjects, and on the sample workbook's 200 students in 5 to 8
// classes: for each, a division with the default settings, then 深度优化 in each strength on the
// divided classes, twice (the second run searches on from the first), with the balance figures
// before and after each run and those of the random and serpentine baselines on the same
// students. Times are wall-clock and processor time of one 深度优化 (reading the classes, the
// search, writing back and committing). One cohort of 3,000 students in 60 classes comes a second
// time with the benchmarks' 200 groups of the teacher's (tests/engine/TeacherGroups), which the
// division and 深度优化 keep; the baselines do not keep them. Exits with status 1 when a group is
// not kept or a second run makes a figure worse.
//
//   balance_benchmark [--quick] [--only TEXT] [--strength averages|bands]
//
// --quick leaves out the cohorts above 1,000 students; --only keeps the cohorts whose label
// holds TEXT (e.g. "3000 / 60"); --strength runs one strength only.
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "SchoolCohort.h"
#include "TeacherGroups.h"
#include "db/Connection.h"
#include "engine/DivisionRun.h"
#include "engine/balance/BalanceBaselines.h"
#include "engine/balance/BalanceFigures.h"
#include "engine/balance/PlacedCohort.h"
#include "engine/optimisation/DeepOptimisation.h"
#include "intake/ImportSave.h"
#include "intake/PreviewReader.h"
#include "store/DivisionSettings.h"
#include "store/GroupStore.h"
#include "store/ProjectStore.h"
#include "store/Schema.h"
#include "support/TempDatabase.h"

namespace {

using Clock = std::chrono::steady_clock;
using qm::engine::BalanceFigures;

struct Timing {
    double wall = 0;
    double cpu = 0;
};

BalanceFigures presentFigures(qm::db::Connection& connection,
                              const qm::store::CurrentProject& project) {
    const auto cohort = qm::engine::loadProjectCohort(connection, project);
    return qm::engine::measureBalance(cohort, cohort.presentClasses());
}

// "total / worst subject / worst band"
std::string figuresText(const BalanceFigures& figures) {
    char text[64];
    std::snprintf(text, sizeof text, "%5.2f / %4.2f / %2d", figures.totalSpread(),
                  figures.worstSubjectSpread(), figures.worstBandSpread());
    return text;
}

bool noWorse(const BalanceFigures& before, const BalanceFigures& after) {
    return after.totalSpread() <= before.totalSpread() + 1e-9 &&
           after.worstSubjectSpread() <= before.worstSubjectSpread() + 1e-9 &&
           after.worstBandSpread() <= before.worstBandSpread() &&
           after.sizeSpread <= before.sizeSpread;
}

Timing optimise(qm::db::Connection& connection, const qm::store::CurrentProject& project) {
    qm::engine::DivisionObserver quiet;
    const auto start = Clock::now();
    const std::clock_t cpuStart = std::clock();
    qm::engine::optimiseClasses(connection, project, quiet);
    return {std::chrono::duration<double>(Clock::now() - start).count(),
            static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC};
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

struct Case {
    std::string label;
    int classes;
    qm::test::SchoolCohort school;  // students 0: the sample workbook
    bool groups = false;
};

std::string schoolLabel(const qm::test::SchoolCohort& school) {
    std::string label = std::to_string(school.students) + " / " + std::to_string(school.classes);
    if (school.subjects < 9) {
        label += ", " + std::to_string(school.subjects) + " subj.";
    }
    return label + (school.seed > 0 ? ", seed " + std::to_string(school.seed) : "");
}

}  // namespace

int main(int argc, char** argv) {
    bool quick = false;
    std::string only;
    std::vector<int> modes{0, 1};
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--quick") {
            quick = true;
        } else if (option == "--only" && i + 1 < argc) {
            only = argv[++i];
        } else if (option == "--strength" && i + 1 < argc) {
            modes = {std::string(argv[++i]) == "bands" ? 1 : 0};
        } else {
            std::fprintf(
                stderr,
                "usage: balance_benchmark [--quick] [--only TEXT] [--strength averages|bands]\n");
            return 2;
        }
    }
    const qm::test::TempFolder folder;
    qm::db::Connection connection(folder.file("fb.db"));
    qm::store::ensureSchema(connection);
    const auto sample = qm::intake::readPreviewFile(QUILLMERE_SAMPLE_WORKBOOK);

    std::vector<Case> cases;
    for (int classes = 5; classes <= 8; ++classes) {
        cases.push_back({"sample 200 / " + std::to_string(classes), classes, {0, classes, 9}});
    }
    for (const qm::test::SchoolCohort& school :
         {qm::test::SchoolCohort{400, 8, 3}, qm::test::SchoolCohort{1000, 20, 9},
          qm::test::SchoolCohort{1000, 20, 9, 1}, qm::test::SchoolCohort{1000, 20, 9, 2},
          qm::test::SchoolCohort{1500, 30, 5, 5}, qm::test::SchoolCohort{2000, 50, 9, 4},
          qm::test::SchoolCohort{3000, 60, 9}, qm::test::SchoolCohort{3000, 60, 9, 1},
          qm::test::SchoolCohort{5000, 100, 9}, qm::test::SchoolCohort{5000, 100, 9, 1}}) {
        cases.push_back({schoolLabel(school), school.classes, school});
    }
    cases.push_back({"3000 / 60, 200 groups", 60, {3000, 60, 9}, true});

    std::printf(
        "Spreads of class averages in the total / in the worst subject / of band head counts in "
        "the worst subject; class sizes (largest minus smallest) divided -> after 深度优化; times "
        "of the first and the second run (processor time in brackets)\n\n");
    std::printf("%-22s %-8s %-5s %-19s %-19s %-19s %-19s %-19s %-15s %-15s\n", "students/classes",
                "strength", "sizes", "divided", "first run", "second run", "random", "serpentine",
                "first", "second");
    std::size_t broken = 0;
    int worse = 0;
    for (const Case& benchCase : cases) {
        if ((quick && benchCase.school.students > 1000) ||
            benchCase.label.find(only) == std::string::npos) {
            continue;
        }
        const auto project = qm::store::createProject(connection, "bench", benchCase.classes);
        if (benchCase.school.students == 0) {
            qm::intake::saveImportedRows(connection, project, sample);
        } else {
            qm::test::insertSchoolCohort(connection, project.fbTable, benchCase.school);
        }
        if (benchCase.groups) {
            addGroups(connection, project);
        }
        qm::engine::DivisionObserver quiet;
        qm::engine::divide(connection, project, quiet);
        const auto cohort = qm::engine::loadProjectCohort(connection, project);
        const auto divided = qm::engine::measureBalance(cohort, cohort.presentClasses());
        const auto random = qm::engine::measureBalance(
            cohort, qm::engine::randomDivision(cohort, qm::engine::kRandomBaselineSeed));
        const auto serpentine =
            qm::engine::measureBalance(cohort, qm::engine::serpentineDivision(cohort));
        for (int mode : modes) {
            qm::engine::divide(connection, project, quiet);  // the same classes again
            setStrength(connection, project.id(), mode);
            const Timing first = optimise(connection, project);
            const auto afterFirst = presentFigures(connection, project);
            const Timing second = optimise(connection, project);
            const auto afterSecond = presentFigures(connection, project);
            worse += noWorse(afterFirst, afterSecond) ? 0 : 1;
            broken += qm::test::brokenGroups(connection, project).size();
            const std::string sizes =
                std::to_string(divided.sizeSpread) + "->" + std::to_string(afterSecond.sizeSpread);
            char firstTime[32];
            char secondTime[32];
            std::snprintf(firstTime, sizeof firstTime, "%5.2fs (%5.2fs)", first.wall, first.cpu);
            std::snprintf(secondTime, sizeof secondTime, "%5.2fs (%5.2fs)", second.wall,
                          second.cpu);
            std::printf("%-22s %-8s %-5s %-19s %-19s %-19s %-19s %-19s %-15s %-15s\n",
                        benchCase.label.c_str(), mode == 0 ? "averages" : "bands", sizes.c_str(),
                        figuresText(divided).c_str(), figuresText(afterFirst).c_str(),
                        figuresText(afterSecond).c_str(), figuresText(random).c_str(),
                        figuresText(serpentine).c_str(), firstTime, secondTime);
            std::fflush(stdout);
        }
    }
    std::printf("\ngroups not kept: %zu; second runs that made a figure worse: %d\n", broken,
                worse);
    return broken == 0 && worse == 0 ? 0 : 1;
}
