#pragma once

#include <QString>
#include <QStringList>
#include <exception>
#include <functional>

#include "common/UserError.h"

class QWidget;

namespace qm::gui {

// Every message the windows show to the user goes through these functions, so that the messages
// have one look and the GUI tests can read and answer them without a real modal box.
enum class MessageKind {
    Information,  // OK only
    Error,        // OK only
    Question,     // Yes and No; No is the default
    OkCancel,     // OK and Cancel; OK is the default
    Choice,       // a button for each of `choices`, then 取消, the default
};

struct UserMessage {
    MessageKind kind = MessageKind::Information;
    QString caption;
    QString text;
    QStringList choices;  // the buttons of a Choice
};

// Shows the message and returns true for OK or Yes.
bool showMessage(QWidget* parent, const UserMessage& message);
// Shows a Choice and returns the index of the choice taken; -1 for 取消.
int chooseOne(QWidget* parent, const UserMessage& message);

// "提示" with OK.
void inform(QWidget* parent, const QString& text);
// "错误" (or the given caption) with OK.
void showError(QWidget* parent, const QString& text, const QString& caption = {});
// "确认" with Yes and No; true for Yes.
bool confirm(QWidget* parent, const QString& text);
// Tells that a command needs a current project and there is none.
void informNoProject(QWidget* parent);

// Replaces the message boxes by a function that receives each message and gives the answer: 1
// for OK or Yes and 0 for No or Cancel, or for a Choice the index of the choice (-1: 取消). An
// empty function restores the real boxes.
using MessageAnswerer = std::function<int(const UserMessage&)>;
void setMessageAnswerer(MessageAnswerer answerer);

// Runs an action of a window; an error from the core ends the action with its text in an error
// box. Returns true when the action ran to its end.
template <class Action>
bool runGuarded(QWidget* parent, Action&& action) {
    try {
        action();
        return true;
    } catch (const std::exception& error) {
        showError(parent, QString::fromStdString(errorText(error)));
        return false;
    }
}

}  // namespace qm::gui
