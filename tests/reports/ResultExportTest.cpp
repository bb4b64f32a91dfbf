#include <gtest/gtest.h>

#include <filesystem>

#include "XlsxCellStyles.h"
#include "common/UserError.h"
#include "intake/XlsxWorkbook.h"
#include "reports/ResultExport.h"
#include "store/ProjectStore.h"
#include "support/StudentRows.h"
#include "support/TempDatabase.h"

namespace qm::reports {
namespace {

using intake::CellKind;

class ResultExportTest : public ::testing::Test {
  protected:
    void SetUp() override { project = store::createProject(database.connection(), "p", 2); }
    void insert(const std::vector<test::StudentRow>& students) {
        test::insertStudents(database.connection(), project.fbTable, students);
    }
    test::TempDatabase database;
    test::TempFolder folder;
    store::CurrentProject project;
};

// 40 students in 2 classes, inserted in an order that is neither by class nor by number.
TEST_F(ResultExportTest, OneRowPerStudentByClassThenNumber) {
    std::vector<test::StudentRow> students;
    for (int i = 40; i >= 1; --i) {
        students.push_back({.student_id = i,
                            .student_name = "学生" + std::to_string(i),
                            .sex = i % 2 ? "男" : "女",
                            .class_id = i % 2 ? 2 : 1,
                            .scores = {60, 70, 80, 50, 40, 30, 20, 10, 0},
                            .rec_id = "00" + std::to_string(i),
                            .oral_school = "一中  ",
                            .addr = "北京路" + std::to_string(i)});
    }
    students[0].scores = {100, 99.5, 98, 70, 65, 60, 55, 35, 30};  // 612.5, student 40 of class 1
    students[1].scores = {100, 99.5, 98, 70, 65, 60, 55, 35, 30};  // student 39 of class 2
    insert(students);

    const std::string path = folder.file("result.xlsx");
    EXPECT_EQ(exportResults(database.connection(), project.fbTable, path), 40);
    EXPECT_FALSE(std::filesystem::exists(path + ".part"));

    const intake::XlsxWorkbook book(path);
    ASSERT_EQ(book.sheetNames(), std::vector<std::string>{"分班结果"});
    EXPECT_EQ(book.lastRow(0), 41);
    const std::vector<std::string> titles = {"学号", "登分号", "姓名",     "性别", "数学", "英语",
                                             "语文", "物理",   "政治",     "历史", "体育", "地理",
                                             "生物", "总分",   "毕业学校", "地址", "班名"};
    for (int c = 1; c <= 17; ++c) {
        EXPECT_EQ(book.cell(0, 1, c).text, titles[static_cast<std::size_t>(c - 1)]) << c;
        EXPECT_EQ(book.cell(0, 1, c).kind, CellKind::Text);
    }
    EXPECT_EQ(book.cell(0, 1, 18).kind, CellKind::Empty);

    // Class 1 holds the even numbers 2..40 in rows 2..21, class 2 the odd ones in rows 22..41.
    for (int row = 2; row <= 41; ++row) {
        const int expectedId = row <= 21 ? 2 * (row - 1) : 2 * (row - 21) - 1;
        EXPECT_EQ(book.cell(0, row, 1).number, expectedId) << row;
        EXPECT_EQ(book.cell(0, row, 17).text, row <= 21 ? "1班" : "2班") << row;
    }
    struct Expected {
        int row, column;
        CellKind kind;
        std::string text;
    };
    for (const auto& e : std::vector<Expected>{
             {21, 1, CellKind::Number, "40"},
             {21, 2, CellKind::Text, "0040"},  // a score-entry number keeps its zeros
             {21, 3, CellKind::Text, "学生40"},
             {21, 4, CellKind::Text, "女"},
             {21, 5, CellKind::Number, "100"},
             {21, 6, CellKind::Number, "99.5"},
             {21, 13, CellKind::Number, "30"},
             {21, 14, CellKind::Number, "612.5"},
             {21, 15, CellKind::Text, "一中"},  // without the trailing blanks
             {21, 16, CellKind::Text, "北京路40"},
             {21, 17, CellKind::Text, "1班"},
             {41, 1, CellKind::Number, "39"},
             {41, 14, CellKind::Number, "612.5"},
             {41, 17, CellKind::Text, "2班"},
             {2, 14, CellKind::Number, "360"},
             {2, 13, CellKind::Number, "0"},
         }) {
        const auto cell = book.cell(0, e.row, e.column);
        EXPECT_EQ(cell.kind, e.kind) << e.row << "," << e.column;
        EXPECT_EQ(cell.text, e.text) << e.row << "," << e.column;
    }

    const test::XlsxCellStyles styles(path);
    EXPECT_EQ(styles.frozenRows(), 1);
}

TEST_F(ResultExportTest, EmptyProjectGivesTheTitleRowOnlyReplacingAnOldFile) {
    const std::string path = folder.file("empty.xlsx");
    EXPECT_EQ(exportResults(database.connection(), project.fbTable, path), 0);
    EXPECT_EQ(exportResults(database.connection(), project.fbTable, path), 0);
    const intake::XlsxWorkbook book(path);
    EXPECT_EQ(book.lastRow(0), 1);
    EXPECT_EQ(book.cell(0, 1, 17).text, "班名");
}

// An older database may hold texts that XML cannot: bytes that are no UTF-8, NUL and other
// control characters, a surrogate. The workbook is still one the program reads back, every
// character kept but those, which show as U+FFFD.
TEST_F(ResultExportTest, TextsXmlCannotHoldStillGiveAReadableWorkbook) {
    database.connection().exec(
        "insert into " + project.fbTable +
        "(student_id,student_name,sex,class_id,rec_id,oral_school,addr)"
        " values(1,CAST(X'E5BCA0FF' AS TEXT),'男',1,CAST(X'4B00303031' AS TEXT),"
        "CAST(X'E4B8801B' AS TEXT),CAST(X'EDA080E58C97' AS TEXT))");
    const std::string path = folder.file("result.xlsx");
    EXPECT_EQ(exportResults(database.connection(), project.fbTable, path), 1);

    const intake::XlsxWorkbook book(path);
    const std::string fffd = "\xEF\xBF\xBD";
    EXPECT_EQ(book.cell(0, 2, 2).text, "K" + fffd + "001");
    EXPECT_EQ(book.cell(0, 2, 3).text, "张" + fffd);
    EXPECT_EQ(book.cell(0, 2, 15).text, "一" + fffd);
    EXPECT_EQ(book.cell(0, 2, 16).text, fffd + "北");
}

TEST_F(ResultExportTest, UnwritablePlaceFailsClearlyAndLeavesNoPartialFile) {
    insert({{.student_id = 1, .sex = "男", .class_id = 1}});
    try {
        exportResults(database.connection(), project.fbTable, folder.file("missing/out.xlsx"));
        FAIL() << "no error";
    } catch (const UserError& error) {
        EXPECT_NE(std::string(error.what()).find("missing/out.xlsx"), std::string::npos)
            << error.what();
    }

    // A folder in place of the file: nothing can be written there, and it stays as it was.
    const std::string blocked = folder.file("blocked.xlsx");
    std::filesystem::create_directory(blocked);
    EXPECT_THROW(exportResults(database.connection(), project.fbTable, blocked), UserError);
    EXPECT_TRUE(std::filesystem::is_directory(blocked));
    EXPECT_FALSE(std::filesystem::exists(blocked + ".part"));
}

}  // namespace
}  // namespace qm::reports
