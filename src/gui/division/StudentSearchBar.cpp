#include "gui/division/StudentSearchBar.h"

#include <QHBoxLayout>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QToolButton>
#include <vector>

#include "gui/Workspace.h"
#include "gui/division/ResultGrid.h"
#include "gui/shared/UserMessages.h"
#include "reports/StudentSearch.h"

namespace qm::gui {

StudentSearchBar::StudentSearchBar(Workspace& workspace, ResultGrid& grid, QWidget* parent)
    : QWidget(parent),
      workspace_(workspace),
      grid_(grid),
      searchEdit_(new QLineEdit(this)),
      nextButton_(new QToolButton(this)),
      resultLabel_(new QLabel(this)) {
    setObjectName(QStringLiteral("StudentSearchBar"));
    searchEdit_->setObjectName(QStringLiteral("edSearch"));
    searchEdit_->setPlaceholderText(QStringLiteral("学号、姓名或拼音首字母"));
    searchEdit_->setToolTip(
        QStringLiteral("输入学号、姓名或姓名的拼音首字母（如 zs 找张三），"
                       "选中找到的学生；回车或 F3 找下一个 (Ctrl+F)"));
    searchEdit_->setClearButtonEnabled(true);
    // Wide enough for its hint and a name, not more.
    searchEdit_->setFixedWidth(
        searchEdit_->fontMetrics().horizontalAdvance(searchEdit_->placeholderText()) + 40);
    nextButton_->setObjectName(QStringLiteral("bnFindNext"));
    nextButton_->setText(QStringLiteral("下一个"));
    nextButton_->setToolTip(QStringLiteral("找下一个 (F3)"));
    resultLabel_->setObjectName(QStringLiteral("lbSearchResult"));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("查找："), this));
    layout->addWidget(searchEdit_);
    layout->addWidget(nextButton_);
    layout->addWidget(resultLabel_);
    layout->addStretch(1);

    connect(searchEdit_, &QLineEdit::textChanged, this, [this] { find(false); });
    connect(searchEdit_, &QLineEdit::returnPressed, this, &StudentSearchBar::findNext);
    connect(nextButton_, &QToolButton::clicked, this, &StudentSearchBar::findNext);
}

void StudentSearchBar::addShortcutsTo(QWidget& window) {
    auto* focus = new QShortcut(QKeySequence(QStringLiteral("Ctrl+F")), &window);
    focus->setContext(Qt::WidgetWithChildrenShortcut);
    connect(focus, &QShortcut::activated, this, &StudentSearchBar::focusSearch);
    auto* next = new QShortcut(QKeySequence(QStringLiteral("F3")), &window);
    next->setContext(Qt::WidgetWithChildrenShortcut);
    connect(next, &QShortcut::activated, this, &StudentSearchBar::findNext);
}

void StudentSearchBar::focusSearch() {
    searchEdit_->setFocus(Qt::ShortcutFocusReason);
    searchEdit_->selectAll();
}

void StudentSearchBar::findNext() {
    find(true);
}

void StudentSearchBar::find(bool next) {
    const QString typed = searchEdit_->text().trimmed();
    if (typed.isEmpty()) {
        lastText_.clear();
        showResult(QString(), true);
        return;
    }
    std::vector<int> students;
    const bool searched = runGuarded(this, [&] {
        students = reports::searchStudents(
            workspace_.connection(), workspace_.currentProject().fbTable, typed.toStdString());
    });
    if (!searched) {
        return;
    }
    QHash<int, int> rowOfStudent;
    for (int row = 0; row < grid_.rowCount(); ++row) {
        if (const auto student = grid_.studentOfRow(row)) {
            rowOfStudent.insert(student->studentId, row);
        }
    }
    std::vector<int> rows;
    for (int studentId : students) {
        if (const auto row = rowOfStudent.constFind(studentId); row != rowOfStudent.constEnd()) {
            rows.push_back(*row);
        }
    }
    if (rows.empty()) {
        lastText_ = typed;
        showResult(QStringLiteral("没有找到"), false);
        return;
    }
    index_ = next && typed == lastText_ ? (index_ + 1) % static_cast<int>(rows.size()) : 0;
    lastText_ = typed;
    const int row = rows[static_cast<std::size_t>(index_)];
    emit rowFound(row);
    grid_.setCurrentCell(row, 1, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    grid_.scrollToItem(grid_.item(row, 1), QAbstractItemView::PositionAtCenter);
    showResult(QStringLiteral("第 %1/%2 名").arg(index_ + 1).arg(rows.size()), true);
}

void StudentSearchBar::showResult(const QString& text, bool found) {
    QPalette colours = palette();
    if (!found) {
        colours.setColor(QPalette::WindowText, Qt::red);
    }
    resultLabel_->setPalette(colours);
    resultLabel_->setText(text);
}

}  // namespace qm::gui
