#pragma once

#include <QWidget>
#include <optional>
#include <vector>

#include "gui/division/ResultGrid.h"
#include "reports/ResultGrid.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace qm::gui {

struct ClassChange;
class DivisionJob;
class ResultClassView;
class StudentSearchBar;
struct DivisionOutcome;
struct DivisionRequest;
class Workspace;

// The result window "分班结果": "分班" divides the current project's students into its classes
// on a thread of its own, "深度优化" evens out the classes they sit in, the message console shows
// the run's lines, and the grid resultGrid lists the project's students by class, all classes or
// one chosen beside it: the present classes as soon as the window opens, and after a re-division
// the whole project again with the students of the chosen classes marked. A search box finds a
// student in it, and the class lists print or go into a PDF. One run at a time: while a run is
// under way both buttons are disabled, a re-division is refused, and closing the window is refused
// until the run ends or is cancelled.
class DivisionResultWindow : public QWidget {
    Q_OBJECT

  public:
    explicit DivisionResultWindow(Workspace& workspace, QWidget* parent = nullptr);
    ~DivisionResultWindow() override;

    // "分班": a full division of the project that is current now.
    void startDivision();
    // Re-division of the chosen classes of the current project, as the class statistics window
    // asks for it.
    void redivide(const std::vector<int>& classes);
    // "深度优化": exchanges students between the present classes of the current project, in the
    // strength its settings name, keeping every rule of the division.
    void startOptimisation();
    bool isRunning() const;
    // "取消": the run stops soon and changes nothing.
    void cancelRun();

    QSize sizeHint() const override { return {897, 553}; }

  signals:
    // A run ended; the grid already shows its result when it succeeded.
    void runFinished(bool succeeded);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    bool startRun(std::optional<std::vector<int>> classes);
    // False, after telling the user, while a run is under way or no project is current.
    bool mayStart();
    bool mayReplaceClasses(const std::optional<std::vector<int>>& classes);
    bool mayOptimise();
    std::optional<int> placedByEarlierRun();
    // Starts the run; runName names it in the window's messages ("分班", "深度优化").
    void launch(DivisionRequest request, const QString& runName);
    void showProgress(double share, const QString& phase);
    void runEnded(const DivisionOutcome& outcome);
    void showPresentClasses();
    QString redividedNote() const;
    void showGrid(const std::vector<reports::ResultGridRow>& rows);
    void followClassChange(const ClassChange& change);
    void setRunning(bool running);

    Workspace& workspace_;
    DivisionJob* job_;
    ResultGrid* resultGrid_;
    // Beside the grid: the classes, one shown at a time; above it: the search box.
    ResultClassView* classView_;
    StudentSearchBar* searchBar_;
    QPushButton* divideButton_;
    QPushButton* optimiseButton_;
    QPushButton* exportButton_;
    QPushButton* cancelButton_;
    QProgressBar* progressBar_;
    // Beside the bar: where the run stands in words, or how it ended.
    QLabel* stageLabel_;
    // The classes of the re-division under way or the last one, marked in the grid until the
    // classes change again; empty after any other run.
    std::vector<int> redividedClasses_;
    // The run under way or the last one, as the messages name it.
    QString runName_ = QStringLiteral("分班");
};

}  // namespace qm::gui
