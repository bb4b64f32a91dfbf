// Times a full division with the default settings on deterministic synthetic cohorts, end to end
// (reading the students, placing, fine tuning, writing every class back, committing), and for
// the smaller cohorts the literal reference division on the same cohort.
//
//   division_benchmark [--skip-slow-reference] [--sizes 5000,10000]
//
// --skip-slow-reference leaves out the reference at 1,000 students (it takes over a minute);
// --sizes runs only the cohorts of these student counts. Every cohort is divided in a process
// of its own, so that the peak memory shown is that of one division (with the cohort inserted
// before it) and no earlier one. Beside the time on the clock it shows the processor time of
// the division, which other work on a busy machine disturbs least.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <iostream>
#include <set>
#include <sstream>
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

double processorSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024;  // kilobytes on Linux
}

struct Size {
    int students;
    int classes;
};

// Divides one cohort in a database of its own and prints one line; runs in a child process.
void measure(const qm::test::TempFolder& folder, Size size, bool runReference) {
    qm::db::Connection connection(folder.file("fb-" + std::to_string(size.students) + ".db"));
    qm::store::ensureSchema(connection);
    qm::engine::DivisionObserver quiet;
    const auto project = qm::store::createProject(connection, "bench", size.classes);
    auto start = Clock::now();
    insertCohort(connection, project.fbTable, size.students, size.classes);
    const double insertTime = seconds(start);
    start = Clock::now();
    const double processorStart = processorSeconds();
    qm::engine::divide(connection, project, quiet);
    const double engineTime = seconds(start);
    const double engineProcessor = processorSeconds() - processorStart;
    std::cout << size.students << " students / " << size.classes << " classes: division "
              << engineTime << " s (processor " << engineProcessor << " s, peak memory "
              << peakMegabytes() << " MB; inserting the cohort " << insertTime << " s)"
              << std::flush;
    if (runReference) {
        const auto twin = qm::store::createProject(connection, "reference", size.classes);
        insertCohort(connection, twin.fbTable, size.students, size.classes);
        qm::reference::ReferenceDivision reference(connection, twin);
        const double referenceStart = processorSeconds();
        qm::db::Transaction transaction(connection);
        reference.divide();
        transaction.commit();
        const double referenceProcessor = processorSeconds() - referenceStart;
        std::cout << "; literal reference processor " << referenceProcessor << " s, "
                  << referenceProcessor / engineProcessor << " times slower";
    }
    std::cout << std::endl;
}

std::set<int> sizesOf(const std::string& list) {
    std::set<int> sizes;
    std::stringstream words(list);
    for (std::string word; std::getline(words, word, ',');) {
        sizes.insert(std::stoi(word));
    }
    return sizes;
}

}  // namespace

int main(int argc, char** argv) {
    bool skipSlowReference = false;
    std::set<int> only;
    for (int a = 1; a < argc; ++a) {
        const std::string word = argv[a];
        if (word == "--skip-slow-reference") {
            skipSlowReference = true;
        } else if (word == "--sizes" && a + 1 < argc) {
            only = sizesOf(argv[++a]);
        } else {
            std::cerr << "usage: division_benchmark [--skip-slow-reference] [--sizes 5000,10000]\n";
            return 2;
        }
    }
    const qm::test::TempFolder folder;
    for (const Size size :
         {Size{300, 6}, Size{1000, 20}, Size{3000, 60}, Size{5000, 100}, Size{10000, 200}}) {
        if (!only.empty() && only.count(size.students) == 0) {
            continue;
        }
        const bool runReference =
            size.students <= 300 || (size.students <= 1000 && !skipSlowReference);
        const pid_t child = fork();
        if (child == 0) {
            int status = 0;
            try {
                measure(folder, size, runReference);
            } catch (const std::exception& error) {
                std::cerr << error.what() << "\n";
                status = 1;
            }
            std::cout.flush();
            _exit(status);  // the folder belongs to the parent
        }
        int status = 0;
        if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
            WEXITSTATUS(status) != 0) {
            std::cerr << "the division of " << size.students << " students failed\n";
            return 1;
        }
    }
    return 0;
}
