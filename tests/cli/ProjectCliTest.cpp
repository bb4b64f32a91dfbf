#include <gtest/gtest.h>

#include <algorithm>

#include "store/ProjectStore.h"
#include "support/StudentRows.h"
#include "support/TempDatabase.h"

namespace qm::test {
namespace {

std::string lastLine(const std::string& text) {
    std::string trimmedText = text;
    while (!trimmedText.empty() && trimmedText.back() == '\n') {
        trimmedText.pop_back();
    }
    return trimmedText.substr(trimmedText.rfind('\n') + 1);
}

class ProjectCliTest : public ::testing::Test {
  protected:
    ProgramResult cli(std::vector<std::string> words) {
        words.insert(words.begin(), {"--db", folder.file("fb.db")});
        return runCli(words);
    }
    TempFolder folder;
};

TEST_F(ProjectCliTest, CreatesListsShowsSettingsAndDeletes) {
    auto created = cli({"new", "--memo", "高一新生", "--classes", "6"});
    ASSERT_EQ(created.status, 0) << created.err;
    EXPECT_EQ(lastLine(created.out), "1");

    auto listed = cli({"projects"});
    EXPECT_EQ(listed.status, 0);
    EXPECT_NE(listed.out.find("1\t高一新生\t6\t"), std::string::npos) << listed.out;

    auto changed = cli({"settings", "1", "--is-avg-total", "0", "--wtnum", "3", "--is-man", "1"});
    ASSERT_EQ(changed.status, 0) << changed.err;
    auto shown = cli({"settings", "1"});
    EXPECT_NE(shown.out.find("is_avg_total=0\n"), std::string::npos) << shown.out;
    EXPECT_NE(shown.out.find("wtNum=3\n"), std::string::npos);
    EXPECT_NE(shown.out.find("is_man=1\n"), std::string::npos);
    EXPECT_NE(shown.out.find("is_avg_ch=1\n"), std::string::npos);

    EXPECT_EQ(cli({"delete", "1"}).status, 0);
    EXPECT_EQ(cli({"projects"}).out, "自编号\t分班描述\t班级数\t建立时间\n");
}

TEST_F(ProjectCliTest, FailuresExitNonZeroWithAMessageAndChangeNothing) {
    ASSERT_EQ(cli({"new", "--memo", "p", "--classes", "3"}).status, 0);
    struct Case {
        std::vector<std::string> words;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"new", "--memo", "x", "--classes", "2.5"}, "班级数"},
        {{"new", "--memo", "x", "--classes", "0"}, "班级数"},
        {{"new", "--memo", "x", "--classes", "1000"}, "1到999"},
        {{"settings", "1", "--wtnum", "1001"}, "微调次数"},
        {{"settings", "1", "--wtnum", "-1"}, "微调次数"},
        {{"settings", "1", "--inter", "0"}, "分数间隔权重"},
        {{"settings", "1", "--inter", "1001", "--is-avg-ch", "0"}, "分数间隔权重"},
        {{"settings", "1", "--is-avg-ch", "2"}, "0 或 1"},
        {{"settings", "1", "--wtnum", "many"}, "--wtnum"},
        {{"settings", "9"}, "不存在"},
        {{"delete", "9"}, "不存在"},
        {{"copy", "1", "--from", "1"}, "自己"},
        {{"settings", "1", "--bogus", "1"}, "--bogus"},
        {{"frobnicate"}, "frobnicate"},
    };
    for (const auto& c : cases) {
        const auto result = cli(c.words);
        EXPECT_NE(result.status, 0) << c.words[0];
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    }
    auto shown = cli({"settings", "1"});
    EXPECT_NE(shown.out.find("is_avg_ch=1\n"), std::string::npos);
    EXPECT_NE(shown.out.find("inter=1\n"), std::string::npos);
    EXPECT_NE(shown.out.find("wtNum=50\n"), std::string::npos);
    EXPECT_EQ(lastLine(cli({"projects"}).out).substr(0, 2), "1\t");
}

// A description with a line break or a tab keeps to its one line of the list.
TEST_F(ProjectCliTest, ProjectsListsEachProjectOnOneLine) {
    ASSERT_EQ(cli({"new", "--memo", "2026级\n高一\t三班", "--classes", "3"}).status, 0);
    const auto listed = cli({"projects"});
    ASSERT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(listed.out.substr(listed.out.find('\n') + 1).find("1\t2026级 高一 三班\t3\t"), 0u)
        << listed.out;
    EXPECT_EQ(std::count(listed.out.begin(), listed.out.end(), '\n'), 2);
}

// While another program holds the write lock (a long division, say), the reading commands work
// at once; a command that writes waits the busy timeout and then says so in Chinese.
TEST_F(ProjectCliTest, ReadingCommandsDoNotWaitForAnotherProgramsWrite) {
    ASSERT_EQ(cli({"new", "--memo", "p", "--classes", "2"}).status, 0);
    db::Connection writer(folder.file("fb.db"));
    insertStudents(writer, "fb_1", {{.student_id = 1, .sex = "男", .class_id = 1}});
    writer.exec("BEGIN IMMEDIATE");
    writer.exec("update fb_1 set math=99");
    const std::vector<std::vector<std::string>> readers = {
        {"projects"},   {"settings", "1"}, {"students", "1", "--csv"},
        {"stats", "1"}, {"query", "1"},    {"export", "1", "--out", folder.file("r.xlsx")}};
    for (const auto& words : readers) {
        const auto result = cli(words);
        EXPECT_EQ(result.status, 0) << words[0] << ": " << result.err;
    }
    const auto writing = cli({"new", "--memo", "q", "--classes", "2"});
    EXPECT_EQ(writing.status, 1);
    EXPECT_EQ(writing.err.find("数据库正被另一个程序使用，请稍后再试"), 0u) << writing.err;
    writer.exec("ROLLBACK");
    EXPECT_EQ(lastLine(cli({"projects"}).out).substr(0, 2), "1\t");
}

TEST_F(ProjectCliTest, CopiesStudentsWithTheMessagesOfAddAndOverwrite) {
    ASSERT_EQ(cli({"new", "--memo", "target", "--classes", "2"}).status, 0);
    ASSERT_EQ(cli({"new", "--memo", "source", "--classes", "2"}).status, 0);
    {
        db::Connection connection(folder.file("fb.db"));
        insertStudents(connection, "fb_1", {{.student_id = 2, .sex = "男"}});
        insertStudents(connection, "fb_2",
                       {{.student_id = 1, .sex = "男", .class_id = 1},
                        {.student_id = 2, .sex = "女", .class_id = 2}});
    }
    auto added = cli({"copy", "1", "--from", "2"});
    EXPECT_EQ(added.status, 1);
    EXPECT_NE(added.err.find("导入数据出错!数据可能已经存在，请采用覆盖方式导入"),
              std::string::npos);
    auto overwritten = cli({"copy", "1", "--from", "2", "--overwrite"});
    EXPECT_EQ(overwritten.status, 0) << overwritten.err;
    EXPECT_NE(overwritten.out.find("导入数据成功"), std::string::npos);
}

}  // namespace
}  // namespace qm::test
