#include "gui/intake/ImportPreviewWindow.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>
#include <memory>

#include "common/Platform.h"
#include "common/ProgramFiles.h"
#include "gui/MainWindow.h"
#include "gui/MdiChildren.h"
#include "gui/Workspace.h"
#include "gui/intake/ImportProgressDialog.h"
#include "gui/shared/BackgroundJob.h"
#include "gui/shared/FileDialogs.h"
#include "gui/shared/UserMessages.h"
#include "gui/shared/WorkbookOpener.h"
#include "gui/widgets/RowNumberColumn.h"
#include "intake/PreviewReader.h"
#include "intake/PreviewWarning.h"
#include "store/ProjectStore.h"

namespace qm::gui {

namespace {

constexpr int kGridColumns = 18;
constexpr int kMemoColumn = 16;  // 备注: a class number fixing the student beforehand
const char* const kSampleFolder = "导入excel文件样例";
const char* const kSampleFile = "分班数据输入样例.xls";
// The caption of the link to the sample workbook, blanks at the end included.
const char* const kSampleLinkText =
    "点击这里打开分班数据样表(请另存一份后再录入数据)                                    ";

// The 备注 column is drawn in the cells' own background colour, so its values do not show.
class HiddenTextDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->palette.setColor(QPalette::Text, Qt::white);
        option->palette.setColor(QPalette::HighlightedText,
                                 option->palette.color(QPalette::Highlight));
    }
};

QString countText(int count) {
    return QStringLiteral("已导入的总记录数:%1条").arg(count);
}

// Tells the job how many rows are read, and the reader whether to stop.
class ReadProgress : public intake::ReadObserver {
  public:
    explicit ReadProgress(BackgroundJob& job) : job_(job) {}
    void progress(int rowsRead) override { job_.reportProgress(rowsRead, 0); }
    bool cancelRequested() override { return job_.cancelRequested(); }

  private:
    BackgroundJob& job_;
};

}  // namespace

ImportPreviewWindow::ImportPreviewWindow(Workspace& workspace, MainWindow* main, QWidget* parent)
    : QWidget(parent),
      workspace_(workspace),
      main_(main),
      job_(new BackgroundJob(this)),
      previewGrid_(new QTableWidget(0, kGridColumns, this)),
      openButton_(new QPushButton(QStringLiteral("打开"), this)),
      importButton_(new QPushButton(QStringLiteral("导入到库"), this)),
      readStateLabel_(new QLabel(this)),
      sampleLink_(new QLabel(this)) {
    setObjectName(QStringLiteral("Tfrm_excelToDb"));
    setWindowTitle(QStringLiteral("导入数据浏览"));

    previewGrid_->setObjectName(QStringLiteral("sgStudent"));
    QStringList headings{QString()};
    for (const auto& title : intake::kImportTitles) {
        headings << QString::fromStdString(title);
    }
    previewGrid_->setHorizontalHeaderLabels(headings);
    previewGrid_->verticalHeader()->hide();
    previewGrid_->verticalHeader()->setDefaultSectionSize(previewGrid_->fontMetrics().height() + 6);
    previewGrid_->horizontalHeader()->setSectionsMovable(true);
    previewGrid_->horizontalHeader()->setHighlightSections(false);
    previewGrid_->setColumnWidth(0, 30);
    keepRowNumbersVisible(*previewGrid_);
    previewGrid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    previewGrid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    previewGrid_->setWordWrap(false);
    previewGrid_->setItemDelegateForColumn(kMemoColumn, new HiddenTextDelegate(previewGrid_));

    openButton_->setObjectName(QStringLiteral("bnt_open"));
    importButton_->setObjectName(QStringLiteral("bnt_yes"));
    importButton_->setEnabled(false);
    readStateLabel_->setObjectName(QStringLiteral("lb_info"));
    sampleLink_->setObjectName(QStringLiteral("lb_sample"));
    // A plain label in navy with a hand cursor; a click on it opens the sample workbook.
    sampleLink_->setTextFormat(Qt::PlainText);
    sampleLink_->setText(QString::fromUtf8(kSampleLinkText));
    QPalette navy = sampleLink_->palette();
    navy.setColor(QPalette::WindowText, QColor(0, 0, 128));
    sampleLink_->setPalette(navy);
    sampleLink_->setCursor(Qt::PointingHandCursor);
    sampleLink_->installEventFilter(this);

    auto* top = new QHBoxLayout;
    top->addWidget(openButton_);
    top->addWidget(importButton_);
    top->addSpacing(12);
    top->addWidget(readStateLabel_);
    top->addStretch(1);
    top->addWidget(sampleLink_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(previewGrid_, 1);

    connect(openButton_, &QPushButton::clicked, this, &ImportPreviewWindow::openFile);
    connect(importButton_, &QPushButton::clicked, this, &ImportPreviewWindow::importShownRows);
    connect(job_, &BackgroundJob::progressed, this, [this](int rows, int) { showRowsRead(rows); });
}

bool ImportPreviewWindow::isReading() const {
    return job_->isRunning();
}

void ImportPreviewWindow::openFile() {
    if (!workspace_.hasProject()) {
        inform(this, QStringLiteral("请先选择或建立新的分班工程"));
        return;
    }
    if (isReading()) {
        return;
    }
    const QString path =
        chooseFileToOpen(this, QStringLiteral("打开"), lastFile_,
                         QStringLiteral("学生数据表格 (*.xls *.xlsx *.csv);;所有文件 (*)"));
    if (!path.isEmpty()) {
        readIntoGrid(path);
    }
}

void ImportPreviewWindow::readIntoGrid(const QString& path) {
    if (isReading()) {
        return;
    }
    lastFile_ = path;
    openButton_->setEnabled(false);
    importButton_->setEnabled(false);
    previewGrid_->setRowCount(0);
    readStateLabel_->setText(QStringLiteral("正在读取 %1 ……").arg(QFileInfo(path).fileName()));
    auto grid = std::make_shared<intake::PreviewGrid>();
    job_->start(
        workspace_.databasePath(),
        [file = QFile::encodeName(path).toStdString(), grid](db::Connection&, BackgroundJob& job) {
            ReadProgress progress(job);
            *grid = intake::readPreviewFile(file, &progress);
        },
        [this, grid](const std::optional<JobFailure>& failure) { readEnded(failure, *grid); });
}

// While the file is read the grid grows with the rows' numbers; the cells follow at the end.
void ImportPreviewWindow::showRowsRead(int rows) {
    if (!isReading() || rows <= previewGrid_->rowCount()) {
        return;
    }
    const int from = previewGrid_->rowCount();
    previewGrid_->setRowCount(rows);
    for (int r = from; r < rows; ++r) {
        previewGrid_->setItem(r, 0, new QTableWidgetItem(QString::number(r + 1)));
    }
    previewGrid_->scrollToBottom();
    readStateLabel_->setText(QStringLiteral("正在读取…… 已读 %1 行").arg(rows));
}

void ImportPreviewWindow::readEnded(const std::optional<JobFailure>& failure,
                                    const intake::PreviewGrid& grid) {
    openButton_->setEnabled(true);
    if (closeWhenRead_) {
        closeMdiChild(this);
        return;
    }
    if (failure) {
        previewGrid_->setRowCount(0);
        readStateLabel_->clear();
        showError(this, failure->message, QStringLiteral("读取文件出错"));
        emit previewShown(false);
        return;
    }
    showPreview(grid);
    importButton_->setEnabled(true);
    emit previewShown(true);
}

void ImportPreviewWindow::showPreview(const intake::PreviewGrid& grid) {
    previewGrid_->setUpdatesEnabled(false);
    previewGrid_->clearContents();
    previewGrid_->setRowCount(static_cast<int>(grid.rows.size()));
    const QBrush numberBackground = palette().button();
    for (std::size_t r = 0; r < grid.rows.size(); ++r) {
        for (std::size_t c = 0; c < grid.rows[r].size(); ++c) {
            auto* item = new QTableWidgetItem(QString::fromStdString(grid.rows[r][c]));
            if (c == 0) {
                item->setBackground(numberBackground);
            }
            previewGrid_->setItem(static_cast<int>(r), static_cast<int>(c), item);
        }
    }
    previewGrid_->setUpdatesEnabled(true);
    titles_ = grid.titles;
    stopRowFilled_ = grid.stopRowFilled;
    filledRowsBelow_ = grid.filledRowsBelow;
    showTrailingRow(grid);
    showCount(grid.studentCount());
}

// The row that ended the reading is no student and is never stored: a blank one is not shown at
// all, one with something in it (a name without 学号) is shown in grey with why it is left out.
void ImportPreviewWindow::showTrailingRow(const intake::PreviewGrid& grid) {
    if (grid.rows.empty()) {
        return;
    }
    const int trailing = static_cast<int>(grid.rows.size()) - 1;
    const bool blank = !grid.stopRowFilled;
    if (blank) {
        previewGrid_->setRowHidden(trailing, true);
    } else {
        for (int c = 1; c < kGridColumns; ++c) {
            QTableWidgetItem* item = previewGrid_->item(trailing, c);
            item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
            item->setToolTip(QStringLiteral("这一行没有学号，读到这里为止；这一行不导入"));
        }
    }
    const int last = blank ? trailing - 1 : trailing;
    if (last >= 0) {
        previewGrid_->selectRow(last);
    }
}

void ImportPreviewWindow::showCount(int count) {
    readStateLabel_->setText(countText(count) + QStringLiteral("   "));
    if (main_) {
        main_->setImportCountText(countText(count));
    }
}

intake::PreviewGrid ImportPreviewWindow::shownRows() const {
    intake::PreviewGrid grid;
    const QHeaderView* header = previewGrid_->horizontalHeader();
    for (int shown = 1; shown < kGridColumns; ++shown) {
        const int column = header->logicalIndex(shown);
        grid.titles[static_cast<std::size_t>(shown - 1)] =
            column >= 1 ? titles_[static_cast<std::size_t>(column - 1)] : std::string();
    }
    for (int r = 0; r < previewGrid_->rowCount(); ++r) {
        intake::PreviewGrid::Row row;
        for (int shown = 0; shown < kGridColumns; ++shown) {
            const QTableWidgetItem* item = previewGrid_->item(r, header->logicalIndex(shown));
            row[static_cast<std::size_t>(shown)] = item ? item->text().toStdString() : "";
        }
        grid.rows.push_back(std::move(row));
    }
    grid.stopRowFilled = stopRowFilled_;
    grid.filledRowsBelow = filledRowsBelow_;
    return grid;
}

void ImportPreviewWindow::importShownRows() {
    if (!workspace_.hasProject()) {
        inform(this, QStringLiteral("请先选择或建立新的分班工程"));
        return;
    }
    if (isReading()) {
        return;
    }
    intake::PreviewGrid rows = shownRows();
    const std::string warning = intake::previewWarning(rows);
    if (!warning.empty() &&
        !showMessage(this, {MessageKind::OkCancel, QStringLiteral("警告"),
                            QString::fromStdString(warning) +
                                QStringLiteral("\n\n这个文件可能不是学生名单。仍要导入吗？")})) {
        return;
    }
    // The teacher sees what the import replaces; a project without students loses nothing.
    int present = 0;
    if (!runGuarded(this, [&] {
            present = store::studentCount(workspace_.connection(), workspace_.currentProject());
        })) {
        return;
    }
    if (present > 0 &&
        !showMessage(this,
                     {MessageKind::OkCancel, QStringLiteral("提示"),
                      QStringLiteral("将清空之前的所有数据（本项目现有的 %1 名学生），确定么？")
                          .arg(present)})) {
        return;
    }
    ImportProgressDialog progress(workspace_, workspace_.currentProject(), std::move(rows), this);
    progress.exec();
    const auto& outcome = progress.outcome();
    if (!outcome || outcome->kind != intake::SaveOutcome::Kind::Cancelled) {
        importButton_->setEnabled(false);
    }
    if (const auto told = progress.endMessage()) {
        showMessage(this, *told);
    }
}

// Beside the program, in ../share/quillmere of an install, or in the sources' data folder when
// run from a build folder.
QString ImportPreviewWindow::sampleWorkbookPath() {
    const auto found = qm::findProgramFile(qm::sampleWorkbookFile());
    return found.empty() ? QString() : QString::fromStdString(qm::platform::pathToUtf8(found));
}

void ImportPreviewWindow::openSampleWorkbook() {
    const QString path = sampleWorkbookPath();
    if (path.isEmpty()) {
        inform(this, QStringLiteral("找不到分班数据样表“%1/%2”")
                         .arg(QString::fromUtf8(kSampleFolder), QString::fromUtf8(kSampleFile)));
        return;
    }
    if (!openWorkbook(path)) {
        inform(this, QStringLiteral("分班数据样表在：\n%1\n\n本机没有可以打开它的表格程序。")
                         .arg(QDir::toNativeSeparators(path)));
    }
}

bool ImportPreviewWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == sampleLink_ && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        openSampleWorkbook();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// Closing during a read stops it first; the window goes when the reader has stopped.
void ImportPreviewWindow::closeEvent(QCloseEvent* event) {
    if (isReading()) {
        closeWhenRead_ = true;
        job_->requestCancel();
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

}  // namespace qm::gui
