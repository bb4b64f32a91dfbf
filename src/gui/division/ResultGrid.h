#pragma once

#include <QTableWidget>
#include <optional>
#include <vector>

#include "gui/adjustments/StudentDrag.h"

class QMenu;

namespace qm::gui {

class Workspace;

// The result window's grid of students by class, in which a teacher moves students by hand: a
// student dragged onto the row of a student of another class (or onto a class of the student
// list's tree) moves into that class, and the menu of a row offers 调到… a class and 对调 of two
// chosen students. The grid shows the moves once the window reloads it.
class ResultGrid : public QTableWidget {
    Q_OBJECT

  public:
    ResultGrid(Workspace& workspace, int rows, int columns, QWidget* parent = nullptr);

    // The students of the chosen rows, top to bottom.
    std::vector<ChosenStudent> chosenStudents() const;
    // The student of a row; nothing for a row without one.
    std::optional<ChosenStudent> studentOfRow(int row) const;
    // The menu of the chosen rows: 调到… and 对调.
    void fillContextMenu(QMenu& menu);

  protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    Workspace& workspace_;
};

}  // namespace qm::gui
