#include "gui/Workspace.h"

#include <exception>

#include "common/UserError.h"
#include "db/Connection.h"
#include "db/DbError.h"
#include "gui/MessageConsole.h"
#include "gui/shared/ClassChanges.h"
#include "gui/shared/FileDialogs.h"
#include "gui/shared/OutsideChanges.h"
#include "store/OpenDatabase.h"

namespace qm::gui {

Workspace::Workspace(std::string databasePath, QObject* parent)
    : QObject(parent),
      databasePath_(std::move(databasePath)),
      classChanges_(new ClassChanges(this)) {
    if (databasePath_.empty()) {
        // SQLite would open a temporary database for an empty name; nothing would be kept.
        openError_ = QStringLiteral("没有可用的数据库文件位置");
    } else {
        protectDatabaseFile(databasePath_);
        try {
            connection_ = store::openDatabase(databasePath_);
        } catch (const std::exception& error) {
            openError_ = QStringLiteral("无法打开数据库 %1: %2")
                             .arg(QString::fromStdString(databasePath_),
                                  QString::fromStdString(errorText(error)));
        }
    }
    outsideChanges_ = new OutsideChanges(*this);
}

Workspace::~Workspace() {
    // A console without an owner window is a window of its own; it goes with the workspace.
    if (console_ && !console_->parent()) {
        delete console_.data();
    }
}

db::Connection& Workspace::connection() {
    if (!connection_) {
        throw db::DbError(openError_.toStdString());
    }
    return *connection_;
}

void Workspace::setCurrentProject(store::CurrentProject project) {
    current_ = std::move(project);
    emit currentProjectChanged();
}

void Workspace::clearCurrentProject() {
    current_ = {};
    emit currentProjectChanged();
}

bool Workspace::mayLeaveProject() {
    return !leaveGuard_ || leaveGuard_();
}

bool Workspace::isCurrent(int projectId) const {
    return current_.isOpen() && current_.fbId == std::to_string(projectId);
}

bool Workspace::deleteProject(int id) {
    const bool current = isCurrent(id);
    if (current && !mayLeaveProject()) {
        return false;
    }
    store::deleteProject(connection(), id);
    if (current) {
        clearCurrentProject();
    }
    return true;
}

void Workspace::setConsole(MessageConsole* console) {
    console_ = console;
}

MessageConsole& Workspace::console() {
    if (!console_) {
        console_ = new MessageConsole;
    }
    return *console_;
}

}  // namespace qm::gui
