#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qm::db {
class Connection;
}

namespace qm::store {
struct CurrentProject;
}

namespace qm::reports {

// A score column a printed class list may show: a score column of the student table, or the
// total of the nine scores ("total").
struct ClassListScore {
    std::string_view column;
    std::string_view heading;
};

// The score columns a class list may show, in the order of the statistics pages: 语文, 数学,
// 英语, 物理, 政治, 历史, 体育, 地理, 生物, then 总分.
const std::vector<ClassListScore>& classListScores();

// Reads score columns as a command line names them, separated by commas: by heading (数学,
// 总分) or by column (math, total). Blanks around a name are allowed, a name given twice counts
// once; an unknown name is refused with a UserError that lists the names there are.
std::vector<std::string> parseClassListScores(std::string_view text);

// What a teacher chooses for the printed class lists.
struct ClassListChoice {
    // The school, printed above the project's description; empty text leaves that line out.
    std::string school;
    // The score columns after 学号, 姓名 and 性别, in this order (see classListScores).
    std::vector<std::string> scores;
    // The classes to print, by number; empty: every class that has students.
    std::vector<int> classes;
};

// One class on paper: its students by student number, each row holding 序号, 学号, 姓名, 性别
// and the chosen scores as the page shows them (a score without a value as empty text; 总分
// counts such a score as 0, as the result workbook does).
struct ClassListPage {
    int classId = 0;
    std::string className;  // 3班
    int boys = 0;
    int girls = 0;
    int students = 0;
    std::vector<std::vector<std::string>> rows;
};

// The class lists of a project, one page model per class.
struct ClassListDocument {
    std::string school;
    std::string project;                // the project's description on one line
    std::vector<std::string> headings;  // 序号, 学号, 姓名, 性别, the chosen scores
    // Ascending class number; the students not placed in a class (class 0) come last.
    std::vector<ClassListPage> pages;
};

// The head counts of a page as printed: "男生 25 人　女生 24 人　共 49 人"; students who are
// neither 男 nor 女 are named as "其他 1 人" before the total.
std::string headCountText(const ClassListPage& page);

// The class lists of the project's students as they sit now. Refused with a UserError: a project
// without students (store::kNoStudentsMessage), a project whose students sit in no class yet, a
// chosen class without students, an unknown score column.
ClassListDocument makeClassListDocument(db::Connection& connection,
                                        const store::CurrentProject& project,
                                        const ClassListChoice& choice);

}  // namespace qm::reports
