#include <gtest/gtest.h>

#include "intake/XlsxWorkbook.h"
#include "store/ProjectStore.h"
#include "support/StudentRows.h"
#include "support/TempDatabase.h"

namespace qm::reports {
namespace {

// The stats, export and query commands of the built command-line program on a project with
// two classes, and on an empty one.
class ReportCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        id = store::createProject(database.connection(), "p", 2).fbId;
        emptyId = store::createProject(database.connection(), "empty", 2).fbId;
        test::insertStudents(database.connection(), "fb_" + id,
                             {{.student_id = 2,
                               .student_name = "O'Neil",
                               .sex = "女",
                               .class_id = 2,
                               .scores = {60, 70, 155}},
                              {.student_id = 1,
                               .student_name = "张三",
                               .sex = "男",
                               .class_id = 1,
                               .scores = {90, 80, 70},
                               .pfType = "A"},
                              {.student_id = 3,
                               .student_name = "李张",
                               .sex = "男",
                               .class_id = 2,
                               .scores = {75, 75, 75}}});
    }
    test::ProgramResult run(std::vector<std::string> words) {
        words.insert(words.begin(), {"--db", database.path()});
        return test::runCli(words);
    }
    test::TempDatabase database;
    test::TempFolder folder;
    std::string id;
    std::string emptyId;
};

TEST_F(ReportCommandsTest, StatsShowsTheGridsAlignedOrAsCsv) {
    const auto text = run({"stats", id});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("班级  男生数  女生数  总人数  数学平均分"), std::string::npos);
    EXPECT_NE(text.out.find("1班        1       0       1       90.00     15.00"),
              std::string::npos)
        << text.out;
    EXPECT_NE(text.out.find("偏差绝对值大于1:\n  1班 数学偏差 15.00\n"), std::string::npos);
    EXPECT_EQ(text.out.find("[语文]"), std::string::npos);  // the band grids need --all

    const auto csv = run({"stats", id, "--all", "--csv"});
    ASSERT_EQ(csv.status, 0) << csv.err;
    EXPECT_NE(csv.out.find("1班,1,0,1,90.00,15.00,"), std::string::npos) << csv.out;
    EXPECT_NE(csv.out.find("\n[语文]\n班级,0~9分,"), std::string::npos);
    EXPECT_NE(csv.out.find("2班,,,,,,,,1,,,,,,,,1\n"), std::string::npos);  // 75 and 155
    EXPECT_NE(csv.out.find("[每一类的人数]\n,未分类,A\n1班,,1\n2班,2,\n"), std::string::npos);

    const auto empty = run({"stats", emptyId});
    EXPECT_EQ(empty.status, 1);
    EXPECT_EQ(empty.err, "该分班项目还没有学生数据\n");
}

// Students fixed to a class the project does not have (from an older database) are told below
// the grid.
TEST_F(ReportCommandsTest, StatsTellsOfStudentsOutsideTheProjectsClasses) {
    test::insertStudents(database.connection(), "fb_" + emptyId,
                         {{.student_id = 1, .sex = "男", .class_id = 1, .type = 1},
                          {.student_id = 2, .sex = "女", .class_id = 5, .type = 2}});
    const auto text = run({"stats", emptyId});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("\n有1名学生不在本项目的1到2班中：5班1名\n"), std::string::npos)
        << text.out;
    EXPECT_EQ(run({"stats", id}).out.find("不在本项目"), std::string::npos);
}

TEST_F(ReportCommandsTest, ExportWritesTheResultOrTheStatisticsWorkbook) {
    const std::string result = folder.file("result.xlsx");
    const auto written = run({"export", id, "--out", result});
    ASSERT_EQ(written.status, 0) << written.err;
    EXPECT_EQ(written.out, "已导出 3 名学生的分班结果到 " + result + "\n");
    const intake::XlsxWorkbook resultBook(result);
    EXPECT_EQ(resultBook.sheetNames(), std::vector<std::string>{"分班结果"});
    EXPECT_EQ(resultBook.cell(0, 4, 3).text, "李张");  // class 2, student 3: the last row

    const std::string statistics = folder.file("stats.xlsx");
    ASSERT_EQ(run({"export", id, "--stats", "--out", statistics}).status, 0);
    const intake::XlsxWorkbook statisticsBook(statistics);
    EXPECT_EQ(statisticsBook.sheetNames(), (std::vector<std::string>{"分班明细表", "均衡度"}));
    EXPECT_EQ(statisticsBook.cell(0, 8, 1).text, "语文");  // two classes: 5 rows, then 3 more

    EXPECT_EQ(run({"export", id}).status, 2);
    const auto unwritable = run({"export", id, "--out", folder.file("no/such/folder.xlsx")});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_NE(unwritable.err.find("no/such"), std::string::npos) << unwritable.err;
}

TEST_F(ReportCommandsTest, QueryTakesEachConditionAndRefusesBadBoxes) {
    struct Case {
        std::vector<std::string> options;
        int status;
        std::string expected;  // the student numbers listed, or the message
    };
    const std::vector<Case> cases = {
        {{}, 0, "1 2 3 "},
        {{"--name", "张"}, 0, "1 3 "},
        {{"--name", "'"}, 0, "2 "},
        {{"--sex", "男", "--class", "2"}, 0, "3 "},
        {{"--no", "2"}, 0, "2 "},
        {{"--math-from", "70", "--math-to", "100"}, 0, "1 3 "},
        {{"--english-from", "70", "--english-to", "75"}, 0, "2 3 "},
        {{"--chinese-from", "100", "--chinese-to", "160"}, 0, "2 "},
        {{"--by-class"}, 0, "1 2 3 "},
        {{"--math-from", "abc", "--math-to", "3"}, 1, "数学 的下限不是数字: abc\n"},
        {{"--no", "1;drop"}, 1, "考号 不是数字: 1;drop\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> words = {"query", id, "--csv"};
        words.insert(words.end(), c.options.begin(), c.options.end());
        const auto result = run(words);
        EXPECT_EQ(result.status, c.status) << c.expected << result.err;
        if (c.status != 0) {
            EXPECT_EQ(result.err, c.expected);
            continue;
        }
        std::string ids;
        std::size_t line = result.out.find('\n') + 1;  // after the titles
        for (; line < result.out.size(); line = result.out.find('\n', line) + 1) {
            ids += result.out.substr(line, result.out.find(',', line) - line) + " ";
        }
        EXPECT_EQ(ids, c.expected) << c.options.size();
    }

    const auto classes = run({"query", id, "--classes"});
    EXPECT_EQ(classes.out, "所有班级\n  1班\n  2班\n");
    EXPECT_EQ(run({"query", id, "--sex", "M"}).status, 2);
    EXPECT_EQ(run({"query", id, "--classes", "--name", "张"}).status, 2);
}

}  // namespace
}  // namespace qm::reports
