// The 总分 figures of chosen classes that the console shows before and after a re-division.
#include <gtest/gtest.h>

#include "reports/ChosenClassFigures.h"
#include "store/ProjectStore.h"
#include "support/StudentRows.h"
#include "support/TempDatabase.h"

namespace qm::reports {
namespace {

// A student whose nine scores are all `score`, so that the total is nine times it.
test::StudentRow student(int id, int classId, double score) {
    test::StudentRow row;
    row.student_id = id;
    row.student_name = "学生" + std::to_string(id);
    row.sex = "男";
    row.class_id = classId;
    row.type = 1;
    row.scores.fill(score);
    return row;
}

TEST(ChosenClassFigures, AveragesDeviationsAndTheLargestOfTheChosenClasses) {
    test::TempDatabase database;
    const auto project = store::createProject(database.connection(), "高一", 4);
    // Totals: class 1 450 and 630, class 2 720, class 3 540; all students 585 on average.
    test::insertStudents(
        database.connection(), project.fbTable,
        {student(1, 1, 50), student(2, 1, 70), student(3, 2, 80), student(4, 3, 60)});

    const auto figures = chosenClassFigures(database.connection(), project.fbTable, {2, 1, 4});
    EXPECT_DOUBLE_EQ(*figures.cohortAverage, 585);
    ASSERT_EQ(figures.classes.size(), 3u);
    EXPECT_EQ(figures.classes[0].classId, 2);
    EXPECT_DOUBLE_EQ(*figures.classes[0].average, 720);
    EXPECT_DOUBLE_EQ(*figures.classes[0].deviation, 135);
    EXPECT_EQ(figures.classes[1].students, 2);
    EXPECT_DOUBLE_EQ(*figures.classes[1].deviation, -45);
    EXPECT_EQ(figures.classes[2].students, 0);  // class 4 has nobody
    EXPECT_FALSE(figures.classes[2].average);
    EXPECT_DOUBLE_EQ(*figures.largestDeviation, 135);

    // Students 1 and 3 change classes: the lines set each class's figures side by side.
    database.connection().exec("update fb_1 set class_id=1 where student_id=3");
    database.connection().exec("update fb_1 set class_id=2 where student_id=1");
    const auto after = chosenClassFigures(database.connection(), project.fbTable, {2, 1, 4});
    EXPECT_EQ(comparisonLines(figures, after),
              (std::vector<std::string>{"重新分班前后各班总分平均分（偏差为与全体学生平均分之差）:",
                                        "2班: 720.00 (偏差 +135.00) → 450.00 (偏差 -135.00)",
                                        "1班: 540.00 (偏差 -45.00) → 675.00 (偏差 +90.00)",
                                        "4班: 没有学生 → 没有学生", "最大偏差: 135.00 → 135.00"}));
}

TEST(ChosenClassFigures, TableWithoutStudentsHasNoFigures) {
    test::TempDatabase database;
    const auto project = store::createProject(database.connection(), "高一", 2);
    const auto figures = chosenClassFigures(database.connection(), project.fbTable, {1, 2});
    EXPECT_FALSE(figures.cohortAverage);
    EXPECT_FALSE(figures.largestDeviation);
    EXPECT_EQ(comparisonLines(figures, figures).back(), "最大偏差: - → -");
}

}  // namespace
}  // namespace qm::reports
