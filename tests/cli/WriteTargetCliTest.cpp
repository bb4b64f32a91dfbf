// The files the command-line program writes (exports, statistics exports, backups) never replace
// the database in use, under whatever name it is reached, nor a file that is not a workbook
// unless told to.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/TempDatabase.h"

namespace qm::test {
namespace {

namespace fs = std::filesystem;

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The database lives in data/real.db and the commands reach it through the link fb.db.
class WriteTargetCliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directory(folder.path() / "data");
        ASSERT_EQ(runCli({"--db", real(), "new", "--memo", "高一", "--classes", "4"}).status, 0);
        ASSERT_EQ(
            runCli({"--db", real(), "import", "1", sampleFile("分班数据输入样例.xls")}).status, 0);
        try {
            fs::create_symlink(real(), database());
            fs::create_hard_link(real(), folder.file("hard.db"));
        } catch (const fs::filesystem_error& error) {
            // Windows gives symbolic links to administrators and developers only (Wine: none).
            GTEST_SKIP() << "no links can be made here: " << error.what();
        }
    }
    std::string real() const { return folder.file("data/real.db"); }
    std::string database() const { return folder.file("fb.db"); }
    ProgramResult cli(std::vector<std::string> words) {
        words.insert(words.begin(), {"--db", database()});
        return runCli(words);
    }
    // The project is still there and the file is sound.
    void expectDatabaseIntact(const std::string& after) {
        const auto listed = cli({"projects"});
        EXPECT_EQ(listed.status, 0) << after << ": " << listed.err;
        EXPECT_NE(listed.out.find("1\t高一\t4\t"), std::string::npos)
            << after << ": " << listed.out;
        db::Connection check(real());
        EXPECT_EQ(check.query("pragma integrity_check")[0][0].toText(), "ok") << after;
    }
    static bool has(const std::string& text, const std::string& part) {
        return text.find(part) != std::string::npos;
    }
    TempFolder folder;
};

TEST_F(WriteTargetCliTest, NoCommandWritesOverTheDatabaseOrItsCompanions) {
    const std::vector<std::string> targets = {database(),
                                              folder.file("./fb.db"),
                                              real(),
                                              folder.file("data/../data/real.db"),
                                              real() + "-wal",
                                              real() + "-shm",
                                              folder.file("hard.db")};
    const std::vector<std::vector<std::string>> commands = {
        {"export", "1", "--out"}, {"export", "1", "--stats", "--out"}, {"backup", "--overwrite"}};
    for (const auto& command : commands) {
        for (const std::string& target : targets) {
            std::vector<std::string> words = command;
            words.insert(command.front() == "backup" ? words.begin() + 1 : words.end(), target);
            const auto refused = cli(words);
            const std::string shown = command.front() + " " + target;
            EXPECT_EQ(refused.status, 1) << shown << ": " << refused.out;
            EXPECT_TRUE(has(refused.err, "就是正在使用的数据库")) << shown << ": " << refused.err;
            EXPECT_EQ(refused.out, "") << shown;
        }
    }
    expectDatabaseIntact("every refusal");
}

TEST_F(WriteTargetCliTest, AFileThatIsNoWorkbookIsReplacedOnlyWithOverwrite) {
    const std::string notes = folder.file("名单.txt");
    std::ofstream(notes) << "老师的笔记\n";
    for (const std::string stats : {"", "--stats"}) {
        std::vector<std::string> words = {"export", "1", "--out", notes};
        if (!stats.empty()) {
            words.push_back(stats);
        }
        const auto refused = cli(words);
        EXPECT_EQ(refused.status, 1) << stats;
        EXPECT_TRUE(has(refused.err, "不是 Excel 工作簿")) << refused.err;
        EXPECT_TRUE(has(refused.err, "--overwrite")) << refused.err;
        EXPECT_EQ(readFile(notes), "老师的笔记\n");
    }
    const std::string workbook = folder.file("结果.xlsx");
    ASSERT_EQ(cli({"export", "1", "--out", workbook}).status, 0);
    EXPECT_EQ(cli({"export", "1", "--stats", "--out", workbook}).status, 0)
        << "a workbook exported before is replaced";
    std::ofstream(folder.file("empty.xlsx"));
    EXPECT_EQ(cli({"export", "1", "--out", folder.file("empty.xlsx")}).status, 0);

    const auto replaced = cli({"export", "1", "--out", notes, "--overwrite"});
    EXPECT_EQ(replaced.status, 0) << replaced.err;
    EXPECT_EQ(readFile(notes).substr(0, 2), "PK");
}

}  // namespace
}  // namespace qm::test
