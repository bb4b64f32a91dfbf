// Measures 深度优化 on deterministic synthetic cohorts: for each size, a division with the default
// settings, then 深度优化 in each strength on the divided classes, with the balance figures before
// and after and those of the random and serpentine baselines on the same students.
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

#include "db/Connection.h"
#include "db/Transaction.h"
#include "engine/BalanceBaselines.h"
#include "engine/BalanceFigures.h"
#include "engine/DeepOptimisation.h"
#include "engine/DeterministicRandom.h"
#include "engine/DivisionRun.h"
#include "engine/RunSettings.h"
#include "store/DivisionSettings.h"
#include "store/ProjectStore.h"
#include "store/Schema.h"
#include "support/TempDatabase.h"

namespace {

using Clock = std::chrono::steady_clock;
using qm::engine::BalanceFigures;

struct Cohort {
    int students;
    int classes;
    int subjects;  // the first this many subjects in table order are taken
};

double normal(qm::engine::DeterministicRandom& random) {
    const double u = std::max(random.uniform(), 1e-12);
    return std::sqrt(-2 * std::log(u)) * std::cos(6.283185307179586 * random.uniform());
}

// Students with a common ability and subject noise, a third of the subjects scored to one
// decimal; 3% fixed to a class, 10% in one of two categories, names from a small pool of
// syllables so that some read the same.
void insertCohort(qm::db::Connection& connection, const std::string& table, const Cohort& size) {
    static const char* const syllables[] = {"ZHANG", "WANG", "LI", "LIU",  "CHEN", "YANG",
                                            "HUANG", "ZHAO", "WU", "ZHOU", "XU",   "SUN",
                                            "MA",    "ZHU",  "HU", "GUO",  "HE",   "LIN"};
    qm::engine::DeterministicRandom random(static_cast<std::uint64_t>(size.students) * 7919 +
                                           static_cast<std::uint64_t>(size.subjects));
    qm::db::Transaction transaction(connection);
    auto insert = connection.prepare("insert into " + table +
                                     " values(?,'',?,?,?,?,?,?,?,?,?,?,?,?,'','',?,?,'',?)");
    for (int i = 0; i < size.students; ++i) {
        const double ability = 72 + 12 * normal(random);
        const bool fixed = random.uniform() < 0.03;
        const double categoryRoll = random.uniform();
        int p = 1;
        insert.bind(p++, 100000 + i);
        insert.bind(p++, "学生" + std::to_string(i));
        insert.bind(p++, random.uniform() < 0.5 ? "男" : "女");
        insert.bind(p++, fixed ? 1 + random.below(size.classes) : 0);
        for (int s = 0; s < 9; ++s) {
            double score = std::clamp(ability + 10 * normal(random), 0.0, 100.0);
            score = s % 3 == 2 ? std::round(score * 10) / 10 : std::round(score);
            insert.bind(p++, s < size.subjects ? score : 0.0);
        }
        insert.bind(p++, fixed ? 2 : 0);
        insert.bind(p++, std::string(syllables[random.below(18)]) + " " +
                             syllables[random.below(18)] + " " + syllables[random.below(18)]);
        insert.bind(p++, categoryRoll < 0.05 ? "体育特长" : categoryRoll < 0.10 ? "艺术" : "");
        insert.execute();
    }
    transaction.commit();
}

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
    for (const Cohort size :
         {Cohort{400, 8, 3}, Cohort{1000, 20, 9}, Cohort{3000, 60, 9}, Cohort{5000, 100, 9}}) {
        if (quick && size.students > 1000) {
            continue;
        }
        const auto project = qm::store::createProject(connection, "bench", size.classes);
        insertCohort(connection, project.fbTable, size);
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
