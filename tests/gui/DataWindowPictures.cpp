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

#include "gui/BalancePage.h"
#include "gui/MdiChildren.h"
#include "gui/Tfrm_class_info.h"
#include "gui/Tfrm_excelToDb.h"
#include "gui/Tfrm_list.h"
#include "gui/Tfrm_main.h"
#include "gui/Tfrm_pb.h"
#include "gui/Workspace.h"
#include "store/ProjectStore.h"

namespace qm::test {

namespace {

QWidget& frameOf(QWidget& window) {
    auto* frame = qobject_cast<QMdiSubWindow*>(window.parentWidget());
    return frame ? static_cast<QWidget&>(*frame) : window;
}

}  // namespace

int saveDataWindowPictures(gui::Tfrm_main& main, int firstNumber,
                           const std::function<bool(QWidget&, const QString&)>& save) {
    gui::Workspace& workspace = main.workspace();
    int number = firstNumber;
    auto name = [&number](const char* what) {
        return QStringLiteral("%1-%2").arg(number++, 2, 10, QLatin1Char('0')).arg(what);
    };

    main.showClassInfo();
    gui::Tfrm_class_info* info = main.classInfoForm();
    QSignalSpy shown(info, &gui::Tfrm_class_info::statisticsShown);
    if (info->isComputing()) {
        shown.wait(60000);
    }
    info->lb_class()->item(1)->setSelected(true);
    info->lb_class()->item(3)->setSelected(true);
    save(frameOf(*info), name("class-info"));
    info->pages()->setCurrentIndex(2);
    save(frameOf(*info), name("class-info-math-bands"));
    info->pages()->setCurrentIndex(10);
    save(frameOf(*info), name("class-info-categories"));
    info->pages()->setCurrentWidget(info->balancePage());
    save(frameOf(*info), name("class-info-balance"));
    info->pages()->setCurrentIndex(info->pages()->count() - 1);
    save(frameOf(*info), name("class-info-chart"));
    gui::closeMdiChild(info);

    main.showStudentList();
    gui::Tfrm_list* list = main.listForm();
    save(frameOf(*list), name("student-list"));
    list->tv_class()->setCurrentItem(list->tv_class()->topLevelItem(0)->child(2));
    list->ed_name()->setText(QStringLiteral("张"));
    list->edMath1()->setText(QStringLiteral("60"));
    list->edMath2()->setText(QStringLiteral("90"));
    list->cbClass()->setChecked(true);
    list->queryButton()->click();
    save(frameOf(*list), name("student-list-query"));
    gui::closeMdiChild(list);

    withSamplePreview(main, [&](gui::Tfrm_excelToDb& preview) {
        preview.sgStudent()->selectRow(2);
        save(frameOf(preview), name("import-preview"));
        gui::Tfrm_pb progress(workspace, workspace.currentProject(), preview.shownRows(), &main);
        progress.show();
        save(progress, name("import-progress"));
        QTest::qWait(1500);
    });
    return number;
}

void withSamplePreview(gui::Tfrm_main& main,
                       const std::function<void(gui::Tfrm_excelToDb&)>& show) {
    gui::Workspace& workspace = main.workspace();
    const store::CurrentProject divided = workspace.currentProject();
    workspace.setCurrentProject(
        store::createProject(workspace.connection(), QStringLiteral("导入演示").toStdString(), 4));
    main.importStudents();
    gui::Tfrm_excelToDb* preview = main.importForm();
    QSignalSpy read(preview, &gui::Tfrm_excelToDb::previewShown);
    preview->showInStrgrid(gui::Tfrm_excelToDb::sampleWorkbookPath());
    read.wait(60000);
    show(*preview);
    gui::closeMdiChild(preview);
    workspace.setCurrentProject(divided);
}

}  // namespace qm::test
