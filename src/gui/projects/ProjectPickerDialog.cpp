#include "gui/projects/ProjectPickerDialog.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/projects/ProjectListWidget.h"
#include "gui/shared/UserMessages.h"
#include "gui/widgets/ScreenFit.h"

namespace qm::gui {

ProjectPickerDialog::ProjectPickerDialog(Workspace& workspace, const QString& objectName,
                                         const QString& caption, QSize size, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      workspace_(workspace),
      lv_info_(new ProjectListWidget(this)),
      openButton_(new QPushButton(QStringLiteral("打开"), this)),
      deleteButton_(new QPushButton(QStringLiteral("删除"), this)),
      cancelButton_(new QPushButton(QStringLiteral("取消"), this)),
      buttonRow_(new QHBoxLayout) {
    setObjectName(objectName);
    setWindowTitle(caption);
    openButton_->setObjectName(QStringLiteral("bnOpen"));
    deleteButton_->setObjectName(QStringLiteral("bnDelete"));
    cancelButton_->setObjectName(QStringLiteral("bnCancel"));

    buttonRow_->addStretch();
    buttonRow_->addWidget(openButton_);
    buttonRow_->addWidget(deleteButton_);
    buttonRow_->addWidget(cancelButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lv_info_);
    layout->addLayout(buttonRow_);
    fitOnScreen(*this, size);

    connect(openButton_, &QPushButton::clicked, this, &ProjectPickerDialog::createProject);
    connect(lv_info_, &ProjectListWidget::chosen, this, &ProjectPickerDialog::chooseSelected);
    connect(deleteButton_, &QPushButton::clicked, this,
            [this] { lv_info_->deleteSelected(workspace_); });
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);

    lv_info_->refill(workspace_);
}

void ProjectPickerDialog::createProject() {
    if (!lv_info_->selectedId()) {
        inform(this, QStringLiteral("请选择分班项!"));
        return;
    }
    chooseSelected();
}

void ProjectPickerDialog::chooseSelected() {
    if (const auto id = lv_info_->selectedId()) {
        choose(*id);
    }
}

}  // namespace qm::gui
