#pragma once

#include <QObject>
#include <QStringList>
#include <atomic>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "engine/DivisionRun.h"
#include "store/ProjectStore.h"

namespace qm::gui {

// What a division run is asked to do.
struct DivisionRequest {
    std::string databasePath;
    store::CurrentProject project;
    // The classes of a re-division, in the order given; nothing for a full division.
    std::optional<std::vector<int>> classes;
};

// How a division run ended, with the result grid's rows when it succeeded.
struct DivisionOutcome {
    enum class Status { Succeeded, Cancelled, Failed };
    Status status = Status::Failed;
    QString message;
    std::vector<engine::ResultGridRow> rows;
};

// Runs one division at a time on a thread of its own, with its own connection to the database
// file, so the windows stay responsive. Its console lines, progress and end arrive as signals on
// the thread that owns the job.
class DivisionJob : public QObject {
    Q_OBJECT

  public:
    explicit DivisionJob(QObject* parent = nullptr);
    // A run still under way is cancelled (its transaction is rolled back) and waited for.
    ~DivisionJob() override;

    // Starts a run; false while another is under way.
    bool start(DivisionRequest request);
    bool isRunning() const { return running_; }
    // Asks the run to stop; it ends with Status::Cancelled and changes nothing.
    void requestCancel() { cancelRequested_ = true; }

  signals:
    void consoleLines(const QStringList& lines);
    // The stage and sex being placed, and the fine-tuning pass (0 of 0 while placing).
    void progressed(const QString& stage, int tuningPass, int tuningPasses);
    void finished(const qm::gui::DivisionOutcome& outcome);

  private:
    class Observer;

    void run(const DivisionRequest& request);
    void postLine(const std::string& line);
    void flushLines();
    void finish(const DivisionOutcome& outcome);

    std::thread thread_;
    bool running_ = false;
    std::atomic<bool> cancelRequested_ = false;
    std::mutex linesMutex_;
    QStringList pendingLines_;
    bool flushPosted_ = false;
};

}  // namespace qm::gui
