#include <gtest/gtest.h>

#include <functional>

#include "common/UserError.h"
#include "reports/StudentEditor.h"
#include "store/ProjectStore.h"
#include "support/StudentRows.h"
#include "support/TempDatabase.h"

namespace qm::reports {
namespace {

class StudentEditorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        project = store::createProject(connection(), "p", 2);
        test::insertStudents(
            connection(), project.fbTable,
            {{.student_id = 1,
              .student_name = "张三",
              .sex = "男",
              .class_id = 1,
              .scores = {90, 80, 70},
              .type = 1,
              .pfType = "A"},
             {.student_id = 2, .student_name = "李四", .sex = "女", .class_id = 2, .type = 1}});
    }
    db::Connection& connection() { return database.connection(); }
    // Every column of every row, by student number.
    std::string table() {
        std::string text;
        for (const auto row :
             connection().query("select * from " + project.fbTable + " order by student_id")) {
            for (std::size_t c = 0; c < 20; ++c) {
                text += row[c].toText() + "|";
            }
            text += "\n";
        }
        return text;
    }
    void expectRefused(const std::function<void()>& action, const std::string& message) {
        const std::string before = table();
        try {
            action();
            ADD_FAILURE() << "no error, expected " << message;
        } catch (const UserError& error) {
            EXPECT_EQ(error.what(), message);
        }
        EXPECT_EQ(table(), before) << message;
    }
    test::TempDatabase database;
    store::CurrentProject project;
};

TEST_F(StudentEditorTest, UpdateStoresCheckedValues) {
    updateStudent(connection(), project.fbTable, 1,
                  {{"math", "85.5"},
                   {"student_name", "张山"},
                   {"class_id", "2"},
                   {"pfType", "一二三四五六七八九十"},
                   {"student_id", "9"}});
    const auto rows =
        connection().query("select student_id,student_name,class_id,math,pfType,pingyin from " +
                           project.fbTable + " where student_id=9");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0]["student_name"].toText(), "张山");
    EXPECT_EQ(rows[0]["pingyin"].toText(), "ZHANG SHAN");  // follows the new name
    EXPECT_EQ(rows[0]["class_id"].toInt(), 2);
    EXPECT_EQ(rows[0]["math"].toDouble(), 85.5);
    EXPECT_EQ(rows[0]["pfType"].toText(), "一二三四五六七八九十");
}

// Class 0 takes a student out of the classes (not placed); the longest name fits, its pinyin cut
// to the pinyin column; texts are stored as valid UTF-8.
TEST_F(StudentEditorTest, UpdateTakesClassZeroTheLongestNameAndCleansTexts) {
    std::string longest;
    for (int k = 0; k < 50; ++k) {
        longest += "张";
    }
    updateStudent(connection(), project.fbTable, 2,
                  {{"class_id", "0"}, {"student_name", longest}, {"addr", "北街\x01\xFF"}});
    const auto rows = connection().query("select class_id,student_name,pingyin,addr from " +
                                         project.fbTable + " where student_id=2");
    EXPECT_EQ(rows[0]["class_id"].toInt(), 0);
    EXPECT_EQ(rows[0]["student_name"].toText(), longest);
    EXPECT_EQ(rows[0]["pingyin"].toText().size(), 100u);
    EXPECT_EQ(rows[0]["addr"].toText(), "北街\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST_F(StudentEditorTest, BadValuesAreRefusedAndChangeNothing) {
    struct Case {
        StudentFields changes;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{{"math", "abc"}}, "数学「abc」不是数字"},
        {{{"english", ""}}, "英语「」不是数字"},
        {{{"chinese", "85"}, {"wuli", "8o"}}, "物理「8o」不是数字"},  // the first is not kept
        {{{"student_id", "x"}}, "学号「x」不是整数"},
        {{{"student_id", "2"}}, "学号 2 已经存在"},
        {{{"class_id", "-1"}}, "班级「-1」不是本项目的班级，班级号必须在0到2之间（0表示未分班）"},
        {{{"class_id", "9"}}, "班级「9」不是本项目的班级，班级号必须在0到2之间（0表示未分班）"},
        {{{"math", "1e308"}}, "数学「1e+308」超出范围，分数必须在-100000到100000之间"},
        {{{"tiyu", "-100000.5"}}, "体育「-100000.5」超出范围，分数必须在-100000到100000之间"},
        {{{"student_name", std::string(51, 'x')}}, "姓名最多50个字，这里有51个字"},
        {{{"class_id", "1.5"}}, "班级「1.5」不是整数"},
        {{{"type", "4"}}, "类型「4」不是放置类型，类型必须在0到3之间"},
        {{{"sex", "M"}}, "性别「M」只能是男或女"},
        {{{"pfType", "一二三四五六七八九十一"}}, "分类最多10个字，这里有11个字"},
        {{{"math=0,chinese", "1"}}, "学生表没有这一列: math=0,chinese"},
    };
    for (const auto& c : cases) {
        expectRefused([&] { updateStudent(connection(), project.fbTable, 1, c.changes); },
                      c.message);
    }
    expectRefused(
        [&] {
            updateStudent(connection(), project.fbTable, 99, {{"math", "1"}});
        },
        "没有学号为 99 的学生");
}

TEST_F(StudentEditorTest, InsertGivesANewUnplacedStudentAndRefusesATakenNumber) {
    insertStudent(connection(), project.fbTable,
                  {{"student_id", "3"}, {"student_name", "王五"}, {"sex", "男"}, {"math", "66"}});
    const auto rows =
        connection().query("select * from " + project.fbTable + " where student_id=3");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0]["student_name"].toText(), "王五");
    EXPECT_EQ(rows[0]["pingyin"].toText(), "WANG WU");
    EXPECT_EQ(rows[0]["math"].toDouble(), 66.0);
    EXPECT_EQ(rows[0]["english"], db::Value(0.0));
    EXPECT_EQ(rows[0]["class_id"], db::Value(0));
    EXPECT_EQ(rows[0]["type"], db::Value(0));
    EXPECT_EQ(rows[0]["pfType"], db::Value(""));

    expectRefused(
        [&] {
            insertStudent(connection(), project.fbTable, {{"student_id", "1"}});
        },
        "学号 1 已经存在");
    expectRefused(
        [&] {
            insertStudent(connection(), project.fbTable, {{"math", "1"}});
        },
        "新学生必须有学号");
    expectRefused(
        [&] {
            insertStudent(connection(), project.fbTable, {{"student_id", "4"}, {"tiyu", "x"}});
        },
        "体育「x」不是数字");
}

TEST_F(StudentEditorTest, DeleteRemovesOneStudent) {
    deleteStudent(connection(), project.fbTable, 1);
    EXPECT_EQ(connection().query("select student_id from " + project.fbTable).size(), 1u);
    expectRefused([&] { deleteStudent(connection(), project.fbTable, 1); }, "没有学号为 1 的学生");
}

}  // namespace
}  // namespace qm::reports
