#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "store/ProjectStore.h"

namespace qm::db {
class Connection;
}

namespace qm::gui {

class ClassChanges;
class OutsideChanges;
class MessageConsole;

// What every window of a running program shares: the database file and its one connection of
// the window thread, the current project, and the message console. The program makes it before
// its windows (main) and keeps it until they are gone; the main window and the others refer to it.
class Workspace : public QObject {
    Q_OBJECT

  public:
    // Opens (or creates) the database file. When that fails the program runs on without a
    // connection: openError() tells why, and every action that needs the database shows it.
    explicit Workspace(std::string databasePath, QObject* parent = nullptr);
    ~Workspace() override;

    const std::string& databasePath() const { return databasePath_; }
    bool isOpen() const { return connection_ != nullptr; }
    const QString& openError() const { return openError_; }
    // The connection of the window thread; raises DbError with openError() when there is none.
    db::Connection& connection();

    // The current project; fbTable is empty while there is none.
    const store::CurrentProject& currentProject() const { return current_; }
    bool hasProject() const { return current_.isOpen(); }
    void setCurrentProject(store::CurrentProject project);
    void clearCurrentProject();

    bool isCurrent(int projectId) const;
    // Whether the current project may give way to another, asked before the project changes:
    // the guard (the main window) closes the windows of the current project, the student list
    // asking about edits not yet stored, and says whether they all closed. True without a guard.
    bool mayLeaveProject();
    void setLeaveGuard(std::function<bool()> guard) { leaveGuard_ = std::move(guard); }

    // Deletes a project with everything it owns. When it is the current project its windows must
    // close first (false, with nothing deleted, when one refuses), and there is no current
    // project afterwards, so no command works on tables that are gone.
    bool deleteProject(int id);

    // The one message console of the program: the main window's, or else a window of its own made
    // on first use.
    MessageConsole& console();
    void setConsole(MessageConsole* console);

    // Where every change of classes is announced, for the windows to follow.
    ClassChanges& classChanges() const { return *classChanges_; }
    // What other programs changed in the database, noticed before writes and on activation.
    OutsideChanges& outsideChanges() const { return *outsideChanges_; }

  signals:
    void currentProjectChanged();

  private:
    std::string databasePath_;
    std::unique_ptr<db::Connection> connection_;
    QString openError_;
    store::CurrentProject current_;
    std::function<bool()> leaveGuard_;
    QPointer<MessageConsole> console_;
    ClassChanges* classChanges_;
    OutsideChanges* outsideChanges_ = nullptr;
};

}  // namespace qm::gui
