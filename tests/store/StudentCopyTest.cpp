#include <gtest/gtest.h>

#include "common/UserError.h"
#include "store/ProjectStore.h"
#include "store/StudentCopy.h"
#include "support/StudentRows.h"
#include "support/TempDatabase.h"

namespace qm::store {
namespace {

// The current project holds students 3 and 4; the source holds 1 to 3 with their classes, 2 of
// them fixed in advance.
class StudentCopyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        target = createProject(connection(), "target", 3);
        source = createProject(connection(), "source", 3);
        test::insertStudents(connection(), target.fbTable,
                             {{.student_id = 3, .student_name = "旧三", .sex = "男", .type = 1},
                              {.student_id = 4, .student_name = "旧四", .sex = "女", .type = 1}});
        test::insertStudents(
            connection(), source.fbTable,
            {{.student_id = 1, .student_name = "甲", .sex = "男", .class_id = 1, .type = 1},
             {.student_id = 2, .student_name = "乙", .sex = "女", .class_id = 2, .type = 2},
             {.student_id = 3, .student_name = "丙", .sex = "男", .class_id = 3, .type = 3}});
    }
    db::Connection& connection() { return database.connection(); }
    // "id:name:class:type" per row, by student_id.
    std::string rowsOf(const std::string& table) {
        std::string text;
        for (const auto row :
             connection().query("select student_id,student_name,class_id,type from " + table +
                                " order by student_id")) {
            text += row[0].toText() + ":" + row[1].toText() + ":" + row[2].toText() + ":" +
                    row[3].toText() + " ";
        }
        return text;
    }
    test::TempDatabase database;
    CurrentProject target;
    CurrentProject source;
};

TEST_F(StudentCopyTest, AddWithAnExistingNumberFailsAndChangesNothing) {
    const std::string sourceBefore = rowsOf(source.fbTable);
    try {
        copyStudents(connection(), target, 2, CopyMode::Add);
        FAIL() << "no error";
    } catch (const UserError& error) {
        EXPECT_STREQ(error.what(), kCopyFailed);
    }
    EXPECT_EQ(rowsOf(target.fbTable), "3:旧三:0:1 4:旧四:0:1 ");
    EXPECT_EQ(rowsOf(source.fbTable), sourceBefore);  // its types are not left at 2
}

// The copies arrive fixed; the source stays exactly as it was, its fixed student still fixed.
TEST_F(StudentCopyTest, OverwriteReplacesSameNumbersAndFixesCopiesInTheirClasses) {
    EXPECT_EQ(copyStudents(connection(), target, 2, CopyMode::Overwrite), 3);
    EXPECT_EQ(rowsOf(target.fbTable), "1:甲:1:2 2:乙:2:2 3:丙:3:2 4:旧四:0:1 ");
    EXPECT_EQ(rowsOf(source.fbTable), "1:甲:1:1 2:乙:2:2 3:丙:3:3 ");
}

TEST_F(StudentCopyTest, AddingAnEmptySourceSucceedsWithNothingCopied) {
    const auto empty = createProject(connection(), "empty", 2);
    EXPECT_EQ(copyStudents(connection(), target, empty.id(), CopyMode::Add), 0);
    EXPECT_EQ(rowsOf(target.fbTable), "3:旧三:0:1 4:旧四:0:1 ");
}

TEST_F(StudentCopyTest, RefusesCopyingAProjectOntoItselfAndUnknownSources) {
    EXPECT_THROW(copyStudents(connection(), target, 1, CopyMode::Overwrite), UserError);
    EXPECT_EQ(rowsOf(target.fbTable), "3:旧三:0:1 4:旧四:0:1 ");
    EXPECT_THROW(copyStudents(connection(), target, 99, CopyMode::Add), UserError);
}

}  // namespace
}  // namespace qm::store
