#pragma once

#include <QDialog>

class QHBoxLayout;
class QPushButton;

namespace qm::gui {

class ProjectListWidget;
class Workspace;

// What the open and copy dialogs share: the project list above a row of the buttons "打开",
// "删除" and "取消". "打开" without a selection shows "请选择分班项!"; "打开" with one, or a double
// click on a row, hands the selected project to choose(). "删除" deletes the selected project.
class ProjectPickerDialog : public QDialog {
    Q_OBJECT

  protected:
    ProjectPickerDialog(Workspace& workspace, const QString& objectName, const QString& caption,
                        QSize size, QWidget* parent);
    // Acts on the selected project.
    virtual void choose(int projectId) = 0;
    ProjectListWidget* projectList() const { return lv_info_; }
    // The row of buttons, for controls of the dialog's own placed before the buttons.
    QHBoxLayout* buttonRow() const { return buttonRow_; }

    Workspace& workspace_;

  private:
    void createProject();
    void chooseSelected();

    ProjectListWidget* lv_info_;
    QPushButton* openButton_;
    QPushButton* deleteButton_;
    QPushButton* cancelButton_;
    QHBoxLayout* buttonRow_;
};

}  // namespace qm::gui
