#include "gui/AdjustCommands.h"

#include <functional>

#include "gui/ClassChanges.h"
#include "gui/UserMessages.h"
#include "gui/Workspace.h"
#include "store/HandMoves.h"
#include "store/SavedVersions.h"
#include "store/StepHistory.h"

namespace qm::gui {

namespace {

using Change = std::function<ClassChange(db::Connection&, const store::CurrentProject&)>;

// Makes a change of the current project's classes and announces it.
bool makeChange(QWidget* parent, Workspace& workspace, const Change& change) {
    if (!mayChangeWhileDividing(parent, workspace)) {
        return false;
    }
    if (!workspace.hasProject()) {
        informNoProject(parent);
        return false;
    }
    const store::CurrentProject project = workspace.currentProject();
    ClassChange made;
    if (!runGuarded(parent, [&] { made = change(workspace.connection(), project); })) {
        return false;
    }
    made.fbTable = project.fbTable;
    workspace.classChanges().announce(made);
    return true;
}

ClassChange changeOf(const store::AdjustmentOutcome& outcome) {
    return {.fbTable = {},
            .classes = outcome.classes,
            .description = QString::fromStdString(outcome.description)};
}

// An undone or redone step may have moved students of any class.
ClassChange stepChange(const char* verb, const std::string& action) {
    return {.fbTable = {},
            .classes = {},
            .description = QStringLiteral("%1“%2”").arg(QString::fromUtf8(verb),
                                                        QString::fromStdString(action))};
}

}  // namespace

bool mayChangeWhileDividing(QWidget* parent, const Workspace& workspace) {
    if (workspace.classChanges().isDivisionRunning()) {
        inform(parent, QStringLiteral("正在分班，请等待分班结束后再操作"));
        return false;
    }
    return true;
}

bool moveStudentByHand(QWidget* parent, Workspace& workspace, int studentId, int classId) {
    return makeChange(parent, workspace, [&](db::Connection& connection, const auto& project) {
        return changeOf(store::moveStudent(connection, project, studentId, classId));
    });
}

bool swapStudentsByHand(QWidget* parent, Workspace& workspace, int firstId, int secondId) {
    return makeChange(parent, workspace, [&](db::Connection& connection, const auto& project) {
        return changeOf(store::swapStudents(connection, project, firstId, secondId));
    });
}

bool undoLastStep(QWidget* parent, Workspace& workspace) {
    return makeChange(parent, workspace, [](db::Connection& connection, const auto& project) {
        return stepChange("撤销", store::undoStep(connection, project));
    });
}

bool redoUndoneStep(QWidget* parent, Workspace& workspace) {
    return makeChange(parent, workspace, [](db::Connection& connection, const auto& project) {
        return stepChange("重做", store::redoStep(connection, project));
    });
}

bool restoreSavedVersion(QWidget* parent, Workspace& workspace, int number) {
    return makeChange(parent, workspace, [&](db::Connection& connection, const auto& project) {
        return changeOf(store::restoreVersion(connection, project, number));
    });
}

}  // namespace qm::gui
