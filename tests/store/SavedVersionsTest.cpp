// Saved versions of the classes: save, list, restore (undoable) and compare, and the figures of
// the classes a move touched.
#include <gtest/gtest.h>

#include "common/UserError.h"
#include "db/Connection.h"
#include "reports/ClassesStatistics.h"
#include "reports/VersionComparison.h"
#include "store/HandMoves.h"
#include "store/SavedVersions.h"
#include "store/StepHistory.h"
#include "support/AdjustmentFixture.h"

namespace qm::store {
namespace {

using SavedVersions = test::AdjustmentFixture;

TEST_F(SavedVersions, AreSavedListedAndRefusedWithReasons) {
    EXPECT_EQ(saveVersion(connection(), project, "  分班后 "), 1);
    moveStudent(connection(), project, 1, 2);
    EXPECT_EQ(saveVersion(connection(), project, "调整后"), 2);
    const auto versions = listVersions(connection(), project);
    ASSERT_EQ(versions.size(), 2u);
    EXPECT_EQ(versions[0].name, "分班后");
    EXPECT_EQ(versions[0].students, 12);
    EXPECT_EQ(versionClasses(connection(), project, 1).at(1), 1);
    EXPECT_EQ(versionClasses(connection(), project, 2).at(1), 2);
    // A name is stored as every text is: valid UTF-8 that an export can write, on one line.
    EXPECT_EQ(saveVersion(connection(), project, "期中\r\n后\x01\xff\t "), 3);
    EXPECT_EQ(findVersion(connection(), project, 3).name, "期中 后\uFFFD\uFFFD");

    const std::pair<std::string, std::string> refused[] = {
        {" ", "请输入方案名称"},
        {"\r\n\t", "请输入方案名称"},
        {std::string(51, 'x'), "方案名称不能超过 50 个字"},
        {"调整后", "已有同名的方案 2（调整后），请换一个名称"},
    };
    for (const auto& [name, message] : refused) {
        try {
            saveVersion(connection(), project, name);
            ADD_FAILURE() << "not refused: " << name;
        } catch (const UserError& error) {
            EXPECT_EQ(error.what(), message);
        }
    }
    EXPECT_THROW(findVersion(connection(), project, 4), UserError);
}

TEST_F(SavedVersions, RestoreBringsTheClassesBackAsAStepThatCanBeUndone) {
    const std::string saved = placements();
    saveVersion(connection(), project, "分班后");
    moveStudent(connection(), project, 1, 2);
    swapStudents(connection(), project, 2, 3);
    connection().exec("update " + project.fbTable + " set type=2 where student_id=2");
    const std::string adjusted = placements();

    const auto outcome = restoreVersion(connection(), project, 1);
    EXPECT_EQ(outcome.description, "恢复方案 1（分班后）：3 名学生回到方案中的班级");
    EXPECT_EQ(outcome.classes, (std::vector<int>{1, 2, 3}));
    // Classes come back; the placement code given since stays.
    EXPECT_EQ(placements(), std::string(saved).replace(saved.find("2:2:1"), 5, "2:2:2"));
    EXPECT_THROW(restoreVersion(connection(), project, 1), UserError);  // nothing to change
    EXPECT_EQ(undoStep(connection(), project), "恢复方案 1（分班后）");
    EXPECT_EQ(placements(), adjusted);
}

TEST_F(SavedVersions, RestoreRefusesToBreakAGroup) {
    saveVersion(connection(), project, "分班后");
    moveStudent(connection(), project, 1, 2);
    group(GroupKind::Together, {1, 2});  // 1 and 2 now both in class 2
    try {
        restoreVersion(connection(), project, 1);
        ADD_FAILURE() << "not refused";
    } catch (const UserError& error) {
        EXPECT_STREQ(error.what(),
                     "不能恢复方案 1（分班后）:\n同班组 1: 学号 1 在 1班，学号 2 在 2班");
    }
    EXPECT_EQ(classes()[1], 2);
}

TEST_F(SavedVersions, CompareListsMovedStudentsAndEachVersionsFigures) {
    saveVersion(connection(), project, "分班后");
    moveStudent(connection(), project, 12, 1);  // the best student joins class 1
    saveVersion(connection(), project, "调整后");
    connection().exec("delete from " + project.rbTable);
    connection().exec("insert into " + project.rbTable + " select * from " + project.fbTable +
                      " where student_id<3");

    const auto comparison = reports::compareVersions(connection(), project, 1, 2);
    ASSERT_EQ(comparison.moved.size(), 1u);
    EXPECT_EQ(comparison.moved[0].studentId, 12);
    EXPECT_EQ(comparison.moved[0].name, "学生12");
    EXPECT_EQ(comparison.moved[0].firstClass, 3);
    EXPECT_EQ(comparison.moved[0].secondClass, 1);
    // Class 1 has 4 students in the first version and 5 in the second, and its average rises.
    const auto& first = comparison.firstStatistics.classInfo;
    const auto& second = comparison.secondStatistics.classInfo;
    EXPECT_EQ(first.text(1, reports::kHeadCountColumn), "4");
    EXPECT_EQ(second.text(1, reports::kHeadCountColumn), "5");
    EXPECT_EQ(first.text(1, reports::kFirstAverageColumn), "   72.00");   // math: 50+4i, i=1,4,7,10
    EXPECT_EQ(second.text(1, reports::kFirstAverageColumn), "   77.20");  // and i=12
    EXPECT_EQ(first.text(1, reports::kFirstAverageColumn + 1), "   -4.00");  // all: 76
    EXPECT_EQ(second.text(1, reports::kFirstAverageColumn + 1), "    1.20");
    EXPECT_TRUE(second.cell(1, reports::kFirstAverageColumn + 1).red);
    // The twin table, scratch space of the comparison, is as it was.
    EXPECT_EQ(connection().query("select count(*) from " + project.rbTable)[0][0].toInt(), 2);
}

TEST_F(SavedVersions, FiguresOfTheTouchedClassesAfterAMove) {
    const auto outcome = moveStudent(connection(), project, 12, 1);
    const auto figures =
        reports::statisticsOfClasses(connection(), project.fbTable, outcome.classes);
    const auto& info = figures.classInfo;
    ASSERT_EQ(info.rowCount(), 4u);  // titles, 1班, 3班, all students
    EXPECT_EQ(info.text(1, reports::kClassNameColumn), "1班");
    EXPECT_EQ(info.text(2, reports::kClassNameColumn), "3班");
    EXPECT_EQ(info.text(1, reports::kBoysColumn), "2");
    EXPECT_EQ(info.text(1, reports::kGirlsColumn), "3");
    EXPECT_EQ(info.text(2, reports::kHeadCountColumn), "3");
    EXPECT_EQ(info.text(3, reports::kFirstAverageColumn), "   76.00");  // all twelve
    ASSERT_EQ(figures.bands.size(), 9u);
    EXPECT_EQ(figures.bands[0].rowCount(), 3u);
}

}  // namespace
}  // namespace qm::store
