#include "gui/adjustments/HistoryActions.h"

#include <QAction>
#include <QStyle>
#include <QWidget>
#include <exception>
#include <optional>
#include <string>

#include "gui/Workspace.h"
#include "gui/adjustments/AdjustCommands.h"
#include "gui/shared/ClassChanges.h"
#include "store/StepHistory.h"

namespace qm::gui {

namespace {

// "撤销：把 学号 1001 张三 从 2班 调到 3班 (Ctrl+Z)", or without a step "没有可以撤销的操作".
void showStep(QAction& action, const QString& verb, const std::optional<std::string>& step,
              bool dividing) {
    const QString keys = action.shortcut().toString(QKeySequence::NativeText);
    action.setEnabled(step.has_value() && !dividing);
    if (dividing) {
        action.setToolTip(QStringLiteral("正在分班，分班结束后才能%1").arg(verb));
    } else if (step) {
        action.setToolTip(
            QStringLiteral("%1：%2 (%3)").arg(verb, QString::fromStdString(*step), keys));
    } else {
        action.setToolTip(QStringLiteral("没有可以%1的操作 (%2)").arg(verb, keys));
    }
}

}  // namespace

HistoryActions::HistoryActions(Workspace& workspace, QWidget& window)
    : QObject(&window),
      workspace_(workspace),
      window_(window),
      undo_(new QAction(window.style()->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("撤销"),
                        &window)),
      redo_(new QAction(window.style()->standardIcon(QStyle::SP_ArrowForward),
                        QStringLiteral("重做"), &window)) {
    undo_->setObjectName(QStringLiteral("acUndo"));
    redo_->setObjectName(QStringLiteral("acRedo"));
    undo_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redo_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    window.addAction(undo_);
    window.addAction(redo_);
    connect(undo_, &QAction::triggered, this,
            [this] { undoLastStep(&window_, workspace_, shown_.undoNumber); });
    connect(redo_, &QAction::triggered, this,
            [this] { redoUndoneStep(&window_, workspace_, shown_.redoNumber); });
    connect(&workspace_, &Workspace::currentProjectChanged, this, &HistoryActions::showState);
    connect(&workspace_.classChanges(), &ClassChanges::changed, this, &HistoryActions::showState);
    connect(&workspace_.classChanges(), &ClassChanges::divisionRunningChanged, this,
            &HistoryActions::showState);
    showState();
}

void HistoryActions::showState() {
    store::HistoryState state;
    if (workspace_.hasProject()) {
        try {
            state = store::historyState(workspace_.connection(), workspace_.currentProject());
        } catch (const std::exception&) {
            // Without a readable history there is nothing to take back; the commands stay off.
        }
    }
    const bool dividing = workspace_.classChanges().isDivisionRunning();
    showStep(*undo_, QStringLiteral("撤销"), state.undo, dividing);
    showStep(*redo_, QStringLiteral("重做"), state.redo, dividing);
    shown_ = state;
}

}  // namespace qm::gui
