#include "gui/LoginWindow.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace qm::gui {

LoginWindow::LoginWindow(std::function<void()> enterMainWindow, QWidget* parent)
    : QWidget(parent),
      enterMainWindow_(std::move(enterMainWindow)),
      userEdit_(new QLineEdit(QStringLiteral("admin"), this)),
      passwordEdit_(new QLineEdit(QStringLiteral("1234"), this)),
      loginButton_(new QPushButton(QStringLiteral("登陆"), this)),
      cancelButton_(new QPushButton(QStringLiteral("取消"), this)) {
    setObjectName(QStringLiteral("Tfrm_login"));
    setWindowTitle(QStringLiteral("用户登陆"));
    loginButton_->setObjectName(QStringLiteral("bnLogin"));
    cancelButton_->setObjectName(QStringLiteral("bnCancel"));
    passwordEdit_->setEchoMode(QLineEdit::Password);
    setMinimumWidth(280);

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("用户名      "), this), 0, 0);
    fields->addWidget(userEdit_, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("密码        "), this), 1, 0);
    fields->addWidget(passwordEdit_, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(loginButton_);
    buttons->addWidget(cancelButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    connect(loginButton_, &QPushButton::clicked, this, &LoginWindow::enter);
    // "取消" has no effect, as it always had.
}

void LoginWindow::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (!drawn_) {
        drawn_ = true;
        // Not from inside the paint event: hiding a window while it paints is not allowed.
        QTimer::singleShot(0, this, &LoginWindow::enter);
    }
}

void LoginWindow::enter() {
    hide();
    enterMainWindow_();
}

}  // namespace qm::gui
