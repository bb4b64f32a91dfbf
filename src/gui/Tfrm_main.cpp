#include "gui/Tfrm_main.h"

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
#include "gui/ExportCommands.h"
#include "gui/HistoryActions.h"
#include "gui/MdiChildren.h"
#include "gui/OutsideChanges.h"
#include "gui/ProgramIcon.h"
#include "gui/TfrmBuild.h"
#include "gui/TfrmResult.h"
#include "gui/TfrmShow.h"
#include "gui/Tfrm_class_info.h"
#include "gui/Tfrm_config.h"
#include "gui/Tfrm_excelToDb.h"
#include "gui/Tfrm_insertFB.h"
#include "gui/Tfrm_list.h"
#include "gui/Tfrm_open.h"
#include "gui/ToolIcons.h"
#include "gui/ToolShortcuts.h"
#include "gui/UserGuide.h"
#include "gui/UserMessages.h"
#include "gui/VersionCommands.h"
#include "gui/WorkArea.h"
#include "gui/Workspace.h"

namespace qm::gui {

namespace {

// Where the console stood when the program last ended.
const QString kConsolePlaceKey = QStringLiteral("console/place");

}  // namespace

Tfrm_main::Tfrm_main(Workspace& workspace, QWidget* parent)
    : QMainWindow(parent),
      workspace_(workspace),
      mdiArea_(new WorkArea(this)),
      console_(new TfrmShow(this)) {
    setObjectName(QStringLiteral("Tfrm_main"));
    setWindowIcon(programIcon());
    mdiArea_->setBackground(palette().color(QPalette::Disabled, QPalette::Text));
    setCentralWidget(mdiArea_);
    buildMenuBar();
    buildToolBar();
    buildStatusBar();
    placeConsole();
    workspace_.setConsole(console_);
    workspace_.setLeaveGuard([this] { return closeProjectWindows(); });
    connect(&workspace_, &Workspace::currentProjectChanged, this, &Tfrm_main::showCurrentProject);
    // Another program may have changed the data while the teacher was elsewhere.
    connect(mdiArea_, &QMdiArea::subWindowActivated, this,
            [this](QMdiSubWindow* window) {
                if (window) {
                    workspace_.outsideChanges().check();
                }
            });
    showCurrentProject();
}

Tfrm_main::~Tfrm_main() {
    workspace_.setLeaveGuard({});
}

// The console stands below the work windows, where the teacher last put it.
void Tfrm_main::placeConsole() {
    addDockWidget(Qt::BottomDockWidgetArea, console_);
    const QByteArray place = programSettings().value(kConsolePlaceKey).toByteArray();
    if (place.isEmpty() || !restoreState(place)) {
        resizeDocks({console_}, {console_->sizeHint().height()}, Qt::Vertical);
    }
    console_->hide();  // until a division writes to it
    connect(console_, &QDockWidget::dockLocationChanged, this, &Tfrm_main::rememberConsolePlace);
    connect(console_, &QDockWidget::topLevelChanged, this, &Tfrm_main::rememberConsolePlace);
}

void Tfrm_main::rememberConsolePlace() {
    programSettings().setValue(kConsolePlaceKey, saveState());
}

void Tfrm_main::buildMenuBar() {
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

void Tfrm_main::buildToolBar() {
    struct Command {
        const char* caption;
        ToolIcon icon;
        void (Tfrm_main::*run)();
    };
    const Command commands[] = {
        {"1.新建", ToolIcon::NewProject, &Tfrm_main::newProject},
        {"2.打开", ToolIcon::OpenProject, &Tfrm_main::openProject},
        {"3.1数据导入", ToolIcon::ImportSheet, &Tfrm_main::importStudents},
        {"3.2内部数据", ToolIcon::CopyStudents, &Tfrm_main::copyStudents},
        {"4.分班设置", ToolIcon::Settings, &Tfrm_main::showSettings},
        {"5.开始", ToolIcon::Divide, nullptr},
        {"6.班级信息", ToolIcon::ClassInfo, &Tfrm_main::showClassInfo},
        {"7.学生名单", ToolIcon::StudentList, &Tfrm_main::showStudentList},
        {"8.数据导出", ToolIcon::Export, &Tfrm_main::exportResult},
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

void Tfrm_main::addAdjustmentCommands(QToolBar& bar) {
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

void Tfrm_main::buildStatusBar() {
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

QMdiArea* Tfrm_main::mdiArea() const {
    return mdiArea_;
}

Tfrm_config* Tfrm_main::configForm() const {
    return configForm_;
}

TfrmResult* Tfrm_main::resultForm() const {
    return resultForm_;
}

Tfrm_excelToDb* Tfrm_main::importForm() const {
    return importForm_;
}

Tfrm_class_info* Tfrm_main::classInfoForm() const {
    return classInfoForm_;
}

Tfrm_list* Tfrm_main::listForm() const {
    return listForm_;
}

QAction* Tfrm_main::command(const QString& caption) const {
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
void Tfrm_main::showCurrentProject() {
    const auto& project = workspace_.currentProject();
    setWindowTitle(project.isOpen() ? QString::fromStdString(project.memo)
                                    : QString::fromUtf8(kProgramTitle));
    if (project.fbTable != windowsProject_) {
        closeProjectWindows();
        windowsProject_ = project.fbTable;
        importCountPanel_->clear();
    }
}

std::vector<QWidget*> Tfrm_main::openProjectWindows() const {
    // The result window first: a division under way refuses before anything else closes.
    std::vector<QWidget*> windows;
    for (QWidget* window : std::initializer_list<QWidget*>{resultForm_, listForm_, classInfoForm_,
                                                           configForm_, importForm_}) {
        if (window && !isClosedMdiChild(window)) {
            windows.push_back(window);
        }
    }
    return windows;
}

bool Tfrm_main::closeProjectWindows() {
    for (QWidget* window : openProjectWindows()) {
        // The import preview closes by itself once a read under way has stopped.
        const bool closesWhenRead = window == importForm_ && importForm_->isReading();
        if (!closeMdiChild(window) && !closesWhenRead) {
            return false;
        }
    }
    return true;
}

// A work window of the current project names it in its caption: "班级信息 - 高一新生".
template <class Window>
Window* Tfrm_main::ofCurrentProject(Window* window) const {
    const auto& project = workspace_.currentProject();
    const QString name = project.memo.empty()
                             ? QStringLiteral("分班项 %1").arg(QString::fromStdString(project.fbId))
                             : QString::fromStdString(project.memo);
    window->setWindowTitle(QStringLiteral("%1 - %2").arg(window->windowTitle(), name));
    return window;
}

bool Tfrm_main::requireProject() {
    if (workspace_.hasProject()) {
        return true;
    }
    informNoProject(this);
    return false;
}

void Tfrm_main::newProject() {
    TfrmBuild dialog(workspace_, this);
    dialog.exec();
}

void Tfrm_main::openProject() {
    Tfrm_open dialog(workspace_, this);
    dialog.exec();
}

// The import preview opens with its top edge 50 pixels down the frame the first time.
void Tfrm_main::importStudents() {
    if (!requireProject()) {
        return;
    }
    const bool opened = importForm_;
    Tfrm_excelToDb* window = showMdiChild(*mdiArea_, importForm_, [this] {
        return ofCurrentProject(new Tfrm_excelToDb(workspace_, this));
    });
    if (auto* frame = qobject_cast<QMdiSubWindow*>(window->parentWidget()); frame && !opened) {
        frame->move(frame->x(), 50);
    }
}

void Tfrm_main::copyStudents() {
    if (!requireProject()) {
        return;
    }
    Tfrm_insertFB dialog(workspace_, this);
    dialog.exec();
}

void Tfrm_main::showSettings() {
    if (requireProject()) {
        showMdiChild(*mdiArea_, configForm_,
                     [this] { return ofCurrentProject(new Tfrm_config(workspace_)); });
    }
}

TfrmResult* Tfrm_main::showResult() {
    if (!requireProject()) {
        return nullptr;
    }
    return showMdiChild(*mdiArea_, resultForm_,
                        [this] { return ofCurrentProject(new TfrmResult(workspace_)); });
}

void Tfrm_main::showClassInfo() {
    if (requireProject()) {
        showMdiChild(*mdiArea_, classInfoForm_,
                     [this] { return ofCurrentProject(new Tfrm_class_info(workspace_, *this)); });
    }
}

void Tfrm_main::showStudentList() {
    if (requireProject()) {
        showMdiChild(*mdiArea_, listForm_,
                     [this] { return ofCurrentProject(new Tfrm_list(workspace_)); });
    }
}

void Tfrm_main::exportResult() {
    if (requireProject()) {
        exportResultWorkbook(this, workspace_);
    }
}

void Tfrm_main::re_fb(const std::vector<int>& classes) {
    if (resultForm_) {
        resultForm_->refb_begin(classes);
    }
}

void Tfrm_main::setImportCountText(const QString& text) {
    importCountPanel_->setText(text);
}

void Tfrm_main::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        workspace_.outsideChanges().check();  // back from another program
    }
}

// Closing the main window ends the program with every window, after asking while a division
// runs. The division is then cancelled (its window waits for it when it goes), so the data stay
// as they were before it; the student list asks about a row not yet stored.
void Tfrm_main::closeEvent(QCloseEvent* event) {
    const bool dividing = resultForm_ && resultForm_->isRunning();
    if (dividing) {
        if (!confirm(this, QStringLiteral("正在分班，确定要退出吗？"))) {
            event->ignore();
            return;
        }
        resultForm_->cancelRun();
    }
    if (listForm_ && !closeMdiChild(listForm_)) {
        event->ignore();  // the teacher keeps the edits
        return;
    }
    rememberConsolePlace();
    QMainWindow::closeEvent(event);
    QApplication::quit();
}

}  // namespace qm::gui
