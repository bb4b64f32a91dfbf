#include "gui/TfrmBuild.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <optional>

#include "gui/UserMessages.h"
#include "gui/Workspace.h"
#include "store/ProjectStore.h"

namespace qm::gui {

TfrmBuild::TfrmBuild(Workspace& workspace, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      workspace_(workspace),
      memoEdit_(new QLineEdit(this)),
      numEdit_(new QLineEdit(this)),
      okButton_(new QPushButton(QStringLiteral("确定"), this)),
      cancelButton_(new QPushButton(QStringLiteral("取消"), this)) {
    setObjectName(QStringLiteral("TfrmBuild"));
    setWindowTitle(QStringLiteral("新建分班"));
    memoEdit_->setObjectName(QStringLiteral("edMemo"));
    numEdit_->setObjectName(QStringLiteral("edNum"));
    memoEdit_->setMinimumWidth(220);

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("描述       "), this), 0, 0);
    fields->addWidget(memoEdit_, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("班级数     "), this), 1, 0);
    fields->addWidget(numEdit_, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &TfrmBuild::Button1Click);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmBuild::Button1Click() {
    std::optional<int> classCount;
    runGuarded(this, [&] { classCount = store::parseClassCount(numEdit_->text().toStdString()); });
    if (!classCount) {
        numEdit_->setFocus();
        return;
    }
    // The windows of the project open now close before the new one is made.
    if (!workspace_.mayLeaveProject()) {
        return;
    }
    const bool created = runGuarded(this, [&] {
        workspace_.setCurrentProject(store::createProject(
            workspace_.connection(), memoEdit_->text().toStdString(), *classCount));
    });
    if (!created) {
        return;
    }
    inform(this, QStringLiteral("新建分班操作成功!"));
    accept();
}

}  // namespace qm::gui
