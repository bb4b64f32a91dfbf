#include "AdjustmentPictures.h"

#include <QMdiSubWindow>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTreeWidget>

#include "AdjustmentSession.h"
#include "gui/MainWindow.h"
#include "gui/MdiChildren.h"
#include "gui/Workspace.h"
#include "gui/adjustments/HandMoveMenu.h"
#include "gui/adjustments/VersionComparisonDialog.h"
#include "gui/students/ClassFiguresPanel.h"
#include "gui/students/GroupPanel.h"
#include "gui/students/StudentListModel.h"
#include "gui/students/StudentListWindow.h"
#include "reports/VersionComparison.h"
#include "store/GroupStore.h"
#include "store/SavedVersions.h"

namespace qm::test {

namespace {

// The students of a class as the list shows them, in its order.
std::vector<gui::ChosenStudent> studentsOfClass(gui::StudentListWindow& list, int classId) {
    const int classColumn = gui::StudentListModel::columnOf("class_id");
    std::vector<gui::ChosenStudent> students;
    for (int row = 0; row < list.model()->rowCount(); ++row) {
        if (list.model()->text(row, classColumn).toInt() == classId) {
            students.push_back({*list.model()->storedStudentId(row), classId});
        }
    }
    return students;
}

QWidget& frameOf(QWidget& window) {
    auto* frame = qobject_cast<QMdiSubWindow*>(window.parentWidget());
    return frame ? static_cast<QWidget&>(*frame) : window;
}

int saveVersionNow(gui::Workspace& workspace, const QString& name) {
    const auto& project = workspace.currentProject();
    const auto versions = store::listVersions(workspace.connection(), project);
    return store::saveVersion(
        workspace.connection(), project,
        QStringLiteral("%1 %2").arg(name).arg(versions.size() + 1).toStdString());
}

}  // namespace

void saveAdjustmentPictures(gui::MainWindow& main, bool wholeWindow,
                            const std::function<QString(const char*)>& name,
                            const std::function<bool(QWidget&, const QString&)>& save) {
    gui::Workspace& workspace = main.workspace();
    main.showStudentList();
    gui::StudentListWindow& list = *main.studentListWindow();
    const auto picture = [&](QWidget& window, const char* what) {
        save(wholeWindow ? static_cast<QWidget&>(main) : frameOf(window), name(what));
    };

    // Two groups of the first class: two students kept apart (not kept yet), three together.
    const auto first = studentsOfClass(list, 1);
    if (store::loadGroups(workspace.connection(), workspace.currentProject().id()).empty() &&
        first.size() >= 5) {
        chooseInList(list, {first[0].studentId, first[1].studentId});
        test::named<gui::GroupPanel>(list, "GroupPanel")->addChosenGroup(store::GroupKind::Apart);
        chooseInList(list, {first[2].studentId, first[3].studentId, first[4].studentId});
        test::named<gui::GroupPanel>(list, "GroupPanel")
            ->addChosenGroup(store::GroupKind::Together);
    }
    test::named<QTabWidget>(list, "tabSide")
        ->setCurrentWidget(test::named<gui::GroupPanel>(list, "GroupPanel"));
    picture(list, "student-list-groups");

    // A student of the second class moved into the fifth, between two saved versions.
    const int before = saveVersionNow(workspace, QStringLiteral("分班后"));
    const auto second = studentsOfClass(list, 2);
    chooseInList(list, {second.back().studentId});
    gui::moveChosenStudent(&list, workspace, {second.back()}, 5, {});
    const int after = saveVersionNow(workspace, QStringLiteral("调整后"));
    test::named<QTabWidget>(list, "tabSide")
        ->setCurrentWidget(test::named<gui::ClassFiguresPanel>(list, "ClassFiguresPanel"));
    picture(list, "student-list-move");
    test::named<QTabWidget>(list, "tabFigures")->setCurrentIndex(1);
    picture(list, "student-list-move-bands");
    test::named<QTabWidget>(list, "tabFigures")->setCurrentIndex(0);
    gui::closeMdiChild(&list);

    gui::VersionComparisonDialog comparison(
        reports::compareVersions(workspace.connection(), workspace.currentProject(), before, after),
        &main);
    if (wholeWindow) {
        // As a screen of the main window's size bounds it.
        comparison.resize(comparison.size().boundedTo(main.size()));
        comparison.move(main.geometry().topLeft());
    }
    comparison.show();
    save(comparison, name("version-comparison"));
    test::named<QTabWidget>(comparison, "tabComparison")
        ->setCurrentWidget(test::named<QTableWidget>(comparison, "sgMovedStudents"));
    save(comparison, name("version-comparison-students"));
    test::named<QTabWidget>(comparison, "tabComparison")
        ->setCurrentWidget(test::named<QTableWidget>(comparison, "sgBalanceComparison"));
    save(comparison, name("version-comparison-balance"));
}

}  // namespace qm::test
