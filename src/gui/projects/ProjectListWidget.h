#pragma once

#include <QTreeWidget>
#include <optional>

namespace qm::gui {

class Workspace;

// The list of projects of the open and copy dialogs: one row per project with the columns
// "自编号", "分班描述", "班级数" and "建立时间", whole rows selected, the selection visible also
// without focus. Double click on a row emits chosen().
class ProjectListWidget : public QTreeWidget {
    Q_OBJECT

  public:
    explicit ProjectListWidget(QWidget* parent = nullptr);

    // Fills the list from fb_info in id order and chooses the first row; an error of the database
    // is shown and leaves the list empty.
    void refill(Workspace& workspace);
    // The id of the selected project; nothing when no row is selected.
    std::optional<int> selectedId() const;
    // Selects the row of a project; false when the list has no such row.
    bool selectId(int id);

    // "删除": asks first, then deletes the selected project with its settings row, student table
    // and twin table, and refills the list. Without a selection it shows "请选择分班项!". The
    // current project is deleted only when its windows close.
    void deleteSelected(Workspace& workspace);

  signals:
    void chosen();
};

}  // namespace qm::gui
