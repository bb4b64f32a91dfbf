#pragma once

#include <QObject>
#include <QStringList>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "engine/DivisionRun.h"
#include "gui/shared/BackgroundJob.h"
#include "reports/ResultGrid.h"
#include "store/ProjectStore.h"

namespace qm::gui {

// What a division run is asked to do.
struct DivisionRequest {
    std::string databasePath;
    store::CurrentProject project;
    // The classes of a re-division, in the order given; nothing for a full division.
    std::optional<std::vector<int>> classes;
    // 深度优化 of the present classes instead of a division.
    bool optimise = false;
};

// How a division run ended, with the result grid's rows when it succeeded.
struct DivisionOutcome {
    enum class Status { Succeeded, Cancelled, Failed };
    Status status = Status::Failed;
    QString message;
    std::vector<reports::ResultGridRow> rows;
};

// Runs one division (or re-division, or 深度优化) at a time as a background job, on a thread of its
// own with its own connection to the database file, so the windows stay responsive. Its console
// lines, progress and end arrive as signals on the thread that owns the job.
class DivisionJob : public QObject {
    Q_OBJECT

  public:
    explicit DivisionJob(QObject* parent = nullptr);
    // A run still under way is cancelled (its transaction is rolled back) and waited for.
    ~DivisionJob() override;

    // Starts a run; false while another is under way.
    bool start(DivisionRequest request);
    bool isRunning() const { return job_.isRunning(); }
    // Asks the run to stop; it ends with Status::Cancelled and changes nothing.
    void requestCancel() { job_.requestCancel(); }

  signals:
    void consoleLines(const QStringList& lines);
    // The share of the whole run done (0 to 1, categories and sexes weighted by their students,
    // 深度优化 after a division the larger part) and the phase in words.
    void progressed(double share, const QString& phase);
    void finished(const qm::gui::DivisionOutcome& outcome);

  private:
    class Observer;
    enum class Work;

    void redivide(db::Connection& connection, const store::CurrentProject& project,
                  const std::vector<int>& classes, BackgroundJob& run);
    void postLine(const std::string& line);
    void flushLines();

    std::mutex linesMutex_;
    QStringList pendingLines_;
    bool flushPosted_ = false;
    // Last, so that it is the first to go: its end waits for the run, which still posts lines.
    BackgroundJob job_;
};

}  // namespace qm::gui
