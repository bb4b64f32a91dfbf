#pragma once

#include <QWidget>
#include <array>
#include <optional>
#include <vector>

#include "reports/BalanceReport.h"
#include "reports/ClassStatistics.h"
#include "store/ProjectStore.h"

class QLabel;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace qm::gui {

class BackgroundJob;
class BalancePage;
class ClassAverageChart;
struct ClassChange;
class MainWindow;
class Workspace;

// The class statistics window "班级信息" of the project current when it is made: per class the
// boys, girls, head count, averages and their deviations (red beyond one point), the score bands
// of each subject and the head count of each category, on eleven pages, then the balance figures
// (均衡度) beside a random division and a serpentine draft, and a chart of the class averages
// against the whole cohort. Below the first grid a note names the students who stand outside the
// project's classes, when there are any. The figures are computed on a thread of their own when
// the window is first shown and with "更新数据". Classes chosen in the list beside the first grid
// are divided again by the result window with "重新分班". "打印…" and "导出PDF…" give the class
// lists of the project on paper or as a PDF.
class ClassStatisticsWindow : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kGridCount = 11;

    ClassStatisticsWindow(Workspace& workspace, MainWindow& main, QWidget* parent = nullptr);
    ~ClassStatisticsWindow() override;

    // "更新数据": computes every figure again; the grids keep what they show until it is done.
    void refresh();
    bool isComputing() const;
    // The figures shown; nothing before the first computation has succeeded.
    const std::optional<reports::ClassStatistics>& statistics() const { return statistics_; }

    // The grids in page order: sgClass_info, the nine subjects' band grids, sgType.
    QTableWidget* grid(int index) const { return grids_.at(static_cast<std::size_t>(index)); }

  signals:
    // A computation ended; the grids show its figures when it succeeded.
    void statisticsShown(bool succeeded);

  public:
    // The size the window opens with inside the main window.
    QSize sizeHint() const override { return {980, 560}; }

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    QWidget* buildFirstPage();
    struct Figures;
    void showFigures(Figures figures);
    void showStatistics(reports::ClassStatistics statistics);
    void showGrids(const reports::ClassStatistics& statistics);
    void showClassList(const std::vector<reports::ClassEntry>& classes);
    void clearGrids();
    void redivideChosenClasses();  // 重新分班
    void exportStatistics();       // 导出分班数据
    void setComputing(bool computing);

    void followClassChange(const ClassChange& change);

  private:
    Workspace& workspace_;
    MainWindow& main_;
    store::CurrentProject project_;
    bool shownOnce_ = false;
    bool refreshWhenDone_ = false;
    std::optional<reports::ClassStatistics> statistics_;
    // The balance figures shown on 均衡度, exported with the statistics; nothing without them.
    std::optional<reports::BalanceReport> balance_;
    BackgroundJob* job_;
    QTabWidget* pages_;
    std::array<QTableWidget*, kGridCount> grids_{};
    ClassAverageChart* chart_;
    BalancePage* balancePage_;
    // Below the first grid: how many students stand outside the project's classes, and in which;
    // hidden when there are none.
    QLabel* outsideNote_ = nullptr;
    QListWidget* classChoice_ = nullptr;
    QPushButton* redivideButton_ = nullptr;
    QPushButton* updateButton_;
    QPushButton* exportButton_;
    QPushButton* closeButton_;
    QLabel* stateLabel_;
};

}  // namespace qm::gui
