#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "gui/shared/JobFailure.h"

namespace qm::db {
class Connection;
}

namespace qm::gui {

// Runs one piece of long work (reading a big file, storing rows, computing statistics, writing a
// workbook) on a thread of its own with its own connection to the database file, so the windows
// keep painting and a cancel button is seen. The work reports progress and polls for a cancel
// through the job; its end is handed to the window's thread.
class BackgroundJob : public QObject {
    Q_OBJECT

  public:
    // The work, run on the job's thread. The connection is opened on that thread (another
    // connection to the same file; WAL lets the window's connection read meanwhile).
    using Work = std::function<void(db::Connection& connection, BackgroundJob& job)>;
    // Runs on the window's thread once the work has ended: nothing when it succeeded, otherwise
    // what the work raised, its kind kept.
    using Done = std::function<void(const std::optional<JobFailure>& failure)>;

    explicit BackgroundJob(QObject* parent = nullptr);
    // Work still under way is asked to stop and waited for; its Done is not called.
    ~BackgroundJob() override;

    // Starts the work on the database file at databasePath; false while other work runs.
    bool start(std::string databasePath, Work work, Done done);
    bool isRunning() const { return running_; }

    // From the window's thread: ask the work to stop at its next check.
    void requestCancel() { cancelRequested_ = true; }
    // From the work: whether the user asked to stop.
    bool cancelRequested() const { return cancelRequested_; }
    // From the work: how far it is. Shown by the progressed signal a few times a second.
    void reportProgress(int done, int total);

  signals:
    // On the window's thread, while the work runs and the figures changed.
    void progressed(int done, int total);

  private:
    void showProgress();
    void finish(const std::optional<JobFailure>& failure);

    std::thread thread_;
    bool running_ = false;
    std::atomic<bool> cancelRequested_ = false;
    std::atomic<int> done_ = 0;
    std::atomic<int> total_ = 0;
    int shownDone_ = -1;
    int shownTotal_ = -1;
    QTimer progressTimer_;
    Done whenDone_;
};

}  // namespace qm::gui
