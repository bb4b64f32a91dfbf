#include "gui/adjustments/VersionComparisonDialog.h"

#include <QDialogButtonBox>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "common/ColumnWidths.h"
#include "gui/widgets/BalanceTable.h"
#include "gui/widgets/ScreenFit.h"
#include "gui/widgets/StatGridView.h"
#include "reports/BalanceReport.h"
#include "store/GroupCheck.h"

namespace qm::gui {

namespace {

// "方案 2（开学前）  2026-08-20 10:15:02"
QString versionTitle(const store::SavedVersion& version) {
    return QStringLiteral("方案 %1（%2）  %3")
        .arg(QString::number(version.number), QString::fromStdString(version.name),
             QString::fromStdString(version.saved));
}

// Both grids get the wider of each column, and scroll sideways together.
void alignColumns(QTableWidget& first, QTableWidget& second) {
    const int columns = std::min(first.columnCount(), second.columnCount());
    for (int c = 0; c < columns; ++c) {
        const int width = std::max(first.columnWidth(c), second.columnWidth(c));
        first.setColumnWidth(c, width);
        second.setColumnWidth(c, width);
    }
    QObject::connect(first.horizontalScrollBar(), &QScrollBar::valueChanged,
                     second.horizontalScrollBar(), &QScrollBar::setValue);
    QObject::connect(second.horizontalScrollBar(), &QScrollBar::valueChanged,
                     first.horizontalScrollBar(), &QScrollBar::setValue);
}

QTableWidgetItem* cell(const QString& text) {
    return new QTableWidgetItem(text);
}

// The rows of a statistics grid by the class they show; the row of all students has no name.
QHash<QString, int> rowsByClass(const QTableWidget& grid) {
    QHash<QString, int> rows;
    for (int r = 0; r < grid.rowCount(); ++r) {
        const QTableWidgetItem* name = grid.item(r, 1);
        rows.insert(name ? name->text() : QString(), r);
    }
    return rows;
}

// Two cells of one figure in the two versions: both in bold when they differ.
void emboldenWhenDifferent(QTableWidgetItem* first, QTableWidgetItem* second) {
    if (first && second && first->text() != second->text()) {
        for (QTableWidgetItem* item : {first, second}) {
            QFont bold = item->font();
            bold.setBold(true);
            item->setFont(bold);
        }
    }
}

// The figures in which the versions differ stand out in bold in both grids.
void markDifferences(QTableWidget& first, QTableWidget& second) {
    const QHash<QString, int> firstRows = rowsByClass(first);
    for (int r = 0; r < second.rowCount(); ++r) {
        const QTableWidgetItem* name = second.item(r, 1);
        const auto match = firstRows.find(name ? name->text() : QString());
        if (match == firstRows.end()) {
            continue;
        }
        for (int c = 2; c < std::min(first.columnCount(), second.columnCount()); ++c) {
            QTableWidgetItem* mine = second.item(r, c);
            QTableWidgetItem* theirs = first.item(*match, c);
            emboldenWhenDifferent(mine, theirs);
        }
    }
}

}  // namespace

VersionComparisonDialog::VersionComparisonDialog(const reports::VersionComparison& comparison,
                                                 QWidget* parent)
    : QDialog(parent), headline_(new QLabel(this)), pages_(new QTabWidget(this)) {
    setObjectName(QStringLiteral("VersionComparisonDialog"));
    setWindowTitle(QStringLiteral("方案对比"));
    pages_->setObjectName(QStringLiteral("tabComparison"));
    headline_->setObjectName(QStringLiteral("lbHeadline"));
    headline_->setWordWrap(true);
    headline_->setText(QStringLiteral("方案 %1（%2）与方案 %3（%4）：%5 名学生的班级不同")
                           .arg(QString::number(comparison.first.number),
                                QString::fromStdString(comparison.first.name),
                                QString::number(comparison.second.number),
                                QString::fromStdString(comparison.second.name),
                                QString::number(comparison.moved.size())));
    pages_->addTab(buildFiguresPage(comparison), QStringLiteral("各班人数与平均分"));
    pages_->addTab(buildBalancePage(comparison), QStringLiteral("均衡度"));
    pages_->addTab(buildMovedPage(comparison),
                   QStringLiteral("班级不同的学生（%1）").arg(comparison.moved.size()));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("关闭"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(headline_);
    layout->addWidget(pages_, 1);
    layout->addWidget(buttons);
    fitOnScreen(*this, sizeHint());
}

QWidget* VersionComparisonDialog::buildFiguresPage(const reports::VersionComparison& comparison) {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    const std::pair<const store::SavedVersion*, const reports::ClassStatistics*> versions[] = {
        {&comparison.first, &comparison.firstStatistics},
        {&comparison.second, &comparison.secondStatistics}};
    QTableWidget* grids[2] = {};
    for (int v = 0; v < 2; ++v) {
        auto* title = new QLabel(versionTitle(*versions[v].first), page);
        QFont bold = title->font();
        bold.setBold(true);
        title->setFont(bold);
        grids[v] = new QTableWidget(page);
        grids[v]->setObjectName(v == 0 ? QStringLiteral("sgFirstVersion")
                                       : QStringLiteral("sgSecondVersion"));
        prepareStatGridView(*grids[v]);
        showStatGrid(*grids[v], versions[v].second->classInfo);
        layout->addWidget(title);
        layout->addWidget(grids[v], 1);
    }
    firstFigures_ = grids[0];
    secondFigures_ = grids[1];
    markDifferences(*firstFigures_, *secondFigures_);
    alignColumns(*firstFigures_, *secondFigures_);
    auto* note =
        new QLabel(QStringLiteral("两个方案不同的数字用粗体显示；偏差超过 ±1 分的标红"), page);
    layout->addWidget(note);
    return page;
}

// The balance figures of both versions side by side, those that differ in bold.
QWidget* VersionComparisonDialog::buildBalancePage(const reports::VersionComparison& comparison) {
    balance_ = new QTableWidget(this);
    balance_->setObjectName(QStringLiteral("sgBalanceComparison"));
    prepareReadOnlyGrid(*balance_);
    showBalanceRows(*balance_,
                    reports::balanceComparisonRows(
                        {"均衡度", "方案 " + std::to_string(comparison.first.number),
                         "方案 " + std::to_string(comparison.second.number)},
                        {comparison.firstBalance ? &*comparison.firstBalance : nullptr,
                         comparison.secondBalance ? &*comparison.secondBalance : nullptr}),
                    -1);
    for (int r = 0; r < balance_->rowCount(); ++r) {
        emboldenWhenDifferent(balance_->item(r, 1), balance_->item(r, 2));
    }
    return balance_;
}

QWidget* VersionComparisonDialog::buildMovedPage(const reports::VersionComparison& comparison) {
    movedStudents_ = new QTableWidget(static_cast<int>(comparison.moved.size()), 4, this);
    movedStudents_->setObjectName(QStringLiteral("sgMovedStudents"));
    movedStudents_->setHorizontalHeaderLabels(
        {QStringLiteral("学号"), QStringLiteral("姓名"),
         QStringLiteral("方案 %1").arg(comparison.first.number),
         QStringLiteral("方案 %1").arg(comparison.second.number)});
    movedStudents_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    movedStudents_->setSelectionBehavior(QAbstractItemView::SelectRows);
    movedStudents_->verticalHeader()->hide();
    for (int r = 0; r < movedStudents_->rowCount(); ++r) {
        const reports::MovedStudent& student = comparison.moved[static_cast<std::size_t>(r)];
        movedStudents_->setItem(r, 0, cell(QString::number(student.studentId)));
        movedStudents_->setItem(r, 1, cell(QString::fromStdString(student.name)));
        movedStudents_->setItem(
            r, 2, cell(QString::fromStdString(store::classTitle(student.firstClass))));
        movedStudents_->setItem(
            r, 3, cell(QString::fromStdString(store::classTitle(student.secondClass))));
    }
    movedStudents_->resizeColumnsToContents();
    for (int c = 0; c < movedStudents_->columnCount(); ++c) {
        movedStudents_->setColumnWidth(c, columnWidth(movedStudents_->columnWidth(c), 16, 90));
    }
    return movedStudents_;
}

}  // namespace qm::gui
