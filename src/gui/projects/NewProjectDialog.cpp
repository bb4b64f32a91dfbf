#include "gui/projects/NewProjectDialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <optional>

#include "gui/Workspace.h"
#include "gui/shared/UserMessages.h"
#include "store/ProjectStore.h"

namespace qm::gui {

NewProjectDialog::NewProjectDialog(Workspace& workspace, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      workspace_(workspace),
      descriptionEdit_(new QLineEdit(this)),
      classCountEdit_(new QLineEdit(this)),
      okButton_(new QPushButton(QStringLiteral("确定"), this)),
      cancelButton_(new QPushButton(QStringLiteral("取消"), this)) {
    setObjectName(QStringLiteral("TfrmBuild"));
    setWindowTitle(QStringLiteral("新建分班"));
    descriptionEdit_->setObjectName(QStringLiteral("edMemo"));
    classCountEdit_->setObjectName(QStringLiteral("edNum"));
    descriptionEdit_->setMinimumWidth(220);

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("描述       "), this), 0, 0);
    fields->addWidget(descriptionEdit_, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("班级数     "), this), 1, 0);
    fields->addWidget(classCountEdit_, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    okButton_->setObjectName(QStringLiteral("bnOk"));
    cancelButton_->setObjectName(QStringLiteral("bnCancel"));
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &NewProjectDialog::createProject);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

void NewProjectDialog::createProject() {
    std::optional<int> classCount;
    runGuarded(this,
               [&] { classCount = store::parseClassCount(classCountEdit_->text().toStdString()); });
    if (!classCount) {
        classCountEdit_->setFocus();
        return;
    }
    // The windows of the project open now close before the new one is made.
    if (!workspace_.mayLeaveProject()) {
        return;
    }
    const bool created = runGuarded(this, [&] {
        workspace_.setCurrentProject(store::createProject(
            workspace_.connection(), descriptionEdit_->text().toStdString(), *classCount));
    });
    if (!created) {
        return;
    }
    inform(this, QStringLiteral("新建分班操作成功!"));
    accept();
}

}  // namespace qm::gui
