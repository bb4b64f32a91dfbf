#pragma once

#include <QListWidget>
#include <QString>

namespace qm::gui {

class ResultGrid;
class Workspace;

// Beside the result grid: "全部学生" and every class the grid lists, each with its head count.
// Choosing a class shows its students alone in the grid, numbered from 1, so that a teacher reads
// one class at a time; "全部学生" shows them all again. Students dragged onto a class move into
// it, as onto a row of that class.
class ResultClassView : public QListWidget {
    Q_OBJECT

  public:
    ResultClassView(Workspace& workspace, ResultGrid& grid, QWidget* parent = nullptr);

    // The grid holds new rows: the classes are listed anew, and the class shown before stays
    // shown while the grid still lists it.
    void followGrid();
    // Shows the class of a row of the grid when the row is hidden now.
    void revealRow(int row);
    // The class shown alone, as the grid names it ("3班"); empty while all are shown.
    QString shownClass() const;
    // Shows one class alone, by its name in the grid; empty text or an unknown class shows all.
    void showClass(const QString& name);

    QSize sizeHint() const override { return {130, 200}; }

  private:
    // The grid's rows of the class shown, or all; their first column numbered from 1.
    void showRows();
    QString classOfRow(int row) const;

    ResultGrid& grid_;
};

}  // namespace qm::gui
