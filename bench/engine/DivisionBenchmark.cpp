// Times a full division with the default settings on deterministic synthetic cohorts, end to end
// (reading the students, placing, fine tuning, writing every class back, committing), and for
// the smaller cohorts the literal reference division on the same cohort.
//
//   division_benchmark [--skip-slow-reference]
//
// --skip-slow-reference leaves out the reference at 1,000 students (it takes over a minute).
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <iostream>
#include <string>

#include "db/Connection.h"
#include "db/Transaction.h"
#include "engine/DivisionRun.h"
#include "reference/ReferenceDivision.h"
#include "store/ProjectStore.h"
#include "store/Schema.h"
#include "support/TempDatabase.h"

namespace {

using Clock = std::chrono::steady_clock;

// A small deterministic generator, the same on every platform.
class Lcg {
  public:
    explicit Lcg(std::uint64_t seed) : state_(seed) {}
    double uniform() {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state_ >> 11) / 9007199254740992.0;
    }
    double normal() {
        const double u = std::max(uniform(), 1e-12);
        return std::sqrt(-2 * std::log(u)) * std::cos(6.283185307179586 * uniform());
    }
    int below(int n) { return static_cast<int>(uniform() * n); }

  private:
    std::uint64_t state_;
};

// Students with a common ability and subject noise; a third of the subjects scored to one
// decimal, the rest whole; 2% fixed to a class; 6% in one of two categories.
void insertCohort(qm::db::Connection& connection, const std::string& table, int students,
                  int classes) {
    static const char* const syllables[] = {"ZHANG", "WANG", "LI", "LIU",  "CHEN", "YANG",
                                            "HUANG", "ZHAO", "WU", "ZHOU", "XU",   "SUN",
                                            "MA",    "ZHU",  "HU", "GUO",  "HE",   "LIN"};
    Lcg random(static_cast<std::uint64_t>(students) * 7919 + static_cast<std::uint64_t>(classes));
    qm::db::Transaction transaction(connection);
    auto insert = connection.prepare("insert into " + table +
                                     " values(?,'',?,?,?,?,?,?,?,?,?,?,?,?,'','',?,?,'',?)");
    for (int i = 0; i < students; ++i) {
        const double ability = 72 + 12 * random.normal();
        const bool fixed = random.uniform() < 0.02;
        const double categoryRoll = random.uniform();
        int p = 1;
        insert.bind(p++, 100000 + i);
        insert.bind(p++, "学生" + std::to_string(i));
        insert.bind(p++, random.uniform() < 0.5 ? "男" : "女");
        insert.bind(p++, fixed ? 1 + random.below(classes) : 0);
        for (int s = 0; s < 9; ++s) {
            double score = std::clamp(ability + 10 * random.normal(), 0.0, 100.0);
            score = s % 3 == 2 ? std::round(score * 10) / 10 : std::round(score);
            insert.bind(p++, score);
        }
        insert.bind(p++, fixed ? 2 : 0);
        insert.bind(p++, std::string(syllables[random.below(18)]) + " " +
                             syllables[random.below(18)] + " " + syllables[random.below(18)]);
        insert.bind(p++, categoryRoll < 0.03 ? "体育特长" : categoryRoll < 0.06 ? "艺术" : "");
        insert.execute();
    }
    transaction.commit();
}

double seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    const bool skipSlowReference = argc > 1 && std::string(argv[1]) == "--skip-slow-reference";
    const qm::test::TempFolder folder;
    qm::db::Connection connection(folder.file("fb.db"));
    qm::store::ensureSchema(connection);
    qm::engine::DivisionObserver quiet;
    struct Size {
        int students;
        int classes;
    };
    for (const Size size : {Size{300, 6}, Size{1000, 20}, Size{3000, 60}, Size{5000, 100}}) {
        const auto project = qm::store::createProject(connection, "bench", size.classes);
        auto start = Clock::now();
        insertCohort(connection, project.fbTable, size.students, size.classes);
        const double insertTime = seconds(start);
        start = Clock::now();
        qm::engine::divide(connection, project, quiet);
        const double engineTime = seconds(start);
        std::cout << size.students << " students / " << size.classes << " classes: division "
                  << engineTime << " s (inserting the cohort " << insertTime << " s)" << std::flush;
        const bool runReference =
            size.students <= 300 || (size.students <= 1000 && !skipSlowReference);
        if (runReference) {
            const auto twin = qm::store::createProject(connection, "reference", size.classes);
            insertCohort(connection, twin.fbTable, size.students, size.classes);
            qm::reference::ReferenceDivision reference(connection, twin);
            start = Clock::now();
            qm::db::Transaction transaction(connection);
            reference.divide();
            transaction.commit();
            const double referenceTime = seconds(start);
            std::cout << "; literal reference " << referenceTime << " s, "
                      << referenceTime / engineTime << " times slower";
        }
        std::cout << "\n";
    }
    return 0;
}
