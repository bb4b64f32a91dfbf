#include "gui/DivisionJob.h"

#include <QMetaObject>
#include <algorithm>
#include <memory>

#include "engine/RunStages.h"
#include "reports/ChosenClassFigures.h"

namespace qm::gui {

namespace {

// Where the run stands, in words: "第 2/4 步 分类“艺术” 男生：微调 3/51".
QString phaseText(const std::vector<engine::RunStage>& stages, std::size_t index,
                  const engine::DivisionProgress& progress, bool redivision) {
    QString students;
    if (redivision) {
        students = QStringLiteral("重新分班");
    } else if (!progress.stage.empty()) {
        students = QStringLiteral("分类“%1”").arg(QString::fromStdString(progress.stage));
    } else {
        // Two stages are the two sexes of a division without categories.
        students = stages.size() > 2 ? QStringLiteral("其余学生") : QStringLiteral("全体学生");
    }
    const QString work =
        progress.tuningPasses > 0 && progress.tuningPass > 0
            ? QStringLiteral("微调 %1/%2").arg(progress.tuningPass).arg(progress.tuningPasses)
            : QStringLiteral("正在分配");
    return QStringLiteral("第 %1/%2 步 %3 %4生：%5")
        .arg(index + 1)
        .arg(std::max<std::size_t>(stages.size(), 1))
        .arg(students, QString::fromStdString(progress.sex), work);
}

}  // namespace

// The bridge from the engine's callbacks, on the run's thread, to the job's signals.
class DivisionJob::Observer : public engine::DivisionObserver {
  public:
    Observer(DivisionJob& job, BackgroundJob& run, std::vector<engine::RunStage> stages,
             bool redivision)
        : job_(job), run_(run), stages_(std::move(stages)), redivision_(redivision) {}

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
        stage_ = engine::stageOf(stages_, stage_, progress);
        const double share = engine::shareDone(stages_, stage_, progress);
        const QString phase = phaseText(stages_, stage_, progress, redivision_);
        QMetaObject::invokeMethod(
            &job_, [job = &job_, share, phase] { emit job->progressed(share, phase); },
            Qt::QueuedConnection);
    }

    bool cancelRequested() override { return run_.cancelRequested(); }

  private:
    DivisionJob& job_;
    BackgroundJob& run_;
    std::vector<engine::RunStage> stages_;
    bool redivision_;
    std::size_t stage_ = 0;
    engine::DivisionProgress last_;
};

DivisionJob::DivisionJob(QObject* parent) : QObject(parent) {}

DivisionJob::~DivisionJob() = default;

bool DivisionJob::start(DivisionRequest request) {
    auto outcome = std::make_shared<DivisionOutcome>();
    return job_.start(
        request.databasePath,
        [this, request, outcome](db::Connection& connection, BackgroundJob& run) {
            try {
                if (request.classes) {
                    redivide(connection, request.project, *request.classes, run);
                    outcome->rows = engine::resultGridRows(connection, request.project.rbTable);
                } else {
                    Observer observer(*this, run,
                                      engine::divisionStages(connection, request.project), false);
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

// A re-division ends with the total figures of the chosen classes before and after it, so that the
// teacher sees whether the classes came out more even.
void DivisionJob::redivide(db::Connection& connection, const store::CurrentProject& project,
                           const std::vector<int>& classes, BackgroundJob& run) {
    Observer observer(*this, run, engine::redivisionStages(connection, project, classes), true);
    const auto before = reports::chosenClassFigures(connection, project.fbTable, classes);
    engine::redivide(connection, project, classes, observer);
    const auto after = reports::chosenClassFigures(connection, project.fbTable, classes);
    for (const std::string& line : reports::comparisonLines(before, after)) {
        postLine(line);
    }
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
