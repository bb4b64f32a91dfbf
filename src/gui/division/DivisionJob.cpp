#include "gui/division/DivisionJob.h"

#include <QMetaObject>
#include <algorithm>
#include <memory>

#include "engine/RunStages.h"
#include "engine/optimisation/DeepOptimisation.h"
#include "engine/optimisation/DeepOptimiser.h"
#include "engine/optimisation/SearchControl.h"
#include "reports/RedivisionComparison.h"

namespace qm::gui {

namespace {

// The share of the bar a division takes when 深度优化 follows it: the search takes far longer
// than placing the students and fine-tuning them.
constexpr double kDivisionShareBeforeOptimisation = 0.2;

// Where the run stands, in words: "第 2/4 步 分类“艺术” 男生：微调 3/51".
QString phaseText(std::size_t steps, const std::vector<engine::RunStage>& stages, std::size_t index,
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
        .arg(std::max<std::size_t>(steps, 1))
        .arg(students, QString::fromStdString(progress.sex), work);
}

// The search of 深度优化 under way, in words: "深度优化 第 1/3 阶段：大范围试探交换 37%".
QString searchPhaseText(int hundredths) {
    static const char* const kPhaseNames[] = {"大范围试探交换", "逐个交换改进", "两班之间成对交换"};
    const int phase = static_cast<int>(engine::searchPhaseAt(hundredths));
    return QStringLiteral("深度优化 第 %1/%2 阶段：%3 %4%")
        .arg(phase + 1)
        .arg(std::size(kPhaseNames))
        .arg(QString::fromUtf8(kPhaseNames[phase]))
        .arg(hundredths);
}

}  // namespace

// What a run does, as its progress tells it.
enum class DivisionJob::Work {
    Division,
    DivisionThenOptimisation,  // a division whose settings ask for 深度优化 at its end
    Redivision,
    Optimisation,
};

// The bridge from the engine's callbacks, on the run's thread, to the job's signals.
class DivisionJob::Observer : public engine::DivisionObserver {
  public:
    // stages: those of the division or re-division; none for 深度优化 alone.
    Observer(DivisionJob& job, BackgroundJob& run, std::vector<engine::RunStage> stages, Work work)
        : job_(job), run_(run), stages_(std::move(stages)), work_(work) {}

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
        // 深度优化 reports no sex; a category of that name reports the sex it places.
        const bool searching = progress.stage == engine::kOptimisationStage && progress.sex.empty();
        const double share = searching ? searchShare(progress) : divisionShare(progress);
        const QString phase = searching ? searchText(progress) : divisionText(progress);
        QMetaObject::invokeMethod(
            &job_, [job = &job_, share, phase] { emit job->progressed(share, phase); },
            Qt::QueuedConnection);
    }

    bool cancelRequested() override { return run_.cancelRequested(); }

  private:
    // The part of the bar the division's stages take; 深度优化 takes the rest.
    double divisionPart() const {
        switch (work_) {
            case Work::DivisionThenOptimisation:
                return kDivisionShareBeforeOptimisation;
            case Work::Optimisation:
                return 0;
            default:
                return 1;
        }
    }

    std::size_t steps() const {
        return stages_.size() + (work_ == Work::DivisionThenOptimisation ? 1 : 0);
    }

    double divisionShare(const engine::DivisionProgress& progress) {
        stage_ = engine::stageOf(stages_, stage_, progress);
        return divisionPart() * engine::shareDone(stages_, stage_, progress);
    }

    QString divisionText(const engine::DivisionProgress& progress) const {
        return phaseText(steps(), stages_, stage_, progress, work_ == Work::Redivision);
    }

    double searchShare(const engine::DivisionProgress& progress) const {
        const double searched = progress.tuningPasses > 0
                                    ? static_cast<double>(progress.tuningPass) /
                                          static_cast<double>(progress.tuningPasses)
                                    : 0.0;
        return divisionPart() + (1 - divisionPart()) * searched;
    }

    QString searchText(const engine::DivisionProgress& progress) const {
        const QString search = searchPhaseText(progress.tuningPass);
        return stages_.empty() ? search : QStringLiteral("第 %1/%1 步 %2").arg(steps()).arg(search);
    }

    DivisionJob& job_;
    BackgroundJob& run_;
    std::vector<engine::RunStage> stages_;
    Work work_;
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
            const store::CurrentProject& project = request.project;
            try {
                if (request.optimise) {
                    Observer observer(*this, run, {}, Work::Optimisation);
                    engine::optimiseClasses(connection, project, observer);
                    outcome->rows = reports::resultGridRows(connection, project.fbTable);
                } else if (request.classes) {
                    redivide(connection, project, *request.classes, run);
                    outcome->rows = reports::resultGridRows(connection, project.fbTable);
                } else {
                    Observer observer(*this, run, engine::divisionStages(connection, project),
                                      engine::optimisesAfterDivision(connection, project)
                                          ? Work::DivisionThenOptimisation
                                          : Work::Division);
                    engine::divide(connection, project, observer);
                    outcome->rows = reports::resultGridRows(connection, project.fbTable);
                }
                outcome->status = DivisionOutcome::Status::Succeeded;
            } catch (const engine::DivisionCancelled& cancelled) {
                outcome->status = DivisionOutcome::Status::Cancelled;
                outcome->message = QString::fromUtf8(cancelled.what());
            }
        },
        [this, outcome](const std::optional<JobFailure>& failure) {
            if (failure) {
                outcome->status = DivisionOutcome::Status::Failed;
                outcome->message = failure->message;
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
    Observer observer(*this, run, engine::redivisionStages(connection, project, classes),
                      Work::Redivision);
    for (const std::string& line :
         reports::redivideComparing(connection, project, classes, observer)) {
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
