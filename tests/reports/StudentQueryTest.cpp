#include <gtest/gtest.h>

#include "common/UserError.h"
#include "reports/ClassList.h"
#include "reports/StudentQuery.h"
#include "store/ProjectStore.h"
#include "support/StudentRows.h"
#include "support/TempDatabase.h"

namespace qm::reports {
namespace {

// math, english, chinese; the other six scores 0.
std::array<double, 9> scores(double math, double english, double chinese) {
    return {math, english, chinese, 0, 0, 0, 0, 0, 0};
}

// Students inserted out of number order; names with the LIKE wildcards and a quote.
class StudentQueryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        project = store::createProject(connection(), "p", 2);
        test::insertStudents(connection(), project.fbTable,
                             {{.student_id = 5,
                               .student_name = "AxB",
                               .sex = "女",
                               .class_id = 1,
                               .scores = scores(95, 60, 85)},
                              {.student_id = 1,
                               .student_name = "张三",
                               .sex = "男",
                               .class_id = 2,
                               .scores = scores(90, 80, 70)},
                              {.student_id = 3,
                               .student_name = "王五",
                               .sex = "男",
                               .class_id = 0,
                               .scores = scores(75, 75, 75)},
                              {.student_id = 2,
                               .student_name = "李张",
                               .sex = "女",
                               .class_id = 2,
                               .scores = scores(60, 90, 88)},
                              {.student_id = 4,
                               .student_name = "A%B",
                               .sex = "男",
                               .class_id = 1,
                               .scores = scores(80, 85, 90)},
                              {.student_id = 6,
                               .student_name = "O'Brien",
                               .sex = "女",
                               .class_id = 1,
                               .scores = scores(60.5, 70, 65)},
                              {.student_id = 7,
                               .student_name = "A_B",
                               .sex = "男",
                               .class_id = 2,
                               .scores = scores(100, 100, 100)}});
    }
    db::Connection& connection() { return database.connection(); }
    static std::string ids(const db::ResultSet& rows) {
        std::string text;
        for (const auto row : rows) {
            text += row["student_id"].toText() + " ";
        }
        return text;
    }
    test::TempDatabase database;
    store::CurrentProject project;
};

TEST_F(StudentQueryTest, ConditionsCombineAndResultsComeByStudentNumber) {
    struct Case {
        const char* what;
        StudentQuery query;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"nothing given", {}, "1 2 3 4 5 6 7 "},
        {"blank boxes", {.studentNumber = "  ", .math = {" ", "80"}}, "1 2 3 4 5 6 7 "},
        {"student number", {.studentNumber = "3"}, "3 "},
        {"student number with blanks", {.studentNumber = " 4 "}, "4 "},
        {"name part", {.namePart = "张"}, "1 2 "},
        {"percent is literal", {.namePart = "%"}, "4 "},
        {"underscore is literal", {.namePart = "A_B"}, "7 "},
        {"quote is literal", {.namePart = "O'B"}, "6 "},
        {"quoted condition matches nothing", {.namePart = "' or '1'='1"}, ""},
        {"boys", {.sex = SexFilter::Boys}, "1 3 4 7 "},
        {"girls", {.sex = SexFilter::Girls}, "2 5 6 "},
        {"class", {.classId = 2}, "1 2 7 "},
        {"class 0", {.classId = 0}, "3 "},
        {"math range, ends included", {.math = {"60.5", "90"}}, "1 3 4 6 "},
        {"only the lower end: no range", {.math = {"60", ""}}, "1 2 3 4 5 6 7 "},
        {"english range", {.english = {"80", "90"}}, "1 2 4 "},
        {"chinese range", {.chinese = {"85", "100"}}, "2 4 5 7 "},
        {"everything together",
         {.namePart = "A",
          .sex = SexFilter::Boys,
          .classId = 1,
          .math = {"70", "100"},
          .english = {"0", "100"},
          .chinese = {"90", "90"}},
         "4 "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ids(findStudents(connection(), project.fbTable, c.query)), c.expected) << c.what;
    }
}

// Names stored with stray blanks (an older import kept them) are found without them, and a name
// typed with blanks finds them too.
TEST_F(StudentQueryTest, BlanksInNamesDoNotCount) {
    test::insertStudents(connection(), project.fbTable,
                         {{.student_id = 8, .student_name = "卢 杰霞", .sex = "女"},
                          {.student_id = 9, .student_name = "董华强\u3000", .sex = "男"},
                          {.student_id = 10, .student_name = " 张\t伟", .sex = "男"}});
    const std::pair<std::string, std::string> cases[] = {
        {"卢杰霞", "8 "},   {"杰霞", "8 "},        {"卢 杰", "8 "},   {"董华强", "9 "},
        {" 董华强 ", "9 "}, {"华强\u3000", "9 "}, {"张伟", "10 "}, {"张", "1 2 10 "},
        {"   ", "1 2 3 4 5 6 7 8 9 10 "},
    };
    for (const auto& [part, expected] : cases) {
        EXPECT_EQ(ids(findStudents(connection(), project.fbTable, {.namePart = part})), expected)
            << part;
    }
}

TEST_F(StudentQueryTest, ABoxThatIsNotANumberIsRefusedByName) {
    struct Case {
        StudentQuery query;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{.studentNumber = "abc"}, "考号 不是数字: abc"},
        {{.studentNumber = "1 or 1=1"}, "考号 不是数字: 1 or 1=1"},
        {{.math = {"x", "90"}}, "数学 的下限不是数字: x"},
        {{.english = {"0", "1 or 1=1"}}, "英语 的上限不是数字: 1 or 1=1"},
        {{.chinese = {"六十", "90"}}, "语文 的下限不是数字: 六十"},
    };
    for (const auto& c : cases) {
        try {
            findStudents(connection(), project.fbTable, c.query);
            ADD_FAILURE() << "no error for " << c.message;
        } catch (const UserError& error) {
            EXPECT_EQ(error.what(), c.message);
        }
    }
}

TEST_F(StudentQueryTest, ClassTreeListsTheClassesThatOccurInOrder) {
    EXPECT_EQ(listClasses(connection(), project.fbTable),
              (std::vector<ClassEntry>{{0, "未分班"}, {1, "1班"}, {2, "2班"}}));
    EXPECT_EQ(ids(studentsOfClass(connection(), project.fbTable, 0)), "3 ");
    EXPECT_EQ(ids(studentsOfClass(connection(), project.fbTable, 2)), "1 2 7 ");
    EXPECT_EQ(ids(allStudents(connection(), project.fbTable)), "3 4 5 6 1 2 7 ");
}

TEST_F(StudentQueryTest, OnlyProjectTablesAreQueried) {
    EXPECT_THROW(allStudents(connection(), "fb_info"), UserError);
    EXPECT_THROW(findStudents(connection(), "config", {}), UserError);
}

}  // namespace
}  // namespace qm::reports
