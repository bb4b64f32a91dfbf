#pragma once

#include "gui/projects/ProjectPickerDialog.h"

class QRadioButton;

namespace qm::gui {

// The copy dialog "导入分班数据": brings the students of the chosen project into the current
// project, added ("添加") or replacing the students with the same numbers ("覆盖"). The copies
// keep their classes and arrive fixed.
class CopyStudentsDialog : public ProjectPickerDialog {
    Q_OBJECT

  public:
    explicit CopyStudentsDialog(Workspace& workspace, QWidget* parent = nullptr);

  private:
    void choose(int projectId) override;

    QRadioButton* addButton_;
    QRadioButton* overwriteButton_;
};

}  // namespace qm::gui
