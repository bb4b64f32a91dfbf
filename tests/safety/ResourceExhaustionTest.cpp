// The real command-line program when memory or the disk runs out: it ends with a message in
// Chinese that says so ("内存不足…", "磁盘已满…") rather than a crash or std::bad_alloc, and the
// data are as they were before the command.
//
// Memory: the program runs under an address-space limit (ulimit -v), raised step by step from
// what it needs to start until the command completes, so that allocations fail at many places
// inside it. The disk: a small tmpfs, filled to its last byte, in a mount namespace of this test
// (skipped where the system allows none).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "StudentsSheet.h"
#include "support/DatabaseSnapshot.h"
#include "support/TempDatabase.h"

namespace qm::test {
namespace {

namespace fs = std::filesystem;

constexpr int kStudents = 3000;

bool startsWith(const std::string& text, const std::string& start) {
    return text.rfind(start, 0) == 0;
}

// The message the program ends with. The workbook library writes its own complaints to stderr
// before it, in English, which no option of it turns off.
std::string lastLine(const std::string& text) {
    const std::size_t end = text.ends_with('\n') ? text.size() - 1 : text.size();
    const std::size_t start = text.rfind('\n', end == 0 ? 0 : end - 1);
    return text.substr(start == std::string::npos ? 0 : start + 1, end - (start + 1));
}

// A database with one project of kStudents students in 40 classes, divided, and the file of the
// students, in a folder of its own.
class SchoolDatabase {
  public:
    SchoolDatabase() {
        std::ofstream(listPath(), std::ios::binary) << studentsCsv(1, kStudents, 7);
        for (const std::vector<std::string>& words :
             {std::vector<std::string>{"new", "--memo", "高一", "--classes", "40"},
              {"import", "1", listPath()},
              {"divide", "1"}}) {
            const auto result = cli(words);
            if (result.status != 0) {
                throw std::runtime_error("preparing the database: " + result.err);
            }
        }
    }

    ProgramResult cli(std::vector<std::string> words, const std::function<void()>& inChild = {},
                      const std::string& database = {}) const {
        words.insert(words.begin(), {"--db", database.empty() ? path() : database});
        return runCli(words, inChild);
    }

    std::string path() const { return folder.file("fb.db"); }
    std::string listPath() const { return folder.file("list.csv"); }

    TempFolder folder;
};

DatabaseSnapshot snapshot(const std::string& path) {
    std::string integrity;
    auto taken = DatabaseSnapshot::take(path, integrity);
    EXPECT_EQ(integrity, "ok") << path;
    return taken;
}

class OutOfMemory : public ::testing::Test {
  protected:
    void SetUp() override {
#if defined(__SANITIZE_ADDRESS__)
        GTEST_SKIP() << "AddressSanitizer reserves more address space than any limit allows";
#endif
    }

    // Runs the command under address-space limits rising in steps of 512 KB until it completes:
    // below that, each run must fail saying 内存不足 and leave the data as they were.
    void underRisingLimits(const std::vector<std::string>& words, const std::string& output = {}) {
        const DatabaseSnapshot before = snapshot(school.path());
        int outOfMemory = 0;
        for (rlim_t kilobytes = 8 << 10; kilobytes <= 1 << 20; kilobytes += 512) {
            const auto result = school.cli(words, [kilobytes] {
                const rlimit limit{kilobytes << 10, kilobytes << 10};
                ::setrlimit(RLIMIT_AS, &limit);
            });
            const std::string at = std::to_string(kilobytes) + " KB: ";
            if (result.status == 0) {
                std::cout << words.front() << ": completes with " << kilobytes << " KB, "
                          << outOfMemory << " runs out of memory below\n";
                EXPECT_GT(outOfMemory, 0) << "no limit ran the command out of memory";
                return;
            }
            if (result.status == 127 &&
                result.err.find("error while loading shared libraries") != std::string::npos) {
                continue;  // too little to load the program itself
            }
            if (outOfMemory == 0 && result.status == -1 &&
                startsWith(result.err, "terminate called after throwing an instance of "
                                       "'std::bad_alloc'")) {
                // Just above the loader's limit, a library's own start-up (Qt's, before the
                // program runs) can run out; whether a step of 512 KB lands there depends on
                // the sizes of the build.
                continue;
            }
            ++outOfMemory;
            ASSERT_EQ(result.status, 1) << at << "ended by a signal or oddly\n" << result.err;
            EXPECT_TRUE(startsWith(lastLine(result.err), "内存不足")) << at << result.err;
            ASSERT_TRUE(snapshot(school.path()) == before) << at << "the data changed";
            if (!output.empty()) {
                ASSERT_FALSE(fs::exists(output)) << at << "a file was left behind";
            }
        }
        ADD_FAILURE() << words.front() << " never completed";
    }

    SchoolDatabase school;
};

TEST_F(OutOfMemory, ImportSaysSoAndChangesNothing) {
    const std::string other = school.folder.file("other.csv");
    std::ofstream(other, std::ios::binary) << studentsCsv(100'001, kStudents, 8);
    underRisingLimits({"import", "1", other});
}

TEST_F(OutOfMemory, DivideSaysSoAndChangesNothing) {
    underRisingLimits({"divide", "1"});
}

TEST_F(OutOfMemory, ExportSaysSoAndWritesNoFile) {
    const std::string stats = school.folder.file("stats.xlsx");
    underRisingLimits({"export", "1", "--out", stats, "--stats"}, stats);
    const std::string result = school.folder.file("result.xlsx");
    underRisingLimits({"export", "1", "--out", result}, result);
}

// Enters a mount namespace of this process's own, where mounts are private: the tmpfs made
// there disappears when the test ends. False when the system allows none.
bool enterPrivateMountNamespace() {
    const uid_t uid = ::geteuid();
    const gid_t gid = ::getegid();
    if (uid == 0) {
        if (::unshare(CLONE_NEWNS) != 0) {
            return false;
        }
    } else {
        // A user namespace where this user is root may mount a tmpfs.
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
            return false;
        }
        std::ofstream("/proc/self/setgroups") << "deny";
        std::ofstream("/proc/self/uid_map") << "0 " << uid << " 1";
        std::ofstream("/proc/self/gid_map") << "0 " << gid << " 1";
    }
    return ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

// Writes into a file until the disk has no byte left.
void fillDisk(const std::string& file) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    const std::string block(64 << 10, 'x');
    for (std::size_t size = block.size(); size > 0; size /= 2) {
        while (::write(fd, block.data(), size) == static_cast<ssize_t>(size)) {
        }
    }
    EXPECT_EQ(errno, ENOSPC);
    ::close(fd);
}

class FullDisk : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!enterPrivateMountNamespace()) {
            GTEST_SKIP() << "no mount namespace here for a small full disk";
        }
        fs::create_directory(full());
        ASSERT_EQ(::mount("tmpfs", full().c_str(), "tmpfs", 0, "size=4m"), 0) << errno;
    }

    void TearDown() override {
        if (fs::exists(full())) {
            ::umount(full().c_str());
        }
    }

    std::string full() const { return school.folder.file("full"); }

    SchoolDatabase school;
};

TEST_F(FullDisk, CommandsThatWriteTheDatabaseSaySo) {
    const std::string database = full() + "/fb.db";
    fs::copy_file(school.path(), database);
    const DatabaseSnapshot before = snapshot(database);
    fillDisk(full() + "/filler");
    const std::vector<std::vector<std::string>> commands = {
        {"divide", "1"},
        {"import", "1", school.listPath(), "--force"},
        {"versions", "1", "--save", "期中"},
    };
    for (const auto& words : commands) {
        const auto result = school.cli(words, {}, database);
        EXPECT_EQ(result.status, 1) << words.front();
        EXPECT_TRUE(startsWith(result.err, "磁盘已满")) << words.front() << ": " << result.err;
    }
    fs::remove(full() + "/filler");
    EXPECT_TRUE(snapshot(database) == before);
}

TEST_F(FullDisk, AnExportSaysSoAndLeavesNoFile) {
    fillDisk(full() + "/filler");
    const std::string target = full() + "/result.xlsx";
    const auto result = school.cli({"export", "1", "--out", target});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(lastLine(result.err), "磁盘已满，无法写入 " + target) << result.err;
    fs::remove(full() + "/filler");
    EXPECT_TRUE(fs::is_empty(full())) << "a file was left behind";
}

}  // namespace
}  // namespace qm::test
