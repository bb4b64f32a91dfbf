#include <gtest/gtest.h>

#include "store/OutsideClasses.h"
#include "store/ProjectStore.h"
#include "support/StudentRows.h"
#include "support/TempDatabase.h"

namespace qm::store {
namespace {

// A 4-class project of an older database: students fixed to classes -3, 0 and 9 (twice) stand
// outside its classes; those in 1 to 4 and those waiting for a division in class 0 do not.
TEST(OutsideClasses, CountsFixedStudentsOutsideTheProjectsClassesPerClass) {
    test::TempDatabase database;
    const auto project = createProject(database.connection(), "p", 4);
    EXPECT_TRUE(studentsOutsideClasses(database.connection(), project.fbTable, 4).empty());
    test::insertStudents(database.connection(), project.fbTable,
                         {{.student_id = 1, .class_id = 9, .type = 2},
                          {.student_id = 2, .class_id = -3, .type = 2},
                          {.student_id = 3, .class_id = 0, .type = 2},
                          {.student_id = 4, .class_id = 9, .type = 2},
                          {.student_id = 5, .class_id = 4, .type = 2},
                          {.student_id = 6, .class_id = 1, .type = 1},
                          {.student_id = 7, .class_id = 0, .type = 0}});

    const auto outside = studentsOutsideClasses(database.connection(), project.fbTable, 4);
    EXPECT_EQ(outside, (std::vector<ClassHeadCount>{{-3, 1}, {0, 1}, {9, 2}}));
    EXPECT_EQ(outsideClassesLine(outside, 4),
              "有4名学生不在本项目的1到4班中：-3班1名，0班1名，9班2名");
    EXPECT_EQ(outsideClassesLine({}, 4), "");
}

}  // namespace
}  // namespace qm::store
