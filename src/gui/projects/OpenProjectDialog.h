#pragma once

#include "gui/projects/ProjectPickerDialog.h"

namespace qm::gui {

// The open dialog "选择分班项目": lists the projects, makes one current ("打开" or a double
// click) or deletes one with everything it owns ("删除").
class OpenProjectDialog : public ProjectPickerDialog {
    Q_OBJECT

  public:
    explicit OpenProjectDialog(Workspace& workspace, QWidget* parent = nullptr);

  private:
    void choose(int projectId) override;
};

}  // namespace qm::gui
