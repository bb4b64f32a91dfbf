#include "gui/shared/BackgroundJob.h"

#include <QMetaObject>
#include <exception>

#include "common/UserError.h"
#include "db/Connection.h"

namespace qm::gui {

namespace {
constexpr int kProgressIntervalMs = 100;
}

BackgroundJob::BackgroundJob(QObject* parent) : QObject(parent) {
    progressTimer_.setInterval(kProgressIntervalMs);
    connect(&progressTimer_, &QTimer::timeout, this, &BackgroundJob::showProgress);
}

BackgroundJob::~BackgroundJob() {
    if (thread_.joinable()) {
        cancelRequested_ = true;
        thread_.join();
    }
}

bool BackgroundJob::start(std::string databasePath, Work work, Done done) {
    if (running_) {
        return false;
    }
    if (thread_.joinable()) {
        thread_.join();
    }
    running_ = true;
    cancelRequested_ = false;
    done_ = 0;
    total_ = 0;
    shownDone_ = -1;
    shownTotal_ = -1;
    whenDone_ = std::move(done);
    progressTimer_.start();
    thread_ = std::thread([this, path = std::move(databasePath), work = std::move(work)] {
        std::optional<JobFailure> failure;
        try {
            db::Connection connection(path);
            work(connection, *this);
        } catch (...) {
            failure = jobFailureOf(std::current_exception());
        }
        QMetaObject::invokeMethod(
            this, [this, failure] { finish(failure); }, Qt::QueuedConnection);
    });
    return true;
}

void BackgroundJob::reportProgress(int done, int total) {
    done_ = done;
    total_ = total;
}

void BackgroundJob::showProgress() {
    const int done = done_;
    const int total = total_;
    if (done != shownDone_ || total != shownTotal_) {
        shownDone_ = done;
        shownTotal_ = total;
        emit progressed(done, total);
    }
}

void BackgroundJob::finish(const std::optional<JobFailure>& failure) {
    if (thread_.joinable()) {
        thread_.join();
    }
    progressTimer_.stop();
    showProgress();
    running_ = false;
    // The handler may start new work on this job, so it is moved out first.
    Done done = std::move(whenDone_);
    whenDone_ = nullptr;
    if (done) {
        done(failure);
    }
}

}  // namespace qm::gui
