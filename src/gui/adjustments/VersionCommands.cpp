#include "gui/adjustments/VersionCommands.h"

#include <QInputDialog>
#include <QMenu>

#include "gui/Workspace.h"
#include "gui/adjustments/AdjustCommands.h"
#include "gui/adjustments/VersionsDialog.h"
#include "gui/shared/UserMessages.h"
#include "store/SavedVersions.h"

namespace qm::gui {

void saveVersionAsked(QWidget* parent, Workspace& workspace) {
    if (!mayChangeWhileDividing(parent, workspace)) {
        return;
    }
    QString name;
    if (!runGuarded(parent, [&] {
            const auto versions =
                store::listVersions(workspace.connection(), workspace.currentProject());
            name = QStringLiteral("方案%1").arg(versions.size() + 1);
        })) {
        return;
    }
    for (;;) {
        QInputDialog dialog(parent);
        dialog.setWindowTitle(QStringLiteral("保存方案"));
        dialog.setLabelText(
            QStringLiteral("把现在各班的学生保存为一个方案，方案名称（最多 %1 个字）：")
                .arg(store::kVersionNameLength));
        dialog.setTextValue(name);
        dialog.setOkButtonText(QStringLiteral("保存"));
        dialog.setCancelButtonText(QStringLiteral("取消"));
        if (dialog.exec() != QDialog::Accepted) {
            return;
        }
        name = dialog.textValue();
        int number = 0;
        if (runGuarded(parent, [&] {
                const auto& project = workspace.currentProject();
                number = store::saveVersion(workspace.connection(), project, name.toStdString());
                name = QString::fromStdString(
                    store::findVersion(workspace.connection(), project, number).name);
            })) {
            inform(parent,
                   QStringLiteral("已保存方案 %1（%2）").arg(QString::number(number), name));
            return;
        }
    }
}

QMenu* buildVersionMenu(QWidget& window, Workspace& workspace,
                        const std::function<bool()>& requireProject) {
    auto* menu = new QMenu(QStringLiteral("方案"), &window);
    menu->setObjectName(QStringLiteral("mnVersions"));
    QAction* save = menu->addAction(QStringLiteral("保存方案…"));
    QAction* compare = menu->addAction(QStringLiteral("方案对比…"));
    QAction* restore = menu->addAction(QStringLiteral("恢复方案…"));
    QObject::connect(save, &QAction::triggered, &window, [&window, &workspace, requireProject] {
        if (requireProject()) {
            saveVersionAsked(&window, workspace);
        }
    });
    for (QAction* list : {compare, restore}) {
        QObject::connect(list, &QAction::triggered, &window, [&window, &workspace, requireProject] {
            if (requireProject()) {
                VersionsDialog dialog(workspace, &window);
                dialog.exec();
            }
        });
    }
    return menu;
}

}  // namespace qm::gui
