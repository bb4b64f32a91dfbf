#pragma once

#include <QPoint>
#include <map>
#include <vector>

#include "GuiTestSupport.h"
#include "gui/adjustments/StudentDrag.h"
#include "store/ProjectStore.h"

class QAbstractItemView;
class QTableWidget;
class QTableWidgetItem;

namespace qm::gui {
class StudentListWindow;
}

namespace qm::test {

// A main window over a project of three classes, already divided: students 1 to 12, student i
// in class (i - 1) % 3 + 1, boys the odd numbers, named 学生i, mathematics 60 + 3i and 70 in every
// other subject. The mathematics averages are 76.5, 79.5 and 82.5 against 79.5 for all
// students: deviations -3, 0 and +3.
struct AdjustmentSession : MainWindowSession {
    store::CurrentProject project;

    AdjustmentSession();

    // The class of every student as stored, by number.
    std::map<int, int> classes();
    int classOf(int studentId) { return classes().at(studentId); }
};

// The row of a student in the student list's grid; -1 when the grid does not show it.
int listRowOf(gui::StudentListWindow& list, int studentId);
// The class the list shows for a student, as its 班级 column has it.
QString listedClassOf(gui::StudentListWindow& list, int studentId);
// Chooses the students' rows in the list's grid, as clicks with Ctrl held would.
void chooseInList(gui::StudentListWindow& list, const std::vector<int>& students);

// Drags the students onto a place of the view's viewport as a teacher would and drops them
// there: true when the place took them. The move a drop starts has run when it returns.
bool dropStudents(QAbstractItemView& view, const QPoint& place,
                  const std::vector<gui::ChosenStudent>& students);

// The cell in the row with this heading (vertical header) and the column with this heading;
// null when there is none.
const QTableWidgetItem* cellByHeadings(const QTableWidget& table, const QString& row,
                                       const QString& column);
// Its text, empty for none, and whether it is drawn red.
QString textByHeadings(const QTableWidget& table, const QString& row, const QString& column);
bool redByHeadings(const QTableWidget& table, const QString& row, const QString& column);
// The horizontal headings of a table.
QStringList columnHeadings(const QTableWidget& table);

}  // namespace qm::test
