#include "gui/students/ClassFiguresPanel.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <exception>

#include "common/NumberText.h"
#include "common/UserError.h"
#include "gui/Workspace.h"
#include "gui/shared/ClassChanges.h"
#include "reports/ClassesStatistics.h"

namespace qm::gui {

namespace {

QString textOf(const std::string& text) {
    return QString::fromStdString(trimmed(text));
}

QTableWidget* newFiguresTable(QWidget* parent, const QString& name) {
    auto* table = new QTableWidget(parent);
    table->setObjectName(name);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setWordWrap(false);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->horizontalHeader()->setHighlightSections(false);
    table->verticalHeader()->setHighlightSections(false);
    return table;
}

QTableWidgetItem* numberItem(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

}  // namespace

ClassFiguresPanel::ClassFiguresPanel(Workspace& workspace, store::CurrentProject project,
                                     QWidget* parent)
    : QWidget(parent),
      workspace_(workspace),
      project_(std::move(project)),
      title_(new QLabel(this)),
      pages_(new QTabWidget(this)),
      figures_(newFiguresTable(this, QStringLiteral("tbClassFigures"))),
      subjectBox_(new QComboBox(this)),
      bands_(newFiguresTable(this, QStringLiteral("tbBandFigures"))) {
    setObjectName(QStringLiteral("ClassFiguresPanel"));
    title_->setObjectName(QStringLiteral("lbFiguresTitle"));
    pages_->setObjectName(QStringLiteral("tabFigures"));
    title_->setWordWrap(true);
    auto* note = new QLabel(QStringLiteral("括号里是偏差：本班平均分与全体学生平均分之差，"
                                           "超过 ±1 分的标红"),
                            this);
    note->setWordWrap(true);

    auto* bandPage = new QWidget(this);
    auto* bandLayout = new QVBoxLayout(bandPage);
    bandLayout->setContentsMargins(0, 0, 0, 0);
    subjectBox_->setObjectName(QStringLiteral("cbBandSubject"));
    bandLayout->addWidget(subjectBox_);
    bandLayout->addWidget(bands_, 1);
    pages_->addTab(figures_, QStringLiteral("人数与平均分"));
    pages_->addTab(bandPage, QStringLiteral("分数段"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(title_);
    layout->addWidget(pages_, 1);
    layout->addWidget(note);

    connect(subjectBox_, &QComboBox::currentIndexChanged, this, &ClassFiguresPanel::showBands);
    connect(&workspace_.classChanges(), &ClassChanges::changed, this,
            &ClassFiguresPanel::followChange);
    title_->setText(
        QStringLiteral("调到或对调学生后，这里立即显示相关班级的人数、平均分和"
                       "分数段；点左边的班级可以查看该班"));
}

void ClassFiguresPanel::showClasses(std::vector<int> classes, const QString& title) {
    classes_ = std::move(classes);
    title_->setText(title);
    compute();
}

// A change of this project's classes: the classes it touched, or those shown, computed anew.
void ClassFiguresPanel::followChange(const ClassChange& change) {
    if (change.fbTable != project_.fbTable) {
        return;
    }
    if (!change.classes.empty()) {
        classes_ = change.classes;
    }
    if (!change.description.isEmpty()) {
        title_->setText(change.description);
    }
    compute();
}

void ClassFiguresPanel::compute() {
    statistics_.reset();
    try {
        db::Connection& connection = workspace_.connection();
        statistics_ = classes_.empty()
                          ? reports::computeClassStatistics(connection, project_.fbTable)
                          : reports::statisticsOfClasses(connection, project_.fbTable, classes_);
    } catch (const std::exception& error) {
        // A panel beside the list tells, in place of its figures, why there are none.
        title_->setText(QString::fromStdString(errorText(error)));
    }
    showFigures();
    showBands();
}

// Transposed from 班级信息, so that a few classes fit beside the list: the classes side by side.
void ClassFiguresPanel::showFigures() {
    figures_->clear();
    figures_->setRowCount(0);
    figures_->setColumnCount(0);
    if (!statistics_) {
        return;
    }
    const reports::StatGrid& info = statistics_->classInfo;
    QStringList classNames;
    for (std::size_t r = 1; r < info.rowCount(); ++r) {
        classNames << textOf(info.text(r, reports::kClassNameColumn));
    }
    QStringList figureNames;
    std::vector<std::size_t> columns;
    for (std::size_t c = reports::kBoysColumn; c < reports::kRedivisionMarkColumn;
         c += c < reports::kFirstAverageColumn ? 1 : 2) {
        QString name = textOf(info.text(0, c));
        if (c >= reports::kFirstAverageColumn) {
            name.remove(QStringLiteral("平均分"));
        }
        figureNames << name;
        columns.push_back(c);
    }
    figures_->setColumnCount(static_cast<int>(classNames.size()));
    figures_->setRowCount(static_cast<int>(figureNames.size()));
    figures_->setHorizontalHeaderLabels(classNames);
    figures_->setVerticalHeaderLabels(figureNames);
    for (int column = 0; column < classNames.size(); ++column) {
        const std::size_t r = static_cast<std::size_t>(column) + 1;
        for (int row = 0; row < figureNames.size(); ++row) {
            const std::size_t c = columns[static_cast<std::size_t>(row)];
            QTableWidgetItem* item = nullptr;
            if (c < reports::kFirstAverageColumn) {
                item = numberItem(textOf(info.text(r, c)));
            } else {
                const reports::StatCell& deviation = info.cell(r, c + 1);
                item = numberItem(
                    QStringLiteral("%1 (%2)").arg(textOf(info.text(r, c)), textOf(deviation.text)));
                item->setToolTip(
                    QStringLiteral("%1平均分 %2，偏差 %3")
                        .arg(figureNames[row], textOf(info.text(r, c)), textOf(deviation.text)));
                if (deviation.red) {
                    item->setForeground(Qt::red);
                }
            }
            figures_->setItem(row, column, item);
        }
    }
    figures_->resizeColumnsToContents();
}

void ClassFiguresPanel::showBands() {
    bands_->clear();
    bands_->setRowCount(0);
    bands_->setColumnCount(0);
    if (!statistics_ || statistics_->bands.empty()) {
        return;
    }
    if (subjectBox_->count() == 0) {
        const QSignalBlocker quiet(subjectBox_);
        for (const reports::StatGrid& grid : statistics_->bands) {
            subjectBox_->addItem(QString::fromStdString(grid.name()));
        }
    }
    const std::size_t subject = static_cast<std::size_t>(std::max(0, subjectBox_->currentIndex()));
    const reports::StatGrid& grid = statistics_->bands.at(subject);
    QStringList classNames;
    for (std::size_t r = 1; r < grid.rowCount(); ++r) {
        classNames << textOf(grid.text(r, reports::kClassNameColumn));
    }
    bands_->setColumnCount(static_cast<int>(classNames.size()));
    bands_->setHorizontalHeaderLabels(classNames);
    for (std::size_t c = reports::kClassNameColumn + 1; c < grid.columnCount(); ++c) {
        bool held = false;
        for (std::size_t r = 1; r < grid.rowCount(); ++r) {
            held = held || !textOf(grid.text(r, c)).isEmpty();
        }
        if (!held) {
            continue;
        }
        const int row = bands_->rowCount();
        bands_->insertRow(row);
        bands_->setVerticalHeaderItem(row, new QTableWidgetItem(textOf(grid.text(0, c))));
        for (std::size_t r = 1; r < grid.rowCount(); ++r) {
            bands_->setItem(row, static_cast<int>(r) - 1, numberItem(textOf(grid.text(r, c))));
        }
    }
    bands_->resizeColumnsToContents();
}

}  // namespace qm::gui
