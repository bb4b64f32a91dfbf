#include "gui/projects/ProjectListWidget.h"

#include <QHeaderView>

#include "gui/Workspace.h"
#include "gui/shared/UserMessages.h"
#include "gui/widgets/ToolIcons.h"
#include "store/ProjectStore.h"

namespace qm::gui {

ProjectListWidget::ProjectListWidget(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("lv_info"));
    setColumnCount(4);
    setHeaderLabels({QStringLiteral("自编号"), QStringLiteral("分班描述"), QStringLiteral("班级数"),
                     QStringLiteral("建立时间")});
    setColumnWidth(0, 60);
    setColumnWidth(1, 150);
    setColumnWidth(2, 60);
    setColumnWidth(3, 100);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setIconSize(QSize(16, 16));
    setUniformRowHeights(true);
    header()->setStretchLastSection(true);
    // The chosen row stays marked when the buttons have the focus.
    QPalette colours = palette();
    colours.setColor(QPalette::Inactive, QPalette::Highlight,
                     colours.color(QPalette::Active, QPalette::Highlight));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(colours);

    connect(this, &QTreeWidget::itemDoubleClicked, this, [this] { emit chosen(); });
}

void ProjectListWidget::refill(Workspace& workspace) {
    clear();
    runGuarded(this, [&] {
        const QIcon icon = toolIcon(ToolIcon::ProjectItem);
        for (const auto& project : store::listProjects(workspace.connection())) {
            auto* item = new QTreeWidgetItem(this);
            item->setIcon(0, icon);
            item->setText(0, QString::number(project.id));
            item->setText(1, QString::fromStdString(project.memo));
            item->setText(2, QString::number(project.num));
            item->setText(3, QString::fromStdString(project.update_date));
            item->setData(0, Qt::UserRole, project.id);
        }
    });
    // The first row is chosen, so that the row that looks current is the one "打开" takes.
    if (QTreeWidgetItem* first = topLevelItem(0)) {
        setCurrentItem(first);
    }
}

std::optional<int> ProjectListWidget::selectedId() const {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    if (selected.isEmpty()) {
        return std::nullopt;
    }
    return selected.first()->data(0, Qt::UserRole).toInt();
}

bool ProjectListWidget::selectId(int id) {
    for (int i = 0; i < topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = topLevelItem(i);
        if (item->data(0, Qt::UserRole).toInt() == id) {
            setCurrentItem(item);
            return true;
        }
    }
    return false;
}

void ProjectListWidget::deleteSelected(Workspace& workspace) {
    const auto id = selectedId();
    if (!id) {
        inform(this, QStringLiteral("请选择分班项!"));
        return;
    }
    const QString memo = selectedItems().first()->text(1);
    if (!confirm(
            this,
            QStringLiteral("确定要删除分班项目 %1 “%2” 及其全部学生数据吗?").arg(*id).arg(memo))) {
        return;
    }
    bool deleted = false;
    runGuarded(this, [&] { deleted = workspace.deleteProject(*id); });
    if (deleted) {
        refill(workspace);
    }
}

}  // namespace qm::gui
