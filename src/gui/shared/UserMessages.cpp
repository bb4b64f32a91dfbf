#include "gui/shared/UserMessages.h"

#include <QMessageBox>
#include <QPushButton>
#include <algorithm>
#include <vector>

namespace qm::gui {

namespace {

MessageAnswerer& answerer() {
    static MessageAnswerer instance;
    return instance;
}

}  // namespace

void setMessageAnswerer(MessageAnswerer newAnswerer) {
    answerer() = std::move(newAnswerer);
}

bool showMessage(QWidget* parent, const UserMessage& message) {
    if (message.kind == MessageKind::Choice) {
        return chooseOne(parent, message) >= 0;
    }
    if (answerer()) {
        return answerer()(message) != 0;
    }
    switch (message.kind) {
        case MessageKind::Information:
            QMessageBox::information(parent, message.caption, message.text);
            return true;
        case MessageKind::Error:
            QMessageBox::critical(parent, message.caption, message.text);
            return true;
        case MessageKind::Question:
            return QMessageBox::question(parent, message.caption, message.text,
                                         QMessageBox::Yes | QMessageBox::No,
                                         QMessageBox::No) == QMessageBox::Yes;
        case MessageKind::OkCancel:
            return QMessageBox::question(parent, message.caption, message.text,
                                         QMessageBox::Ok | QMessageBox::Cancel,
                                         QMessageBox::Ok) == QMessageBox::Ok;
        case MessageKind::Choice:
            break;
    }
    return false;
}

int chooseOne(QWidget* parent, const UserMessage& message) {
    if (answerer()) {
        return answerer()(message);
    }
    QMessageBox box(QMessageBox::Question, message.caption, message.text, QMessageBox::NoButton,
                    parent);
    std::vector<QAbstractButton*> buttons;
    for (const QString& choice : message.choices) {
        buttons.push_back(box.addButton(choice, QMessageBox::AcceptRole));
    }
    QPushButton* cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    const auto chosen = std::find(buttons.begin(), buttons.end(), box.clickedButton());
    return chosen == buttons.end() ? -1 : static_cast<int>(chosen - buttons.begin());
}

void inform(QWidget* parent, const QString& text) {
    showMessage(parent, {MessageKind::Information, QStringLiteral("提示"), text});
}

void showError(QWidget* parent, const QString& text, const QString& caption) {
    showMessage(parent,
                {MessageKind::Error, caption.isEmpty() ? QStringLiteral("错误") : caption, text});
}

bool confirm(QWidget* parent, const QString& text) {
    return showMessage(parent, {MessageKind::Question, QStringLiteral("确认"), text});
}

void informNoProject(QWidget* parent) {
    inform(parent, QStringLiteral("请选择你要操作的分班项"));
}

}  // namespace qm::gui
