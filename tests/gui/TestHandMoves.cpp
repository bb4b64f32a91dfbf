// Moves by hand in the desktop program: students dragged onto a class or a row, 调到… and 对调 in
// the student list and the result grid, each told at once to the figures beside the list, the
// statistics window and the other lists; a move that breaks a group refused with its reason;
// 撤销 and 重做 from the tool bar and the keyboard, also after a restart of the program, and an
// undo that a group set later would block.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>

#include "AdjustmentSession.h"
#include "db/Connection.h"
#include "gui/adjustments/AdjustCommands.h"
#include "gui/division/DivisionResultWindow.h"
#include "gui/division/ResultGrid.h"
#include "gui/statistics/ClassStatisticsWindow.h"
#include "gui/students/ClassFiguresPanel.h"
#include "gui/students/GroupPanel.h"
#include "gui/students/StudentListModel.h"
#include "gui/students/StudentListWindow.h"
#include "store/GroupStore.h"

using namespace qm;

namespace {

constexpr int kWaitMs = 120000;

gui::StudentListWindow& openList(test::AdjustmentSession& session) {
    session.main.command(QStringLiteral("7.学生名单"))->trigger();
    return *session.main.studentListWindow();
}

QPoint placeOfRow(QAbstractItemView& view, int row) {
    return view.visualRect(view.model()->index(row, 1)).center();
}

QTreeWidgetItem* classNode(gui::StudentListWindow& list, const QString& name) {
    QTreeWidgetItem* root = test::named<QTreeWidget>(list, "tv_class")->topLevelItem(0);
    for (int i = 0; i < root->childCount(); ++i) {
        if (root->child(i)->text(0) == name) {
            return root->child(i);
        }
    }
    return nullptr;
}

QStringList entriesOf(const QMenu& menu) {
    QStringList texts;
    for (const QAction* action : menu.actions()) {
        texts << action->text();
    }
    return texts;
}

QAction* entry(const QMenu& menu, const QString& text) {
    for (QAction* action : menu.actions()) {
        if (action->text() == text) {
            return action;
        }
    }
    return nullptr;
}

// The row of a class in 班级信息, by its name.
int infoRow(const QTableWidget& grid, const QString& name) {
    for (int row = 0; row < grid.rowCount(); ++row) {
        if (grid.item(row, 1) && grid.item(row, 1)->text() == name) {
            return row;
        }
    }
    return -1;
}

bool divide(gui::DivisionResultWindow& result) {
    QSignalSpy finished(&result, &gui::DivisionResultWindow::runFinished);
    result.startDivision();
    return finished.wait(kWaitMs) && finished.first().first().toBool();
}

// The row of a student in the result grid.
int resultRow(const gui::ResultGrid& grid, int studentId) {
    for (int row = 0; row < grid.rowCount(); ++row) {
        if (const auto student = grid.studentOfRow(row);
            student && student->studentId == studentId) {
            return row;
        }
    }
    return -1;
}

}  // namespace

class TestHandMoves : public QObject {
    Q_OBJECT

  private slots:
    void dropOntoAClassOfTheTreeShowsTheFiguresAtOnce();
    void dropOntoARowAndTheMenusOfTheList();
    void moveThatBreaksAGroupIsRefusedWithTheReason();
    void nothingMovesWhileADivisionRuns();
    void resultGridMovesAndEveryWindowFollows();
    void undoAndRedoFromTheToolBarAndTheKeyboard();
    void undoThatWouldBreakALaterGroupAsksWhatToDo();
    void undoSurvivesARestart();
};

void TestHandMoves::dropOntoAClassOfTheTreeShowsTheFiguresAtOnce() {
    test::AdjustmentSession session;
    test::MessageLog log;
    session.main.showClassInfo();
    gui::ClassStatisticsWindow& info = *session.main.statisticsWindow();
    QSignalSpy computed(&info, &gui::ClassStatisticsWindow::statisticsShown);
    QVERIFY(computed.wait(kWaitMs));
    gui::StudentListWindow& list = openList(session);

    test::chooseInList(list, {12});
    QCOMPARE(list.chosenStudents(), (std::vector<gui::ChosenStudent>{{12, 3}}));
    QTreeWidget& tree = *test::named<QTreeWidget>(list, "tv_class");
    // The student's own class and the root take nothing.
    QVERIFY(!test::dropStudents(tree, tree.visualItemRect(classNode(list, "3班")).center(),
                                list.chosenStudents()));
    QVERIFY(!test::dropStudents(tree, tree.visualItemRect(tree.topLevelItem(0)).center(),
                                list.chosenStudents()));
    QCOMPARE(session.classOf(12), 3);

    QVERIFY(test::dropStudents(tree, tree.visualItemRect(classNode(list, "1班")).center(),
                               list.chosenStudents()));
    QVERIFY2(log.texts().isEmpty(), qPrintable(log.texts().join('\n')));
    QCOMPARE(session.classOf(12), 1);
    QCOMPARE(test::listedClassOf(list, 12), QStringLiteral("1"));

    // The figures of the two classes and of all students, at once: 1班 now holds 63, 72, 81, 90
    // and 96 in mathematics (80.40, 0.90 above all students), 3班 69, 78 and 87 (78.00, -1.50).
    gui::ClassFiguresPanel& figures =
        *test::named<gui::ClassFiguresPanel>(list, "ClassFiguresPanel");
    QVERIFY(test::named<QLabel>(figures, "lbFiguresTitle")
                ->text()
                .contains(QStringLiteral("调到 1班")));
    const QTableWidget& table = *test::named<QTableWidget>(figures, "tbClassFigures");
    QCOMPARE(test::columnHeadings(table), QStringList({"1班", "3班", "全体"}));
    const struct {
        const char* figure;
        const char* className;
        const char* text;
        bool red;
    } expected[] = {
        {"男生数", "1班", "2", false},           {"女生数", "1班", "3", false},
        {"总人数", "1班", "5", false},           {"总人数", "3班", "3", false},
        {"数学", "1班", "80.40 (0.90)", false},  {"数学", "3班", "78.00 (-1.50)", true},
        {"数学", "全体", "79.50 (0.00)", false}, {"语文", "3班", "70.00 (0.00)", false},
    };
    for (const auto& cell : expected) {
        const QString row = QString::fromUtf8(cell.figure);
        const QString column = QString::fromUtf8(cell.className);
        QCOMPARE(test::textByHeadings(table, row, column), QString::fromUtf8(cell.text));
        QCOMPARE(test::redByHeadings(table, row, column), cell.red);
    }
    // The band counts of a subject: 90 and 96 in 1班's 90~99分.
    test::named<QComboBox>(figures, "cbBandSubject")->setCurrentText(QStringLiteral("数学"));
    QCOMPARE(test::textByHeadings(*test::named<QTableWidget>(figures, "tbBandFigures"), "90~99分",
                                  "1班"),
             QStringLiteral("2"));
    QCOMPARE(test::textByHeadings(*test::named<QTableWidget>(figures, "tbBandFigures"), "90~99分",
                                  "3班"),
             QString());
    QCOMPARE(test::textByHeadings(*test::named<QTableWidget>(figures, "tbBandFigures"), "80~89分",
                                  "3班"),
             QStringLiteral("1"));

    // The statistics window follows by itself.
    QVERIFY(computed.wait(kWaitMs));
    const QTableWidget& grid = *info.grid(0);
    QCOMPARE(grid.item(infoRow(grid, "1班"), 4)->text(), QStringLiteral("5"));
    QCOMPARE(grid.item(infoRow(grid, "3班"), 4)->text(), QStringLiteral("3"));

    // Clicking a class of the tree shows its figures.
    QTreeWidgetItem* second = classNode(list, "2班");
    test::named<QTreeWidget>(list, "tv_class")->setCurrentItem(second);
    emit test::named<QTreeWidget>(list, "tv_class")->itemClicked(second, 0);
    QCOMPARE(test::columnHeadings(table), QStringList({"2班", "全体"}));
}

void TestHandMoves::dropOntoARowAndTheMenusOfTheList() {
    test::AdjustmentSession session;
    test::MessageLog log;
    gui::StudentListWindow& list = openList(session);
    QTableView& grid = *test::named<QTableView>(list, "DBGrid1");

    // Onto the row of a student of another class: into that class; onto one of its own: nothing.
    test::chooseInList(list, {1});
    QVERIFY(!test::dropStudents(grid, placeOfRow(grid, test::listRowOf(list, 4)),
                                list.chosenStudents()));
    QVERIFY(test::dropStudents(grid, placeOfRow(grid, test::listRowOf(list, 2)),
                               list.chosenStudents()));
    QCOMPARE(session.classOf(1), 2);
    QCOMPARE(test::listedClassOf(list, 1), QStringLiteral("2"));
    // Several students at once are not moved: the teacher is told to move one.
    test::chooseInList(list, {3, 6});
    QVERIFY(test::dropStudents(grid, placeOfRow(grid, test::listRowOf(list, 4)),
                               list.chosenStudents()));
    QCOMPARE(log.texts().size(), 1);
    QVERIFY(log.texts().first().contains(QStringLiteral("一次只能调动一名学生")));
    QCOMPARE(session.classOf(3), 3);
    log.clear();

    // 调到…: every other class of the project.
    test::chooseInList(list, {5});
    QMenu menu;
    list.fillGridMenu(menu);
    QCOMPARE(entriesOf(menu).mid(0, 2), QStringList({"调到…", "对调"}));
    QVERIFY(!entry(menu, "对调")->isEnabled());
    QVERIFY(!entry(menu, "设为分开")->isEnabled());
    QMenu& moveTo = *entry(menu, "调到…")->menu();
    QCOMPARE(entriesOf(moveTo), QStringList({"1班", "3班"}));
    entry(moveTo, "3班")->trigger();
    QCOMPARE(session.classOf(5), 3);
    QCOMPARE(test::listedClassOf(list, 5), QStringLiteral("3"));
    // The button beside the record buttons offers the same.
    test::chooseInList(list, {7});
    QMenu& buttonMenu = *test::named<QPushButton>(list, "bnMoveTo")->menu();
    emit buttonMenu.aboutToShow();
    QCOMPARE(entriesOf(buttonMenu), QStringList({"2班", "3班"}));

    // 对调 of two chosen students.
    test::chooseInList(list, {4, 6});
    test::named<QPushButton>(list, "bnSwap")->click();
    QVERIFY2(log.texts().isEmpty(), qPrintable(log.texts().join('\n')));
    QCOMPARE(session.classOf(4), 3);
    QCOMPARE(session.classOf(6), 1);
    QCOMPARE(test::listedClassOf(list, 6), QStringLiteral("1"));
    test::chooseInList(list, {4});
    test::named<QPushButton>(list, "bnSwap")->click();
    QCOMPARE(log.texts().size(), 1);
    QVERIFY(log.texts().first().contains(QStringLiteral("两名学生")));
    QCOMPARE(session.classOf(4), 3);
}

void TestHandMoves::moveThatBreaksAGroupIsRefusedWithTheReason() {
    test::AdjustmentSession session;
    test::MessageLog log;
    store::addGroups(session.workspace.connection(), session.project,
                     {{store::GroupKind::Apart, {1, 2}, "双胞胎"}});
    gui::StudentListWindow& list = openList(session);
    test::chooseInList(list, {2});
    QVERIFY(test::dropStudents(
        *test::named<QTreeWidget>(list, "tv_class"),
        test::named<QTreeWidget>(list, "tv_class")->visualItemRect(classNode(list, "1班")).center(),
        list.chosenStudents()));
    QCOMPARE(log.texts().size(), 1);
    QVERIFY2(log.texts().first().contains(QStringLiteral("分开组")) &&
                 log.texts().first().contains(QStringLiteral("学号 1、2")),
             qPrintable(log.texts().first()));
    QCOMPARE(session.classOf(2), 2);
    QCOMPARE(test::listedClassOf(list, 2), QStringLiteral("2"));
    QVERIFY(!session.main.command(QStringLiteral("撤销"))->isEnabled());
}

// A division holds the database until it ends: moves and undo wait for it, with a message.
void TestHandMoves::nothingMovesWhileADivisionRuns() {
    test::AdjustmentSession session;
    test::MessageLog log;
    gui::DivisionResultWindow& result = *session.main.showResult();
    QSignalSpy finished(&result, &gui::DivisionResultWindow::runFinished);
    result.startDivision();
    QAction& undo = *session.main.command(QStringLiteral("撤销"));
    QVERIFY(!undo.isEnabled());
    QVERIFY(undo.toolTip().contains(QStringLiteral("正在分班")));
    log.clear();  // the question before replacing the classes
    QVERIFY(!gui::moveStudentByHand(&session.main, session.workspace, 12, 1));
    QCOMPARE(log.texts(), QStringList{QStringLiteral("正在分班，请等待分班结束后再操作")});
    QVERIFY(finished.wait(kWaitMs));
    QVERIFY(undo.isEnabled());
    QVERIFY(undo.toolTip().startsWith(QStringLiteral("撤销：分班")));
}

void TestHandMoves::resultGridMovesAndEveryWindowFollows() {
    test::AdjustmentSession session;
    test::MessageLog log;
    gui::DivisionResultWindow& result = *session.main.showResult();
    QVERIFY(divide(result));
    gui::StudentListWindow& list = openList(session);
    log.clear();
    auto& grid = static_cast<gui::ResultGrid&>(*test::named<QTableWidget>(result, "sgClassShow"));

    // Two students of different classes after the division.
    const auto divided = session.classes();
    const int first = 1;
    int second = 2;
    while (divided.at(second) == divided.at(first)) {
        ++second;
    }
    grid.selectRow(resultRow(grid, first));
    QVERIFY(
        test::dropStudents(grid, placeOfRow(grid, resultRow(grid, second)), grid.chosenStudents()));
    QVERIFY2(log.texts().isEmpty(), qPrintable(log.texts().join('\n')));
    const int target = divided.at(second);
    QCOMPARE(session.classOf(first), target);
    // The grid lists the classes as they are now; so does the student list.
    QCOMPARE(grid.studentOfRow(resultRow(grid, first))->classId, target);
    QCOMPARE(test::listedClassOf(list, first), QString::number(target));

    // 调到… and 对调 from the grid's menu.
    grid.selectRow(resultRow(grid, first));
    QMenu menu;
    grid.fillContextMenu(menu);
    QMenu& moveTo = *entry(menu, "调到…")->menu();
    QVERIFY(!entriesOf(moveTo).contains(QStringLiteral("%1班").arg(target)));
    const int back = divided.at(first);
    entry(moveTo, QStringLiteral("%1班").arg(back))->trigger();
    QCOMPARE(session.classOf(first), back);
    grid.clearSelection();
    grid.selectionModel()->select(grid.model()->index(resultRow(grid, first), 0),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
    grid.selectionModel()->select(grid.model()->index(resultRow(grid, second), 0),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QMenu swapMenu;
    grid.fillContextMenu(swapMenu);
    entry(swapMenu, "对调")->trigger();
    QCOMPARE(session.classOf(first), divided.at(second));
    QCOMPARE(session.classOf(second), divided.at(first));
    QCOMPARE(grid.studentOfRow(resultRow(grid, second))->classId, divided.at(first));
    QVERIFY2(log.texts().isEmpty(), qPrintable(log.texts().join('\n')));

    // The division is a step too: undone, every student is back where the fixture put him.
    session.main.command(QStringLiteral("撤销"))->trigger();  // the swap
    session.main.command(QStringLiteral("撤销"))->trigger();  // 调到
    session.main.command(QStringLiteral("撤销"))->trigger();  // the drop
    QCOMPARE(session.classes(), divided);
    QVERIFY(session.main.command(QStringLiteral("撤销"))->toolTip().startsWith("撤销：分班"));
    session.main.command(QStringLiteral("撤销"))->trigger();
    for (const auto& [student, classId] : session.classes()) {
        QCOMPARE(classId, (student - 1) % 3 + 1);
    }
    QCOMPARE(grid.studentOfRow(resultRow(grid, 12))->classId, 3);
    QCOMPARE(test::listedClassOf(list, 12), QStringLiteral("3"));
    QVERIFY2(log.texts().isEmpty(), qPrintable(log.texts().join('\n')));
}

void TestHandMoves::undoAndRedoFromTheToolBarAndTheKeyboard() {
    test::AdjustmentSession session;
    test::MessageLog log;
    QAction& undo = *session.main.command(QStringLiteral("撤销"));
    QAction& redo = *session.main.command(QStringLiteral("重做"));
    QVERIFY(!undo.isEnabled());
    QVERIFY(!redo.isEnabled());
    QCOMPARE(undo.toolTip(), QStringLiteral("没有可以撤销的操作 (Ctrl+Z)"));

    gui::StudentListWindow& list = openList(session);
    test::chooseInList(list, {12});
    QMenu menu;
    list.fillGridMenu(menu);
    entry(*entry(menu, "调到…")->menu(), "1班")->trigger();
    QCOMPARE(session.classOf(12), 1);
    QVERIFY(undo.isEnabled());
    QCOMPARE(undo.toolTip(), QStringLiteral("撤销：把 学号 12 学生12 从 3班 调到 1班 (Ctrl+Z)"));

    QVERIFY(QTest::qWaitForWindowActive(&session.main));
    QTest::keyClick(&session.main, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(session.classOf(12), 3);
    QCOMPARE(test::listedClassOf(list, 12), QStringLiteral("3"));
    QVERIFY(test::named<QLabel>(list, "lbFiguresTitle")
                ->text()
                .startsWith(QStringLiteral("撤销“把 学号 12")));
    QVERIFY(!undo.isEnabled());
    QVERIFY(redo.isEnabled());
    QVERIFY(redo.toolTip().startsWith(QStringLiteral("重做：把 学号 12")));
    QTest::keyClick(&session.main, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(session.classOf(12), 1);
    QVERIFY(undo.isEnabled());
    QVERIFY(!redo.isEnabled());
    QVERIFY2(log.texts().isEmpty(), qPrintable(log.texts().join('\n')));

    // A class typed in the list since: undo refuses, naming the student, and changes nothing.
    session.database.connection().exec("update " + session.project.fbTable +
                                       " set class_id=2 where student_id=12");
    undo.trigger();
    QCOMPARE(log.texts().size(), 1);
    QVERIFY2(log.texts().first().contains(QStringLiteral("学号 12")), qPrintable(log.texts()[0]));
    QCOMPARE(session.classOf(12), 2);
}

// A group set after a move that its undo would break: the teacher is told which group, and may
// leave it, undo all the same with the group kept, or undo after the group is deleted.
void TestHandMoves::undoThatWouldBreakALaterGroupAsksWhatToDo() {
    test::AdjustmentSession session;
    test::MessageLog log;
    QAction& undo = *session.main.command(QStringLiteral("撤销"));
    QAction& redo = *session.main.command(QStringLiteral("重做"));
    QVERIFY(gui::moveStudentByHand(&session.main, session.workspace, 1, 2));
    store::addGroups(session.workspace.connection(), session.project,
                     {{store::GroupKind::Apart, {1, 4}, ""}});  // 4 sits in 1班, where 1 came from
    QTreeWidget& groups = *test::named<QTreeWidget>(openList(session), "tv_groups");
    QCOMPARE(groups.topLevelItemCount(), 1);

    undo.trigger();  // 取消
    QCOMPARE(log.messages().size(), std::size_t{1});
    const gui::UserMessage& question = log.messages().front();
    QCOMPARE(question.kind, gui::MessageKind::Choice);
    QVERIFY2(question.text.contains(QStringLiteral("分开组 1: 学号 1、4 同在 1班")),
             qPrintable(question.text));
    QCOMPARE(question.choices,
             QStringList({QStringLiteral("仍然撤销，保留约束"), QStringLiteral("删除约束后撤销")}));
    QCOMPARE(session.classOf(1), 2);

    log.setChoice(0);
    undo.trigger();
    QCOMPARE(session.classOf(1), 1);
    QCOMPARE(groups.topLevelItemCount(), 1);  // kept for the next division

    redo.trigger();  // in 2班 the group is kept: nothing to ask
    QCOMPARE(session.classOf(1), 2);
    QCOMPARE(log.messages().size(), std::size_t{2});

    log.setChoice(1);
    undo.trigger();
    QCOMPARE(session.classOf(1), 1);
    QCOMPARE(groups.topLevelItemCount(), 0);
    QCOMPARE(log.messages().size(), std::size_t{3});
}

void TestHandMoves::undoSurvivesARestart() {
    test::TestSettings settings;
    test::TempDatabase database;
    test::MessageLog log;
    const store::CurrentProject project =
        store::createProject(database.connection(), "高一调整", 3);
    test::insertStudents(database.connection(), project.fbTable, test::sampleStudents(6));
    database.connection().exec("update " + project.fbTable +
                               " set class_id=(student_id-1)%3+1, type=1");
    {
        gui::Workspace workspace(database.path());
        gui::MainWindow main(workspace);
        workspace.setCurrentProject(project);
        QVERIFY(gui::moveStudentByHand(&main, workspace, 6, 1));
    }
    gui::Workspace workspace(database.path());
    gui::MainWindow main(workspace);
    QAction& undo = *main.command(QStringLiteral("撤销"));
    QVERIFY(!undo.isEnabled());  // no project yet
    workspace.setCurrentProject(store::openProject(workspace.connection(), project.id()));
    QVERIFY(undo.isEnabled());
    QVERIFY(undo.toolTip().contains(QStringLiteral("从 3班 调到 1班")));
    undo.trigger();
    QCOMPARE(database.connection()
                 .query("select class_id from " + project.fbTable + " where student_id=6")
                 .at(0, 0)
                 .toInt(),
             std::int64_t(3));
    QVERIFY(main.command(QStringLiteral("重做"))->isEnabled());
    QVERIFY2(log.texts().isEmpty(), qPrintable(log.texts().join('\n')));
}

QTEST_MAIN(TestHandMoves)
#include "TestHandMoves.moc"
