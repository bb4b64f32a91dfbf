#include "gui/division/ResultGrid.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <set>

#include "gui/adjustments/HandMoveMenu.h"
#include "gui/adjustments/StudentDropTarget.h"
#include "store/GroupCheck.h"

namespace qm::gui {

namespace {

// The cells of a row of the result grid: the student's number and, last, its class as "3班"
// (未分班 for class 0).
constexpr int kStudentColumn = 1;

std::optional<int> wholeNumber(QString text) {
    if (text == QString::fromUtf8(store::kUnplacedTitle)) {
        return 0;
    }
    bool read = false;
    const int number = text.remove(QStringLiteral("班")).trimmed().toInt(&read);
    return read ? std::optional<int>(number) : std::nullopt;
}

}  // namespace

ResultGrid::ResultGrid(Workspace& workspace, int rows, int columns, QWidget* parent)
    : QTableWidget(rows, columns, parent), workspace_(workspace) {
    setDragEnabled(true);
    new StudentDropTarget(
        *this,
        [this](const QPoint& place) -> std::optional<int> {
            const auto student = studentOfRow(indexAt(place).row());
            return student ? std::optional<int>(student->classId) : std::nullopt;
        },
        [this](const std::vector<ChosenStudent>& students, int classId) {
            moveChosenStudent(this, workspace_, students, classId, {});
        });
}

std::optional<ChosenStudent> ResultGrid::studentOfRow(int row) const {
    const QTableWidgetItem* number = row < 0 ? nullptr : item(row, kStudentColumn);
    const QTableWidgetItem* classCell = row < 0 ? nullptr : item(row, columnCount() - 1);
    if (!number || !classCell) {
        return std::nullopt;
    }
    const auto studentId = wholeNumber(number->text());
    const auto classId = wholeNumber(classCell->text());
    if (!studentId || !classId) {
        return std::nullopt;
    }
    return ChosenStudent{*studentId, *classId};
}

std::vector<ChosenStudent> ResultGrid::chosenStudents() const {
    std::set<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedIndexes()) {
        rows.insert(index.row());
    }
    std::vector<ChosenStudent> students;
    for (int row : rows) {
        if (const auto student = studentOfRow(row)) {
            students.push_back(*student);
        }
    }
    return students;
}

void ResultGrid::startDrag(Qt::DropActions) {
    dragStudents(*this, chosenStudents());
}

void ResultGrid::fillContextMenu(QMenu& menu) {
    addHandMoveActions(menu, this, workspace_, chosenStudents(), {});
}

// A right click on a row that is not chosen chooses it alone.
void ResultGrid::contextMenuEvent(QContextMenuEvent* event) {
    const QModelIndex index = indexAt(viewport()->mapFromGlobal(event->globalPos()));
    if (!studentOfRow(index.row())) {
        return;
    }
    if (!selectionModel()->isRowSelected(index.row(), {})) {
        selectRow(index.row());
    }
    QMenu menu(this);
    fillContextMenu(menu);
    menu.exec(event->globalPos());
}

}  // namespace qm::gui
