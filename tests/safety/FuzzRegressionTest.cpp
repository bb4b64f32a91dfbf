// Replays every input that once made a fuzz target fail (tests/data/fuzz-regressions/TARGET/,
// kept there by scripts/fuzz) through the same target: the real readers, and for import_save the
// save into a real database. Each input must end normally, refused or read, never with a crash,
// a sanitizer report or a broken promise about the stored data. Each runs in a child process, so
// that a crash names its input and the others are still replayed.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "FuzzTarget.h"
#include "support/ChildProcess.h"
#include "support/TempDatabase.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#define QUILLMERE_CHECK_LEAKS 1
#endif

namespace qm::test {
namespace {

namespace fs = std::filesystem;

// Generous for one input even in a sanitized build; a reader that takes longer is at fault too.
constexpr unsigned kSecondsPerInput = 60;

std::string contentOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<fs::path> inputsIn(const fs::path& folder) {
    std::vector<fs::path> inputs;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.is_regular_file() && entry.path().filename() != "findings.txt") {
            inputs.push_back(entry.path());
        }
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

ChildEnd replay(std::string_view target, const std::string& bytes) {
    auto child = ChildProcess::fork([&] {
        ::alarm(kSecondsPerInput);
        fuzz::makeFuzzTarget(target)->run(bytes);
#ifdef QUILLMERE_CHECK_LEAKS
        __lsan_do_leak_check();
#endif
    });
    return child.wait();
}

TEST(FuzzRegressions, EveryInputThatOnceFailedEndsNormally) {
    int replayed = 0;
    for (const auto& folder : fs::directory_iterator(testData("fuzz-regressions"))) {
        if (!folder.is_directory()) {
            continue;  // the folder's README
        }
        const std::string target = folder.path().filename().string();
        ASSERT_NE(std::find(fuzz::kFuzzTargetNames.begin(), fuzz::kFuzzTargetNames.end(), target),
                  fuzz::kFuzzTargetNames.end())
            << "a folder named after no fuzz target: " << folder.path();
        for (const auto& input : inputsIn(folder.path())) {
            const ChildEnd end = replay(target, contentOf(input));
            EXPECT_TRUE(end.cleanExit())
                << target << "/" << input.filename().string() << " ended with "
                << (end.signal == SIGALRM
                        ? "no result within " + std::to_string(kSecondsPerInput) + " s"
                        : end.description());
            ++replayed;
        }
    }
    EXPECT_GT(replayed, 0) << "no input found under " << testData("fuzz-regressions");
}

}  // namespace
}  // namespace qm::test
