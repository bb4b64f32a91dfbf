#include "gui/BalancePage.h"

#include <QHeaderView>
#include <QLabel>
#include <QStringList>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace qm::gui {

namespace {

constexpr int kPresentColumn = 1;

QString joinedLines(const std::vector<std::string>& lines) {
    QStringList texts;
    for (const std::string& line : lines) {
        texts << QString::fromStdString(line);
    }
    return texts.join(QLatin1Char('\n'));
}

}  // namespace

BalancePage::BalancePage(QWidget* parent)
    : QWidget(parent), summary_(new QLabel(this)), table_(new QTableWidget(this)) {
    setObjectName(QStringLiteral("BalancePage"));
    summary_->setObjectName(QStringLiteral("lb_balanceSummary"));
    summary_->setWordWrap(true);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    table_->setObjectName(QStringLiteral("sgBalance"));
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setWordWrap(false);
    auto* baselines = new QLabel(
        QStringLiteral(
            "随机分班：同样的学生随机分到各班；蛇形分班：男女生各按总分从高到低依次分到 "
            "1、2、…、N、N、…、1 班。两者都让固定的学生留在原班，各班男女人数与现在相同。"),
        this);
    baselines->setObjectName(QStringLiteral("lb_baselines"));
    baselines->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(table_, 1);
    layout->addWidget(baselines);
    clear();
}

void BalancePage::clear() {
    summary_->clear();
    showRows({{reports::kBalanceHeadings.begin(), reports::kBalanceHeadings.end()}});
}

void BalancePage::showUnavailable(const QString& reason) {
    clear();
    summary_->setText(reason);
}

void BalancePage::showReport(const std::optional<reports::BalanceReport>& report) {
    if (!report) {
        showUnavailable(QStringLiteral(
            "还没有学生分到班里。分班以后，这里比较本次分班与随机分班、蛇形分班的均衡度。"));
        return;
    }
    showRows(reports::balanceTextRows(*report));
    summary_->setText(joinedLines(reports::balanceSummary(*report)));
}

// Row 0 holds the headings; numbers right-aligned, the present classes' column in bold.
void BalancePage::showRows(const reports::TextRows& rows) {
    const int columns = static_cast<int>(reports::kBalanceHeadings.size());
    table_->setUpdatesEnabled(false);
    table_->clear();
    table_->setColumnCount(columns);
    table_->setRowCount(static_cast<int>(rows.size()) - 1);
    QStringList headings;
    for (const std::string& heading : rows.front()) {
        headings << QString::fromStdString(heading);
    }
    table_->setHorizontalHeaderLabels(headings);
    QFont bold = table_->font();
    bold.setBold(true);
    for (std::size_t r = 1; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < rows[r].size() && c < std::size_t(columns); ++c) {
            auto* item = new QTableWidgetItem(QString::fromStdString(rows[r][c]));
            if (c > 0) {
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            if (c == kPresentColumn) {
                item->setFont(bold);
            }
            table_->setItem(static_cast<int>(r) - 1, static_cast<int>(c), item);
        }
    }
    table_->resizeColumnsToContents();
    for (int c = 1; c < columns; ++c) {
        table_->setColumnWidth(c, std::max(table_->columnWidth(c), 90));
    }
    table_->setUpdatesEnabled(true);
}

}  // namespace qm::gui
