#include "gui/intake/ImportProgressDialog.h"

#include <QCloseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

#include "gui/Workspace.h"
#include "gui/shared/BackgroundJob.h"

namespace qm::gui {

namespace {

constexpr int kStartDelayMs = 500;

// Tells the job how far the save is, and the save whether the user pressed 取消.
class SaveProgress : public intake::SaveObserver {
  public:
    SaveProgress(BackgroundJob& job, const std::atomic<bool>& cancelMark)
        : job_(job), cancelMark_(cancelMark) {}
    void progress(int rowsDone, int rowsTotal) override {
        job_.reportProgress(rowsDone, rowsTotal);
    }
    bool cancelRequested() override { return cancelMark_; }

  private:
    BackgroundJob& job_;
    const std::atomic<bool>& cancelMark_;
};

}  // namespace

ImportProgressDialog::ImportProgressDialog(Workspace& workspace, store::CurrentProject project,
                                           intake::PreviewGrid grid, QWidget* parent)
    : QDialog(parent),
      workspace_(workspace),
      project_(std::move(project)),
      grid_(std::move(grid)),
      progressBar_(new QProgressBar(this)),
      cancelButton_(new QPushButton(QStringLiteral("取消"), this)),
      job_(new BackgroundJob(this)) {
    setObjectName(QStringLiteral("Tfrm_pb"));
    setWindowTitle(QStringLiteral("正在导入……"));
    setModal(true);
    progressBar_->setObjectName(QStringLiteral("pb"));
    progressBar_->setRange(0, std::max(1, grid_.studentCount()));
    progressBar_->setValue(0);
    progressBar_->setMinimumWidth(360);
    cancelButton_->setObjectName(QStringLiteral("bntCancel"));
    cancelButton_->setAutoDefault(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(progressBar_);
    layout->addWidget(cancelButton_, 0, Qt::AlignHCenter);
    setFixedSize(sizeHint());

    startDelay_.setObjectName(QStringLiteral("tmFB"));
    startDelay_.setSingleShot(true);
    startDelay_.setInterval(kStartDelayMs);
    connect(&startDelay_, &QTimer::timeout, this, &ImportProgressDialog::saveToDb);
    connect(cancelButton_, &QPushButton::clicked, this, [this] { cancelMark_ = true; });
    connect(job_, &BackgroundJob::progressed, this, [this](int done, int total) {
        progressBar_->setMaximum(std::max(1, total));
        progressBar_->setValue(done);
    });
}

// The save reads the cancel mark, so it ends before the mark goes.
ImportProgressDialog::~ImportProgressDialog() {
    cancelMark_ = true;
    delete job_;
}

bool ImportProgressDialog::isSaving() const {
    return job_->isRunning();
}

void ImportProgressDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!ended_ && !job_->isRunning() && !startDelay_.isActive()) {
        cancelMark_ = false;
        startDelay_.start();
    }
}

// While the save has not ended, closing is a cancel: the save stops after its row in progress
// and the window closes itself when it has.
void ImportProgressDialog::reject() {
    if (ended_) {
        QDialog::reject();
        return;
    }
    cancelMark_ = true;
}

void ImportProgressDialog::closeEvent(QCloseEvent* event) {
    if (!ended_) {
        cancelMark_ = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void ImportProgressDialog::saveToDb() {
    auto ended = std::make_shared<intake::SaveOutcome>();
    job_->start(
        workspace_.databasePath(),
        [project = project_, grid = grid_, ended, mark = &cancelMark_](db::Connection& connection,
                                                                       BackgroundJob& job) {
            SaveProgress progress(job, *mark);
            *ended = intake::saveImportedRows(connection, project, grid, &progress);
        },
        [this, ended](const std::optional<JobFailure>& failure) {
            if (!failure) {
                outcome_ = *ended;
            }
            saveEnded(failure ? failure->message : QString());
        });
}

// The window closes first, so that what the caller then tells is not shown over it.
void ImportProgressDialog::saveEnded(const QString& error) {
    ended_ = true;
    error_ = error;
    accept();
}

std::optional<UserMessage> ImportProgressDialog::endMessage() const {
    if (!error_.isEmpty()) {
        return UserMessage{MessageKind::Error, QStringLiteral("错误"),
                           QStringLiteral("导入出错：%1").arg(error_)};
    }
    if (!outcome_ || outcome_->kind == intake::SaveOutcome::Kind::Cancelled) {
        return std::nullopt;
    }
    QString text = QString::fromStdString(outcome_->message);
    if (outcome_->kind == intake::SaveOutcome::Kind::Stored) {
        return UserMessage{MessageKind::Information, QStringLiteral("提示"), text};
    }
    if (!outcome_->reason.empty()) {
        text += QStringLiteral("\n\n原因：") + QString::fromStdString(outcome_->reason);
    }
    return UserMessage{MessageKind::Error, QStringLiteral("导入出错"),
                       text + QStringLiteral("\n\n原有的学生数据没有改变。")};
}

}  // namespace qm::gui
