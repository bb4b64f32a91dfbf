#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>
#include <string>

#include "store/ProjectStore.h"

namespace qm::db {
class Connection;
}

namespace qm::gui {

class TfrmShow;

// What every window of a running program shares: the database file and its one connection of
// the window thread, the current project, and the message console. The main window owns it.
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

    // Deletes a project with everything it owns. When it is the current project, there is no
    // current project afterwards, so no command works on tables that are gone.
    void deleteProject(int id);

    // The one message console of the program, made on first use as a window of consoleOwner.
    TfrmShow& console();
    void setConsoleOwner(QWidget* owner) { consoleOwner_ = owner; }

  signals:
    void currentProjectChanged();

  private:
    std::string databasePath_;
    std::unique_ptr<db::Connection> connection_;
    QString openError_;
    store::CurrentProject current_;
    QPointer<QWidget> consoleOwner_;
    QPointer<TfrmShow> console_;
};

}  // namespace qm::gui
