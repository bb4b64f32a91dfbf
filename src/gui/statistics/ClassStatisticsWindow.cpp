#include "gui/statistics/ClassStatisticsWindow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSet>
#include <QShowEvent>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <memory>

#include "common/UserError.h"
#include "gui/MainWindow.h"
#include "gui/MdiChildren.h"
#include "gui/Workspace.h"
#include "gui/shared/BackgroundJob.h"
#include "gui/shared/ClassChanges.h"
#include "gui/shared/ClassListCommands.h"
#include "gui/shared/ExportCommands.h"
#include "gui/shared/UserMessages.h"
#include "gui/statistics/BalancePage.h"
#include "gui/statistics/ClassAverageChart.h"
#include "gui/widgets/StatGridView.h"
#include "reports/BalanceReport.h"
#include "store/OutsideClasses.h"
#include "store/StudentTable.h"

namespace qm::gui {

namespace {

struct PageSpec {
    const char* title;
    const char* gridName;
};

// The pages in order, each with its grid.
constexpr PageSpec kPages[ClassStatisticsWindow::kGridCount] = {
    {"班级信息", "sgClass_info"}, {"语文", "sgChinese"},     {"数学", "sgMath"},
    {"英语", "sgEnglish"},        {"物理", "sgWuli"},        {"政治", "sgZhengzhi"},
    {"历史", "sgLiShi"},          {"体育", "sgTiYu"},        {"地理", "sgDiLi"},
    {"生物", "sgShengWu"},        {"每一类的人数", "sgType"}};

}  // namespace

// What one computation finds.
struct ClassStatisticsWindow::Figures {
    reports::ClassStatistics statistics;
    std::optional<reports::BalanceReport> balance;
    // Why there are no balance figures although students sit in classes; empty otherwise.
    QString balanceUnavailable;
    // How many students stand outside the project's classes; empty when none do.
    QString outside;
};

namespace {

QString outsideClassesText(db::Connection& connection, const std::string& table) {
    const int classCount = store::findProjectOfTable(connection, table).num;
    const std::string line = store::outsideClassesLine(connection, table, classCount);
    if (line.empty()) {
        return {};
    }
    return QString::fromStdString(line) +
           QStringLiteral("。分班不会移动他们；可以在“7.学生名单”中改正他们的班级。");
}

}  // namespace

ClassStatisticsWindow::ClassStatisticsWindow(Workspace& workspace, MainWindow& main,
                                             QWidget* parent)
    : QWidget(parent),
      workspace_(workspace),
      main_(main),
      project_(workspace.currentProject()),
      job_(new BackgroundJob(this)),
      pages_(new QTabWidget(this)),
      chart_(new ClassAverageChart(this)),
      balancePage_(new BalancePage(this)),
      updateButton_(new QPushButton(QStringLiteral("更新数据"), this)),
      exportButton_(new QPushButton(QStringLiteral("导出分班数据"), this)),
      closeButton_(new QPushButton(QStringLiteral("取消"), this)),
      stateLabel_(new QLabel(this)) {
    setObjectName(QStringLiteral("Tfrm_class_info"));
    setWindowTitle(QStringLiteral("班级信息"));
    pages_->setObjectName(QStringLiteral("tabStatistics"));

    for (int i = 0; i < kGridCount; ++i) {
        auto* grid = new QTableWidget(this);
        grid->setObjectName(QString::fromUtf8(kPages[i].gridName));
        prepareStatGridView(*grid);
        grids_[static_cast<std::size_t>(i)] = grid;
    }
    pages_->addTab(buildFirstPage(), QString::fromUtf8(kPages[0].title));
    for (int i = 1; i < kGridCount; ++i) {
        pages_->addTab(grid(i), QString::fromUtf8(kPages[i].title));
    }
    pages_->addTab(balancePage_, QStringLiteral("均衡度"));
    pages_->addTab(chart_, QStringLiteral("平均分对比图"));

    updateButton_->setObjectName(QStringLiteral("BitBtn1"));
    exportButton_->setObjectName(QStringLiteral("BitBtn2"));
    closeButton_->setObjectName(QStringLiteral("BitBtn3"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(stateLabel_, 1);
    buttons->addWidget(updateButton_);
    buttons->addWidget(exportButton_);
    const ClassListButtons printing =
        makeClassListButtons(*this, workspace_, [this] { return project_; });
    buttons->addWidget(printing.print);
    buttons->addWidget(printing.pdf);
    buttons->addWidget(closeButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_, 1);
    layout->addLayout(buttons);

    connect(updateButton_, &QPushButton::clicked, this, &ClassStatisticsWindow::refresh);
    connect(exportButton_, &QPushButton::clicked, this, &ClassStatisticsWindow::exportStatistics);
    connect(closeButton_, &QPushButton::clicked, this, [this] { closeMdiChild(this); });
    connect(redivideButton_, &QPushButton::clicked, this,
            &ClassStatisticsWindow::redivideChosenClasses);
    connect(&workspace_.classChanges(), &ClassChanges::changed, this,
            &ClassStatisticsWindow::followClassChange);
}

ClassStatisticsWindow::~ClassStatisticsWindow() = default;

QWidget* ClassStatisticsWindow::buildFirstPage() {
    auto* page = new QWidget(this);
    auto* prompt = new QLabel(QStringLiteral("请选择重分的班       "), page);
    prompt->setObjectName(QStringLiteral("lb_prompt"));
    QPalette red = prompt->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    prompt->setPalette(red);
    classChoice_ = new QListWidget(page);
    classChoice_->setObjectName(QStringLiteral("lb_class"));
    classChoice_->setSelectionMode(QAbstractItemView::MultiSelection);
    classChoice_->setFixedWidth(120);
    classChoice_->setToolTip(QStringLiteral("点一下选中，再点一下取消；可以选多个班"));
    redivideButton_ = new QPushButton(QStringLiteral("重新分班"), page);
    redivideButton_->setObjectName(QStringLiteral("bnRefb"));

    outsideNote_ = new QLabel(page);
    outsideNote_->setObjectName(QStringLiteral("lb_outside"));
    outsideNote_->setWordWrap(true);
    outsideNote_->setPalette(red);
    outsideNote_->hide();

    auto* panel = new QVBoxLayout;
    panel->addWidget(prompt);
    panel->addWidget(classChoice_, 1);
    panel->addWidget(redivideButton_);
    auto* figures = new QVBoxLayout;
    figures->addWidget(grid(0), 1);
    figures->addWidget(outsideNote_);
    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(figures, 1);
    layout->addLayout(panel);
    return page;
}

bool ClassStatisticsWindow::isComputing() const {
    return job_->isRunning();
}

void ClassStatisticsWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        refresh();
    }
}

// A computation still under way ends with the window; it only reads.
void ClassStatisticsWindow::closeEvent(QCloseEvent* event) {
    job_->requestCancel();
    QWidget::closeEvent(event);
}

void ClassStatisticsWindow::refresh() {
    if (job_->isRunning()) {
        return;
    }
    refreshWhenDone_ = false;
    setComputing(true);
    auto computed = std::make_shared<std::optional<Figures>>();
    job_->start(
        workspace_.databasePath(),
        [project = project_, computed](db::Connection& connection, BackgroundJob&) {
            Figures figures{reports::computeClassStatistics(connection, project.fbTable)};
            figures.outside = outsideClassesText(connection, project.fbTable);
            try {
                figures.balance = reports::computeBalanceReport(connection, project);
            } catch (const UserError& unavailable) {
                figures.balanceUnavailable = QString::fromUtf8(unavailable.what());
            }
            *computed = std::move(figures);
        },
        [this, computed](const std::optional<JobFailure>& failure) {
            setComputing(false);
            if (refreshWhenDone_) {
                refresh();  // the classes changed while these figures were computed
                return;
            }
            if (failure) {
                statistics_.reset();
                balance_.reset();
                clearGrids();
                if (failure->is<store::NoStudents>()) {
                    showGrids(reports::emptyClassStatistics());  // the titles at least
                    inform(this, failure->message);
                } else {
                    showError(this, QStringLiteral("统计班级信息出错：%1").arg(failure->message));
                }
                emit statisticsShown(false);
                return;
            }
            showFigures(std::move(**computed));
            emit statisticsShown(true);
        });
}

void ClassStatisticsWindow::showFigures(Figures figures) {
    showStatistics(std::move(figures.statistics));
    balance_ = figures.balance;
    if (figures.balanceUnavailable.isEmpty()) {
        balancePage_->showReport(figures.balance);
    } else {
        balancePage_->showUnavailable(figures.balanceUnavailable);
    }
    outsideNote_->setText(figures.outside);
    outsideNote_->setVisible(!figures.outside.isEmpty());
}

void ClassStatisticsWindow::showStatistics(reports::ClassStatistics statistics) {
    statistics_ = std::move(statistics);
    showGrids(*statistics_);
    showClassList(statistics_->redivisionClasses);
    chart_->setData(averageChartData(statistics_->averages));
}

void ClassStatisticsWindow::showGrids(const reports::ClassStatistics& statistics) {
    const auto grids = statistics.grids();
    for (int i = 0; i < kGridCount && i < static_cast<int>(grids.size()); ++i) {
        showStatGrid(*grid(i), *grids[static_cast<std::size_t>(i)]);
    }
}

// Keeps the classes chosen before, where they still occur.
void ClassStatisticsWindow::showClassList(const std::vector<reports::ClassEntry>& classes) {
    QSet<int> chosen;
    for (const QListWidgetItem* item : classChoice_->selectedItems()) {
        chosen.insert(item->data(Qt::UserRole).toInt());
    }
    classChoice_->clear();
    for (const auto& entry : classes) {
        auto* item = new QListWidgetItem(QString::fromStdString(entry.name), classChoice_);
        item->setData(Qt::UserRole, entry.classId);
        item->setSelected(chosen.contains(entry.classId));
    }
}

void ClassStatisticsWindow::clearGrids() {
    for (QTableWidget* view : grids_) {
        view->setRowCount(0);
    }
    chart_->setData({});
    balancePage_->clear();
    outsideNote_->hide();
}

void ClassStatisticsWindow::redivideChosenClasses() {
    std::vector<int> classes;
    for (int i = 0; i < classChoice_->count(); ++i) {
        if (classChoice_->item(i)->isSelected()) {
            classes.push_back(classChoice_->item(i)->data(Qt::UserRole).toInt());
        }
    }
    if (classes.empty()) {
        inform(this,
               QStringLiteral("请先在“请选择重分的班”列表中点选要重新分班的班级（可以选多个）"));
        return;
    }
    // The class numbers belong to this window's project; another project may be current now.
    if (workspace_.currentProject().fbTable != project_.fbTable) {
        inform(this, QStringLiteral("当前分班项已经改变，请关闭本窗口后重新打开“6.班级信息”"));
        return;
    }
    if (main_.showResult()) {
        main_.redivide(classes);
    }
}

// The classes of this project changed (a division, a move, an undo...): the figures follow.
void ClassStatisticsWindow::followClassChange(const ClassChange& change) {
    if (change.fbTable != project_.fbTable) {
        return;
    }
    if (job_->isRunning()) {
        refreshWhenDone_ = true;
    } else {
        refresh();
    }
}

void ClassStatisticsWindow::exportStatistics() {
    if (job_->isRunning()) {
        inform(this, QStringLiteral("正在统计，请稍候再导出"));
        return;
    }
    if (!statistics_) {
        inform(this, QStringLiteral("还没有统计数据，请先按“更新数据”"));
        return;
    }
    exportStatisticsWorkbook(this, workspace_, *statistics_, balance_, project_.memo);
}

void ClassStatisticsWindow::setComputing(bool computing) {
    updateButton_->setEnabled(!computing);
    exportButton_->setEnabled(!computing);
    redivideButton_->setEnabled(!computing);
    stateLabel_->setText(computing ? QStringLiteral("正在统计……") : QString());
}

}  // namespace qm::gui
