#pragma once

#include <QApplication>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "gui/MainWindow.h"
#include "gui/Workspace.h"
#include "gui/shared/UserMessages.h"
#include "store/ProjectStore.h"
#include "support/StudentRows.h"
#include "support/TempDatabase.h"

namespace qm::gui {
class ClassStatisticsWindow;
}

namespace qm::test {

// Answers every message box of the windows while it lives, and keeps what was shown.
class MessageLog {
  public:
    explicit MessageLog(bool answer = true);
    ~MessageLog();
    MessageLog(const MessageLog&) = delete;
    MessageLog& operator=(const MessageLog&) = delete;

    // The answer to questions from now on (true: Yes or OK).
    void setAnswer(bool answer) { answer_ = answer; }
    // The choice taken when a message offers several from now on (-1: 取消, the default).
    void setChoice(int choice) { choice_ = choice; }
    const std::vector<gui::UserMessage>& messages() const { return messages_; }
    QStringList texts() const;
    void clear() { messages_.clear(); }

  private:
    std::vector<gui::UserMessage> messages_;
    bool answer_;
    int choice_ = -1;
};

// Settings the program remembers (where the console stands) go to a folder of this test program's
// own, not to the user's settings nor to another test program's, while it lives.
struct TestSettings {
    TestSettings();
};

// A main window over a fresh database file, as the program builds it.
struct MainWindowSession {
    TestSettings settings;
    TempDatabase database;
    gui::Workspace workspace{database.path()};
    gui::MainWindow main{workspace};
};

// A main window, shown, whose current project "高一" has `classes` classes and these students.
struct ProjectSession : MainWindowSession {
    store::CurrentProject project;

    ProjectSession(int classes, const std::vector<StudentRow>& students);
    // Divides the project as 分班 does, without a window.
    void divide();
    // The class of every student, by student number.
    std::map<int, int> classOfStudent();
};

// The widget of this class with this objectName inside the window, as a person's script would
// find it; an exception naming it when there is none (the test then fails).
template <class Widget>
Widget* named(const QObject& window, const char* objectName) {
    auto* widget = window.findChild<Widget*>(QString::fromLatin1(objectName));
    if (widget == nullptr) {
        throw std::logic_error(std::string("no widget named ") + objectName);
    }
    return widget;
}

// Waits until the statistics window shows the figures it is computing, if it is.
void waitForStatistics(gui::ClassStatisticsWindow& window);

// Runs act on the next modal dialog of this class once it is open, from the dialog's own event
// loop. A dialog that act leaves open is dismissed afterwards, so no test hangs on it.
template <class Dialog>
void actOnNextDialog(std::function<void(Dialog&)> act) {
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            qWarning("no modal dialog of the expected class is open");
            if (QWidget* other = QApplication::activeModalWidget()) {
                other->close();
            }
            return;
        }
        act(*dialog);
        if (dialog->isVisible()) {
            dialog->reject();
        }
    });
}

// The number of rows a query returns.
int countRows(db::Connection& connection, const std::string& sql);

// count students with deterministic names, sexes and scores, none fixed and without category.
std::vector<StudentRow> sampleStudents(int count);

// The captions of the child windows inside the main window's frame.
QStringList childWindowTitles(gui::MainWindow& main);

}  // namespace qm::test
