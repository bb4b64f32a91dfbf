// The balance report of a project's classes: its table, its plain words, and its sheet in the
// statistics workbook.
#include <gtest/gtest.h>

#include "intake/XlsxWorkbook.h"
#include "reports/BalanceReport.h"
#include "reports/ClassStatistics.h"
#include "reports/StatisticsExport.h"
#include "store/ProjectStore.h"
#include "support/StudentRows.h"
#include "support/TempDatabase.h"

namespace qm::reports {
namespace {

// Two classes of one boy and one girl each, mathematics and English taken; class 1 averages
// 70 and 80, class 2 80 and 70, both 150 in the total. A fifth student is not placed.
// The serpentine draft (boys 150, 145; girls 155, 150) puts students 1 and 4 together: totals
// 152.5 and 147.5, mathematics 85 and 65.
class BalanceReportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        project = store::createProject(database.connection(), "p", 2);
        test::insertStudents(
            database.connection(), project.fbTable,
            {{.student_id = 1, .sex = "男", .class_id = 1, .scores = {80, 70}, .pfType = "A"},
             {.student_id = 2, .sex = "女", .class_id = 1, .scores = {60, 90}},
             {.student_id = 3, .sex = "男", .class_id = 2, .scores = {70, 75}, .pfType = "A"},
             {.student_id = 4, .sex = "女", .class_id = 2, .scores = {90, 65}},
             {.student_id = 5, .sex = "男", .class_id = 0, .scores = {100, 100}}});
        report = computeBalanceReport(database.connection(), project);
        ASSERT_TRUE(report.has_value());
    }
    test::TempDatabase database;
    store::CurrentProject project;
    std::optional<BalanceReport> report;
};

TEST_F(BalanceReportTest, TableHasEveryFigureOfTheThreeDivisions) {
    const auto rows = balanceRows(*report);
    std::vector<std::string> labels;
    for (const auto& row : rows) {
        labels.push_back(row.label);
    }
    EXPECT_EQ(labels, (std::vector<std::string>{
                          "总分平均分最大相差", "总分平均分最大偏差", "数学平均分最大相差",
                          "数学平均分最大偏差", "英语平均分最大相差", "英语平均分最大偏差",
                          "数学分数段人数最大相差", "英语分数段人数最大相差", "男生人数最大相差",
                          "女生人数最大相差", "班级人数最大相差", "分类“A”人数最大相差"}));
    EXPECT_EQ(rows[0].values[0], 0);
    EXPECT_EQ(rows[0].values[2], 5);
    EXPECT_EQ(rows[2].values[0], 10);
    EXPECT_EQ(rows[3].values[0], 5);
    EXPECT_EQ(rows[2].values[2], 20);
    EXPECT_TRUE(rows[2].points);
    EXPECT_FALSE(rows[6].points);
    EXPECT_EQ(rows[6].values[0], 1);
    for (std::size_t r = 8; r < rows.size(); ++r) {
        EXPECT_EQ(rows[r].values, (std::array<double, 3>{0, 0, 0})) << rows[r].label;
    }
    const auto text = balanceTextRows(*report);
    EXPECT_EQ(text[0], (std::vector<std::string>{"均衡度", "本次分班", "随机分班", "蛇形分班"}));
    EXPECT_EQ(text[3][1], "10.00");
    EXPECT_EQ(text[7][1], "1");
}

TEST_F(BalanceReportTest, PlainWordsCompareWithBothBaselines) {
    const auto lines = balanceSummary(*report);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_TRUE(lines[0].starts_with("总分平均分最大相差 0.0 分；随机分班为 ")) << lines[0];
    EXPECT_TRUE(lines[0].ends_with(" 分，蛇形分班为 5.0 分")) << lines[0];
    EXPECT_TRUE(lines[1].starts_with("单科平均分最大相差 10.0 分；")) << lines[1];
    EXPECT_TRUE(lines[1].ends_with("蛇形分班为 20.0 分（本次分班相差最大的是数学）")) << lines[1];
    EXPECT_TRUE(lines[2].starts_with("分数段人数最大相差 1 人；")) << lines[2];
    EXPECT_TRUE(lines[3].starts_with("同一分类的人数最大相差 0 人；")) << lines[3];
    EXPECT_EQ(lines[4], "男生人数最大相差 0 人，女生人数最大相差 0 人，班级人数最大相差 0 人");
}

TEST_F(BalanceReportTest, ProjectWithoutPlacedStudentsHasNoReport) {
    const auto empty = store::createProject(database.connection(), "empty", 3);
    test::insertStudents(database.connection(), empty.fbTable,
                         {{.student_id = 1, .sex = "男", .class_id = 0, .scores = {80}}});
    EXPECT_FALSE(computeBalanceReport(database.connection(), empty).has_value());
}

TEST_F(BalanceReportTest, StatisticsWorkbookGetsTheBalanceSheet) {
    test::TempFolder folder;
    const std::string path = folder.file("stats.xlsx");
    const auto statistics = computeClassStatistics(database.connection(), project.fbTable);
    exportStatistics(statistics, path, &*report);
    const intake::XlsxWorkbook book(path);
    ASSERT_EQ(book.sheetNames(), (std::vector<std::string>{"分班明细表", "均衡度"}));
    auto text = [&](int row, int column) { return book.cell(1, row, column).text; };
    EXPECT_EQ(text(1, 1), "均衡度");
    EXPECT_EQ(text(1, 4), "蛇形分班");
    EXPECT_EQ(text(4, 1), "数学平均分最大相差");
    EXPECT_EQ(book.cell(1, 4, 2).kind, intake::CellKind::Number);
    EXPECT_EQ(book.cell(1, 4, 2).number, 10.0);
    EXPECT_EQ(book.cell(1, 4, 4).number, 20.0);
    EXPECT_EQ(book.lastUsedColumn(1, 14), 0);  // one empty row after the 12 figures
    const auto lines = balanceSummary(*report);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(text(15 + static_cast<int>(i), 1), lines[i]);
    }
    EXPECT_EQ(book.cell(0, 1, 1).text, "班级");  // the statistics sheet as before
}

}  // namespace
}  // namespace qm::reports
