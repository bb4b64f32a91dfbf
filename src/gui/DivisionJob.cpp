#include "gui/DivisionJob.h"

#include <QMetaObject>
#include <memory>

namespace qm::gui {

// The bridge from the engine's callbacks, on the run's thread, to the job's signals.
class DivisionJob::Observer : public engine::DivisionObserver {
  public:
    Observer(DivisionJob& job, BackgroundJob& run) : job_(job), run_(run) {}

    void consoleLine(const std::string& line) override { job_.postLine(line); }
    void remarkLine(const std::string& line) override { job_.postLine(line); }

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

    bool cancelRequested() override { return run_.cancelRequested(); }

  private:
    DivisionJob& job_;
    BackgroundJob& run_;
    engine::DivisionProgress last_;
};

DivisionJob::DivisionJob(QObject* parent) : QObject(parent) {}

DivisionJob::~DivisionJob() = default;

bool DivisionJob::start(DivisionRequest request) {
    auto outcome = std::make_shared<DivisionOutcome>();
    return job_.start(
        request.databasePath,
        [this, request, outcome](db::Connection& connection, BackgroundJob& run) {
            Observer observer(*this, run);
            try {
                if (request.classes) {
                    engine::redivide(connection, request.project, *request.classes, observer);
                    outcome->rows = engine::resultGridRows(connection, request.project.rbTable);
                } else {
                    engine::divide(connection, request.project, observer);
                    outcome->rows = engine::resultGridRows(connection, request.project.fbTable);
                }
                outcome->status = DivisionOutcome::Status::Succeeded;
            } catch (const engine::DivisionCancelled& cancelled) {
                outcome->status = DivisionOutcome::Status::Cancelled;
                outcome->message = QString::fromUtf8(cancelled.what());
            }
        },
        [this, outcome](const QString& error) {
            if (!error.isEmpty()) {
                outcome->status = DivisionOutcome::Status::Failed;
                outcome->message = error;
            }
            // Every line was posted before the end, so it is flushed before the end is told.
            flushLines();
            emit finished(*outcome);
        });
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

}  // namespace qm::gui
