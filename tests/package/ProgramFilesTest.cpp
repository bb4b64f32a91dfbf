#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/Platform.h"
#include "common/ProgramFiles.h"
#include "support/TempDatabase.h"

namespace qm {
namespace {

namespace fs = std::filesystem;

void touch(const fs::path& file) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << "x";
}

// The layouts the program runs from: installed under a prefix, a portable folder with its files
// beside the executable, and a folder that holds neither.
TEST(ProgramFiles, FoundBesideTheExecutableElseInTheInstalledDataFolder) {
    test::TempFolder folder;
    const fs::path sample = sampleWorkbookFile();

    const fs::path prefixBin = folder.path() / "usr" / "bin";
    const fs::path installed = folder.path() / "usr" / "share" / "quillmere" / sample;
    touch(installed);
    fs::create_directories(prefixBin);
    EXPECT_TRUE(runsFromInstall(prefixBin));
    EXPECT_EQ(findProgramFile(sample, prefixBin), installed);

    touch(prefixBin / sample);
    EXPECT_EQ(findProgramFile(sample, prefixBin), prefixBin / sample);

    const fs::path portable = folder.path() / "便携版";
    touch(portable / sample);
    EXPECT_FALSE(runsFromInstall(portable));
    EXPECT_EQ(findProgramFile(sample, portable), portable / sample);

    const fs::path bare = folder.path() / "bare";
    fs::create_directories(bare);
    EXPECT_EQ(findProgramFile(sample, bare), fs::path());
}

// Run from a build folder, the program finds the sample in the source tree's data folder.
TEST(ProgramFiles, ABuildFolderFindsTheSourceTreesSample) {
    const fs::path found = findProgramFile(sampleWorkbookFile());
    ASSERT_FALSE(found.empty());
    EXPECT_TRUE(
        fs::equivalent(found, platform::pathFromUtf8(test::sampleFile("分班数据输入样例.xls"))));
}

// The user guide: the installed HTML first, else the HTML of a build folder (seen from its
// src/gui), else the Markdown of the source tree around that build folder.
TEST(ProgramFiles, UserGuideFoundInstalledElseInTheBuildElseInTheSources) {
    test::TempFolder folder;
    const fs::path html = platform::pathFromUtf8("用户手册.html");
    const fs::path markdown = platform::pathFromUtf8("用户手册.md");

    const fs::path prefixBin = folder.path() / "usr" / "bin";
    fs::create_directories(prefixBin);
    EXPECT_EQ(findUserGuide(prefixBin), fs::path());
    touch(folder.path() / "usr" / "share" / "doc" / "quillmere" / html);
    EXPECT_EQ(findUserGuide(prefixBin),
              folder.path() / "usr" / "share" / "doc" / "quillmere" / html);

    const fs::path sources = folder.path() / "源码";
    const fs::path buildGui = sources / "build" / "src" / "gui";
    fs::create_directories(buildGui);
    touch(sources / "docs" / markdown);
    EXPECT_EQ(findUserGuide(buildGui), sources / "docs" / markdown);
    touch(sources / "build" / "docs" / html);
    EXPECT_EQ(findUserGuide(buildGui), sources / "build" / "docs" / html);
}

TEST(Platform, PathsKeepChineseFileNamesAsUtf8) {
    const std::string name = "导入excel文件样例/分班数据输入样例.xls";
    EXPECT_EQ(platform::pathToUtf8(platform::pathFromUtf8(name)), name);
    EXPECT_EQ(platform::pathToUtf8(platform::pathFromUtf8(name).filename()),
              "分班数据输入样例.xls");
}

}  // namespace
}  // namespace qm
