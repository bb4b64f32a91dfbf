#include "AdjustmentSession.h"

#include <QAbstractItemView>
#include <QDropEvent>
#include <QMimeData>
#include <QTableView>
#include <QTableWidget>
#include <memory>

#include "db/Connection.h"
#include "gui/students/StudentListModel.h"
#include "gui/students/StudentListWindow.h"

namespace qm::test {

AdjustmentSession::AdjustmentSession() {
    project = store::createProject(workspace.connection(), "高一调整", 3);
    std::vector<StudentRow> students;
    for (int i = 1; i <= 12; ++i) {
        StudentRow s;
        s.student_id = i;
        s.student_name = "学生" + std::to_string(i);
        s.pingyin = "XUE SHENG " + std::to_string(i);
        s.sex = i % 2 == 1 ? "男" : "女";
        s.class_id = (i - 1) % 3 + 1;
        s.type = 1;
        s.scores = {60.0 + 3 * i, 70, 70, 70, 70, 70, 70, 70, 70};
        students.push_back(s);
    }
    insertStudents(workspace.connection(), project.fbTable, students);
    workspace.setCurrentProject(project);
    main.resize(1280, 800);
    main.show();
}

std::map<int, int> AdjustmentSession::classes() {
    std::map<int, int> result;
    for (const auto row :
         database.connection().query("select student_id,class_id from " + project.fbTable)) {
        result[static_cast<int>(row[0].toInt())] = static_cast<int>(row[1].toInt());
    }
    return result;
}

int listRowOf(gui::StudentListWindow& list, int studentId) {
    for (int row = 0; row < list.model()->rowCount(); ++row) {
        if (list.model()->storedStudentId(row) == studentId) {
            return row;
        }
    }
    return -1;
}

QString listedClassOf(gui::StudentListWindow& list, int studentId) {
    const int row = listRowOf(list, studentId);
    return row < 0 ? QString()
                   : list.model()->text(row, gui::StudentListModel::columnOf("class_id"));
}

void chooseInList(gui::StudentListWindow& list, const std::vector<int>& students) {
    QTableView& grid = *test::named<QTableView>(list, "DBGrid1");
    grid.clearSelection();
    for (int student : students) {
        grid.selectionModel()->setCurrentIndex(
            list.model()->index(listRowOf(list, student), 0),
            QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

bool dropStudents(QAbstractItemView& view, const QPoint& place,
                  const std::vector<gui::ChosenStudent>& students) {
    const std::unique_ptr<QMimeData> data(gui::studentsMimeData(students));
    QWidget* viewport = view.viewport();
    QDragEnterEvent enter(place, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QDragMoveEvent move(place, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    if (!enter.isAccepted() || !move.isAccepted()) {
        QDragLeaveEvent leave;
        QApplication::sendEvent(viewport, &leave);
        return false;
    }
    QDropEvent drop(QPointF(place), Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
    QCoreApplication::processEvents();
    return drop.isAccepted();
}

const QTableWidgetItem* cellByHeadings(const QTableWidget& table, const QString& row,
                                       const QString& column) {
    for (int r = 0; r < table.rowCount(); ++r) {
        const QTableWidgetItem* rowHeading = table.verticalHeaderItem(r);
        if (!rowHeading || rowHeading->text() != row) {
            continue;
        }
        for (int c = 0; c < table.columnCount(); ++c) {
            const QTableWidgetItem* heading = table.horizontalHeaderItem(c);
            if (heading && heading->text() == column) {
                return table.item(r, c);
            }
        }
    }
    return nullptr;
}

QString textByHeadings(const QTableWidget& table, const QString& row, const QString& column) {
    const QTableWidgetItem* item = cellByHeadings(table, row, column);
    return item ? item->text() : QString();
}

bool redByHeadings(const QTableWidget& table, const QString& row, const QString& column) {
    const QTableWidgetItem* item = cellByHeadings(table, row, column);
    return item && item->foreground().color() == QColor(Qt::red);
}

QStringList columnHeadings(const QTableWidget& table) {
    QStringList headings;
    for (int c = 0; c < table.columnCount(); ++c) {
        const QTableWidgetItem* heading = table.horizontalHeaderItem(c);
        headings << (heading ? heading->text() : QString());
    }
    return headings;
}

}  // namespace qm::test
