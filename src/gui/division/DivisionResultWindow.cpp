#include "gui/division/DivisionResultWindow.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <string_view>
#include <tuple>

#include "engine/RunStages.h"
#include "gui/MessageConsole.h"
#include "gui/Workspace.h"
#include "gui/division/DivisionJob.h"
#include "gui/division/ResultClassView.h"
#include "gui/division/ResultGrid.h"
#include "gui/division/StudentSearchBar.h"
#include "gui/shared/ClassChanges.h"
#include "gui/shared/ClassListCommands.h"
#include "gui/shared/UserMessages.h"
#include "gui/widgets/RowNumberColumn.h"
#include "reports/StudentColumns.h"
#include "store/GroupCheck.h"
#include "store/StudentTable.h"

namespace qm::gui {

namespace {

constexpr int kGridColumns = static_cast<int>(std::tuple_size_v<reports::ResultGridRow>);
constexpr int kProgressSteps = 1000;

QString headingOf(std::string_view column) {
    const std::string_view heading = reports::columnHeading(column);
    return QString::fromUtf8(heading.data(), static_cast<qsizetype>(heading.size()));
}

// The headings of the cells of a result grid row, the row number's column without one.
QStringList gridHeadings() {
    QStringList headings{QString()};
    for (std::string_view column : {"student_id", "rec_id", "student_name", "sex"}) {
        headings << headingOf(column);
    }
    for (std::string_view subject : store::kScoreColumns) {
        headings << headingOf(subject);
    }
    headings << QStringLiteral("总分");
    for (std::string_view column : {"oral_school", "addr", "class_id"}) {
        headings << headingOf(column);
    }
    return headings;
}

}  // namespace

DivisionResultWindow::DivisionResultWindow(Workspace& workspace, QWidget* parent)
    : QWidget(parent),
      workspace_(workspace),
      job_(new DivisionJob(this)),
      resultGrid_(new ResultGrid(workspace, 1, kGridColumns, this)),
      classView_(new ResultClassView(workspace, *resultGrid_, this)),
      searchBar_(new StudentSearchBar(workspace, *resultGrid_, this)),
      divideButton_(new QPushButton(QStringLiteral("分班"), this)),
      optimiseButton_(new QPushButton(QStringLiteral("深度优化"), this)),
      exportButton_(new QPushButton(QStringLiteral("导出到Excel"), this)),
      cancelButton_(new QPushButton(QStringLiteral("取消"), this)),
      progressBar_(new QProgressBar(this)),
      stageLabel_(new QLabel(this)) {
    setObjectName(QStringLiteral("TfrmResult"));
    setWindowTitle(QStringLiteral("分班结果"));

    resultGrid_->setObjectName(QStringLiteral("sgClassShow"));
    resultGrid_->setHorizontalHeaderLabels(gridHeadings());
    resultGrid_->verticalHeader()->hide();
    resultGrid_->horizontalHeader()->setMinimumSectionSize(20);
    resultGrid_->horizontalHeader()->setDefaultSectionSize(64);
    resultGrid_->setColumnWidth(0, 25);
    keepRowNumbersVisible(*resultGrid_);
    resultGrid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    resultGrid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    resultGrid_->verticalHeader()->setDefaultSectionSize(resultGrid_->fontMetrics().height() + 6);

    // The export of this window never did anything; the export is a command of the main window.
    exportButton_->setObjectName(QStringLiteral("Button2"));
    exportButton_->hide();
    divideButton_->setObjectName(QStringLiteral("Button1"));
    optimiseButton_->setObjectName(QStringLiteral("bnDeepOpt"));
    stageLabel_->setObjectName(QStringLiteral("lbStage"));
    cancelButton_->setObjectName(QStringLiteral("bnCancel"));
    progressBar_->setObjectName(QStringLiteral("pbRun"));
    optimiseButton_->setToolTip(QStringLiteral(
        "在不违反分班规则的前提下交换学生，使现在的各班更均衡（强度见“4.分班设置”）"));
    cancelButton_->setEnabled(false);
    progressBar_->setRange(0, 1);
    progressBar_->setValue(0);
    progressBar_->setTextVisible(false);
    progressBar_->setMaximumWidth(220);
    // A long phase text is cut rather than widening the window beyond a small screen.
    stageLabel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(divideButton_);
    buttons->addWidget(optimiseButton_);
    buttons->addWidget(exportButton_);
    buttons->addWidget(cancelButton_);
    buttons->addWidget(progressBar_);
    buttons->addWidget(stageLabel_, 1);
    // Above the grid the search and the class lists on paper; beside it the classes.
    const ClassListButtons printing =
        makeClassListButtons(*this, workspace_, [this] { return workspace_.currentProject(); });
    auto* tools = new QHBoxLayout;
    tools->addWidget(searchBar_, 1);
    tools->addWidget(printing.print);
    tools->addWidget(printing.pdf);
    searchBar_->addShortcutsTo(*this);
    connect(searchBar_, &StudentSearchBar::rowFound, classView_, &ResultClassView::revealRow);
    auto* gridAndClasses = new QSplitter(this);
    gridAndClasses->addWidget(classView_);
    gridAndClasses->addWidget(resultGrid_);
    gridAndClasses->setStretchFactor(1, 1);
    gridAndClasses->setSizes({classView_->sizeHint().width(), 800});
    gridAndClasses->setChildrenCollapsible(false);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(tools);
    layout->addWidget(gridAndClasses, 1);
    layout->addLayout(buttons);
    resize(897, 553);

    connect(divideButton_, &QPushButton::clicked, this, &DivisionResultWindow::startDivision);
    connect(optimiseButton_, &QPushButton::clicked, this, &DivisionResultWindow::startOptimisation);
    connect(cancelButton_, &QPushButton::clicked, this, &DivisionResultWindow::cancelRun);
    connect(job_, &DivisionJob::consoleLines, this,
            [this](const QStringList& lines) { workspace_.console().appendLines(lines); });
    connect(job_, &DivisionJob::progressed, this, &DivisionResultWindow::showProgress);
    connect(job_, &DivisionJob::finished, this, &DivisionResultWindow::runEnded);
    connect(&workspace_.classChanges(), &ClassChanges::changed, this,
            &DivisionResultWindow::followClassChange);
    showPresentClasses();
}

// The job's destructor cancels a run that is still under way and waits for its end.
DivisionResultWindow::~DivisionResultWindow() {
    if (job_->isRunning()) {
        workspace_.classChanges().setDivisionRunning(false);
    }
}

bool DivisionResultWindow::isRunning() const {
    return job_->isRunning();
}

void DivisionResultWindow::startDivision() {
    startRun(std::nullopt);
}

void DivisionResultWindow::redivide(const std::vector<int>& classes) {
    startRun(classes);
}

bool DivisionResultWindow::startRun(std::optional<std::vector<int>> classes) {
    if (!mayStart() || !mayReplaceClasses(classes)) {
        return false;
    }
    redividedClasses_ = classes.value_or(std::vector<int>{});
    const QString name = classes ? QStringLiteral("重新分班") : QStringLiteral("分班");
    launch({workspace_.databasePath(), workspace_.currentProject(), std::move(classes)}, name);
    return true;
}

void DivisionResultWindow::startOptimisation() {
    if (!mayStart() || !mayOptimise()) {
        return;
    }
    DivisionRequest request{workspace_.databasePath(), workspace_.currentProject(), std::nullopt};
    request.optimise = true;
    redividedClasses_.clear();
    launch(std::move(request), QStringLiteral("深度优化"));
}

bool DivisionResultWindow::mayStart() {
    if (job_->isRunning()) {
        inform(this, QStringLiteral("正在%1，请等待本次%1结束").arg(runName_));
        return false;
    }
    if (!workspace_.hasProject()) {
        informNoProject(this);
        return false;
    }
    return true;
}

void DivisionResultWindow::launch(DivisionRequest request, const QString& runName) {
    MessageConsole& console = workspace_.console();
    console.show();
    console.raise();
    job_->start(std::move(request));
    runName_ = runName;
    setRunning(true);
}

// Asks before a run replaces classes the teacher already has: every re-division, and a division
// of a project whose students already sit in classes from an earlier run. A re-division of no
// classes is not asked about: the run refuses it with its own message.
bool DivisionResultWindow::mayReplaceClasses(const std::optional<std::vector<int>>& classes) {
    if (classes && classes->empty()) {
        return true;
    }
    if (classes) {
        QStringList names;
        for (int classId : *classes) {
            names << QStringLiteral("%1班").arg(classId);
        }
        return confirm(this, QStringLiteral("重新分班将改变 %1 的学生，是否继续？")
                                 .arg(names.join(QStringLiteral("、"))));
    }
    const auto placed = placedByEarlierRun();
    if (!placed) {
        return false;
    }
    if (*placed == 0) {
        return true;
    }
    int inClasses = 0;
    if (!runGuarded(this, [&] {
            inClasses =
                engine::studentsInClasses(workspace_.connection(), workspace_.currentProject());
        })) {
        return false;
    }
    return confirm(this, QStringLiteral("这个项目已经分过班，有 %1 名学生在班里。重新分班将替换现在"
                                        "的分班结果（预先固定班级的学生不变），是否继续？")
                             .arg(inClasses));
}

// The students an earlier division placed in the current project; nothing when reading them
// failed (the error has been shown).
std::optional<int> DivisionResultWindow::placedByEarlierRun() {
    std::optional<int> placed;
    runGuarded(this, [&] {
        placed = engine::studentsPlacedByEarlierRun(workspace_.connection(),
                                                    workspace_.currentProject());
    });
    return placed;
}

// 深度优化 works on classes a division made, and asks first, as a second division does: it moves
// many students. A project without such classes is told so before anything starts.
bool DivisionResultWindow::mayOptimise() {
    const auto placed = placedByEarlierRun();
    if (!placed) {
        return false;
    }
    if (*placed == 0) {
        inform(this, QStringLiteral("这个项目还没有分班，请先按“分班”，再做深度优化"));
        return false;
    }
    return confirm(this,
                   QStringLiteral("深度优化将使各班人数相等，并在各班之间交换学生，使各班平均分"
                                  "和分数段人数更接近（预先固定班级的学生不动，男女和各分类"
                                  "人数的差距不会变大），是否继续？"));
}

void DivisionResultWindow::cancelRun() {
    if (job_->isRunning()) {
        job_->requestCancel();
        cancelButton_->setEnabled(false);
        stageLabel_->setText(QStringLiteral("正在取消..."));
    }
}

void DivisionResultWindow::showProgress(double share, const QString& phase) {
    stageLabel_->setText(phase);
    progressBar_->setRange(0, kProgressSteps);
    progressBar_->setValue(static_cast<int>(share * kProgressSteps));
    progressBar_->setTextVisible(true);
}

void DivisionResultWindow::runEnded(const DivisionOutcome& outcome) {
    setRunning(false);
    switch (outcome.status) {
        case DivisionOutcome::Status::Succeeded:
            showGrid(outcome.rows);
            showProgress(1.0, runName_ + QStringLiteral("完成") + redividedNote());
            workspace_.classChanges().announce(
                {.fbTable = workspace_.currentProject().fbTable, .shownBy = this});
            break;
        case DivisionOutcome::Status::Cancelled:
            workspace_.console().appendLine(outcome.message);
            stageLabel_->setText(outcome.message);
            break;
        case DivisionOutcome::Status::Failed:
            stageLabel_->setText(runName_ + QStringLiteral("出错"));
            showError(this, outcome.message);
            break;
    }
    emit runFinished(outcome.status == DivisionOutcome::Status::Succeeded);
}

// A project divided before, in an earlier session of the program too, shows its classes at once:
// an empty grid would read as a division lost.
void DivisionResultWindow::showPresentClasses() {
    if (!workspace_.hasProject()) {
        return;
    }
    runGuarded(this, [&] {
        const store::CurrentProject& project = workspace_.currentProject();
        if (engine::studentsInClasses(workspace_.connection(), project) > 0) {
            showGrid(reports::resultGridRows(workspace_.connection(), project.fbTable));
        }
    });
}

// After a re-division, which classes the grid marks: "（已标出 2班、4班）".
QString DivisionResultWindow::redividedNote() const {
    QStringList names;
    for (int classId : redividedClasses_) {
        names << QString::fromStdString(store::classTitle(classId));
    }
    return names.isEmpty() ? QString()
                           : QStringLiteral("（已标出 %1）").arg(names.join(QStringLiteral("、")));
}

// Lists the rows by class, the students of the classes a re-division changed marked. No rows
// leave the grid as it was.
void DivisionResultWindow::showGrid(const std::vector<reports::ResultGridRow>& rows) {
    if (rows.empty()) {
        return;
    }
    QStringList marked;
    for (int classId : redividedClasses_) {
        marked << QString::fromStdString(store::classTitle(classId));
    }
    constexpr std::size_t kClassColumn = std::tuple_size_v<reports::ResultGridRow> - 1;
    const QColor markColour(255, 240, 170);
    int firstMarked = -1;
    resultGrid_->setUpdatesEnabled(false);
    resultGrid_->clearContents();
    resultGrid_->setRowCount(static_cast<int>(rows.size()));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const bool mark = marked.contains(QString::fromStdString(rows[r][kClassColumn]));
        if (mark && firstMarked < 0) {
            firstMarked = static_cast<int>(r);
        }
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            auto* item = new QTableWidgetItem(QString::fromStdString(rows[r][c]));
            if (c == 0) {
                item->setBackground(palette().color(QPalette::Button));
            } else if (mark) {
                item->setBackground(markColour);
                item->setToolTip(QStringLiteral("重新分班的班级"));
            }
            resultGrid_->setItem(static_cast<int>(r), static_cast<int>(c), item);
        }
    }
    resultGrid_->setUpdatesEnabled(true);
    classView_->followGrid();
    if (firstMarked >= 0) {
        resultGrid_->scrollToItem(resultGrid_->item(firstMarked, 1),
                                  QAbstractItemView::PositionAtTop);
    }
}

// Students moved by hand, or a step undone: a grid that shows a result shows the classes now;
// what a re-division changed is marked no longer.
void DivisionResultWindow::followClassChange(const ClassChange& change) {
    const bool showsResult = resultGrid_->item(0, 1) != nullptr;
    if (change.shownBy == this || !showsResult ||
        change.fbTable != workspace_.currentProject().fbTable) {
        return;
    }
    redividedClasses_.clear();
    runGuarded(this,
               [&] { showGrid(reports::resultGridRows(workspace_.connection(), change.fbTable)); });
}

void DivisionResultWindow::setRunning(bool running) {
    workspace_.classChanges().setDivisionRunning(running);
    divideButton_->setEnabled(!running);
    optimiseButton_->setEnabled(!running);
    cancelButton_->setEnabled(running);
    if (running) {
        progressBar_->setRange(0, 0);  // busy until the first report
        progressBar_->setTextVisible(false);
        stageLabel_->setText(QStringLiteral("正在%1...").arg(runName_));
    } else {
        progressBar_->setRange(0, 1);
        progressBar_->setValue(0);
        progressBar_->setTextVisible(false);
    }
}

void DivisionResultWindow::closeEvent(QCloseEvent* event) {
    if (job_->isRunning()) {
        inform(this, QStringLiteral("正在%1，请等待%1结束或先按“取消”").arg(runName_));
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

}  // namespace qm::gui
