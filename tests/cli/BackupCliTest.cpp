#include <gtest/gtest.h>

#include <fstream>

#include "support/TempDatabase.h"

namespace qm::test {
namespace {

class BackupCliTest : public ::testing::Test {
  protected:
    ProgramResult cli(std::vector<std::string> words) {
        words.insert(words.begin(), {"--db", folder.file("fb.db")});
        return runCli(words);
    }
    static bool has(const std::string& text, const std::string& part) {
        return text.find(part) != std::string::npos;
    }
    TempFolder folder;
};

TEST_F(BackupCliTest, BacksUpAndRestoresTheWholeDatabase) {
    ASSERT_EQ(cli({"new", "--memo", "高一", "--classes", "3"}).status, 0);
    const std::string backup = folder.file("备份 九月.db");
    const auto made = cli({"backup", backup});
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_TRUE(has(made.out, "数据库已备份到")) << made.out;

    const auto again = cli({"backup", backup});
    EXPECT_EQ(again.status, 1);
    EXPECT_TRUE(has(again.err, "--overwrite")) << again.err;
    EXPECT_EQ(cli({"backup", backup, "--overwrite"}).status, 0);

    ASSERT_EQ(cli({"delete", "1"}).status, 0);
    ASSERT_EQ(cli({"new", "--memo", "别的", "--classes", "2"}).status, 0);
    const auto restored = cli({"restore", backup});
    ASSERT_EQ(restored.status, 0) << restored.err;
    EXPECT_TRUE(has(restored.out, "恢复前的数据保存在")) << restored.out;
    const auto listed = cli({"projects"});
    EXPECT_TRUE(has(listed.out, "1\t高一\t3\t")) << listed.out;
    EXPECT_FALSE(has(listed.out, "别的")) << listed.out;
}

TEST_F(BackupCliTest, RefusesToRestoreWhatIsNoQuillmereDatabase) {
    ASSERT_EQ(cli({"new", "--memo", "高一", "--classes", "3"}).status, 0);
    const std::string text = folder.file("学生.csv");
    std::ofstream(platform::pathFromUtf8(text)) << "学号,姓名\n1,张三\n";

    const auto refused = cli({"restore", text});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(has(refused.err, "不是 SQLite 数据库")) << refused.err;
    EXPECT_EQ(cli({"restore"}).status, 2);
    EXPECT_TRUE(has(cli({"projects"}).out, "1\t高一\t3\t"));
}

}  // namespace
}  // namespace qm::test
