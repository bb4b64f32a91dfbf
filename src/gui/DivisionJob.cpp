#include "gui/DivisionJob.h"

#include <QMetaObject>

#include "db/Connection.h"

namespace qm::gui {

// The bridge from the engine's callbacks, on the run's thread, to the job's signals.
class DivisionJob::Observer : public engine::DivisionObserver {
  public:
    explicit Observer(DivisionJob& job) : job_(job) {}

    void consoleLine(const std::string& line) override { job_.postLine(line); }

    void progress(const engine::DivisionProgress& progress) override {
        // Only changes travel: fine tuning reports far more often than a bar can show.
        if (progress.stage == last_.stage && progress.sex == last_.sex &&
            progress.tuningPass == last_.tuningPass &&
            progress.tuningPasses == last_.tuningPasses) {
            return;
        }
        last_ = progress;
        QString stage = QString::fromStdString(progress.stage);
        if (stage.isEmpty()) {
            stage = QStringLiteral("全体");
        }
        stage += QStringLiteral(" %1").arg(QString::fromStdString(progress.sex));
        QMetaObject::invokeMethod(
            &job_,
            [job = &job_, stage, pass = progress.tuningPass, passes = progress.tuningPasses] {
                emit job->progressed(stage, pass, passes);
            },
            Qt::QueuedConnection);
    }

    bool cancelRequested() override { return job_.cancelRequested_; }

  private:
    DivisionJob& job_;
    engine::DivisionProgress last_;
};

DivisionJob::DivisionJob(QObject* parent) : QObject(parent) {}

DivisionJob::~DivisionJob() {
    if (thread_.joinable()) {
        cancelRequested_ = true;
        thread_.join();
    }
}

bool DivisionJob::start(DivisionRequest request) {
    if (running_) {
        return false;
    }
    if (thread_.joinable()) {
        thread_.join();
    }
    running_ = true;
    cancelRequested_ = false;
    thread_ = std::thread([this, request = std::move(request)] { run(request); });
    return true;
}

void DivisionJob::run(const DivisionRequest& request) {
    DivisionOutcome outcome;
    try {
        db::Connection connection(request.databasePath);
        Observer observer(*this);
        if (request.classes) {
            engine::redivide(connection, request.project, *request.classes, observer);
            outcome.rows = engine::resultGridRows(connection, request.project.rbTable);
        } else {
            engine::divide(connection, request.project, observer);
            outcome.rows = engine::resultGridRows(connection, request.project.fbTable);
        }
        outcome.status = DivisionOutcome::Status::Succeeded;
    } catch (const engine::DivisionCancelled& cancelled) {
        outcome.status = DivisionOutcome::Status::Cancelled;
        outcome.message = QString::fromUtf8(cancelled.what());
    } catch (const std::exception& error) {
        outcome.status = DivisionOutcome::Status::Failed;
        outcome.message = QString::fromUtf8(error.what());
    }
    QMetaObject::invokeMethod(
        this, [this, outcome = std::move(outcome)] { finish(outcome); }, Qt::QueuedConnection);
}

void DivisionJob::postLine(const std::string& line) {
    std::lock_guard lock(linesMutex_);
    pendingLines_.append(QString::fromStdString(line));
    if (!flushPosted_) {
        flushPosted_ = true;
        QMetaObject::invokeMethod(this, &DivisionJob::flushLines, Qt::QueuedConnection);
    }
}

void DivisionJob::flushLines() {
    QStringList lines;
    {
        std::lock_guard lock(linesMutex_);
        lines.swap(pendingLines_);
        flushPosted_ = false;
    }
    if (!lines.isEmpty()) {
        emit consoleLines(lines);
    }
}

void DivisionJob::finish(const DivisionOutcome& outcome) {
    // Every line was posted before the end, so it is flushed before the end is told.
    flushLines();
    if (thread_.joinable()) {
        thread_.join();
    }
    running_ = false;
    emit finished(outcome);
}

}  // namespace qm::gui
