// Two real command-line programs on one database at once, as a teacher's script beside the
// desktop program: the first is paused right after it has read what it decides on (the test hook
// QUILLMERE_PAUSE_AFTER_READ), the second is started during the pause, then the first goes on.
// Every writing command reads inside its write transaction, so the second must wait for the first
// and then work on what the first left: both end as they end one after the other, and the data
// are exactly those of the two commands run in that order. A command that read before it took the
// lock would write from stale data over the other's work.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <thread>

#include "support/ChildProcess.h"
#include "support/DatabaseSnapshot.h"
#include "support/TempDatabase.h"

namespace qm::test {
namespace {

namespace fs = std::filesystem;
using Words = std::vector<std::string>;

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// What two commands left: how each ended, the database, and the copy a restore kept of the data
// it replaced.
struct Outcome {
    int firstStatus = -1;
    int secondStatus = -1;
    std::string output;  // both commands' output, for a failure's message
    DatabaseSnapshot data;
    std::optional<DatabaseSnapshot> keptCopy;
};

// The sample workbook's students over four classes, divided; version 1 saved; then classes 1 and
// 2 divided again, so that the classes differ from the version and from the back-up (made right
// after the division). 深度优化 weighs the total alone: it then ends within the other program's
// wait for the write lock (5 s) even in a sanitizer build on a loaded machine, which all nine
// subjects' kicks need not.
class InterleavingTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        templateFolder_ = new TempFolder;
        for (const Words& words :
             {Words{"new", "--memo", "两个程序", "--classes", "4"},
              Words{"import", "1", sampleFile("分班数据输入样例.xls")},
              Words{"settings", "1", "--subjects", "无"}, Words{"divide", "1"},
              Words{"backup", backupPath()}, Words{"versions", "1", "--save", "分班后"},
              Words{"redivide", "1", "--classes", "1,2"}}) {
            const auto result = runCli(cliWords(templatePath(), words));
            ASSERT_EQ(result.status, 0) << words.front() << ": " << result.err;
        }
    }
    static void TearDownTestSuite() {
        delete templateFolder_;
        templateFolder_ = nullptr;
    }

    static std::string templatePath() { return templateFolder_->file("template.db"); }
    static std::string backupPath() { return templateFolder_->file("backup.db"); }
    static Words cliWords(const std::string& database, const Words& words) {
        Words all = {"--db", database};
        all.insert(all.end(), words.begin(), words.end());
        return all;
    }
    static Words programLine(const std::string& database, const Words& words) {
        Words line = {cliProgram()};
        const Words rest = cliWords(database, words);
        line.insert(line.end(), rest.begin(), rest.end());
        return line;
    }

    // A copy of the template in a folder of its own, where a restore keeps its copy.
    std::string freshCopy(const std::string& kind) {
        const std::string name = kind + std::to_string(++copies_);
        fs::create_directory(folder_.path() / name);
        const std::string path = folder_.file(name + "/fb.db");
        fs::copy_file(templatePath(), path);
        return path;
    }

    Outcome outcomeIn(const std::string& database, int firstStatus, int secondStatus,
                      std::string output) {
        Outcome outcome{firstStatus, secondStatus, std::move(output), {}, {}};
        std::string integrity;
        outcome.data = DatabaseSnapshot::take(database, integrity);
        EXPECT_EQ(integrity, "ok");
        for (const auto& entry : fs::directory_iterator(fs::path(database).parent_path())) {
            if (entry.path().filename().string().find("-before-restore-") != std::string::npos) {
                outcome.keptCopy = DatabaseSnapshot::take(entry.path().string(), integrity);
            }
        }
        return outcome;
    }

    Outcome oneAfterTheOther(const Words& first, const Words& second) {
        const std::string database = freshCopy("serial");
        const auto one = runCli(cliWords(database, first));
        const auto two = runCli(cliWords(database, second));
        return outcomeIn(database, one.status, two.status, one.err + two.err);
    }

    Outcome interleaved(const Words& first, const Words& second) {
        const std::string database = freshCopy("interleaved");
        const std::string pause = folder_.file("paused");
        auto paused =
            ChildProcess::start(programLine(database, first),
                                {"QUILLMERE_PAUSE_AFTER_READ=" + pause}, folder_.file("first.txt"));
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!fs::exists(pause) && !paused.hasEnded() &&
               std::chrono::steady_clock::now() < giveUp) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        EXPECT_TRUE(fs::exists(pause)) << first.front() << " never reached its pause";
        auto other =
            ChildProcess::start(programLine(database, second), {}, folder_.file("second.txt"));
        // Long enough for the second to do all its work, were it not waiting for the first.
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        EXPECT_FALSE(other.hasEnded()) << second.front() << " did not wait for " << first.front();
        fs::remove(pause);
        const ChildEnd one = paused.wait();
        const ChildEnd two = other.wait();
        return outcomeIn(database, one.exited ? one.code : -1, two.exited ? two.code : -1,
                         readAll(folder_.file("first.txt")) + readAll(folder_.file("second.txt")));
    }

    // Runs the pair both ways and compares; the commands must change something together.
    void expectOneAfterTheOther(const Words& first, const Words& second) {
        const Outcome expected = oneAfterTheOther(first, second);
        ASSERT_EQ(expected.firstStatus, 0) << expected.output;
        ASSERT_EQ(expected.secondStatus, 0) << expected.output;
        const Outcome found = interleaved(first, second);
        EXPECT_EQ(found.firstStatus, 0) << found.output;
        EXPECT_EQ(found.secondStatus, 0) << found.output;
        EXPECT_TRUE(found.data == expected.data)
            << first.front() << " then " << second.front() << ", differing:\n"
            << found.data.differencesFrom(expected.data);
        EXPECT_EQ(found.keptCopy.has_value(), expected.keptCopy.has_value());
        if (found.keptCopy && expected.keptCopy) {
            EXPECT_TRUE(*found.keptCopy == *expected.keptCopy)
                << "the restore kept other data than it replaced:\n"
                << found.keptCopy->differencesFrom(*expected.keptCopy);
        }
    }

    // Two students that the re-division exchanges between their classes, so that a swap of
    // them reads differently before and after it.
    static Words swapOfStudentsExchangedBy(const Words& redivision) {
        TempFolder scratch;
        const std::string database = scratch.file("fb.db");
        fs::copy_file(templatePath(), database);
        const auto classesOf = [&] {
            std::map<std::string, std::string> classes;
            std::istringstream rows(runCli(cliWords(database, {"students", "1", "--csv"})).out);
            for (std::string row; std::getline(rows, row);) {
                std::vector<std::string> fields;
                std::istringstream cells(row);
                for (std::string cell; std::getline(cells, cell, ',');) {
                    fields.push_back(cell);
                }
                if (fields.size() > 4) {
                    classes[fields[0]] = fields[4];
                }
            }
            return classes;
        };
        const auto before = classesOf();
        runCli(cliWords(database, redivision));
        const auto after = classesOf();
        for (const auto& [first, firstClass] : before) {
            for (const auto& [second, secondClass] : before) {
                if (firstClass != secondClass && after.at(first) == secondClass &&
                    after.at(second) == firstClass) {
                    return {"swap", "1", first, second};
                }
            }
        }
        ADD_FAILURE() << "the re-division exchanges no two students";
        return {};
    }

    static inline TempFolder* templateFolder_ = nullptr;
    TempFolder folder_;
    int copies_ = 0;
};

const Words kRedivide = {"redivide", "1", "--classes", "2,3"};
const Words kRedivideAll = {"redivide", "1", "--classes", "1,2,3,4"};
const Words kOptimise = {"optimise", "1"};
const Words kRestoreVersion = {"versions", "1", "--restore", "1"};
const Words kDivide = {"divide", "1"};

TEST_F(InterleavingTest, OptimiseAndRedivide) {
    expectOneAfterTheOther(kRedivide, kOptimise);
    expectOneAfterTheOther(kOptimise, kRedivide);
}

TEST_F(InterleavingTest, RestoreOfAVersionAndAnotherWrite) {
    expectOneAfterTheOther(kRedivideAll, kRestoreVersion);
    expectOneAfterTheOther(kRestoreVersion, kRedivideAll);
}

TEST_F(InterleavingTest, SwapAndRedivide) {
    const Words swap = swapOfStudentsExchangedBy(kRedivideAll);
    expectOneAfterTheOther(kRedivideAll, swap);
    expectOneAfterTheOther(swap, kRedivideAll);
}

// The copy a restore keeps holds the division that ran before it.
TEST_F(InterleavingTest, RestoreOfABackupAndDivide) {
    const Words restore = {"restore", backupPath()};
    expectOneAfterTheOther(kDivide, restore);
    expectOneAfterTheOther(restore, kDivide);
}

TEST_F(InterleavingTest, SettingsChangedByTwoPrograms) {
    expectOneAfterTheOther({"settings", "1", "--inter", "5"}, {"settings", "1", "--wtnum", "3"});
}

}  // namespace
}  // namespace qm::test
