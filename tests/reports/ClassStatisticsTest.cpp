#include <gtest/gtest.h>

#include "common/UserError.h"
#include "reports/ClassStatistics.h"
#include "store/ProjectStore.h"
#include "support/StudentRows.h"
#include "support/TempDatabase.h"

namespace qm::reports {
namespace {

// Scores in table order: math, english, chinese, wuli, zhengzhi, lishi, tiyu, dili, shengwu.
std::array<double, 9> mathAndChinese(double math, double chinese) {
    return {math, 0, chinese, 0, 0, 0, 0, 0, 0};
}

class ClassStatisticsTest : public ::testing::Test {
  protected:
    db::Connection& connection() { return database.connection(); }
    std::string tableWith(const std::vector<test::StudentRow>& students) {
        const auto project = store::createProject(connection(), "p", 3);
        test::insertStudents(connection(), project.fbTable, students);
        return project.fbTable;
    }
    test::TempDatabase database;
};

// Three classes; class 2 has no boys. Categories: none (NULL or blank), A (also stored with
// trailing blanks) and B.
TEST_F(ClassStatisticsTest, ThreeDividedClasses) {
    const auto table = tableWith({
        {.student_id = 1, .sex = "男", .class_id = 1, .scores = mathAndChinese(80, 155)},
        {.student_id = 2,
         .sex = "男",
         .class_id = 1,
         .scores = mathAndChinese(77, 160),
         .pfType = "  "},
        {.student_id = 3,
         .sex = "女",
         .class_id = 2,
         .scores = mathAndChinese(70, 59.9),
         .pfType = "A"},
        {.student_id = 4,
         .sex = "女",
         .class_id = 2,
         .scores = mathAndChinese(60, 50),
         .pfType = "A  "},
        {.student_id = 5,
         .sex = "男",
         .class_id = 3,
         .scores = mathAndChinese(90, 0),
         .pfType = "B"},
        {.student_id = 6, .sex = "女", .class_id = 3, .scores = mathAndChinese(91.5, -5)},
    });
    const auto statistics = computeClassStatistics(connection(), table);
    const StatGrid& info = statistics.classInfo;

    ASSERT_EQ(info.rowCount(), 5u);  // titles, three classes, all students
    ASSERT_EQ(info.columnCount(), 26u);
    EXPECT_EQ(info.text(0, 1), "班级");
    EXPECT_EQ(info.text(0, 5), "数学平均分");
    EXPECT_EQ(info.text(0, 10), "语文偏差");
    EXPECT_EQ(info.text(0, 24), "总分偏差");
    EXPECT_EQ(info.text(0, 25), "是否重分");

    struct ClassRow {
        std::size_t row;
        std::string name, boys, girls, count, mathAverage, mathDeviation;
        bool mathRed;
    };
    // All math: 468.5 / 6 = 78.083...
    for (const auto& expected : std::vector<ClassRow>{
             {1, "1班", "2", "0", "2", "   78.50", "    0.42", false},
             {2, "2班", "0", "2", "2", "   65.00", "  -13.08", true},
             {3, "3班", "1", "1", "2", "   90.75", "   12.67", true},
         }) {
        SCOPED_TRACE(expected.name);
        EXPECT_EQ(info.text(expected.row, 0), "");
        EXPECT_EQ(info.text(expected.row, 1), expected.name);
        EXPECT_EQ(info.text(expected.row, 2), expected.boys);
        EXPECT_EQ(info.text(expected.row, 3), expected.girls);
        EXPECT_EQ(info.text(expected.row, 4), expected.count);
        EXPECT_EQ(info.text(expected.row, 5), expected.mathAverage);
        EXPECT_EQ(info.text(expected.row, 6), expected.mathDeviation);
        EXPECT_EQ(info.cell(expected.row, 6).red, expected.mathRed);
        EXPECT_EQ(info.text(expected.row, 25), "");
    }
    EXPECT_EQ(info.cell(2, 2).number, 0.0);
    EXPECT_EQ(info.cell(1, 5).number, 78.5);
    EXPECT_TRUE(info.cell(1, 5).twoDecimals);
    EXPECT_EQ(info.text(2, 23), "  119.95");  // total of class 2: (129.9 + 110) / 2

    // The row of all students: named 全体, no counts, each deviation 0.00.
    for (std::size_t c = 0; c < 5; ++c) {
        EXPECT_EQ(info.text(4, c), c == 1 ? "全体" : "") << c;
    }
    EXPECT_EQ(info.text(4, 5), "   78.08");
    for (std::size_t c = 6; c <= 24; c += 2) {
        EXPECT_EQ(info.text(4, c), "    0.00") << c;
        EXPECT_FALSE(info.cell(4, c).red);
    }

    // Band grids: classes only, an empty cell for an empty band, 155 under 150分, 160 and -5
    // nowhere.
    ASSERT_EQ(statistics.bands.size(), 9u);
    const StatGrid& chinese = statistics.bands[0];
    const StatGrid& math = statistics.bands[1];
    EXPECT_EQ(chinese.name(), "语文");
    EXPECT_EQ(math.name(), "数学");
    EXPECT_EQ(statistics.bands[8].name(), "生物");
    ASSERT_EQ(chinese.rowCount(), 4u);
    ASSERT_EQ(chinese.columnCount(), 18u);
    EXPECT_EQ(chinese.text(0, 2), "0~9分");
    EXPECT_EQ(chinese.text(0, 16), "140~149分");
    EXPECT_EQ(chinese.text(0, 17), "150分");
    auto filledCells = [](const StatGrid& grid, std::size_t row) {
        std::string filled;
        for (std::size_t c = 2; c < grid.columnCount(); ++c) {
            if (!grid.text(row, c).empty()) {
                filled += grid.text(0, c) + "=" + grid.text(row, c) + " ";
            }
        }
        return filled;
    };
    EXPECT_EQ(chinese.text(2, 1), "2班");
    EXPECT_EQ(filledCells(chinese, 1), "150分=1 ");
    EXPECT_EQ(filledCells(chinese, 2), "50~59分=2 ");
    EXPECT_EQ(filledCells(chinese, 3), "0~9分=1 ");
    EXPECT_EQ(filledCells(math, 1), "70~79分=1 80~89分=1 ");
    EXPECT_EQ(filledCells(statistics.bands[2], 1), "0~9分=2 ");  // english, all 0

    // Categories in ascending order, NULL and blank together as 未分类.
    const StatGrid& categories = statistics.categories;
    ASSERT_EQ(categories.columnCount(), 5u);
    ASSERT_EQ(categories.rowCount(), 4u);
    EXPECT_EQ(categories.name(), "每一类的人数");
    EXPECT_EQ(categories.text(0, 1), "");
    EXPECT_EQ(filledCells(categories, 0), "未分类=未分类 A=A B=B ");
    EXPECT_EQ(filledCells(categories, 1), "未分类=2 ");
    EXPECT_EQ(filledCells(categories, 2), "A=2 ");
    EXPECT_EQ(filledCells(categories, 3), "未分类=1 B=1 ");
    EXPECT_EQ(categories.text(3, 1), "3班");

    EXPECT_EQ(statistics.redivisionClasses,
              (std::vector<ClassEntry>{{1, "1班"}, {2, "2班"}, {3, "3班"}}));
    EXPECT_EQ(statistics.grids().size(), 11u);
}

TEST_F(ClassStatisticsTest, BeforeDivisionTheUnplacedEqualTheCohort) {
    const auto table = tableWith({
        {.student_id = 1, .sex = "男", .scores = mathAndChinese(81, 90)},
        {.student_id = 2, .sex = "女", .scores = mathAndChinese(70.5, 60)},
    });
    const auto statistics = computeClassStatistics(connection(), table);
    const StatGrid& info = statistics.classInfo;
    ASSERT_EQ(info.rowCount(), 3u);
    EXPECT_EQ(info.text(1, 1), "未分班");
    for (std::size_t c = 5; c <= 24; ++c) {
        EXPECT_EQ(info.text(1, c), info.text(2, c)) << c;
    }
    EXPECT_EQ(info.text(1, 5), "   75.75");
    // The students not placed are shown, but never offered for a re-division.
    EXPECT_EQ(statistics.classes, (std::vector<ClassEntry>{{0, "未分班"}}));
    EXPECT_TRUE(statistics.redivisionClasses.empty());
}

// Two classes of one student each: the math deviation of class 1 is half the difference.
TEST_F(ClassStatisticsTest, DeviationIsRedOnlyWhenItsShownValueIsBeyondOne) {
    struct Case {
        double math1, math2;
        std::string shown1, shown2;
        bool red;
    };
    for (const auto& c : std::vector<Case>{
             {81, 79, "    1.00", "   -1.00", false},
             {81.02, 78.98, "    1.02", "   -1.02", true},
             {81.02, 79, "    1.01", "   -1.01", true},
             {81.008, 78.992, "    1.01", "   -1.01", true},
             {81.008, 79, "    1.00", "   -1.00", false},  // 1.004 either way
         }) {
        SCOPED_TRACE(c.shown1);
        const auto table = tableWith({
            {.student_id = 1, .sex = "男", .class_id = 1, .scores = mathAndChinese(c.math1, 0)},
            {.student_id = 2, .sex = "男", .class_id = 2, .scores = mathAndChinese(c.math2, 0)},
        });
        const auto info = computeClassStatistics(connection(), table).classInfo;
        EXPECT_EQ(info.text(1, 6), c.shown1);
        EXPECT_EQ(info.text(2, 6), c.shown2);
        EXPECT_EQ(info.cell(1, 6).red, c.red);
        EXPECT_EQ(info.cell(2, 6).red, c.red);
        EXPECT_FALSE(info.cell(1, 5).red);  // averages are never red
    }
}

// The chart's figures: the placed classes only, the total first, values as shown (two
// decimals), red as the deviation cell; nothing before a division placed anyone.
TEST_F(ClassStatisticsTest, AverageFiguresAreThoseOfThePlacedClassesAsShown) {
    const auto table = tableWith({
        {.student_id = 1, .sex = "男", .class_id = 1, .scores = mathAndChinese(81.008, 60)},
        {.student_id = 2, .sex = "男", .class_id = 2, .scores = mathAndChinese(76, 61)},
        {.student_id = 3, .sex = "？", .class_id = 0, .scores = mathAndChinese(79, 62)},
    });
    const auto statistics = computeClassStatistics(connection(), table);
    const AverageFigures& averages = statistics.averages;
    EXPECT_EQ(averages.classNames, (std::vector<std::string>{"1班", "2班"}));
    ASSERT_EQ(averages.figures.size(), 10u);
    EXPECT_EQ(averages.figures[0].name, "总分");
    EXPECT_EQ(averages.figures[1].name, "数学");
    EXPECT_EQ(averages.figures[3].name, "语文");
    const AverageFigure& math = averages.figures[1];
    EXPECT_EQ(math.cohort, 78.67);  // 78.66933... shown as 78.67
    EXPECT_EQ(math.classes, (std::vector<std::optional<double>>{81.01, 76.0}));
    EXPECT_EQ(math.red, (std::vector<bool>{true, true}));  // +2.34 and -2.67
    const AverageFigure& chinese = averages.figures[3];
    EXPECT_EQ(chinese.red, (std::vector<bool>{false, false}));  // -1.00 and 0.00
    EXPECT_EQ(averages.figures[0].classes, (std::vector<std::optional<double>>{141.01, 137.0}));

    const auto unplaced = computeClassStatistics(
        connection(), tableWith({{.student_id = 1, .sex = "男", .scores = mathAndChinese(1, 2)}}));
    EXPECT_TRUE(unplaced.averages.classNames.empty());
}

TEST_F(ClassStatisticsTest, EmptyProjectGivesAClearMessage) {
    const auto table = tableWith({});
    try {
        computeClassStatistics(connection(), table);
        FAIL() << "no error";
    } catch (const UserError& error) {
        EXPECT_STREQ(error.what(), kNoStudentsMessage);
    }
}

TEST(ClassStatisticsColumns, DeviationColumnsAreTheEvenOnesFrom6To24) {
    std::vector<std::size_t> deviations;
    for (std::size_t c = 0; c < 26; ++c) {
        if (isDeviationColumn(c)) {
            deviations.push_back(c);
        }
    }
    EXPECT_EQ(deviations, (std::vector<std::size_t>{6, 8, 10, 12, 14, 16, 18, 20, 22, 24}));
}

}  // namespace
}  // namespace qm::reports
