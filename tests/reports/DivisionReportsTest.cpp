#include <gtest/gtest.h>

#include <numeric>

#include "engine/DivisionRun.h"
#include "intake/XlsxWorkbook.h"
#include "reports/ClassStatistics.h"
#include "reports/ResultExport.h"
#include "store/ProjectStore.h"
#include "support/StudentRows.h"
#include "support/TempDatabase.h"

namespace qm::reports {
namespace {

// A real division of 60 students into 3 classes, then its statistics and its export.
TEST(DivisionReportsTest, StatisticsAndExportFollowTheDivision) {
    test::TempDatabase database;
    test::TempFolder folder;
    const auto project = store::createProject(database.connection(), "p", 3);
    std::vector<test::StudentRow> students;
    for (int i = 1; i <= 60; ++i) {
        const double score = 40 + (i * 37) % 61;
        students.push_back(
            {.student_id = i,
             .student_name = "学生" + std::to_string(i),
             .sex = i % 3 ? "男" : "女",
             .scores = {score, 100 - score, score / 2, 50, 60, 70, 80, 90, 20},
             .pingyin = "XUE SHENG " + std::to_string(i),
             .pfType = i % 10 == 0 ? std::optional<std::string>("特长") : std::nullopt});
    }
    test::insertStudents(database.connection(), project.fbTable, students);
    engine::DivisionObserver quiet;
    engine::divide(database.connection(), project, quiet);

    const auto statistics = computeClassStatistics(database.connection(), project.fbTable);
    const StatGrid& info = statistics.classInfo;
    ASSERT_EQ(info.rowCount(), 5u);
    double headCount = 0;
    for (std::size_t r = 1; r <= 3; ++r) {
        EXPECT_EQ(info.text(r, 1), std::to_string(r) + "班");
        EXPECT_EQ(*info.cell(r, 2).number + *info.cell(r, 3).number, *info.cell(r, 4).number);
        headCount += *info.cell(r, 4).number;
        double categoryCount = 0;
        for (std::size_t c = 2; c < statistics.categories.columnCount(); ++c) {
            categoryCount += statistics.categories.cell(r, c).number.value_or(0);
        }
        EXPECT_EQ(categoryCount, *info.cell(r, 4).number);
    }
    EXPECT_EQ(headCount, 60);
    EXPECT_EQ(statistics.redivisionClasses,
              (std::vector<ClassEntry>{{1, "1班"}, {2, "2班"}, {3, "3班"}}));

    // The classes offered for re-division are what the re-division takes.
    std::vector<int> chosen;
    for (const auto& entry : statistics.redivisionClasses) {
        chosen.push_back(entry.classId);
    }
    engine::redivide(database.connection(), project, chosen, quiet);

    const std::string path = folder.file("result.xlsx");
    EXPECT_EQ(exportResults(database.connection(), project.fbTable, path), 60);
    const intake::XlsxWorkbook book(path);
    std::string previous = "1班";
    for (int row = 2; row <= 61; ++row) {
        const std::string name = book.cell(0, row, 17).text;
        EXPECT_LE(previous, name) << row;  // classes ascending (all one digit)
        previous = name;
    }
}

}  // namespace
}  // namespace qm::reports
