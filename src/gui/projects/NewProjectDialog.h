#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace qm::gui {

class Workspace;

// The new-project dialog "新建分班": a description and a class count. "确定" creates the project
// with its tables and settings row and makes it current; a class count that is not a whole
// number from 1 up is refused with a message and nothing is stored.
class NewProjectDialog : public QDialog {
    Q_OBJECT

  public:
    explicit NewProjectDialog(Workspace& workspace, QWidget* parent = nullptr);

  private:
    void createProject();

    Workspace& workspace_;
    QLineEdit* descriptionEdit_;
    QLineEdit* classCountEdit_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;
};

}  // namespace qm::gui
