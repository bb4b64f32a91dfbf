#pragma once

#include <QMainWindow>
#include <QPointer>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QMdiArea;
class QToolBar;

namespace qm::gui {

class ClassStatisticsWindow;
class DivisionSettingsWindow;
class ImportPreviewWindow;
class StudentListWindow;
class DivisionResultWindow;
class MessageConsole;
class WorkArea;
class Workspace;

// The main window: a frame for the work windows, the tool bar of the ten numbered commands in the
// order a teacher works, and the current project, whose description is the caption. Its menu
// bar holds what is not part of that order: back-up and restore of the database, the user guide
// and 关于.
class MainWindow : public QMainWindow {
    Q_OBJECT

  public:
    explicit MainWindow(Workspace& workspace, QWidget* parent = nullptr);
    ~MainWindow() override;

    Workspace& workspace() const { return workspace_; }
    MessageConsole* console() const { return console_; }
    // The tool bar's command with this caption, such as "5.开始"; null when there is none.
    QAction* command(const QString& caption) const;

    // The work windows; null until first used and again after they are closed.
    DivisionSettingsWindow* settingsWindow() const;
    DivisionResultWindow* resultWindow() const;
    ImportPreviewWindow* importWindow() const;
    ClassStatisticsWindow* statisticsWindow() const;
    StudentListWindow* studentListWindow() const;

    // The commands, in the tool bar's order.
    void newProject();      // 1.新建
    void openProject();     // 2.打开
    void importStudents();  // 3.1数据导入
    void copyStudents();    // 3.2内部数据
    void showSettings();    // 4.分班设置
    // 5.开始: the result window, built on first use; null without a current project.
    DivisionResultWindow* showResult();
    void showClassInfo();    // 6.班级信息
    void showStudentList();  // 7.学生名单
    void exportResult();     // 8.数据导出

    // Hands chosen classes to the result window's re-division; without a result window it
    // does nothing.
    void redivide(const std::vector<int>& classes);

    // The first panel of the status bar, where the import writes its count.
    void setImportCountText(const QString& text);

    // Closes the work windows of the current project; false when one refuses (a division under
    // way, or edits in the student list the teacher keeps).
    bool closeProjectWindows();

  protected:
    void closeEvent(QCloseEvent* event) override;
    // Activated again: what another program changed meanwhile is shown.
    void changeEvent(QEvent* event) override;

  private:
    void buildMenuBar();
    void buildToolBar();
    // 撤销, 重做 and the 方案 menu, after the numbered commands.
    void addAdjustmentCommands(QToolBar& bar);
    void buildStatusBar();
    // False, after telling the user, when no project is current.
    bool requireProject();
    void showCurrentProject();
    void placeConsole();
    void rememberConsolePlace();
    // The work windows still open, the result window first.
    std::vector<QWidget*> openProjectWindows() const;
    template <class Window>
    Window* ofCurrentProject(Window* window) const;

    Workspace& workspace_;
    WorkArea* mdiArea_;
    MessageConsole* console_;
    // The student table of the project the work windows belong to.
    std::string windowsProject_;
    QLabel* importCountPanel_ = nullptr;
    QPointer<DivisionSettingsWindow> settingsWindow_;
    QPointer<DivisionResultWindow> resultWindow_;
    QPointer<ImportPreviewWindow> importWindow_;
    QPointer<ClassStatisticsWindow> statisticsWindow_;
    QPointer<StudentListWindow> studentListWindow_;
};

}  // namespace qm::gui
