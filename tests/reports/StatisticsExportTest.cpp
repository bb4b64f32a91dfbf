#include <gtest/gtest.h>

#include "XlsxCellStyles.h"
#include "intake/XlsxWorkbook.h"
#include "reports/ClassStatistics.h"
#include "reports/StatisticsExport.h"
#include "store/ProjectStore.h"
#include "support/StudentRows.h"
#include "support/TempDatabase.h"

namespace qm::reports {
namespace {

using intake::CellKind;

// Three classes with two categories; class 2's math average is far below the others.
class StatisticsExportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto project = store::createProject(database.connection(), "p", 3);
        test::insertStudents(
            database.connection(), project.fbTable,
            {{.student_id = 1, .sex = "男", .class_id = 1, .scores = {80, 70, 90}, .pfType = "A"},
             {.student_id = 2, .sex = "女", .class_id = 1, .scores = {79, 60, 155}},
             {.student_id = 3, .sex = "女", .class_id = 2, .scores = {60, 65, 85}, .pfType = "A"},
             {.student_id = 4, .sex = "男", .class_id = 3, .scores = {81, 75, 40}},
             {.student_id = 5, .sex = "女", .class_id = 3, .scores = {79.5, 80, 99}}});
        statistics.emplace(computeClassStatistics(database.connection(), project.fbTable));
        path = folder.file("stats.xlsx");
        exportStatistics(*statistics, path);
    }
    test::TempDatabase database;
    test::TempFolder folder;
    std::optional<ClassStatistics> statistics;
    std::string path;
};

TEST_F(StatisticsExportTest, BlocksStandWhereTheSheetLayoutPutsThem) {
    const intake::XlsxWorkbook book(path);
    ASSERT_EQ(book.sheetNames(), std::vector<std::string>{"分班明细表"});
    auto text = [&](int row, int column) { return book.cell(0, row, column).text; };

    // With three classes: the class block in rows 1-6, 语文 in row 9 above its block of rows
    // 10-14, 数学 in row 17.
    EXPECT_EQ(text(1, 1), "班级");
    EXPECT_EQ(text(1, 2), "男生数");
    EXPECT_EQ(text(1, 25), "是否重分");
    EXPECT_EQ(text(2, 1), "1班");
    EXPECT_EQ(text(4, 1), "3班");
    EXPECT_EQ(text(5, 1), "全体");
    EXPECT_EQ(book.cell(0, 5, 5).kind, CellKind::Number);  // the average of all students
    for (int row : {6, 7, 8}) {
        EXPECT_EQ(book.lastUsedColumn(0, row), 0) << row;
    }
    EXPECT_EQ(text(9, 1), "语文");
    EXPECT_EQ(text(10, 1), "班级");
    EXPECT_EQ(text(10, 2), "0~9分");
    EXPECT_EQ(text(10, 17), "150分");
    EXPECT_EQ(text(11, 1), "1班");
    EXPECT_EQ(text(13, 1), "3班");
    EXPECT_EQ(book.cell(0, 11, 17).number, 1.0);  // 155 under 150分
    EXPECT_EQ(book.lastUsedColumn(0, 14), 0);
    EXPECT_EQ(text(17, 1), "数学");
    EXPECT_EQ(text(18, 1), "班级");

    // Every block: title above it, each grid cell at its place with its kind, nothing else.
    int first = 1;
    for (const StatGrid* grid : statistics->grids()) {
        SCOPED_TRACE(grid->name());
        if (grid != &statistics->classInfo) {
            EXPECT_EQ(text(first - 1, 1), grid->name());
            EXPECT_EQ(book.lastUsedColumn(0, first - 1), 1);
        }
        const int rows = static_cast<int>(grid->rowCount());
        const int columns = static_cast<int>(grid->columnCount());
        for (int r = 0; r <= rows; ++r) {
            for (int c = 1; c <= columns; ++c) {
                const auto cell = book.cell(0, first + r, c);
                if (r == rows || c == columns) {
                    EXPECT_EQ(cell.kind, CellKind::Empty) << r << "," << c;
                    continue;
                }
                const StatCell& shown =
                    grid->cell(static_cast<std::size_t>(r), static_cast<std::size_t>(c));
                if (r > 0 && shown.number) {
                    EXPECT_EQ(cell.kind, CellKind::Number) << r << "," << c;
                    EXPECT_EQ(cell.number, *shown.number) << r << "," << c;
                } else if (!shown.text.empty()) {
                    EXPECT_EQ(cell.kind, CellKind::Text) << r << "," << c;
                    EXPECT_EQ(cell.text, shown.text) << r << "," << c;
                } else {
                    EXPECT_EQ(cell.kind, CellKind::Empty) << r << "," << c;
                }
            }
        }
        first += rows + 4;
    }
    EXPECT_EQ(book.lastRow(0), first - 5);  // the last grid row of the last block
}

TEST_F(StatisticsExportTest, FiguresHaveTwoDecimalsAndDeviationsBeyondOneAreRed) {
    const StatGrid& info = statistics->classInfo;
    ASSERT_TRUE(info.cell(2, 6).red);  // class 2, math: 60 against 75.9
    const test::XlsxCellStyles styles(path);
    EXPECT_EQ(styles.numberFormat("E2"), "0.00");
    EXPECT_EQ(styles.numberFormat("F3"), "0.00");
    EXPECT_EQ(styles.numberFormat("B2"), "General");
    EXPECT_TRUE(styles.isRed("F3"));
    EXPECT_FALSE(styles.isRed("E3"));  // an average
    EXPECT_FALSE(styles.isRed("F5"));  // all students: 0.00
    // Red exactly where the grid marks it; the six subjects without scores deviate by 0.00.
    for (std::size_t r = 1; r < info.rowCount(); ++r) {
        for (std::size_t c = 6; c <= 24; c += 2) {
            const std::string reference =
                std::string(1, static_cast<char>('A' + c - 1)) + std::to_string(r + 1);
            EXPECT_EQ(styles.isRed(reference), info.cell(r, c).red) << reference;
        }
    }
    EXPECT_EQ(styles.frozenColumns(), 1);
}

}  // namespace
}  // namespace qm::reports
