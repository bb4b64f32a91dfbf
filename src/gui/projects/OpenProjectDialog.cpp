#include "gui/projects/OpenProjectDialog.h"

#include "gui/Workspace.h"
#include "gui/projects/ProjectListWidget.h"
#include "gui/shared/UserMessages.h"
#include "store/ProjectStore.h"

namespace qm::gui {

OpenProjectDialog::OpenProjectDialog(Workspace& workspace, QWidget* parent)
    : ProjectPickerDialog(workspace, QStringLiteral("Tfrm_open"), QStringLiteral("选择分班项目"),
                          QSize(434, 323), parent) {}

void OpenProjectDialog::choose(int projectId) {
    if (!workspace_.isCurrent(projectId) && !workspace_.mayLeaveProject()) {
        return;
    }
    const bool opened = runGuarded(this, [&] {
        workspace_.setCurrentProject(store::openProject(workspace_.connection(), projectId));
    });
    if (opened) {
        accept();
    } else {
        // The project may have gone meanwhile: show what is there now.
        projectList()->refill(workspace_);
    }
}

}  // namespace qm::gui
