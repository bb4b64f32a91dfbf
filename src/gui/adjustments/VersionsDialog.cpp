#include "gui/adjustments/VersionsDialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <set>

#include "gui/Workspace.h"
#include "gui/adjustments/AdjustCommands.h"
#include "gui/adjustments/VersionComparisonDialog.h"
#include "gui/shared/UserMessages.h"
#include "gui/widgets/ScreenFit.h"
#include "reports/VersionComparison.h"
#include "store/SavedVersions.h"

namespace qm::gui {

namespace {

constexpr int kNumberRole = Qt::UserRole;
constexpr int kNameColumn = 1;

}  // namespace

VersionsDialog::VersionsDialog(Workspace& workspace, QWidget* parent)
    : QDialog(parent),
      workspace_(workspace),
      hint_(new QLabel(this)),
      versionList_(new QTableWidget(0, 4, this)),
      compareButton_(new QPushButton(QStringLiteral("对比"), this)),
      restoreButton_(new QPushButton(QStringLiteral("恢复"), this)) {
    setObjectName(QStringLiteral("VersionsDialog"));
    setWindowTitle(QStringLiteral("方案"));
    hint_->setWordWrap(true);
    versionList_->setObjectName(QStringLiteral("lv_versions"));
    versionList_->setHorizontalHeaderLabels({QStringLiteral("方案"), QStringLiteral("名称"),
                                             QStringLiteral("保存时间"), QStringLiteral("学生数")});
    versionList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    versionList_->setSelectionBehavior(QAbstractItemView::SelectRows);
    // A click chooses one version; Ctrl and a click add a second one for 对比.
    versionList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    versionList_->verticalHeader()->hide();
    compareButton_->setObjectName(QStringLiteral("bnCompare"));
    restoreButton_->setObjectName(QStringLiteral("bnRestore"));
    auto* closeButton = new QPushButton(QStringLiteral("关闭"), this);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(compareButton_);
    buttons->addWidget(restoreButton_);
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(hint_);
    layout->addWidget(versionList_, 1);
    layout->addLayout(buttons);
    fitOnScreen(*this, {560, 340});

    connect(compareButton_, &QPushButton::clicked, this, &VersionsDialog::compareChosen);
    connect(restoreButton_, &QPushButton::clicked, this, &VersionsDialog::restoreChosen);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(versionList_, &QTableWidget::itemSelectionChanged, this, &VersionsDialog::showChoice);
    fill();
}

void VersionsDialog::fill() {
    std::vector<store::SavedVersion> versions;
    runGuarded(this, [&] {
        versions = store::listVersions(workspace_.connection(), workspace_.currentProject());
    });
    versionList_->setRowCount(static_cast<int>(versions.size()));
    for (int r = 0; r < versionList_->rowCount(); ++r) {
        const store::SavedVersion& version = versions[static_cast<std::size_t>(r)];
        const QString texts[] = {
            QString::number(version.number), QString::fromStdString(version.name),
            QString::fromStdString(version.saved), QString::number(version.students)};
        for (int c = 0; c < 4; ++c) {
            auto* item = new QTableWidgetItem(texts[c]);
            item->setData(kNumberRole, version.number);
            versionList_->setItem(r, c, item);
        }
    }
    versionList_->resizeColumnsToContents();
    // The names, which the teacher typed and may be long, take the room left.
    versionList_->horizontalHeader()->setSectionResizeMode(kNameColumn, QHeaderView::Stretch);
    hint_->setText(
        versions.empty()
            ? QStringLiteral("这个分班项目还没有保存的方案。用“方案 → 保存方案…”"
                             "把现在的各班学生保存下来，以后可以对比或恢复。")
            : QStringLiteral("点选一个方案按“恢复”，学生回到该方案的班级（可以撤销）；"
                             "按住 Ctrl 键再点选一个方案，按“对比”并排查看两个方案的各班数据和"
                             "班级不同的学生。"));
    showChoice();
}

std::vector<int> VersionsDialog::chosenVersions() const {
    std::set<int> rows;
    for (const QModelIndex& index : versionList_->selectionModel()->selectedRows()) {
        rows.insert(index.row());
    }
    std::vector<int> numbers;
    for (int row : rows) {
        numbers.push_back(versionList_->item(row, 0)->data(kNumberRole).toInt());
    }
    return numbers;
}

void VersionsDialog::showChoice() {
    const std::size_t chosen = chosenVersions().size();
    compareButton_->setEnabled(chosen == 2);
    restoreButton_->setEnabled(chosen == 1);
}

void VersionsDialog::compareChosen() {
    const std::vector<int> chosen = chosenVersions();
    if (chosen.size() != 2) {
        inform(this, QStringLiteral("请选中两个方案再对比"));
        return;
    }
    // A comparison only reads, so it is made during a division too.
    std::optional<reports::VersionComparison> comparison;
    if (!runGuarded(this, [&] {
            comparison = reports::compareVersions(
                workspace_.connection(), workspace_.currentProject(), chosen[0], chosen[1]);
        })) {
        return;
    }
    VersionComparisonDialog dialog(*comparison, this);
    dialog.exec();
}

void VersionsDialog::restoreChosen() {
    const std::vector<int> chosen = chosenVersions();
    if (chosen.size() != 1) {
        inform(this, QStringLiteral("请选中一个要恢复的方案"));
        return;
    }
    const int row = versionList_->selectionModel()->selectedRows().front().row();
    const QString title =
        QStringLiteral("方案 %1（%2）")
            .arg(QString::number(chosen.front()), versionList_->item(row, kNameColumn)->text());
    if (!confirm(this, QStringLiteral("把学生恢复到%1的班级吗？现在的分班会被替换，"
                                      "恢复后可以用“撤销”退回。")
                           .arg(title))) {
        return;
    }
    if (restoreSavedVersion(this, workspace_, chosen.front())) {
        inform(this, QStringLiteral("已恢复%1").arg(title));
        accept();
    }
}

}  // namespace qm::gui
