#pragma once

#include <QWidget>
#include <array>

class QToolButton;

namespace qm::gui {

// The row of record buttons above a data grid: move to the first, previous, next and last row,
// insert, delete, edit, post, cancel the edit, refresh. It only signals which button was pressed;
// the window that owns the grid acts on it.
class RecordNavigator : public QWidget {
    Q_OBJECT

  public:
    enum Button { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh, Count };

    explicit RecordNavigator(QWidget* parent = nullptr);

    // Post and cancel only while a row has changes; the others while the grid can take them.
    void setEditing(bool editing);

  signals:
    void clicked(qm::gui::RecordNavigator::Button which);

  private:
    std::array<QToolButton*, Count> buttons_{};
};

}  // namespace qm::gui
