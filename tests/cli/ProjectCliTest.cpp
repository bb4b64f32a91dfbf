#include <gtest/gtest.h>

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
    EXPECT_NE(shown.out.find("wtNum=50\n"), std::string::npos);
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
