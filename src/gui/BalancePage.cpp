#include "gui/BalancePage.h"

#include <QLabel>
#include <QStringList>
#include <QTableWidget>
#include <QVBoxLayout>

#include "gui/BalanceTable.h"
#include "gui/StatGridView.h"

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

void BalancePage::showRows(const reports::TextRows& rows) {
    showBalanceRows(*table_, rows, kPresentColumn);
}

}  // namespace qm::gui
