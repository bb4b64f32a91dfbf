#include "DataWindowPictures.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>

#include "GuiTestSupport.h"
#include "gui/MainWindow.h"
#include "gui/MdiChildren.h"
#include "gui/Workspace.h"
#include "gui/intake/ImportPreviewWindow.h"
#include "gui/intake/ImportProgressDialog.h"
#include "gui/statistics/BalancePage.h"
#include "gui/statistics/ClassStatisticsWindow.h"
#include "gui/students/StudentListWindow.h"
#include "store/ProjectStore.h"

namespace qm::test {

namespace {

QWidget& frameOf(QWidget& window) {
    auto* frame = qobject_cast<QMdiSubWindow*>(window.parentWidget());
    return frame ? static_cast<QWidget&>(*frame) : window;
}

}  // namespace

int saveDataWindowPictures(gui::MainWindow& main, int firstNumber,
                           const std::function<bool(QWidget&, const QString&)>& save) {
    gui::Workspace& workspace = main.workspace();
    int number = firstNumber;
    auto name = [&number](const char* what) {
        return QStringLiteral("%1-%2").arg(number++, 2, 10, QLatin1Char('0')).arg(what);
    };

    main.showClassInfo();
    gui::ClassStatisticsWindow* info = main.statisticsWindow();
    QSignalSpy shown(info, &gui::ClassStatisticsWindow::statisticsShown);
    if (info->isComputing()) {
        shown.wait(60000);
    }
    QListWidget* classChoice = test::named<QListWidget>(*info, "lb_class");
    classChoice->item(1)->setSelected(true);
    classChoice->item(3)->setSelected(true);
    save(frameOf(*info), name("class-info"));
    test::named<QTabWidget>(*info, "tabStatistics")->setCurrentIndex(2);
    save(frameOf(*info), name("class-info-math-bands"));
    test::named<QTabWidget>(*info, "tabStatistics")->setCurrentIndex(10);
    save(frameOf(*info), name("class-info-categories"));
    test::named<QTabWidget>(*info, "tabStatistics")
        ->setCurrentWidget(test::named<gui::BalancePage>(*info, "BalancePage"));
    save(frameOf(*info), name("class-info-balance"));
    test::named<QTabWidget>(*info, "tabStatistics")
        ->setCurrentIndex(test::named<QTabWidget>(*info, "tabStatistics")->count() - 1);
    save(frameOf(*info), name("class-info-chart"));
    gui::closeMdiChild(info);

    main.showStudentList();
    gui::StudentListWindow* list = main.studentListWindow();
    save(frameOf(*list), name("student-list"));
    test::named<QTreeWidget>(*list, "tv_class")
        ->setCurrentItem(test::named<QTreeWidget>(*list, "tv_class")->topLevelItem(0)->child(2));
    test::named<QLineEdit>(*list, "ed_name")->setText(QStringLiteral("张"));
    test::named<QLineEdit>(*list, "edMath1")->setText(QStringLiteral("60"));
    test::named<QLineEdit>(*list, "edMath2")->setText(QStringLiteral("90"));
    test::named<QCheckBox>(*list, "cbClass")->setChecked(true);
    test::named<QPushButton>(*list, "BitBtn1")->click();
    save(frameOf(*list), name("student-list-query"));
    gui::closeMdiChild(list);

    withSamplePreview(main, [&](gui::ImportPreviewWindow& preview) {
        test::named<QTableWidget>(preview, "sgStudent")->selectRow(2);
        save(frameOf(preview), name("import-preview"));
        gui::ImportProgressDialog progress(workspace, workspace.currentProject(),
                                           preview.shownRows(), &main);
        progress.show();
        save(progress, name("import-progress"));
        QTest::qWait(1500);
    });
    return number;
}

void withSamplePreview(gui::MainWindow& main,
                       const std::function<void(gui::ImportPreviewWindow&)>& show) {
    gui::Workspace& workspace = main.workspace();
    const store::CurrentProject divided = workspace.currentProject();
    workspace.setCurrentProject(
        store::createProject(workspace.connection(), QStringLiteral("导入演示").toStdString(), 4));
    main.importStudents();
    gui::ImportPreviewWindow* preview = main.importWindow();
    QSignalSpy read(preview, &gui::ImportPreviewWindow::previewShown);
    preview->readIntoGrid(gui::ImportPreviewWindow::sampleWorkbookPath());
    read.wait(60000);
    show(*preview);
    gui::closeMdiChild(preview);
    workspace.setCurrentProject(divided);
}

}  // namespace qm::test
