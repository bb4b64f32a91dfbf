// The balance and 深度优化 commands of the real command-line program, and the settings that make a
// division end with 深度优化.
#include <gtest/gtest.h>

#include "intake/XlsxWorkbook.h"
#include "store/ProjectStore.h"
#include "support/SchoolCohort.h"
#include "support/TempDatabase.h"

namespace qm::test {
namespace {

class BalanceCliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto project = store::createProject(database.connection(), "p", 6);
        insertSchoolCohort(database.connection(), project.fbTable, {240, 6, 9});
        id = project.fbId;
        emptyId = store::createProject(database.connection(), "empty", 3).fbId;
    }
    ProgramResult run(std::vector<std::string> words) {
        words.insert(words.begin(), {"--db", database.path()});
        return runCli(words);
    }
    TempDatabase database;
    std::string id;
    std::string emptyId;
};

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST_F(BalanceCliTest, SettingsSwitchItOnAndADivisionEndsWithIt) {
    const auto settings = run({"settings", id, "--is-deep-opt", "1", "--deep-opt-mode", "1"});
    ASSERT_EQ(settings.status, 0) << settings.err;
    EXPECT_TRUE(contains(settings.out, "is_deep_opt=1\ndeep_opt_mode=1\n")) << settings.out;
    const auto wrong = run({"settings", id, "--deep-opt-mode", "2"});
    EXPECT_EQ(wrong.status, 2);
    EXPECT_TRUE(contains(wrong.err, "--deep-opt-mode 只能是 0 或 1")) << wrong.err;

    const auto divided = run({"divide", id});
    ASSERT_EQ(divided.status, 0) << divided.err;
    EXPECT_TRUE(contains(divided.out, "更新结束\n深度优化开始（分数段优先）\n")) << divided.out;
    EXPECT_TRUE(contains(divided.out, "\n深度优化：总分平均分最大差 ")) << divided.out;
    EXPECT_TRUE(divided.out.ends_with("深度优化结束\n")) << divided.out;
}

// 科目设置 from the command line: the subjects named take part, the others leave the balance
// figures; 全部 and 无 are words of their own, an unknown subject is refused.
TEST_F(BalanceCliTest, SettingsChooseTheSubjectsOfTheBalance) {
    EXPECT_TRUE(contains(run({"settings", id}).out,
                         "subjects=数学,英语,语文,物理,政治,历史,体育,地理,生物\n"));
    const auto chosen = run({"settings", id, "--subjects", "语文，数学"});
    ASSERT_EQ(chosen.status, 0) << chosen.err;
    EXPECT_TRUE(contains(chosen.out, "\nsubjects=数学,语文\n")) << chosen.out;
    ASSERT_EQ(run({"divide", id}).status, 0);
    const auto figures = run({"balance", id});
    EXPECT_TRUE(contains(figures.out, "\n数学平均分最大相差 ")) << figures.out;
    EXPECT_FALSE(contains(figures.out, "英语")) << figures.out;
    EXPECT_FALSE(contains(figures.out, "体育平均分")) << figures.out;
    EXPECT_FALSE(contains(figures.out, "体育分数段")) << figures.out;

    EXPECT_TRUE(contains(run({"settings", id, "--subjects", "无"}).out, "\nsubjects=无\n"));
    const auto unknown = run({"settings", id, "--subjects", "数学,音乐"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_TRUE(contains(unknown.err, "音乐")) << unknown.err;
    EXPECT_TRUE(contains(run({"settings", id}).out, "\nsubjects=无\n"));  // nothing stored
    EXPECT_TRUE(contains(run({"settings", id, "--subjects", "全部"}).out,
                         "subjects=数学,英语,语文,物理,政治,历史,体育,地理,生物\n"));
}

TEST_F(BalanceCliTest, BalanceShowsTheFiguresBesideTheBaselines) {
    const auto none = run({"balance", emptyId});
    EXPECT_EQ(none.status, 1);
    EXPECT_TRUE(contains(none.err, "该分班项目的班级里还没有学生，请先分班")) << none.err;

    ASSERT_EQ(run({"divide", id}).status, 0);
    const auto table = run({"balance", id});
    ASSERT_EQ(table.status, 0) << table.err;
    EXPECT_TRUE(table.out.starts_with("均衡度")) << table.out;
    EXPECT_TRUE(contains(table.out, "本次分班  随机分班  蛇形分班\n")) << table.out;
    EXPECT_TRUE(contains(table.out, "\n\n总分平均分最大相差 ")) << table.out;
    EXPECT_TRUE(contains(table.out, "\n男生人数最大相差 ")) << table.out;
    const auto csv = run({"balance", id, "--csv"});
    ASSERT_EQ(csv.status, 0) << csv.err;
    EXPECT_TRUE(csv.out.starts_with("均衡度,本次分班,随机分班,蛇形分班\n总分平均分最大相差,"))
        << csv.out;
    EXPECT_FALSE(contains(csv.out, "；"));  // no plain words in the CSV
}

TEST_F(BalanceCliTest, OptimiseWorksOnThePresentClassesIsUndoneAndTheExportShowsTheFigures) {
    ASSERT_EQ(run({"divide", id}).status, 0);
    const auto optimised = run({"optimise", id});
    ASSERT_EQ(optimised.status, 0) << optimised.err;
    EXPECT_TRUE(optimised.out.starts_with("深度优化开始（平均分优先）\n")) << optimised.out;
    EXPECT_TRUE(contains(optimised.out, "\n深度优化：调整了 ")) << optimised.out;
    EXPECT_EQ(run({"optimise", emptyId}).status, 1);
    const auto undone = run({"undo", id});
    EXPECT_EQ(undone.out, "已撤销: 深度优化\n") << undone.err;
    ASSERT_EQ(run({"redo", id}).status, 0);

    TempFolder folder;
    const std::string path = folder.file("stats.xlsx");
    const auto exported = run({"export", id, "--out", path, "--stats"});
    ASSERT_EQ(exported.status, 0) << exported.err;
    EXPECT_TRUE(contains(exported.out, "已导出分班明细表和均衡度到 ")) << exported.out;
    const intake::XlsxWorkbook book(path);
    EXPECT_EQ(book.sheetNames(), (std::vector<std::string>{"分班明细表", "均衡度"}));
    const std::string emptyPath = folder.file("empty.xlsx");
    ASSERT_EQ(run({"export", emptyId, "--out", emptyPath, "--stats"}).status, 1);
}

}  // namespace
}  // namespace qm::test
