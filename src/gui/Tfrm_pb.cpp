#include "gui/Tfrm_pb.h"

#include <QCloseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

#include "gui/BackgroundJob.h"
#include "gui/Workspace.h"

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

Tfrm_pb::Tfrm_pb(Workspace& workspace, store::CurrentProject project, intake::PreviewGrid grid,
                 QWidget* parent)
    : QDialog(parent),
      workspace_(workspace),
      project_(std::move(project)),
      grid_(std::move(grid)),
      pb_(new QProgressBar(this)),
      bntCancel_(new QPushButton(QStringLiteral("取消"), this)),
      job_(new BackgroundJob(this)) {
    setObjectName(QStringLiteral("Tfrm_pb"));
    setWindowTitle(QStringLiteral("正在导入……"));
    setModal(true);
    pb_->setObjectName(QStringLiteral("pb"));
    pb_->setRange(0, std::max(1, grid_.studentCount()));
    pb_->setValue(0);
    pb_->setMinimumWidth(360);
    bntCancel_->setObjectName(QStringLiteral("bntCancel"));
    bntCancel_->setAutoDefault(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pb_);
    layout->addWidget(bntCancel_, 0, Qt::AlignHCenter);
    setFixedSize(sizeHint());

    tmFB_.setObjectName(QStringLiteral("tmFB"));
    tmFB_.setSingleShot(true);
    tmFB_.setInterval(kStartDelayMs);
    connect(&tmFB_, &QTimer::timeout, this, &Tfrm_pb::saveToDb);
    connect(bntCancel_, &QPushButton::clicked, this, [this] { cancelMark_ = true; });
    connect(job_, &BackgroundJob::progressed, this, [this](int done, int total) {
        pb_->setMaximum(std::max(1, total));
        pb_->setValue(done);
    });
}

// The save reads the cancel mark, so it ends before the mark goes.
Tfrm_pb::~Tfrm_pb() {
    cancelMark_ = true;
    delete job_;
}

bool Tfrm_pb::isSaving() const {
    return job_->isRunning();
}

void Tfrm_pb::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!ended_ && !job_->isRunning() && !tmFB_.isActive()) {
        cancelMark_ = false;
        tmFB_.start();
    }
}

// While the save has not ended, closing is a cancel: the save stops after its row in progress
// and the window closes itself when it has.
void Tfrm_pb::reject() {
    if (ended_) {
        QDialog::reject();
        return;
    }
    cancelMark_ = true;
}

void Tfrm_pb::closeEvent(QCloseEvent* event) {
    if (!ended_) {
        cancelMark_ = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void Tfrm_pb::saveToDb() {
    auto ended = std::make_shared<intake::SaveOutcome>();
    job_->start(
        workspace_.databasePath(),
        [project = project_, grid = grid_, ended, mark = &cancelMark_](db::Connection& connection,
                                                                       BackgroundJob& job) {
            SaveProgress progress(job, *mark);
            *ended = intake::saveImportedRows(connection, project, grid, &progress);
        },
        [this, ended](const QString& error) {
            if (error.isEmpty()) {
                outcome_ = *ended;
            }
            saveEnded(error);
        });
}

// The window closes first, so that what the caller then tells is not shown over it.
void Tfrm_pb::saveEnded(const QString& error) {
    ended_ = true;
    error_ = error;
    accept();
}

std::optional<UserMessage> Tfrm_pb::endMessage() const {
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
