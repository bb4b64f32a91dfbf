#include "gui/adjustments/HandMoveMenu.h"

#include <QMenu>

#include "common/UserError.h"
#include "gui/Workspace.h"
#include "gui/adjustments/AdjustCommands.h"
#include "gui/shared/UserMessages.h"
#include "store/ProjectStore.h"

namespace qm::gui {

namespace {

bool allowed(const MayChange& mayChange) {
    return !mayChange || mayChange();
}

}  // namespace

void moveChosenStudent(QWidget* parent, Workspace& workspace,
                       const std::vector<ChosenStudent>& chosen, int classId,
                       const MayChange& mayChange) {
    if (chosen.size() != 1) {
        inform(parent, QStringLiteral("一次只能调动一名学生；要交换两名学生的班级，"
                                      "请选中这两名学生后用“对调”"));
        return;
    }
    if (allowed(mayChange)) {
        moveStudentByHand(parent, workspace, chosen.front().studentId, classId);
    }
}

void swapChosenStudents(QWidget* parent, Workspace& workspace,
                        const std::vector<ChosenStudent>& chosen, const MayChange& mayChange) {
    if (chosen.size() != 2) {
        inform(parent, QStringLiteral("请先选中两名学生（按住 Ctrl 键点选），再按“对调”"));
        return;
    }
    if (allowed(mayChange)) {
        swapStudentsByHand(parent, workspace, chosen[0].studentId, chosen[1].studentId);
    }
}

void fillMoveToMenu(QMenu& menu, QWidget* parent, Workspace& workspace,
                    const std::vector<ChosenStudent>& chosen, const MayChange& mayChange) {
    menu.clear();
    if (chosen.size() != 1) {
        menu.addAction(QStringLiteral("请先选中一名学生"))->setEnabled(false);
        return;
    }
    int classCount = 0;
    try {
        classCount =
            store::findProject(workspace.connection(), workspace.currentProject().id()).num;
    } catch (const std::exception& error) {
        menu.addAction(QString::fromStdString(errorText(error)))->setEnabled(false);
        return;
    }
    for (int classId = 1; classId <= classCount; ++classId) {
        if (classId == chosen.front().classId) {
            continue;
        }
        QAction* entry = menu.addAction(QStringLiteral("%1班").arg(classId));
        entry->setData(classId);
        QObject::connect(entry, &QAction::triggered, parent, [=, &workspace] {
            moveChosenStudent(parent, workspace, chosen, classId, mayChange);
        });
    }
}

void addHandMoveActions(QMenu& menu, QWidget* parent, Workspace& workspace,
                        const std::vector<ChosenStudent>& chosen, const MayChange& mayChange) {
    QMenu* moveTo = menu.addMenu(QStringLiteral("调到…"));
    moveTo->setObjectName(QStringLiteral("mnMoveTo"));
    fillMoveToMenu(*moveTo, parent, workspace, chosen, mayChange);
    moveTo->menuAction()->setEnabled(chosen.size() == 1);
    QAction* swap = menu.addAction(QStringLiteral("对调"));
    swap->setEnabled(chosen.size() == 2);
    QObject::connect(swap, &QAction::triggered, parent,
                     [=, &workspace] { swapChosenStudents(parent, workspace, chosen, mayChange); });
}

}  // namespace qm::gui
