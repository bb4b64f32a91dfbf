#include "gui/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

#include "gui/AboutDialog.h"
#include "gui/AppSetup.h"
#include "gui/DatabaseCommands.h"
#include "gui/MdiChildren.h"
#include "gui/MessageConsole.h"
#include "gui/ToolShortcuts.h"
#include "gui/UserGuide.h"
#include "gui/WorkArea.h"
#include "gui/Workspace.h"
#include "gui/adjustments/HistoryActions.h"
#include "gui/adjustments/VersionCommands.h"
#include "gui/division/DivisionResultWindow.h"
#include "gui/division/DivisionSettingsWindow.h"
#include "gui/intake/ImportPreviewWindow.h"
#include "gui/projects/CopyStudentsDialog.h"
#include "gui/projects/NewProjectDialog.h"
#include "gui/projects/OpenProjectDialog.h"
#include "gui/shared/ExportCommands.h"
#include "gui/shared/OutsideChanges.h"
#include "gui/shared/UserMessages.h"
#include "gui/statistics/ClassStatisticsWindow.h"
#include "gui/students/StudentListWindow.h"
#include "gui/widgets/ProgramIcon.h"
#include "gui/widgets/ToolIcons.h"

namespace qm::gui {

namespace {

// Where the console stood when the program last ended.
const QString kConsolePlaceKey = QStringLiteral("console/place");

}  // namespace

MainWindow::MainWindow(Workspace& workspace, QWidget* parent)
    : QMainWindow(parent),
      workspace_(workspace),
      mdiArea_(new WorkArea(this)),
      console_(new MessageConsole(this)) {
    setObjectName(QStringLiteral("Tfrm_main"));
    mdiArea_->setObjectName(QStringLiteral("workArea"));
    setWindowIcon(programIcon());
    mdiArea_->setBackground(palette().color(QPalette::Disabled, QPalette::Text));
    setCentralWidget(mdiArea_);
    buildMenuBar();
    buildToolBar();
    buildStatusBar();
    placeConsole();
    workspace_.setConsole(console_);
    workspace_.setLeaveGuard([this] { return closeProjectWindows(); });
    connect(&workspace_, &Workspace::currentProjectChanged, this, &MainWindow::showCurrentProject);
    // Another program may have changed the data while the teacher was elsewhere.
    connect(mdiArea_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* window) {
        if (window) {
            workspace_.outsideChanges().check();
        }
    });
    showCurrentProject();
}

MainWindow::~MainWindow() {
    workspace_.setLeaveGuard({});
}

// The console stands below the work windows, where the teacher last put it.
void MainWindow::placeConsole() {
    addDockWidget(Qt::BottomDockWidgetArea, console_);
    const QByteArray place = programSettings().value(kConsolePlaceKey).toByteArray();
    if (place.isEmpty() || !restoreState(place)) {
        resizeDocks({console_}, {console_->sizeHint().height()}, Qt::Vertical);
    }
    console_->hide();  // until a division writes to it
    connect(console_, &QDockWidget::dockLocationChanged, this, &MainWindow::rememberConsolePlace);
    connect(console_, &QDockWidget::topLevelChanged, this, &MainWindow::rememberConsolePlace);
}

void MainWindow::rememberConsolePlace() {
    programSettings().setValue(kConsolePlaceKey, saveState());
}

void MainWindow::buildMenuBar() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    file->setObjectName(QStringLiteral("menuFile"));
    file->addAction(QStringLiteral("备份数据库…"), this,
                    [this] { backupDatabaseFile(this, workspace_); })
        ->setObjectName(QStringLiteral("actBackup"));
    file->addAction(QStringLiteral("恢复数据库…"), this,
                    [this] { restoreDatabaseFile(this, workspace_); })
        ->setObjectName(QStringLiteral("actRestore"));
    file->addSeparator();
    file->addAction(QStringLiteral("退出"), this, &QWidget::close);
    QMenu* help = menuBar()->addMenu(QStringLiteral("帮助(&H)"));
    help->setObjectName(QStringLiteral("menuHelp"));
    help->addAction(QStringLiteral("用户手册"), this, [this] { openUserGuide(this); })
        ->setObjectName(QStringLiteral("actGuide"));
    help->addAction(
            QStringLiteral("关于"), this,
            [this] { AboutDialog(QString::fromStdString(workspace_.databasePath()), this).exec(); })
        ->setObjectName(QStringLiteral("actAbout"));
}

void MainWindow::buildToolBar() {
    struct Command {
        const char* caption;
        ToolIcon icon;
        void (MainWindow::*run)();
    };
    const Command commands[] = {
        {"1.新建", ToolIcon::NewProject, &MainWindow::newProject},
        {"2.打开", ToolIcon::OpenProject, &MainWindow::openProject},
        {"3.1数据导入", ToolIcon::ImportSheet, &MainWindow::importStudents},
        {"3.2内部数据", ToolIcon::CopyStudents, &MainWindow::copyStudents},
        {"4.分班设置", ToolIcon::Settings, &MainWindow::showSettings},
        {"5.开始", ToolIcon::Divide, nullptr},
        {"6.班级信息", ToolIcon::ClassInfo, &MainWindow::showClassInfo},
        {"7.学生名单", ToolIcon::StudentList, &MainWindow::showStudentList},
        {"8.数据导出", ToolIcon::Export, &MainWindow::exportResult},
        {"退出", ToolIcon::Exit, nullptr},
    };
    QToolBar* bar = addToolBar(QStringLiteral("命令"));
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(16, 16));
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->toggleViewAction()->setEnabled(false);
    for (const Command& command : commands) {
        QAction* action =
            bar->addAction(toolIcon(command.icon), QString::fromUtf8(command.caption));
        if (command.run) {
            connect(action, &QAction::triggered, this, command.run);
        }
        bar->widgetForAction(action)->setMinimumSize(70, 36);
    }
    connect(command(QStringLiteral("5.开始")), &QAction::triggered, this, [this] { showResult(); });
    connect(command(QStringLiteral("退出")), &QAction::triggered, this, &QWidget::close);
    addToolShortcuts(*bar);
    addAdjustmentCommands(*bar);
}

void MainWindow::addAdjustmentCommands(QToolBar& bar) {
    bar.addSeparator();
    auto* history = new HistoryActions(workspace_, *this);
    QAction* versions = new QAction(style()->standardIcon(QStyle::SP_DialogSaveButton),
                                    QStringLiteral("方案"), this);
    versions->setMenu(buildVersionMenu(*this, workspace_, [this] { return requireProject(); }));
    for (QAction* action : {history->undoAction(), history->redoAction(), versions}) {
        bar.addAction(action);
        bar.widgetForAction(action)->setMinimumSize(70, 36);
    }
    qobject_cast<QToolButton*>(bar.widgetForAction(versions))
        ->setPopupMode(QToolButton::InstantPopup);
}

void MainWindow::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("sbInfo"));
    bar->setSizeGripEnabled(false);
    const int widths[] = {250, 150, 100, 50};
    for (int i = 0; i < 4; ++i) {
        auto* panel = new QLabel(bar);
        panel->setMinimumWidth(widths[i]);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        bar->addPermanentWidget(panel, i == 0 ? 1 : 0);
        if (i == 0) {
            importCountPanel_ = panel;
        }
        if (i == 3) {
            panel->setText(QString::fromUtf8(kProgramTitle));
        }
    }
}

DivisionSettingsWindow* MainWindow::settingsWindow() const {
    return settingsWindow_;
}

DivisionResultWindow* MainWindow::resultWindow() const {
    return resultWindow_;
}

ImportPreviewWindow* MainWindow::importWindow() const {
    return importWindow_;
}

ClassStatisticsWindow* MainWindow::statisticsWindow() const {
    return statisticsWindow_;
}

StudentListWindow* MainWindow::studentListWindow() const {
    return studentListWindow_;
}

QAction* MainWindow::command(const QString& caption) const {
    for (QToolBar* bar : findChildren<QToolBar*>()) {
        for (QAction* action : bar->actions()) {
            if (action->text() == caption) {
                return action;
            }
        }
    }
    return nullptr;
}

// The windows of another project close: they would show its data under this project's caption;
// so does the count of rows its import read.
void MainWindow::showCurrentProject() {
    const auto& project = workspace_.currentProject();
    setWindowTitle(project.isOpen() ? QString::fromStdString(project.memo)
                                    : QString::fromUtf8(kProgramTitle));
    if (project.fbTable != windowsProject_) {
        closeProjectWindows();
        windowsProject_ = project.fbTable;
        importCountPanel_->clear();
    }
}

std::vector<QWidget*> MainWindow::openProjectWindows() const {
    // The result window first: a division under way refuses before anything else closes.
    std::vector<QWidget*> windows;
    for (QWidget* window :
         std::initializer_list<QWidget*>{resultWindow_, studentListWindow_, statisticsWindow_,
                                         settingsWindow_, importWindow_}) {
        if (window && !isClosedMdiChild(window)) {
            windows.push_back(window);
        }
    }
    return windows;
}

bool MainWindow::closeProjectWindows() {
    for (QWidget* window : openProjectWindows()) {
        // The import preview closes by itself once a read under way has stopped.
        const bool closesWhenRead = window == importWindow_ && importWindow_->isReading();
        if (!closeMdiChild(window) && !closesWhenRead) {
            return false;
        }
    }
    return true;
}

// A work window of the current project names it in its caption: "班级信息 - 高一新生".
template <class Window>
Window* MainWindow::ofCurrentProject(Window* window) const {
    const auto& project = workspace_.currentProject();
    const QString name = project.memo.empty()
                             ? QStringLiteral("分班项 %1").arg(QString::fromStdString(project.fbId))
                             : QString::fromStdString(project.memo);
    window->setWindowTitle(QStringLiteral("%1 - %2").arg(window->windowTitle(), name));
    return window;
}

bool MainWindow::requireProject() {
    if (workspace_.hasProject()) {
        return true;
    }
    informNoProject(this);
    return false;
}

void MainWindow::newProject() {
    NewProjectDialog dialog(workspace_, this);
    dialog.exec();
}

void MainWindow::openProject() {
    OpenProjectDialog dialog(workspace_, this);
    dialog.exec();
}

// The import preview opens with its top edge 50 pixels down the frame the first time.
void MainWindow::importStudents() {
    if (!requireProject()) {
        return;
    }
    const bool opened = importWindow_;
    ImportPreviewWindow* window = showMdiChild(*mdiArea_, importWindow_, [this] {
        return ofCurrentProject(new ImportPreviewWindow(workspace_, this));
    });
    if (auto* frame = qobject_cast<QMdiSubWindow*>(window->parentWidget()); frame && !opened) {
        frame->move(frame->x(), 50);
    }
}

void MainWindow::copyStudents() {
    if (!requireProject()) {
        return;
    }
    CopyStudentsDialog dialog(workspace_, this);
    dialog.exec();
}

void MainWindow::showSettings() {
    if (requireProject()) {
        showMdiChild(*mdiArea_, settingsWindow_,
                     [this] { return ofCurrentProject(new DivisionSettingsWindow(workspace_)); });
    }
}

DivisionResultWindow* MainWindow::showResult() {
    if (!requireProject()) {
        return nullptr;
    }
    return showMdiChild(*mdiArea_, resultWindow_,
                        [this] { return ofCurrentProject(new DivisionResultWindow(workspace_)); });
}

void MainWindow::showClassInfo() {
    if (requireProject()) {
        showMdiChild(*mdiArea_, statisticsWindow_, [this] {
            return ofCurrentProject(new ClassStatisticsWindow(workspace_, *this));
        });
    }
}

void MainWindow::showStudentList() {
    if (requireProject()) {
        showMdiChild(*mdiArea_, studentListWindow_,
                     [this] { return ofCurrentProject(new StudentListWindow(workspace_)); });
    }
}

void MainWindow::exportResult() {
    if (requireProject()) {
        exportResultWorkbook(this, workspace_);
    }
}

void MainWindow::redivide(const std::vector<int>& classes) {
    if (resultWindow_) {
        resultWindow_->redivide(classes);
    }
}

void MainWindow::setImportCountText(const QString& text) {
    importCountPanel_->setText(text);
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        workspace_.outsideChanges().check();  // back from another program
    }
}

// Closing the main window ends the program with every window, after asking while a division
// runs. The division is then cancelled (its window waits for it when it goes), so the data stay
// as they were before it; the student list asks about a row not yet stored.
void MainWindow::closeEvent(QCloseEvent* event) {
    const bool dividing = resultWindow_ && resultWindow_->isRunning();
    if (dividing) {
        if (!confirm(this, QStringLiteral("正在分班，确定要退出吗？"))) {
            event->ignore();
            return;
        }
        resultWindow_->cancelRun();
    }
    if (studentListWindow_ && !closeMdiChild(studentListWindow_)) {
        event->ignore();  // the teacher keeps the edits
        return;
    }
    rememberConsolePlace();
    QMainWindow::closeEvent(event);
    QApplication::quit();
}

}  // namespace qm::gui
