// Division runs through the real database: categories, fixed students, console lines, the
// refusals, one unit of work, re-division, cohort figures and the result grid.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

#include "db/DbError.h"
#include "engine/DivisionRun.h"
#include "engine/division/CohortFigures.h"
#include "reports/ResultGrid.h"
#include "store/DivisionSettings.h"
#include "store/ProjectStore.h"
#include "support/StudentRows.h"
#include "support/TempDatabase.h"

namespace qm::engine {
namespace {

using test::StudentRow;

struct Lines : DivisionObserver {
    void consoleLine(const std::string& line) override { lines.push_back(line); }
    void remarkLine(const std::string& line) override { remarks.push_back(line); }
    long count(const std::string& line) const {
        return std::count(lines.begin(), lines.end(), line);
    }
    std::vector<std::string> lines;
    std::vector<std::string> remarks;
};

// Cancels at the first fine-tuning pass.
struct CancelWhileTuning : DivisionObserver {
    void progress(const DivisionProgress& progress) override { tuning = progress.tuningPass > 0; }
    bool cancelRequested() override { return tuning; }
    bool tuning = false;
};

StudentRow student(int id, const std::string& sex, double level, int type = 0, int classId = 0,
                   std::optional<std::string> category = std::string()) {
    StudentRow row;
    row.student_id = id;
    row.student_name = "学生" + std::to_string(id);
    row.sex = sex;
    row.type = type;
    row.class_id = classId;
    row.pfType = std::move(category);
    row.pingyin = "PY" + std::to_string(id);
    for (int s = 0; s < 9; ++s) {
        row.scores[s] = std::min(100.0, level + ((id * 7 + s * 3) % 11));
    }
    return row;
}

// Fixes a student to a class in advance.
void fix(StudentRow& row, int classId) {
    row.type = 2;
    row.class_id = classId;
}

// class_id and type of every student, by student_id.
using Placement = std::map<int, std::pair<int, int>>;

Placement placement(db::Connection& connection, const std::string& table) {
    Placement rows;
    for (const auto row : connection.query("select student_id, class_id, type from " + table)) {
        rows[static_cast<int>(row[0].toInt())] = {static_cast<int>(row[1].toInt()),
                                                  static_cast<int>(row[2].toInt())};
    }
    return rows;
}

class DivisionRunTest : public ::testing::Test {
  protected:
    // A project with these students and the default settings but for the fine-tuning count and
    // whether boys are placed first.
    store::CurrentProject project(int classes, const std::vector<StudentRow>& students,
                                  int wtNum = 2, int boysFirst = 0) {
        auto current = store::createProject(database.connection(), "测试", classes);
        auto settings = store::DivisionSettings::defaults(current.id());
        settings.wtNum = wtNum;
        settings.is_man = boysFirst;
        store::saveSettings(database.connection(), settings);
        test::insertStudents(database.connection(), current.fbTable, students);
        return current;
    }
    std::vector<StudentRow> cohort(int size) {
        std::vector<StudentRow> students;
        for (int id = 1; id <= size; ++id) {
            students.push_back(student(id, id % 2 ? "男" : "女", 40 + (id * 37) % 55));
        }
        return students;
    }
    // Divides the project and returns the placement of its students.
    Placement divided(const store::CurrentProject& current, DivisionObserver& observer) {
        divide(connection(), current, observer);
        return placement(connection(), current.fbTable);
    }
    db::Connection& connection() { return database.connection(); }
    test::TempDatabase database;
};

TEST_F(DivisionRunTest, CategoriesAreDividedFirstAndMarked) {
    auto students = cohort(40);
    students[0].pfType = "A";  // boys 1 and 3
    students[2].pfType = "A";
    students[1].pfType = "O'K";  // a label with a quote
    students[3].pfType = "O'K";
    fix(students[3], 2);
    const auto current = project(3, students);
    Lines console;
    const auto rows = divided(current, console);
    EXPECT_EQ(rows.at(1).second, 3);
    EXPECT_EQ(rows.at(2).second, 3);
    EXPECT_EQ(rows.at(3).second, 3);
    EXPECT_EQ(rows.at(4), std::make_pair(2, 2));
    EXPECT_EQ(rows.at(5).second, 1);
    EXPECT_NE(rows.at(1).first, rows.at(3).first);  // a category is spread over the classes
    EXPECT_EQ(console.count("更新结束"), 3);        // A, O'K, then the final pass
    EXPECT_EQ(console.lines.back(), "更新结束");
}

TEST_F(DivisionRunTest, FixedStudentsStayAndUnknownSexesAreLeftOutWithAMessage) {
    auto students = cohort(30);
    students.push_back(student(101, "男", 90, 2, 3));
    students.push_back(student(102, "女", 90, 2, 0));
    students.push_back(student(103, "男", 90, 2, 9));  // above the class count
    students.push_back(student(104, "", 90));
    students.push_back(student(105, "x", 90));
    const auto current = project(3, students);
    Lines console;
    const auto rows = divided(current, console);
    EXPECT_EQ(rows.at(101), std::make_pair(3, 2));
    EXPECT_EQ(rows.at(102), std::make_pair(0, 2));
    EXPECT_EQ(rows.at(103), std::make_pair(9, 2));
    EXPECT_EQ(rows.at(104), std::make_pair(0, 0));
    EXPECT_EQ(rows.at(105), std::make_pair(0, 0));
    for (int id = 1; id <= 30; ++id) {
        EXPECT_GE(rows.at(id).first, 1);
        EXPECT_LE(rows.at(id).first, 3);
    }
    EXPECT_EQ(console.lines.back(), "有2名学生的性别既不是“男”也不是“女”，未分班");
    // The fixed students of classes 0 and 9 stay there, and the console says so after the run's
    // own lines, after a re-division too.
    const std::string outside = "有2名学生不在本项目的1到3班中：0班1名，9班1名";
    EXPECT_EQ(console.remarks, std::vector<std::string>{outside});
    Lines again;
    redivide(connection(), current, {1, 2}, again);
    EXPECT_EQ(again.remarks, std::vector<std::string>{outside});
    Lines plain;
    divided(project(3, cohort(12)), plain);
    EXPECT_TRUE(plain.remarks.empty());
}

TEST_F(DivisionRunTest, ConsoleFollowsSexOrderAndTuningCount) {
    struct Case {
        int boysFirst;
        int wtNum;
        std::string firstLine;
        long tuningLines;
    };
    for (const Case& c : {Case{1, 0, "对男的进行分", 2}, Case{0, 0, "对女的进行分", 2},
                          Case{2, -1, "对女的进行分", 0}, Case{1, 3, "对男的进行分", 8}}) {
        const auto current = project(2, cohort(12), c.wtNum, c.boysFirst);
        Lines console;
        divide(connection(), current, console);
        EXPECT_EQ(console.lines.front(), c.firstLine) << c.boysFirst << "/" << c.wtNum;
        EXPECT_EQ(
            std::count_if(console.lines.begin(), console.lines.end(),
                          [](const std::string& line) { return line.starts_with("微调替换"); }),
            c.tuningLines)
            << c.boysFirst << "/" << c.wtNum;
        EXPECT_EQ(console.count("微调结束"), 2);
    }
}

TEST_F(DivisionRunTest, ConsoleOfAPassWhoseFirstSexHasNobodyPlaced) {
    // Boys first, but there are no boys and nothing is fixed: their fine tuning finds no placed
    // row and writes no line. The two girls have equal scores and are never exchanged.
    auto first = student(1, "女", 70);
    auto second = student(2, "女", 70);
    second.scores = first.scores;
    const auto current = project(2, {first, second, student(3, "x", 70)}, 0, 1);
    Lines console;
    divide(connection(), current, console);
    const std::vector<std::string> expected = {
        "对男的进行分",
        "微调结束",
        "男的结束",
        "对女的进行分",
        "微调替换0人，已经调整过的学生再符合替换条件有0人次",
        "微调结束",
        "女的结束",
        "正在刷新数据.....",
        "更新结束",
        "有1名学生的性别既不是“男”也不是“女”，未分班",
    };
    EXPECT_EQ(console.lines, expected);
    const auto rows = placement(connection(), current.fbTable);
    EXPECT_EQ(rows.at(1), std::make_pair(1, 1));
    EXPECT_EQ(rows.at(2), std::make_pair(2, 1));
}

TEST_F(DivisionRunTest, SecondRunGivesTheSameResult) {
    const auto current = project(4, cohort(60));
    Lines console;
    const auto first = divided(current, console);
    Lines again;
    EXPECT_EQ(divided(current, again), first);
    EXPECT_EQ(again.lines, console.lines);
}

TEST_F(DivisionRunTest, RefusalsChangeNothing) {
    const auto current = project(3, cohort(20));
    Lines console;
    const auto before = divided(current, console);
    for (const std::vector<int>& classes :
         {std::vector<int>{}, std::vector<int>{0}, std::vector<int>{1, 4}}) {
        EXPECT_THROW(redivide(connection(), current, classes, console), UserError);
    }
    connection().exec("update fb_info set num=0");
    EXPECT_THROW(divide(connection(), current, console), UserError);
    EXPECT_EQ(placement(connection(), current.fbTable), before);
}

// A division of nobody would report success; it is refused with a message instead.
TEST_F(DivisionRunTest, AProjectWithoutStudentsIsRefused) {
    const auto current = project(3, {});
    Lines console;
    for (const auto& run :
         std::vector<std::function<void()>>{[&] { divide(connection(), current, console); },
                                            [&] {
                                                redivide(connection(), current, {1, 2}, console);
                                            }}) {
        try {
            run();
            ADD_FAILURE() << "no error";
        } catch (const UserError& error) {
            EXPECT_STREQ(error.what(), "该分班项目还没有学生数据");
        }
    }
    EXPECT_TRUE(console.lines.empty());
}

TEST_F(DivisionRunTest, FailedOrCancelledRunLeavesTablesAsBefore) {
    const auto current = project(3, cohort(30), 5);
    Lines console;
    const auto before = divided(current, console);
    CancelWhileTuning cancel;
    EXPECT_THROW(divide(connection(), current, cancel), DivisionCancelled);
    EXPECT_EQ(placement(connection(), current.fbTable), before);
    try {
        redivide(connection(), current, {1, 2}, cancel);
        ADD_FAILURE() << "not cancelled";
    } catch (const DivisionCancelled& cancelled) {
        EXPECT_STREQ(cancelled.what(), "重新分班已取消，数据没有改变");
    }
    EXPECT_EQ(placement(connection(), current.fbTable), before);

    // A missing score stops the run after the reset: the reset is undone too.
    connection().exec("update " + current.fbTable + " set math=NULL where student_id=7");
    EXPECT_THROW(divide(connection(), current, console), db::DbError);
    EXPECT_EQ(placement(connection(), current.fbTable), before);
}

TEST_F(DivisionRunTest, ManyStudentsInFewClassesSplitEvenlyEvenWithEmptySubjects) {
    std::vector<StudentRow> students;
    for (int id = 1; id <= 1000; ++id) {
        StudentRow row = student(id, id % 2 ? "男" : "女", 50 + id % 40);
        row.scores[6] = row.scores[7] = row.scores[8] = 0;  // subjects nobody takes
        students.push_back(row);
    }
    const auto current = project(2, students, -1);
    Lines console;
    divide(connection(), current, console);
    const auto rows = connection().query("select class_id, count(*) from " + current.fbTable +
                                         " group by class_id order by class_id");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][1].toInt(), 500);
    EXPECT_EQ(rows[1][1].toInt(), 500);
}

TEST_F(DivisionRunTest, RedivisionMovesOnlyTheChosenClasses) {
    auto students = cohort(60);
    fix(students[0], 2);
    const auto current = project(6, students);
    Lines console;
    const auto before = divided(current, console);
    Lines redivision;
    redivide(connection(), current, {4, 2}, redivision);
    EXPECT_EQ(redivision.lines.back(), "重新分班结束");
    const auto after = placement(connection(), current.fbTable);
    int moved = 0;
    for (const auto& [id, was] : before) {
        const auto& now = after.at(id);
        EXPECT_EQ(now.second, was.second) << id;  // types are not touched
        if (was.first == 2 || was.first == 4) {
            EXPECT_TRUE(now.first == 2 || now.first == 4) << id;
            moved += now.first != was.first;
        } else {
            EXPECT_EQ(now.first, was.first) << id;
        }
    }
    EXPECT_EQ(after.at(1).first, 2);  // fixed
    EXPECT_GT(moved, 0);
    // The grid of a re-division shows the twin table: the chosen classes only, by class.
    const auto grid = reports::resultGridRows(connection(), current.rbTable);
    ASSERT_FALSE(grid.empty());
    EXPECT_EQ(grid.front()[17], "2班");
    EXPECT_EQ(grid.back()[17], "4班");
}

TEST_F(DivisionRunTest, CohortFiguresGroupByScoreBandAndRoundHalvesToEven) {
    const auto current = project(1, {});
    std::vector<StudentRow> students;
    const double maths[] = {85, 85.5, 89.5, 75.5 * 4 - 85 - 85.5 - 89.5};
    for (int id = 1; id <= 4; ++id) {
        StudentRow row = student(id, "男", 0, 1, 1);
        row.scores = {};
        row.scores[0] = maths[id - 1];
        row.scores[1] = id <= 2 ? 76 : 77;  // average 76.5
        students.push_back(row);
    }
    test::insertStudents(connection(), current.fbTable, students);
    const auto figures = loadCohortFigures(connection(), current.fbTable, 1);
    ASSERT_TRUE(figures);
    EXPECT_EQ(figures->targets.target(kMath, 8), 3);  // 85, 85.5 and 89.5 share band 8
    EXPECT_EQ(figures->targets.target(kMath, 9), 0);
    EXPECT_EQ(figures->averages[kMath], 76);     // 75.5
    EXPECT_EQ(figures->averages[kEnglish], 76);  // 76.5
    EXPECT_EQ(figures->targets.target(kMath, 4), 1);
    // Two classes: a band's head count is divided as a fraction and rounded halves to even.
    const auto halves = loadCohortFigures(connection(), current.fbTable, 2);
    ASSERT_TRUE(halves);
    EXPECT_EQ(halves->targets.target(kMath, 8), 2);  // 3/2 = 1.5
    EXPECT_EQ(halves->targets.target(kMath, 4), 0);  // 1/2 = 0.5
    EXPECT_EQ(halves->targets.target(kEnglish, 7), 2);
    EXPECT_FALSE(loadCohortFigures(connection(), current.rbTable, 1));
}

TEST_F(DivisionRunTest, ResultGridRowsAreOrderedByClassThenStudent) {
    auto a = student(30, "男", 0, 2, 2);
    a.scores = {90, 85.5, 88, 0, 0, 0, 0, 0, 0};
    const auto current = project(
        3, {a, student(20, "女", 60, 2, 2), student(10, "x", 60), student(5, "男", 60, 2, 1)});
    const auto grid = reports::resultGridRows(connection(), current.fbTable);
    ASSERT_EQ(grid.size(), 4u);
    EXPECT_EQ(grid[0][1], "10");
    EXPECT_EQ(grid[0][17], "未分班");
    EXPECT_EQ(grid[1][1], "5");
    EXPECT_EQ(grid[2][1], "20");
    EXPECT_EQ(grid[3][0], "4");
    EXPECT_EQ(grid[3][6], "85.5");
    EXPECT_EQ(grid[3][14], "263.5");
    EXPECT_EQ(grid[3][17], "2班");
}

}  // namespace
}  // namespace qm::engine
