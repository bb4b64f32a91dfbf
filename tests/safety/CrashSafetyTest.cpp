// Kills the real command-line program with SIGKILL at moments spread over a command that changes
// data (divide, redivide, import, copy), on a database of a few thousand students, and checks
// after each kill that the file passes its integrity check and holds exactly what it held before
// the command or exactly what a completed run of the command leaves.
//
// Each command is timed once by a run that completes (which also gives the state after); trial k
// of n then kills a fresh copy of the database's run at (k + 0.5) / n of that time. Where a kill
// lands inside the command depends on the machine's load, but the moments themselves are fixed.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <thread>

#include "StudentsSheet.h"
#include "support/ChildProcess.h"
#include "support/DatabaseSnapshot.h"
#include "support/TempDatabase.h"

namespace qm::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kStudents = 4000;
constexpr const char* kClasses = "40";

// What the kills of one command found.
struct TrialCount {
    int asBefore = 0;
    int asAfter = 0;
    int finishedFirst = 0;  // the command had ended before its kill came
    int damaged = 0;        // failed the integrity check or matched neither state
};

class CrashSafetyTest : public ::testing::Test {
  protected:
    // The command-line program on the template database; fails the test when it fails.
    void setUpWith(const std::vector<std::string>& words) {
        std::vector<std::string> all = {"--db", templatePath()};
        all.insert(all.end(), words.begin(), words.end());
        const auto result = runCli(all);
        ASSERT_EQ(result.status, 0) << result.err;
    }

    // A project of kStudents students imported from a spreadsheet (its id is the count of
    // projects made so far), divided when asked.
    void addProject(int firstId, unsigned seed, bool divided) {
        ++projects_;
        const std::string csv = folder_.file("project" + std::to_string(projects_) + ".csv");
        std::ofstream(csv, std::ios::binary) << studentsCsv(firstId, kStudents, seed);
        setUpWith({"new", "--memo", "项目" + std::to_string(projects_), "--classes", kClasses});
        setUpWith({"import", std::to_string(projects_), csv});
        if (divided) {
            setUpWith({"divide", std::to_string(projects_)});
        }
    }

    // A spreadsheet of other students, for an import that replaces a project's students.
    std::string otherStudentsFile() {
        const std::string csv = folder_.file("other.csv");
        std::ofstream(csv, std::ios::binary) << studentsCsv(500'001, kStudents, 99);
        return csv;
    }

    // Runs the command to its end once, then `trials` times killed; checks every killed run.
    void killDuring(const std::vector<std::string>& words, int trials) {
        std::string integrity;
        const auto before = DatabaseSnapshot::take(templatePath(), integrity);
        ASSERT_EQ(integrity, "ok");

        const std::string completed = freshCopy("completed");
        const auto started = Clock::now();
        const ChildEnd end = ChildProcess::start(commandLine(completed, words)).wait();
        const auto duration = Clock::now() - started;
        ASSERT_TRUE(end.cleanExit()) << "the command itself fails: " << end.description();
        const auto after = DatabaseSnapshot::take(completed, integrity);
        ASSERT_EQ(integrity, "ok");
        ASSERT_FALSE(after == before) << "the command changed nothing, so no kill can show a fault";

        TrialCount count;
        for (int k = 0; k < trials; ++k) {
            const auto moment =
                std::chrono::duration_cast<Clock::duration>(duration * (k + 0.5) / trials);
            const std::string path = freshCopy("trial" + std::to_string(k));
            auto child = ChildProcess::start(commandLine(path, words));
            std::this_thread::sleep_for(moment);
            child.kill(SIGKILL);
            const ChildEnd killed = child.wait();
            count.finishedFirst += killed.exited ? 1 : 0;

            const auto found = DatabaseSnapshot::take(path, integrity);
            const std::string when = "trial " + std::to_string(k) + ", killed after " +
                                     milliseconds(moment) + " of " + milliseconds(duration) + " (" +
                                     killed.description() + "): ";
            if (integrity != "ok") {
                ++count.damaged;
                ADD_FAILURE() << when << "integrity check: " << integrity;
            } else if (found == before) {
                ++count.asBefore;
            } else if (found == after) {
                ++count.asAfter;
            } else {
                ++count.damaged;
                ADD_FAILURE() << when << "the data are neither as before nor as after.\n"
                              << "Differing from before:\n"
                              << found.differencesFrom(before) << "Differing from after:\n"
                              << found.differencesFrom(after);
            }
        }
        std::cout << words.front() << ": " << trials << " kills over " << milliseconds(duration)
                  << ": " << count.asBefore << " as before, " << count.asAfter << " as after, "
                  << count.damaged << " damaged; " << count.finishedFirst
                  << " of them came after the command had ended\n";
        EXPECT_LT(count.finishedFirst, trials) << "no kill landed while the command ran";
    }

  private:
    std::string templatePath() const { return folder_.file("template.db"); }

    // A copy of the template database, with its write-ahead log if one was left.
    std::string freshCopy(const std::string& name) const {
        const std::string path = folder_.file(name + ".db");
        fs::copy_file(templatePath(), path, fs::copy_options::overwrite_existing);
        if (fs::exists(templatePath() + "-wal")) {
            fs::copy_file(templatePath() + "-wal", path + "-wal",
                          fs::copy_options::overwrite_existing);
        }
        return path;
    }

    static std::vector<std::string> commandLine(const std::string& database,
                                                const std::vector<std::string>& words) {
        std::vector<std::string> line = {cliProgram(), "--db", database};
        line.insert(line.end(), words.begin(), words.end());
        return line;
    }

    static std::string milliseconds(Clock::duration duration) {
        return std::to_string(
                   std::chrono::duration_cast<std::chrono::milliseconds>(duration).count()) +
               " ms";
    }

    TempFolder folder_;
    int projects_ = 0;
};

TEST_F(CrashSafetyTest, DivideIsAllOrNothing) {
    addProject(1, 1, false);
    killDuring({"divide", "1"}, 8);
}

TEST_F(CrashSafetyTest, RedivideIsAllOrNothing) {
    addProject(1, 1, true);
    killDuring({"redivide", "1", "--classes", "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20"},
               8);
}

// The divided students are replaced by others.
TEST_F(CrashSafetyTest, ImportIsAllOrNothing) {
    addProject(1, 1, true);
    killDuring({"import", "1", otherStudentsFile()}, 20);
}

// Half of the source's students share their numbers with the target's and replace them.
TEST_F(CrashSafetyTest, CopyIsAllOrNothing) {
    addProject(1, 1, true);
    addProject(kStudents / 2 + 1, 2, false);
    killDuring({"copy", "2", "--from", "1", "--overwrite"}, 10);
}

}  // namespace
}  // namespace qm::test
