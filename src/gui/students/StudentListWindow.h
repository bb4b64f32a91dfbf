#pragma once

#include <QWidget>
#include <functional>
#include <optional>

#include "gui/adjustments/StudentDrag.h"
#include "gui/widgets/RecordNavigator.h"
#include "store/ProjectStore.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSplitter;
class QTabWidget;
class QTableView;
class QTreeWidget;
class QTreeWidgetItem;

namespace qm::db {
class Connection;
class ResultSet;
}  // namespace qm::db

namespace qm::gui {

class ClassFiguresPanel;
struct ClassChange;
class GroupPanel;
class StudentListModel;
class Workspace;

// The student list "学生名单" of the project current when it is made: a tree of the classes that
// occur, a query by student number, name, sex, class and three score ranges, and a grid of the
// students that can be edited row by row with the record buttons. A row's changes are checked and
// stored when the row is posted (another row chosen, a new query, or the post button); a change
// the core refuses is shown and the row stays in edit until it is corrected or cancelled.
//
// Students are moved by hand here: a student dragged onto a class of the tree, or onto the row of
// a student of another class, moves into that class; 调到… moves the chosen student, 对调 swaps
// the classes of two chosen students (also from the grid's menu). Beside the grid, 班级数据 shows
// at once the figures of the classes a change touched, and 约束 the project's groups, which are
// made from the chosen students. The tree and the grid follow every change of the classes.
class StudentListWindow : public QWidget {
    Q_OBJECT

  public:
    explicit StudentListWindow(Workspace& workspace, QWidget* parent = nullptr);

    // The tree's nodes: the root "所有班级" and a node per class, ascending.
    void fillClassTree();
    void showAll();
    void showClass(int classId);
    // "查询": the students matching the boxes, by student number; says so when none does.
    void runQuery();
    // Stores the edited row; false, after telling the user, when the core refuses it.
    bool postEdit();
    void cancelEdit();
    // Asks, then deletes the current row's student.
    void deleteCurrent();
    void insertRow();
    // Runs the last statement again.
    void refresh();

    StudentListModel* model() const { return model_; }

    // The students of the chosen rows, top to bottom (an inserted row not yet stored has none).
    std::vector<ChosenStudent> chosenStudents() const;
    // The grid's menu for the chosen rows: 调到…, 对调, 设为分开, 设为同班.
    void fillGridMenu(QMenu& menu);

  public:
    // The size the window opens with inside the main window.
    QSize sizeHint() const override { return {1017, 599}; }

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    using Statement = std::function<db::ResultSet(db::Connection&)>;

    QWidget* buildQueryBoxes();
    void buildGrid();
    void showChosenClass(QTreeWidgetItem* item);
    // Posts a pending edit, then runs the statement and shows its rows; a refused statement
    // leaves the grid empty. False when the statement did not run.
    bool run(Statement statement);
    void navigate(RecordNavigator::Button which);
    void moveTo(int row);
    void currentRowChanged(int row);
    void showRangeNote();
    QWidget* buildSidePanel();
    void shareWidth();
    void acceptDroppedStudents();
    // Before students are moved: a row being edited is stored first.
    bool mayMoveStudents();
    void followClassChange(const ClassChange& change);
    // The tree and the rows again, keeping the chosen class, student and scroll place.
    void showClassesNow();
    // Tells the other windows that the students of the list were changed here.
    void announceEdit();

    Workspace& workspace_;
    store::CurrentProject project_;
    bool shownOnce_ = false;
    Statement lastStatement_;
    QTreeWidget* classTree_;
    StudentListModel* model_;
    QTableView* grid_;
    RecordNavigator* navigator_;
    QLineEdit* numberEdit_ = nullptr;
    QLineEdit* nameEdit_ = nullptr;
    QComboBox* sexBox_ = nullptr;
    QCheckBox* useClassBox_ = nullptr;
    QLineEdit* mathFromEdit_ = nullptr;
    QLineEdit* mathToEdit_ = nullptr;
    QLineEdit* englishFromEdit_ = nullptr;
    QLineEdit* englishToEdit_ = nullptr;
    QLineEdit* chineseFromEdit_ = nullptr;
    QLineEdit* chineseToEdit_ = nullptr;
    QPushButton* queryButton_ = nullptr;
    // Names the score ranges with one end only, which the query leaves out; empty otherwise.
    QLabel* rangeNote_ = nullptr;
    QPushButton* moveToButton_ = nullptr;
    QPushButton* swapButton_ = nullptr;
    QSplitter* splitter_ = nullptr;
    // Beside the grid: the pages 班级数据 (figuresPanel_) and 约束 (groupPanel_).
    QTabWidget* sidePanel_ = nullptr;
    ClassFiguresPanel* figuresPanel_ = nullptr;
    GroupPanel* groupPanel_ = nullptr;
    // The classes changed while a row was being edited: shown once the edit ends.
    bool showClassesWhenPosted_ = false;
};

}  // namespace qm::gui
