#include "gui/projects/CopyStudentsDialog.h"

#include <QHBoxLayout>
#include <QRadioButton>

#include "gui/Workspace.h"
#include "gui/shared/UserMessages.h"
#include "store/StudentCopy.h"

namespace qm::gui {

CopyStudentsDialog::CopyStudentsDialog(Workspace& workspace, QWidget* parent)
    : ProjectPickerDialog(workspace, QStringLiteral("Tfrm_insertFB"),
                          QStringLiteral("导入分班数据"), QSize(423, 293), parent),
      addButton_(new QRadioButton(QStringLiteral("添加"), this)),
      overwriteButton_(new QRadioButton(QStringLiteral("覆盖"), this)) {
    addButton_->setObjectName(QStringLiteral("rbAdd"));
    overwriteButton_->setObjectName(QStringLiteral("rbOverwrite"));
    addButton_->setChecked(true);
    buttonRow()->insertWidget(0, addButton_);
    buttonRow()->insertWidget(1, overwriteButton_);
}

void CopyStudentsDialog::choose(int projectId) {
    if (!workspace_.hasProject()) {
        // The current project was deleted from this very list.
        informNoProject(this);
        return;
    }
    const auto mode =
        overwriteButton_->isChecked() ? store::CopyMode::Overwrite : store::CopyMode::Add;
    const bool copied = runGuarded(this, [&] {
        store::copyStudents(workspace_.connection(), workspace_.currentProject(), projectId, mode);
    });
    if (copied) {
        accept();
        inform(parentWidget(), QString::fromUtf8(store::kCopySucceeded));
    }
}

}  // namespace qm::gui
