#include "gui/statistics/BalancePage.h"

#include <QHeaderView>
#include <QLabel>
#include <QStringList>
#include <QTableWidget>
#include <QVBoxLayout>

#include "gui/widgets/BalanceTable.h"
#include "gui/widgets/ScreenFit.h"
#include "gui/widgets/StatGridView.h"

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
    prepareReadOnlyGrid(*table_);
    auto* baselines = new QLabel(
        QStringLiteral(
            "随机分班：同样的学生随机分到各班；蛇形分班：男女生各按总分从高到低依次分到 "
            "1、2、…、N、N、…、1 班。两者都让固定的学生留在原班，各班男女人数与现在相同。"),
        this);
    baselines->setObjectName(QStringLiteral("lb_baselines"));
    baselines->setWordWrap(true);

    // The words, the whole table and the note scroll together where the page is low (beside the
    // console on a small screen): no line is squeezed, and the window keeps its buttons in sight.
    table_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* content = new QWidget(this);
    auto* contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(6, 6, 6, 6);
    contentLayout->addWidget(summary_);
    contentLayout->addWidget(table_);
    contentLayout->addWidget(baselines);
    contentLayout->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scrolledPage(content, this));
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

void BalancePage::showRows(const reports::TextRows& rows) {
    showBalanceRows(*table_, rows, kPresentColumn);
    // As large as its rows and columns: the page scrolls, not the table within it.
    const int frame = 2 * table_->frameWidth();
    table_->setFixedHeight(table_->horizontalHeader()->sizeHint().height() +
                           table_->verticalHeader()->length() + frame);
    table_->setMinimumWidth(table_->horizontalHeader()->length() + frame);
}

}  // namespace qm::gui
