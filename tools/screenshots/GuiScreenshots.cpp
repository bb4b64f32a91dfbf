// gui_screenshots DIR: builds a sample database, opens every window of the desktop program in
// turn and saves a picture of each into DIR, for a person to look at, the teacher's adjustments
// (groups, a move with its figures, the saved versions and a comparison of two) and the class
// lists (a class beside the result grid, the print dialog and preview, a printed page) among
// them; then the result (divided and after 深度优化), statistics (with the 均衡度 page), student
// list, settings, 关于 windows, the adjustments and the import's warning again in main windows
// of 800×600 and 1366×768, the console docked below them after a division: every work window with
// its pages, the dialogs and the import preview. scripts/screenshots --guide takes the user
// guide's pictures from them.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <iostream>

#include "AdjustmentPictures.h"
#include "DataWindowPictures.h"
#include "GuiTestSupport.h"
#include "PrintPictures.h"
#include "engine/common/DeterministicRandom.h"
#include "gui/AboutDialog.h"
#include "gui/AppSetup.h"
#include "gui/LoginWindow.h"
#include "gui/MdiChildren.h"
#include "gui/MessageConsole.h"
#include "gui/adjustments/VersionsDialog.h"
#include "gui/division/DivisionResultWindow.h"
#include "gui/division/DivisionSettingsWindow.h"
#include "gui/intake/ImportPreviewWindow.h"
#include "gui/projects/CopyStudentsDialog.h"
#include "gui/projects/NewProjectDialog.h"
#include "gui/projects/OpenProjectDialog.h"
#include "gui/projects/ProjectListWidget.h"
#include "gui/statistics/BalancePage.h"
#include "gui/statistics/ClassAverageChart.h"
#include "gui/statistics/ClassStatisticsWindow.h"
#include "store/ProjectStore.h"

using namespace qm;

namespace {

QString outputFolder;
int saved = 0;

// Saves a picture of the widget; settle lets pending events (drawing, signals) run first.
bool save(QWidget& widget, const QString& name, bool settle = true) {
    if (settle) {
        QApplication::processEvents();
        QTest::qWait(150);
    }
    const QString path = QDir(outputFolder).filePath(name + QStringLiteral(".png"));
    if (!widget.grab().save(path)) {
        std::cerr << "cannot write " << path.toStdString() << "\n";
        return false;
    }
    std::cout << path.toStdString() << "\n";
    ++saved;
    return true;
}

// The file dialog of "3.1数据导入 → 打开" on the folder of the sample workbook, in Chinese.
void saveFileDialogPicture(gui::MainWindow& main, int number) {
    main.importStudents();
    QTimer::singleShot(0, [number] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            dialog->setDirectory(
                QFileInfo(gui::ImportPreviewWindow::sampleWorkbookPath()).absolutePath());
            QTest::qWait(500);
            save(*dialog, QStringLiteral("%1-file-dialog").arg(number, 2, 10, QLatin1Char('0')));
            dialog->reject();
        }
    });
    test::named<QPushButton>(*main.importWindow(), "bnt_open")->click();
    gui::closeMdiChild(main.importWindow());
}

// The test rows with scores that vary as a real intake's do (an ability per student, each subject
// near it; half points here and there), so that 深度优化 has something to even out: the test
// rows' own scores repeat every sixty students.
std::vector<test::StudentRow> realisticIntake(int count) {
    auto students = test::sampleStudents(count);
    engine::DeterministicRandom random(2024);
    for (auto& student : students) {
        const int ability = 45 + random.below(45);
        for (double& score : student.scores) {
            score = std::min(100.0, ability + random.below(21) - 10 + 0.5 * random.below(2));
        }
    }
    return students;
}

QWidget& frameOf(QWidget& window) {
    auto* frame = qobject_cast<QMdiSubWindow*>(window.parentWidget());
    return frame ? static_cast<QWidget&>(*frame) : window;
}

// Runs the result window's "深度优化" (its question answered Yes) and waits for its end.
bool optimise(gui::DivisionResultWindow& result) {
    QSignalSpy finished(&result, &gui::DivisionResultWindow::runFinished);
    result.startOptimisation();
    if (!result.isRunning() || !finished.wait(300000) || !finished.first().first().toBool()) {
        std::cerr << "深度优化 did not succeed\n";
        return false;
    }
    return true;
}

// The list of saved versions that 方案对比… and 恢复方案… open, both versions chosen.
void saveVersionsPicture(gui::MainWindow& main, int number) {
    gui::VersionsDialog versions(main.workspace(), &main);
    versions.show();
    test::named<QTableWidget>(versions, "lv_versions")->selectAll();
    save(versions, QStringLiteral("%1-versions").arg(number, 2, 10, QLatin1Char('0')));
}

// The window "关于" over the main window, as the teacher sees it.
// Saves the main window with a dialog drawn over it where the screen shows it: a grab of the main
// window alone leaves out the dialogs above it.
bool saveWithDialog(gui::MainWindow& main, QWidget& dialog, const QString& name) {
    QApplication::processEvents();
    QTest::qWait(150);
    QPixmap picture = main.grab();
    QPainter painter(&picture);
    const QRect place(dialog.mapToGlobal(QPoint()) - main.mapToGlobal(QPoint()), dialog.size());
    painter.drawPixmap(place.topLeft(), dialog.grab());
    // The window's edge, which the display of the pictures draws no frame for.
    painter.setPen(dialog.palette().color(QPalette::Dark));
    painter.drawRect(place.adjusted(-1, -1, 0, 0));
    painter.end();
    const QString path = QDir(outputFolder).filePath(name + QStringLiteral(".png"));
    if (!picture.save(path)) {
        std::cerr << "cannot write " << path.toStdString() << "\n";
        return false;
    }
    std::cout << path.toStdString() << "\n";
    ++saved;
    return true;
}

bool saveAboutPicture(gui::MainWindow& main, const QString& name) {
    gui::AboutDialog about(QString::fromStdString(main.workspace().databasePath()), &main);
    about.show();
    return saveWithDialog(main, about, name);
}

// The warning of "导入到库" over a file that is no list of students (meeting notes saved as CSV),
// in the import window of the current project. The warning is answered 取消, so nothing is stored;
// the picture shows its text in the box the program shows it in.
bool saveImportWarningPicture(gui::MainWindow& main, test::MessageLog& messages,
                              const QString& name) {
    QTemporaryDir folder;
    const QString notes = folder.filePath(QStringLiteral("会议记录.csv"));
    QFile file(notes);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    file.write(
        QStringLiteral("日期,事项,负责人\n12月1日,期末考试安排,王老师\n12月8日,家长会,李老师\n")
            .toUtf8());
    file.close();
    main.importStudents();
    gui::ImportPreviewWindow* preview = main.importWindow();
    QSignalSpy read(preview, &gui::ImportPreviewWindow::previewShown);
    preview->readIntoGrid(notes);
    if (!read.wait(60000)) {
        return false;
    }
    messages.clear();
    messages.setAnswer(false);
    test::named<QPushButton>(*preview, "bnt_yes")->click();
    messages.setAnswer(true);
    bool shown = false;
    if (!messages.messages().empty()) {
        const gui::UserMessage& warning = messages.messages().front();
        QMessageBox box(QMessageBox::Question, warning.caption, warning.text,
                        QMessageBox::Ok | QMessageBox::Cancel, preview);
        box.show();
        shown = saveWithDialog(main, box, name);
    }
    gui::closeMdiChild(preview);
    return shown;
}

// A dialog of the program over the main window, where the screen would show it.
template <class Dialog, class... Arguments>
void saveDialogOver(gui::MainWindow& main, const QString& name, Arguments&&... arguments) {
    Dialog dialog(std::forward<Arguments>(arguments)..., &main);
    dialog.show();
    saveWithDialog(main, dialog, name);
}

// The dialogs over a main window of a small screen's size.
void saveDialogPictures(gui::MainWindow& main, const QString& size) {
    gui::Workspace& workspace = main.workspace();
    saveDialogOver<gui::NewProjectDialog>(main, size + QStringLiteral("-new-project"), workspace);
    saveDialogOver<gui::OpenProjectDialog>(main, size + QStringLiteral("-open-project"), workspace);
    saveDialogOver<gui::CopyStudentsDialog>(main, size + QStringLiteral("-copy-students"),
                                            workspace);
    saveDialogOver<gui::VersionsDialog>(main, size + QStringLiteral("-versions"), workspace);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    gui::configureApplication(application);
    // The user's own settings are left alone, and the console starts where a new user has it.
    const test::TestSettings testSettings;
    gui::programSettings().clear();
    if (argc != 2) {
        std::cerr << "usage: gui_screenshots DIR\n";
        return 2;
    }
    outputFolder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(outputFolder);

    test::TempDatabase database;
    auto& connection = database.connection();
    const auto earlier = store::createProject(connection, "2023级高一新生分班", 8);
    test::insertStudents(connection, earlier.fbTable, test::sampleStudents(30));
    const auto project = store::createProject(connection, "2024级高一新生分班", 6);
    test::insertStudents(connection, project.fbTable, realisticIntake(1500));

    // Every message box is answered with its default, so nothing waits for a person.
    test::MessageLog messages;
    gui::Workspace workspace(database.path());
    gui::MainWindow main(workspace);
    main.setGeometry(0, 0, 1280, 800);

    gui::LoginWindow login([&] { main.show(); });
    login.show();
    QTest::qWait(50);
    login.show();  // shown again for its picture: it hid itself when first drawn
    save(login, QStringLiteral("01-login"));
    login.hide();
    main.show();
    save(main, QStringLiteral("02-main-window"));

    {
        gui::NewProjectDialog dialog(workspace, &main);
        test::named<QLineEdit>(dialog, "edMemo")->setText(QStringLiteral("2024级高一新生分班"));
        test::named<QLineEdit>(dialog, "edNum")->setText(QStringLiteral("6"));
        dialog.show();
        save(dialog, QStringLiteral("03-new-project"));
    }
    {
        gui::OpenProjectDialog dialog(workspace, &main);
        dialog.show();
        test::named<gui::ProjectListWidget>(dialog, "lv_info")
            ->selectId(project.fbId == "2" ? 2 : 1);
        save(dialog, QStringLiteral("04-open-project"));
    }
    workspace.setCurrentProject(project);
    {
        gui::CopyStudentsDialog dialog(workspace, &main);
        dialog.show();
        test::named<gui::ProjectListWidget>(dialog, "lv_info")->selectId(1);
        save(dialog, QStringLiteral("05-copy-students"));
    }

    main.showSettings();
    gui::DivisionSettingsWindow& settings = *main.settingsWindow();
    const char* pageNames[] = {"06-settings-subjects", "07-settings-rules", "08-settings-numbers",
                               "09-settings-deep-optimisation"};
    for (int page = 0; page < 4; ++page) {
        test::named<QTabWidget>(settings, "tabSettings")->setCurrentIndex(page);
        save(frameOf(settings), QString::fromUtf8(pageNames[page]));
    }
    test::named<QTabWidget>(settings, "tabSettings")->setCurrentIndex(2);

    gui::DivisionResultWindow& result = *main.showResult();
    save(frameOf(result), QStringLiteral("10-result-empty"));
    QSignalSpy finished(&result, &gui::DivisionResultWindow::runFinished);
    result.startDivision();
    save(frameOf(result), QStringLiteral("11-result-running"), false);
    if ((finished.isEmpty() && !finished.wait(300000)) || !finished.first().first().toBool()) {
        std::cerr << "the division did not succeed: " << messages.texts().join('\n').toStdString()
                  << "\n";
        return 1;
    }
    save(frameOf(result), QStringLiteral("12-result-divided"));
    save(workspace.console(), QStringLiteral("13-console"));
    if (!optimise(result)) {
        return 1;
    }
    save(main, QStringLiteral("14-result-deep-optimised"));
    save(main, QStringLiteral("15-main-with-windows"));
    saveAboutPicture(main, QStringLiteral("16-about"));
    int next = test::saveDataWindowPictures(
        main, 17, [](QWidget& window, const QString& name) { return save(window, name); });
    test::saveAdjustmentPictures(
        main, false,
        [&next](const char* what) {
            return QStringLiteral("%1-%2").arg(next++, 2, 10, QLatin1Char('0')).arg(what);
        },
        [](QWidget& window, const QString& name) { return save(window, name); });
    saveVersionsPicture(main, next++);
    saveFileDialogPicture(main, next);
    saveImportWarningPicture(main, messages, QStringLiteral("%1-import-warning").arg(next + 1));
    if (!test::savePrintPictures(
            main, project, next + 2, outputFolder,
            [](QWidget& window, const QString& name) { return save(window, name); })) {
        return 1;
    }

    // The work windows on small screens: each opened through its command in a main window of the
    // screen's size, the console below after a division.
    for (const QSize screen : {QSize(800, 600), QSize(1366, 768)}) {
        if (!main.closeProjectWindows()) {
            std::cerr << "the work windows did not close\n";
            return 1;
        }
        main.setGeometry(QRect(QPoint(0, 0), screen));
        const QString size = QStringLiteral("%1x%2").arg(screen.width()).arg(screen.height());
        gui::DivisionResultWindow& shown = *main.showResult();
        QSignalSpy divided(&shown, &gui::DivisionResultWindow::runFinished);
        shown.startDivision();
        if (!divided.wait(300000)) {
            std::cerr << "the division did not end\n";
            return 1;
        }
        save(main, size + QStringLiteral("-result"));
        if (!optimise(shown)) {
            return 1;
        }
        save(main, size + QStringLiteral("-result-deep-optimised"));
        main.showClassInfo();
        gui::ClassStatisticsWindow* info = main.statisticsWindow();
        QSignalSpy computed(info, &gui::ClassStatisticsWindow::statisticsShown);
        if (info->isComputing()) {
            computed.wait(60000);
        }
        save(main, size + QStringLiteral("-class-info"));
        test::named<QTabWidget>(*info, "tabStatistics")->setCurrentIndex(2);
        save(main, size + QStringLiteral("-class-info-math-bands"));
        test::named<QTabWidget>(*info, "tabStatistics")->setCurrentIndex(10);
        save(main, size + QStringLiteral("-class-info-categories"));
        test::named<QTabWidget>(*info, "tabStatistics")
            ->setCurrentWidget(test::named<gui::BalancePage>(*info, "BalancePage"));
        save(main, size + QStringLiteral("-class-info-balance"));
        test::named<QTabWidget>(*info, "tabStatistics")
            ->setCurrentWidget(test::named<gui::ClassAverageChart>(*info, "chartAverages"));
        save(main, size + QStringLiteral("-class-info-chart"));
        main.showStudentList();
        save(main, size + QStringLiteral("-student-list"));
        test::saveAdjustmentPictures(
            main, true, [&size](const char* what) { return size + QLatin1Char('-') + what; },
            [](QWidget& window, const QString& name) { return save(window, name); });
        main.showSettings();
        const char* pages[] = {"-settings-subjects", "-settings-rules", "-settings-numbers",
                               "-settings-deep-optimisation"};
        for (int page = 0; page < 4; ++page) {
            test::named<QTabWidget>(*main.settingsWindow(), "tabSettings")->setCurrentIndex(page);
            save(main, size + QString::fromUtf8(pages[page]));
        }
        saveAboutPicture(main, size + QStringLiteral("-about"));
        saveDialogPictures(main, size);
        saveImportWarningPicture(main, messages, size + QStringLiteral("-import-warning"));
        test::withSamplePreview(main, [&main, &size](gui::ImportPreviewWindow&) {
            save(main, size + QStringLiteral("-import-preview"));
        });
    }

    std::cout << saved << " pictures\n";
    return 0;
}
