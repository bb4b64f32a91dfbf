#include "gui/AdjustCommands.h"

#include <functional>
#include <optional>

#include "gui/ClassChanges.h"
#include "gui/UserMessages.h"
#include "gui/Workspace.h"
#include "store/HandMoves.h"
#include "store/SavedVersions.h"
#include "store/StepHistory.h"

namespace qm::gui {

namespace {

// A change of classes; nothing when the teacher decided against it on the way.
using Change =
    std::function<std::optional<ClassChange>(db::Connection&, const store::CurrentProject&)>;

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
    std::optional<ClassChange> made;
    if (!runGuarded(parent, [&] { made = change(workspace.connection(), project); }) || !made) {
        return false;
    }
    made->fbTable = project.fbTable;
    workspace.classChanges().announce(*made);
    return true;
}

ClassChange changeOf(const store::AdjustmentOutcome& outcome) {
    return {.fbTable = {},
            .classes = outcome.classes,
            .description = QString::fromStdString(outcome.description)};
}

// An undone or redone step may have moved students of any class.
ClassChange stepChange(const QString& verb, const std::string& action) {
    return {.fbTable = {},
            .classes = {},
            .description = QStringLiteral("%1“%2”").arg(verb, QString::fromStdString(action))};
}

using HistoryStep = std::string (*)(db::Connection&, const store::CurrentProject&,
                                    store::BrokenGroups);

// Undo or redo. A step whose classes would break groups set after them is not refused outright:
// the teacher is told which groups, and may take the step all the same, the groups kept for the
// next division, or delete those groups and take it.
bool takeHistoryStep(QWidget* parent, Workspace& workspace, const QString& verb,
                     HistoryStep step) {
    return makeChange(
        parent, workspace,
        [&](db::Connection& connection,
            const store::CurrentProject& project) -> std::optional<ClassChange> {
            try {
                return stepChange(verb, step(connection, project, store::BrokenGroups::Refuse));
            } catch (const store::StepBreaksGroups& refused) {
                const int choice = chooseOne(
                    parent, {MessageKind::Choice, QStringLiteral("约束"),
                             QString::fromUtf8(refused.what()),
                             {QStringLiteral("仍然%1，保留约束").arg(verb),
                              QStringLiteral("删除约束后%1").arg(verb)}});
                if (choice < 0) {
                    return std::nullopt;
                }
                const auto how =
                    choice == 0 ? store::BrokenGroups::Keep : store::BrokenGroups::Remove;
                return stepChange(verb, step(connection, project, how));
            }
        });
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
    return takeHistoryStep(parent, workspace, QStringLiteral("撤销"), store::undoStep);
}

bool redoUndoneStep(QWidget* parent, Workspace& workspace) {
    return takeHistoryStep(parent, workspace, QStringLiteral("重做"), store::redoStep);
}

bool restoreSavedVersion(QWidget* parent, Workspace& workspace, int number) {
    return makeChange(parent, workspace, [&](db::Connection& connection, const auto& project) {
        return changeOf(store::restoreVersion(connection, project, number));
    });
}

}  // namespace qm::gui
