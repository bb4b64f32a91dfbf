#include "gui/students/GroupPanel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>

#include "common/Platform.h"
#include "common/ProgramFiles.h"
#include "common/UserError.h"
#include "gui/Workspace.h"
#include "gui/adjustments/AdjustCommands.h"
#include "gui/shared/ClassChanges.h"
#include "gui/shared/FileDialogs.h"
#include "gui/shared/UserMessages.h"
#include "intake/ConstraintFile.h"
#include "store/GroupCheck.h"
#include "store/GroupList.h"
#include "store/GroupStore.h"

namespace qm::gui {

namespace {

constexpr int kGroupRole = Qt::UserRole;

QString fromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

// "1001 张三", or for a number no longer in the project "1001（不在项目中）".
QString memberText(const store::GroupMemberListing& member) {
    if (!member.name) {
        return QStringLiteral("%1（不在项目中）").arg(member.studentId);
    }
    return QStringLiteral("%1 %2").arg(QString::number(member.studentId), fromUtf8(*member.name));
}

// Where the file dialog starts: the sample file of groups, when the program has it.
QString sampleGroupFile() {
    const auto sample = findProgramFile("导入excel文件样例/分班约束样例.csv");
    return sample.empty() ? QString() : fromUtf8(platform::pathToUtf8(sample));
}

}  // namespace

GroupPanel::GroupPanel(Workspace& workspace, store::CurrentProject project, ChosenNumbers chosen,
                       QWidget* parent)
    : QWidget(parent),
      workspace_(workspace),
      project_(std::move(project)),
      chosen_(std::move(chosen)),
      summary_(new QLabel(this)),
      groupList_(new QTreeWidget(this)),
      apartButton_(new QPushButton(QStringLiteral("设为分开"), this)),
      togetherButton_(new QPushButton(QStringLiteral("设为同班"), this)),
      fileButton_(new QPushButton(QStringLiteral("从文件添加…"), this)),
      deleteButton_(new QPushButton(QStringLiteral("删除"), this)) {
    setObjectName(QStringLiteral("GroupPanel"));
    summary_->setObjectName(QStringLiteral("lbGroupSummary"));
    summary_->setWordWrap(true);
    groupList_->setObjectName(QStringLiteral("tv_groups"));
    groupList_->setColumnCount(2);
    groupList_->setHeaderLabels({QStringLiteral("约束与学生"), QStringLiteral("现在")});
    groupList_->header()->setStretchLastSection(false);
    groupList_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    groupList_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    groupList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    apartButton_->setObjectName(QStringLiteral("bnApart"));
    togetherButton_->setObjectName(QStringLiteral("bnTogether"));
    fileButton_->setObjectName(QStringLiteral("bnGroupFile"));
    deleteButton_->setObjectName(QStringLiteral("bnDeleteGroup"));
    apartButton_->setToolTip(QStringLiteral("选中的学生两两不在同一个班（如双胞胎）"));
    togetherButton_->setToolTip(QStringLiteral("选中的学生都在同一个班（如结伴的同学）"));
    fileButton_->setToolTip(
        QStringLiteral("从 .csv、.xlsx 或 .xls 文件添加约束：第一行是标题 学号、组、方式，"
                       "每行一名学生，方式为 分开 或 同班"));

    auto* addRow = new QHBoxLayout;
    addRow->addWidget(apartButton_);
    addRow->addWidget(togetherButton_);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(fileButton_);
    fileRow->addWidget(deleteButton_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(summary_);
    layout->addLayout(addRow);
    layout->addWidget(groupList_, 1);
    layout->addLayout(fileRow);

    connect(apartButton_, &QPushButton::clicked, this,
            [this] { addChosenGroup(store::GroupKind::Apart); });
    connect(togetherButton_, &QPushButton::clicked, this,
            [this] { addChosenGroup(store::GroupKind::Together); });
    connect(fileButton_, &QPushButton::clicked, this, &GroupPanel::chooseFile);
    connect(deleteButton_, &QPushButton::clicked, this, &GroupPanel::deleteChosenGroup);
    connect(&workspace_.classChanges(), &ClassChanges::changed, this,
            &GroupPanel::followClassChange);
    reload();
}

void GroupPanel::reload() {
    groupList_->clear();
    if (!project_.isOpen()) {
        return;
    }
    std::vector<store::GroupListing> listing;
    try {
        listing = store::listGroups(workspace_.connection(), project_);
    } catch (const std::exception& error) {
        summary_->setText(QString::fromStdString(errorText(error)));
        return;
    }
    int unkept = 0;
    for (const store::GroupListing& line : listing) {
        auto* item = new QTreeWidgetItem(
            groupList_, {fromUtf8(store::groupTitle(line.group)),
                         line.broken ? QStringLiteral("未遵守") : QStringLiteral("遵守")});
        item->setData(0, kGroupRole, line.group.id);
        if (line.broken) {
            ++unkept;
            item->setForeground(0, Qt::red);
            item->setForeground(1, Qt::red);
            item->setToolTip(0, fromUtf8(*line.broken));
            item->setToolTip(1, fromUtf8(*line.broken));
        }
        for (const store::GroupMemberListing& member : line.students) {
            auto* child = new QTreeWidgetItem(
                item, {memberText(member),
                       member.name ? fromUtf8(store::classTitle(member.classId)) : QString()});
            child->setData(0, kGroupRole, line.group.id);
        }
        item->setExpanded(true);
    }
    if (listing.empty()) {
        summary_->setText(
            QStringLiteral("还没有约束。在左边名单中选中学生（按住 Ctrl 键点选），"
                           "再按“设为分开”或“设为同班”。"));
    } else if (unkept == 0) {
        summary_->setText(QStringLiteral("共 %1 组约束，现在的班级全部遵守。").arg(listing.size()));
    } else {
        summary_->setText(QStringLiteral("共 %1 组约束，现在的班级有 %2 组未遵守（红色），"
                                         "下次分班时遵守。")
                              .arg(QString::number(listing.size()), QString::number(unkept)));
    }
}

bool GroupPanel::addChosenGroup(store::GroupKind kind) {
    const std::vector<int> students = chosen_();
    if (students.size() < 2) {
        inform(this, QStringLiteral("请先在名单中选中至少两名学生（按住 Ctrl 键点选），"
                                    "再按“设为分开”或“设为同班”"));
        return false;
    }
    std::vector<int> added;
    if (!mayChangeWhileDividing(this, workspace_) || !runGuarded(this, [&] {
            added = store::addGroups(workspace_.connection(), project_, {{kind, students, ""}});
        })) {
        return false;
    }
    reload();
    tellUnkept(added, QStringLiteral("已添加这一约束"), false);
    return true;
}

bool GroupPanel::addGroupsFromFile(const QString& path) {
    std::vector<int> added;
    if (!mayChangeWhileDividing(this, workspace_) || !runGuarded(this, [&] {
            added =
                intake::addGroupsFromFile(workspace_.connection(), project_, path.toStdString());
        })) {
        return false;
    }
    reload();
    tellUnkept(added, QStringLiteral("已从文件添加 %1 组约束").arg(added.size()), true);
    return true;
}

void GroupPanel::chooseFile() {
    const QString path =
        chooseFileToOpen(this, QStringLiteral("选择约束文件"), sampleGroupFile(),
                         QStringLiteral("约束文件 (*.csv *.xlsx *.xls);;所有文件 (*)"));
    if (!path.isEmpty()) {
        addGroupsFromFile(path);
    }
}

// The new groups are chosen in the list; those the present classes do not keep are told, since a
// division keeps them only from now on.
void GroupPanel::tellUnkept(const std::vector<int>& ids, const QString& added, bool alwaysTell) {
    QStringList unkept;
    for (int i = 0; i < groupList_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = groupList_->topLevelItem(i);
        const int id = item->data(0, kGroupRole).toInt();
        if (std::find(ids.begin(), ids.end(), id) == ids.end()) {
            continue;
        }
        groupList_->setCurrentItem(item);
        if (!item->toolTip(1).isEmpty()) {
            unkept << item->toolTip(1);
        }
    }
    if (!unkept.isEmpty()) {
        inform(this, QStringLiteral("%1。现在的班级未遵守：\n%2\n\n下次分班时会遵守；"
                                    "也可以用“调到…”或“对调”调整这些学生。")
                         .arg(added, unkept.join(QLatin1Char('\n'))));
    } else if (alwaysTell) {
        inform(this, added);
    }
}

bool GroupPanel::deleteChosenGroup() {
    const QTreeWidgetItem* item = groupList_->currentItem();
    if (!item) {
        inform(this, QStringLiteral("请先在约束列表中选中要删除的一组"));
        return false;
    }
    while (item->parent()) {
        item = item->parent();
    }
    const int id = item->data(0, kGroupRole).toInt();
    if (!confirm(this, QStringLiteral("要删除“%1”吗？").arg(item->text(0)))) {
        return false;
    }
    if (!mayChangeWhileDividing(this, workspace_) || !runGuarded(this, [&] {
            store::deleteGroup(workspace_.connection(), project_.id(), id);
        })) {
        return false;
    }
    reload();
    return true;
}

void GroupPanel::followClassChange(const ClassChange& change) {
    if (change.fbTable == project_.fbTable) {
        reload();
    }
}

}  // namespace qm::gui
