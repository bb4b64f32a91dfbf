#pragma once

#include <array>
#include <string>
#include <vector>

#include "common/UserError.h"
#include "store/ProjectStore.h"

namespace qm::db {
class Connection;
}

namespace qm::engine {

// Where a division run stands, for a progress display.
struct DivisionProgress {
    // The category label being divided, "" for the final pass of a full division, or
    // "重新分班" during a re-division.
    std::string stage;
    std::string sex;       // "男" or "女": the sex being placed and fine-tuned
    int tuningPass = 0;    // 0 while placing, then 1 .. tuningPasses
    int tuningPasses = 0;  // fine-tuning passes this sex gets (wtNum + 1, or 5 in a re-division)
};

// What a front gives a division run: where its console lines and progress go, and whether the
// user asked to stop. The default does nothing and never cancels.
class DivisionObserver {
  public:
    virtual ~DivisionObserver() = default;
    // One console line, as the run writes it.
    virtual void consoleLine(const std::string& line) { (void)line; }
    // A remark about the data after the run's own lines, such as students fixed to a class the
    // project does not have. Shown in the console like the other lines; kept apart from them
    // because the run's lines are those of the division rules alone.
    virtual void remarkLine(const std::string& line) { (void)line; }
    virtual void progress(const DivisionProgress& progress) { (void)progress; }
    // Polled between candidates of fine tuning and between placed students.
    virtual bool cancelRequested() { return false; }
};

// Raised when the observer asked to stop; the tables are already back as they were, which the
// message says in the name of the run: "分班已取消，数据没有改变".
struct DivisionCancelled : UserError {
    explicit DivisionCancelled(const std::string& run = "分班")
        : UserError(run + "已取消，数据没有改变") {}
};

// Full division of the project's students ("分班"): resets every student that is not fixed,
// divides each category on its own over all classes, then places everyone else around the fixed
// and category students, fine-tunes and writes every student's class back. One transaction:
// raises UserError, db::DbError or DivisionCancelled and then leaves the tables as before. A
// project without students is refused with store::kNoStudentsMessage. Afterwards a remark line
// tells of students who stand outside the project's classes (see studentsOutsideClasses).
// The project's groups (分开, 同班) are kept; a set that cannot be kept is refused before
// anything changes (see DivisionGroups.h). The division is a step that can be undone.
// Afterwards the result grid shows the project's student table (project.fbTable).
void divide(db::Connection& connection, const store::CurrentProject& project,
            DivisionObserver& observer);

// Re-division of chosen classes: the movable students of these classes are divided again among
// exactly these classes (in list order: the k-th class fills the k-th tally). The list is checked
// first: it must not be empty and every class must lie between 1 and the project's class count.
// Same unit rules, refusal, remark and groups as divide(). Afterwards the result grid shows the
// twin table (project.rbTable), which then holds the students of the chosen classes.
void redivide(db::Connection& connection, const store::CurrentProject& project,
              const std::vector<int>& classes, DivisionObserver& observer);

// One row of the result grid: row number, 学号, 登分号, 姓名, 性别, the nine scores (数学, 英语,
// 语文, 物理, 政治, 历史, 体育, 地理, 生物), 总分, 毕业学校, 地址, and the class as "3班" (未分班 for class 0).
using ResultGridRow = std::array<std::string, 18>;

// The rows of the result grid of a student table (a project's table or its twin), ordered by
// class_id then student_id. Numbers in their shortest text (85, 85.5); texts as stored; a
// missing value shows as empty text.
std::vector<ResultGridRow> resultGridRows(db::Connection& connection, const std::string& table);

// The category labels of a student table as a division takes them: non-empty, ascending.
std::vector<std::string> categoryLabels(db::Connection& connection, const std::string& table);

}  // namespace qm::engine
