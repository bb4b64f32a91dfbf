#include "gui/division/ResultClassView.h"

#include <QMap>
#include <vector>

#include "gui/adjustments/HandMoveMenu.h"
#include "gui/adjustments/StudentDropTarget.h"
#include "gui/division/ResultGrid.h"

namespace qm::gui {

namespace {

// An item's class as the grid names it; empty for "全部学生".
constexpr int kClassNameRole = Qt::UserRole;
// An item's class number, where the grid's rows give one.
constexpr int kClassIdRole = Qt::UserRole + 1;

}  // namespace

ResultClassView::ResultClassView(Workspace& workspace, ResultGrid& grid, QWidget* parent)
    : QListWidget(parent), grid_(grid) {
    setObjectName(QStringLiteral("lvResultClasses"));
    setToolTip(
        QStringLiteral("点一个班，表格里只显示这个班的学生；把学生拖到一个班上，"
                       "就把他调到这个班"));
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::currentItemChanged, this, [this] { showRows(); });
    new StudentDropTarget(
        *this,
        [this](const QPoint& place) -> std::optional<int> {
            const QListWidgetItem* target = itemAt(place);
            if (target == nullptr || !target->data(kClassIdRole).isValid()) {
                return std::nullopt;
            }
            return target->data(kClassIdRole).toInt();
        },
        [this, &workspace](const std::vector<ChosenStudent>& students, int classId) {
            moveChosenStudent(this, workspace, students, classId, {});
        });
    followGrid();
}

QString ResultClassView::classOfRow(int row) const {
    const QTableWidgetItem* cell = grid_.item(row, grid_.columnCount() - 1);
    return cell ? cell->text() : QString();
}

void ResultClassView::followGrid() {
    const QString shown = shownClass();
    // The grid lists its students by class: the classes in the order they come.
    QStringList names;
    QMap<QString, int> students;
    QMap<QString, int> classIds;
    int total = 0;
    for (int row = 0; row < grid_.rowCount(); ++row) {
        const QTableWidgetItem* number = grid_.item(row, 1);
        total += number && !number->text().isEmpty() ? 1 : 0;
        const QString name = classOfRow(row);
        if (name.isEmpty()) {
            continue;
        }
        if (!students.contains(name)) {
            names << name;
        }
        ++students[name];
        if (const auto student = grid_.studentOfRow(row)) {
            classIds.insert(name, student->classId);
        }
    }
    const QSignalBlocker quiet(this);
    clear();
    auto* all = new QListWidgetItem(QStringLiteral("全部学生（%1人）").arg(total), this);
    all->setData(kClassNameRole, QString());
    for (const QString& name : names) {
        auto* item =
            new QListWidgetItem(QStringLiteral("%1（%2人）").arg(name).arg(students[name]), this);
        item->setData(kClassNameRole, name);
        if (classIds.contains(name)) {
            item->setData(kClassIdRole, classIds[name]);
        }
    }
    showClass(shown);
}

QString ResultClassView::shownClass() const {
    const QListWidgetItem* current = currentItem();
    return current ? current->data(kClassNameRole).toString() : QString();
}

void ResultClassView::showClass(const QString& name) {
    QListWidgetItem* chosen = count() > 0 ? item(0) : nullptr;
    for (int i = 1; i < count(); ++i) {
        if (item(i)->data(kClassNameRole).toString() == name) {
            chosen = item(i);
        }
    }
    {
        const QSignalBlocker quiet(this);
        setCurrentItem(chosen);
    }
    showRows();
}

void ResultClassView::revealRow(int row) {
    if (grid_.isRowHidden(row)) {
        showClass(classOfRow(row));
    }
}

void ResultClassView::showRows() {
    const QString shown = shownClass();
    int number = 0;
    grid_.setUpdatesEnabled(false);
    for (int row = 0; row < grid_.rowCount(); ++row) {
        const bool hidden = !shown.isEmpty() && classOfRow(row) != shown;
        grid_.setRowHidden(row, hidden);
        if (!hidden) {
            if (QTableWidgetItem* cell = grid_.item(row, 0)) {
                cell->setText(QString::number(++number));
            }
        }
    }
    grid_.setUpdatesEnabled(true);
}

}  // namespace qm::gui
