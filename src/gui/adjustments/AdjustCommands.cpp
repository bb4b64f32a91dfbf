#include "gui/adjustments/AdjustCommands.h"

#include <functional>
#include <optional>

#include "gui/Workspace.h"
#include "gui/shared/ClassChanges.h"
#include "gui/shared/OutsideChanges.h"
#include "gui/shared/UserMessages.h"
#include "store/HandMoves.h"
#include "store/SavedVersions.h"
#include "store/StepHistory.h"

namespace qm::gui {

namespace {

// A change of classes; nothing when the teacher decided against it on the way.
using Change =
    std::function<std::optional<ClassChange>(db::Connection&, const store::CurrentProject&)>;

// Makes a change of the current project's classes and announces it. What another program
// changed is shown first; the core decides on the data as they are when it writes.
bool makeChange(QWidget* parent, Workspace& workspace, const Change& change) {
    if (!mayChangeWhileDividing(parent, workspace)) {
        return false;
    }
    if (!workspace.hasProject()) {
        informNoProject(parent);
        return false;
    }
    workspace.outsideChanges().check();
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
                                    store::BrokenGroups, std::optional<std::int64_t>);

// Undo or redo of the step numbered `expected`. A step whose classes would break groups set after
// them is not refused outright: the teacher is told which groups, and may take the step all the
// same, the groups kept for the next division, or delete those groups and take it.
bool takeStepAskingAboutGroups(QWidget* parent, Workspace& workspace, const QString& verb,
                               HistoryStep step, std::optional<std::int64_t> expected) {
    return makeChange(
        parent, workspace,
        [&](db::Connection& connection,
            const store::CurrentProject& project) -> std::optional<ClassChange> {
            try {
                return stepChange(
                    verb, step(connection, project, store::BrokenGroups::Refuse, expected));
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
                return stepChange(verb, step(connection, project, how, expected));
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

namespace {

// The step 撤销 (undo) or 重做 would take now, read afresh; when it is not the one the window
// named (another program made or took back a step meanwhile) the teacher is asked about the real
// one. Nothing when there is none or the teacher declines.
std::optional<std::int64_t> stepToTake(QWidget* parent, Workspace& workspace, bool undo,
                                       std::optional<std::int64_t> named) {
    const QString verb = undo ? QStringLiteral("撤销") : QStringLiteral("重做");
    workspace.outsideChanges().check();
    store::HistoryState now;
    if (!runGuarded(parent, [&] {
            now = store::historyState(workspace.connection(), workspace.currentProject());
        })) {
        return std::nullopt;
    }
    const auto& number = undo ? now.undoNumber : now.redoNumber;
    const auto& action = undo ? now.undo : now.redo;
    if (!number) {
        inform(parent, (named ? QStringLiteral("另一个程序刚改动了这个分班项目，现在没有可以%1的操作")
                              : QStringLiteral("没有可以%1的操作"))
                           .arg(verb));
        return std::nullopt;
    }
    if (named && *named != *number &&
        !confirm(parent, QStringLiteral("另一个程序刚改动了这个分班项目，现在%1的将是“%2”，"
                                        "不是原来显示的那一步。\n\n要%1“%2”吗？")
                             .arg(verb, QString::fromStdString(*action)))) {
        return std::nullopt;
    }
    return number;
}

bool takeHistoryStep(QWidget* parent, Workspace& workspace, bool undo,
                     std::optional<std::int64_t> named) {
    if (!mayChangeWhileDividing(parent, workspace)) {
        return false;
    }
    if (!workspace.hasProject()) {
        informNoProject(parent);
        return false;
    }
    const auto expected = stepToTake(parent, workspace, undo, named);
    if (!expected) {
        return false;
    }
    return undo ? takeStepAskingAboutGroups(parent, workspace, QStringLiteral("撤销"),
                                            store::undoStep, expected)
                : takeStepAskingAboutGroups(parent, workspace, QStringLiteral("重做"),
                                            store::redoStep, expected);
}

}  // namespace

bool undoLastStep(QWidget* parent, Workspace& workspace, std::optional<std::int64_t> named) {
    return takeHistoryStep(parent, workspace, true, named);
}

bool redoUndoneStep(QWidget* parent, Workspace& workspace, std::optional<std::int64_t> named) {
    return takeHistoryStep(parent, workspace, false, named);
}

bool restoreSavedVersion(QWidget* parent, Workspace& workspace, int number) {
    return makeChange(parent, workspace, [&](db::Connection& connection, const auto& project) {
        return changeOf(store::restoreVersion(connection, project, number));
    });
}

}  // namespace qm::gui
