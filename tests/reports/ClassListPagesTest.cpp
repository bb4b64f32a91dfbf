#include <gtest/gtest.h>

#include "common/UserError.h"
#include "db/Connection.h"
#include "db/Value.h"
#include "reports/ClassList.h"
#include "reports/ClassListPages.h"
#include "store/ProjectStore.h"
#include "store/StudentTable.h"
#include "support/StudentRows.h"
#include "support/TempDatabase.h"

namespace qm::reports {
namespace {

// math 80 + id, chinese 70; the other seven scores 1 each.
std::array<double, 9> scoresOf(int id) {
    return {80.0 + id, 1, 70, 1, 1, 1, 1, 1, 1};
}

test::StudentRow student(int id, const std::string& name, const std::string& sex, int classId) {
    return {.student_id = id,
            .student_name = name,
            .sex = sex,
            .class_id = classId,
            .scores = scoresOf(id)};
}

// Students out of number order in classes 2 and 1, one not placed, one whose sex is neither 男
// nor 女, a name with trailing blanks.
class ClassListPagesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        project = store::createProject(connection(), "2026级 高一\n新生", 2);
        test::insertStudents(connection(), project.fbTable,
                             {student(7, "赵七", "女", 2), student(3, "张三  ", "男", 1),
                              student(5, "王五", "男", 2), student(9, "孙九", "女", 0),
                              student(1, "李一", "女", 1), student(4, "钱四", "?", 1)});
    }
    db::Connection& connection() { return database.connection(); }

    test::TempDatabase database;
    store::CurrentProject project;
};

TEST_F(ClassListPagesTest, ListsEachClassByNumberWithHeadCountsAndTheChosenScores) {
    connection().exec("update " + project.fbTable + " set wuli = null where student_id = 1");
    const auto document = makeClassListDocument(
        connection(), project, {.school = " 实验中学 ", .scores = {"math", "total"}});

    EXPECT_EQ(document.school, "实验中学");
    EXPECT_EQ(document.project, "2026级 高一 新生");
    EXPECT_EQ(document.headings,
              (std::vector<std::string>{"序号", "学号", "姓名", "性别", "数学", "总分"}));
    ASSERT_EQ(document.pages.size(), 3u);
    EXPECT_EQ(document.pages[0].className, "1班");
    EXPECT_EQ(document.pages[1].className, "2班");
    // The student not placed comes last, under the name the program gives class 0.
    EXPECT_EQ(document.pages[2].classId, 0);
    EXPECT_EQ(document.pages[2].className, className(db::Value(0)));

    const ClassListPage& first = document.pages[0];
    // 总分 counts the score without a value as 0: 81 + 1 + 70 + six times 1, less the missing 1.
    EXPECT_EQ(first.rows,
              (std::vector<std::vector<std::string>>{{"1", "1", "李一", "女", "81", "157"},
                                                     {"2", "3", "张三", "男", "83", "160"},
                                                     {"3", "4", "钱四", "?", "84", "161"}}));
    EXPECT_EQ(headCountText(first), "男生 1 人　女生 1 人　其他 1 人　共 3 人");
    EXPECT_EQ(headCountText(document.pages[1]), "男生 1 人　女生 1 人　共 2 人");
    EXPECT_EQ(document.pages[1].rows[0][2], "王五");
}

TEST_F(ClassListPagesTest, PrintsOnlyTheChosenClassesAndScoreColumnsAsNamed) {
    const auto document = makeClassListDocument(
        connection(), project,
        {.scores = parseClassListScores(" 总分 ,chinese,语文"), .classes = {2}});
    EXPECT_TRUE(document.school.empty());
    EXPECT_EQ(document.headings,
              (std::vector<std::string>{"序号", "学号", "姓名", "性别", "总分", "语文"}));
    ASSERT_EQ(document.pages.size(), 1u);
    EXPECT_EQ(document.pages[0].rows,
              (std::vector<std::vector<std::string>>{{"1", "5", "王五", "男", "162", "70"},
                                                     {"2", "7", "赵七", "女", "164", "70"}}));

    EXPECT_TRUE(parseClassListScores("").empty());
    try {
        parseClassListScores("数学,化学");
        FAIL() << "化学 was taken";
    } catch (const UserError& error) {
        EXPECT_NE(std::string(error.what()).find("化学"), std::string::npos);
        EXPECT_NE(std::string(error.what()).find("语文,数学,英语"), std::string::npos);
    }
}

TEST_F(ClassListPagesTest, RefusesWhatHasNothingToPrint) {
    const auto refusal = [&](const store::CurrentProject& of, const ClassListChoice& choice) {
        try {
            makeClassListDocument(connection(), of, choice);
        } catch (const UserError& error) {
            return std::string(error.what());
        }
        return std::string("(printed)");
    };
    EXPECT_NE(refusal(project, {.classes = {2, 5}}).find("5班没有学生"), std::string::npos);
    EXPECT_NE(refusal(project, {.scores = {"化学"}}).find("化学"), std::string::npos);

    const auto empty = store::createProject(connection(), "空", 2);
    EXPECT_EQ(refusal(empty, {}), store::kNoStudentsMessage);
    test::insertStudents(connection(), empty.fbTable, {student(1, "甲", "男", 0)});
    EXPECT_NE(refusal(empty, {}).find("还没有分班"), std::string::npos);
}

}  // namespace
}  // namespace qm::reports
