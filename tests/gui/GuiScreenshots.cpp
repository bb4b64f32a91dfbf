// gui_screenshots DIR: builds a sample database, opens every window of the desktop program in
// turn and saves a picture of each into DIR, for a person to look at, the teacher's adjustments
// (groups, a move with its figures, a comparison of versions) among them; then the result (divided
// and after 深度优化), statistics (with the 均衡度 page), student list, settings (深度优化), 关于
// windows and the adjustments again in main windows of 800×600 and 1366×768.
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <algorithm>
#include <iostream>

#include "AdjustmentPictures.h"
#include "DataWindowPictures.h"
#include "GuiTestSupport.h"
#include "engine/DeterministicRandom.h"
#include "gui/AboutDialog.h"
#include "gui/AppSetup.h"
#include "gui/BalancePage.h"
#include "gui/MdiChildren.h"
#include "gui/ProjectListWidget.h"
#include "gui/TfrmBuild.h"
#include "gui/TfrmResult.h"
#include "gui/TfrmShow.h"
#include "gui/Tfrm_class_info.h"
#include "gui/Tfrm_config.h"
#include "gui/Tfrm_excelToDb.h"
#include "gui/Tfrm_insertFB.h"
#include "gui/Tfrm_login.h"
#include "gui/Tfrm_open.h"
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
void saveFileDialogPicture(gui::Tfrm_main& main, int number) {
    main.importStudents();
    QTimer::singleShot(0, [number] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            dialog->setDirectory(
                QFileInfo(gui::Tfrm_excelToDb::sampleWorkbookPath()).absolutePath());
            QTest::qWait(500);
            save(*dialog, QStringLiteral("%1-file-dialog").arg(number, 2, 10, QLatin1Char('0')));
            dialog->reject();
        }
    });
    main.importForm()->openButton()->click();
    gui::closeMdiChild(main.importForm());
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
bool optimise(gui::TfrmResult& result) {
    QSignalSpy finished(&result, &gui::TfrmResult::runFinished);
    result.startOptimisation();
    if (!result.isRunning() || !finished.wait(300000) || !finished.first().first().toBool()) {
        std::cerr << "深度优化 did not succeed\n";
        return false;
    }
    return true;
}

// The window "关于" over the main window, as the teacher sees it.
bool saveAboutPicture(gui::Tfrm_main& main, const QString& name) {
    gui::AboutDialog about(QString::fromStdString(main.workspace().databasePath()), &main);
    about.show();
    QApplication::processEvents();
    QTest::qWait(150);
    QPixmap picture = main.grab();
    QPainter painter(&picture);
    const QRect place(about.mapToGlobal(QPoint()) - main.mapToGlobal(QPoint()), about.size());
    painter.drawPixmap(place.topLeft(), about.grab());
    // The window's edge, which the display of the pictures draws no frame for.
    painter.setPen(about.palette().color(QPalette::Dark));
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
    gui::Tfrm_main main(workspace);
    main.setGeometry(0, 0, 1280, 800);

    gui::Tfrm_login login([&] { main.show(); });
    login.show();
    QTest::qWait(50);
    login.show();  // shown again for its picture: it hid itself when first drawn
    save(login, QStringLiteral("01-login"));
    login.hide();
    main.show();
    save(main, QStringLiteral("02-main-window"));

    {
        gui::TfrmBuild dialog(workspace, &main);
        dialog.memoEdit()->setText(QStringLiteral("2024级高一新生分班"));
        dialog.numEdit()->setText(QStringLiteral("6"));
        dialog.show();
        save(dialog, QStringLiteral("03-new-project"));
    }
    {
        gui::Tfrm_open dialog(workspace, &main);
        dialog.show();
        dialog.projectList()->selectId(project.fbId == "2" ? 2 : 1);
        save(dialog, QStringLiteral("04-open-project"));
    }
    workspace.setCurrentProject(project);
    {
        gui::Tfrm_insertFB dialog(workspace, &main);
        dialog.show();
        dialog.projectList()->selectId(1);
        save(dialog, QStringLiteral("05-copy-students"));
    }

    main.showSettings();
    gui::Tfrm_config& settings = *main.configForm();
    const char* pageNames[] = {"06-settings-subjects", "07-settings-rules", "08-settings-numbers",
                               "09-settings-deep-optimisation"};
    for (int page = 0; page < 4; ++page) {
        settings.pages()->setCurrentIndex(page);
        save(frameOf(settings), QString::fromUtf8(pageNames[page]));
    }
    settings.pages()->setCurrentIndex(2);

    gui::TfrmResult& result = *main.showResult();
    save(frameOf(result), QStringLiteral("10-result-empty"));
    QSignalSpy finished(&result, &gui::TfrmResult::runFinished);
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
    saveFileDialogPicture(main, next);

    // The work windows on small screens: each opened through its command in a main window of the
    // screen's size, the console below after a division.
    for (const QSize screen : {QSize(800, 600), QSize(1366, 768)}) {
        if (!main.closeProjectWindows()) {
            std::cerr << "the work windows did not close\n";
            return 1;
        }
        main.setGeometry(QRect(QPoint(0, 0), screen));
        const QString size = QStringLiteral("%1x%2").arg(screen.width()).arg(screen.height());
        gui::TfrmResult& shown = *main.showResult();
        QSignalSpy divided(&shown, &gui::TfrmResult::runFinished);
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
        gui::Tfrm_class_info* info = main.classInfoForm();
        QSignalSpy computed(info, &gui::Tfrm_class_info::statisticsShown);
        if (info->isComputing()) {
            computed.wait(60000);
        }
        save(main, size + QStringLiteral("-class-info"));
        info->pages()->setCurrentWidget(info->balancePage());
        save(main, size + QStringLiteral("-class-info-balance"));
        main.showStudentList();
        save(main, size + QStringLiteral("-student-list"));
        test::saveAdjustmentPictures(
            main, true, [&size](const char* what) { return size + QLatin1Char('-') + what; },
            [](QWidget& window, const QString& name) { return save(window, name); });
        main.showSettings();
        main.configForm()->pages()->setCurrentIndex(3);
        save(main, size + QStringLiteral("-settings-deep-optimisation"));
        saveAboutPicture(main, size + QStringLiteral("-about"));
    }

    std::cout << saved << " pictures\n";
    return 0;
}
