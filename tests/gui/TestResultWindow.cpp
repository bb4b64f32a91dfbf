// The result window: a division on its own thread fills the grid by class and writes the console;
// one run at a time; cancelling changes nothing; re-division shows the chosen classes only.
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include "GuiTestSupport.h"
#include "db/Connection.h"
#include "gui/TfrmResult.h"
#include "gui/TfrmShow.h"
#include "store/ProjectStore.h"

using namespace qm;

namespace {

constexpr int kRunTimeoutMs = 120000;

// A main window with a current project of `classes` classes and `students` students.
struct DivisionSession : test::MainWindowSession {
    DivisionSession(int classes, int students) {
        auto project = store::createProject(workspace.connection(), "高一", classes);
        test::insertStudents(workspace.connection(), project.fbTable,
                             test::sampleStudents(students));
        workspace.setCurrentProject(project);
        main.show();
    }

    // Runs "分班" (or the given start) and waits for the run's end; true when it succeeded.
    bool runToEnd(gui::TfrmResult& window, const std::function<void()>& start) {
        QSignalSpy finished(&window, &gui::TfrmResult::runFinished);
        start();
        if (!finished.wait(kRunTimeoutMs)) {
            return false;
        }
        return finished.first().first().toBool();
    }

    QStringList column(const QTableWidget& grid, int column) {
        QStringList texts;
        for (int row = 0; row < grid.rowCount(); ++row) {
            const QTableWidgetItem* item = grid.item(row, column);
            texts << (item ? item->text() : QString());
        }
        return texts;
    }
};

int classNumber(const QString& text) {
    QString digits = text;
    digits.chop(1);  // "3班"
    return digits.toInt();
}

}  // namespace

class TestResultWindow : public QObject {
    Q_OBJECT

  private slots:
    void newWindowShowsHeaderAndOneEmptyRow();
    void divisionFillsGridByClassAndWritesConsole();
    void oneRunAtATime();
    void cancelledRunChangesNothing();
    void redivisionShowsTheChosenClasses();
    void failedRunIsReportedAndGridKept();
    void divisionFollowsTheCurrentProject();
};

void TestResultWindow::newWindowShowsHeaderAndOneEmptyRow() {
    DivisionSession session(3, 0);
    gui::TfrmResult* window = session.main.showResult();
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QStringLiteral("分班结果"));
    const QTableWidget& grid = *window->sgClassShow();
    QCOMPARE(grid.columnCount(), 18);
    QCOMPARE(grid.rowCount(), 1);
    QStringList header;
    for (int c = 0; c < grid.columnCount(); ++c) {
        header << grid.horizontalHeaderItem(c)->text();
    }
    QCOMPARE(header, QStringList({"", "学号", "登分号", "姓名", "性别", "数学", "英语", "语文",
                                  "物理", "政治", "历史", "体育", "地理", "生物", "总分",
                                  "毕业学校", "地址", "班级"}));
    QCOMPARE(grid.columnWidth(0), 25);
    QCOMPARE(window->divideButton()->text(), QStringLiteral("分班"));
    const auto buttons = window->findChildren<QPushButton*>();
    const auto exportButton = std::find_if(buttons.begin(), buttons.end(), [](QPushButton* b) {
        return b->text() == QStringLiteral("导出到Excel");
    });
    QVERIFY(exportButton != buttons.end());
    QVERIFY((*exportButton)->isHidden());
}

void TestResultWindow::divisionFillsGridByClassAndWritesConsole() {
    DivisionSession session(4, 40);
    test::MessageLog log;
    gui::TfrmResult* window = session.main.showResult();
    QVERIFY(session.runToEnd(*window, [&] { window->divideButton()->click(); }));
    QVERIFY2(log.texts().isEmpty(), qPrintable(log.texts().join('\n')));

    const QTableWidget& grid = *window->sgClassShow();
    QCOMPARE(grid.rowCount(), 40);
    QStringList numbers;
    for (int r = 1; r <= 40; ++r) {
        numbers << QString::number(r);
    }
    QCOMPARE(session.column(grid, 0), numbers);
    // Ordered by class, every class used, and each row's class is the stored one.
    const QStringList classes = session.column(grid, 17);
    const QStringList ids = session.column(grid, 1);
    auto& connection = session.database.connection();
    for (int r = 0; r < grid.rowCount(); ++r) {
        QVERIFY(classes[r].endsWith(QStringLiteral("班")));
        if (r > 0) {
            QVERIFY(classNumber(classes[r - 1]) <= classNumber(classes[r]));
        }
        auto lookup = connection.prepare("select class_id from fb_1 where student_id=?");
        lookup.bind(1, ids[r].toInt());
        QCOMPARE(QString::number(lookup.query()[0]["class_id"].toInt()) + QStringLiteral("班"),
                 classes[r]);
    }
    QCOMPARE(QSet<QString>(classes.begin(), classes.end()).size(), 4);
    QCOMPARE(test::countRows(connection, "select * from fb_1 where class_id between 1 and 4"), 40);
    // Student 4 has half-point scores; the total is their sum.
    const int row4 = static_cast<int>(ids.indexOf(QStringLiteral("4")));
    QCOMPARE(grid.item(row4, 3)->text(), QStringLiteral("刘生4"));
    QCOMPARE(grid.item(row4, 5)->text(), QStringLiteral("68.5"));
    QCOMPARE(grid.item(row4, 14)->text(), QStringLiteral("652.5"));

    const QStringList lines = session.workspace.console().lines();
    QVERIFY(session.workspace.console().isVisible());
    QCOMPARE(lines.first(), QStringLiteral("信息显示................"));
    QCOMPARE(lines.count(QStringLiteral("对女的进行分")), 1);
    QCOMPARE(lines.count(QStringLiteral("对男的进行分")), 1);
    QVERIFY(lines.indexOf(QStringLiteral("对女的进行分")) <
            lines.indexOf(QStringLiteral("对男的进行分")));
    QCOMPARE(lines.last(), QStringLiteral("更新结束"));

    // A second run adds its lines below the first run's.
    QVERIFY(session.runToEnd(*window, [&] { window->startDivision(); }));
    const QStringList twice = session.workspace.console().lines();
    QCOMPARE(twice.count(QStringLiteral("更新结束")), 2);
    QCOMPARE(twice.first(), QStringLiteral("信息显示................"));
    QCOMPARE(twice.mid(0, lines.size()), lines);
}

void TestResultWindow::oneRunAtATime() {
    DivisionSession session(6, 300);
    test::MessageLog log;
    gui::TfrmResult* window = session.main.showResult();
    QSignalSpy finished(window, &gui::TfrmResult::runFinished);

    window->startDivision();
    // The run's end arrives through the event loop, so the run is under way until it is spun.
    QVERIFY(window->isRunning());
    QVERIFY(!window->divideButton()->isEnabled());
    QVERIFY(window->cancelButton()->isEnabled());
    QCOMPARE(window->progressBar()->maximum(), 0);  // busy
    window->startDivision();
    session.main.re_fb({1, 2});
    auto* frame = qobject_cast<QMdiSubWindow*>(window->parentWidget());
    frame->close();
    QCOMPARE(log.texts().size(), 3);
    QVERIFY(log.texts().at(0).contains(QStringLiteral("正在分班")));
    QVERIFY(log.texts().at(2).contains(QStringLiteral("正在分班")));
    QCOMPARE(session.main.resultForm(), window);
    QVERIFY(frame->isVisible());

    QVERIFY(finished.wait(kRunTimeoutMs));
    QCOMPARE(finished.size(), 1);
    QVERIFY(finished.first().first().toBool());
    QVERIFY(window->divideButton()->isEnabled());
    QVERIFY(!window->cancelButton()->isEnabled());
    QCOMPARE(window->sgClassShow()->rowCount(), 300);
}

void TestResultWindow::cancelledRunChangesNothing() {
    // Enough students that the run is still placing them when the cancel request comes.
    DivisionSession session(6, 1000);
    test::MessageLog log;
    gui::TfrmResult* window = session.main.showResult();
    const bool succeeded = session.runToEnd(*window, [&] {
        window->startDivision();
        window->cancelButton()->click();
    });
    QVERIFY(!succeeded);
    QVERIFY(log.texts().isEmpty());
    QCOMPARE(session.workspace.console().lines().last(), QStringLiteral("分班已取消"));
    QCOMPARE(test::countRows(session.database.connection(),
                             "select * from fb_1 where class_id<>0 or type<>0"),
             0);
    QCOMPARE(window->sgClassShow()->rowCount(), 1);
    QVERIFY(window->divideButton()->isEnabled());
}

void TestResultWindow::redivisionShowsTheChosenClasses() {
    DivisionSession session(4, 40);
    test::MessageLog log;
    gui::TfrmResult* window = session.main.showResult();
    QVERIFY(session.runToEnd(*window, [&] { window->startDivision(); }));
    auto& connection = session.database.connection();
    const int inChosen =
        test::countRows(connection, "select * from fb_1 where class_id=2 or class_id=4");
    const int elsewhere1 = test::countRows(connection, "select * from fb_1 where class_id=1");

    QVERIFY(session.runToEnd(*window, [&] { session.main.re_fb({2, 4}); }));
    QVERIFY2(log.texts().isEmpty(), qPrintable(log.texts().join('\n')));
    const QStringList classes = session.column(*window->sgClassShow(), 17);
    QCOMPARE(classes.size(), inChosen);
    for (const QString& text : classes) {
        QVERIFY2(text == QStringLiteral("2班") || text == QStringLiteral("4班"), qPrintable(text));
    }
    QCOMPARE(test::countRows(connection, "select * from fb_1 where class_id=1"), elsewhere1);
    QCOMPARE(session.workspace.console().lines().last(), QStringLiteral("重新分班结束"));
}

void TestResultWindow::failedRunIsReportedAndGridKept() {
    DivisionSession session(4, 20);
    gui::TfrmResult* window = session.main.showResult();
    session.database.connection().exec("update fb_info set num=0");
    test::MessageLog log;
    QVERIFY(!session.runToEnd(*window, [&] { window->startDivision(); }));
    QCOMPARE(log.messages().size(), std::size_t{1});
    QCOMPARE(log.messages()[0].kind, gui::MessageKind::Error);
    QVERIFY(log.messages()[0].text.contains(QStringLiteral("班级数")));
    QCOMPARE(window->sgClassShow()->rowCount(), 1);
    QVERIFY(window->divideButton()->isEnabled());
}

// After another project is opened, "分班" still divides the window's project, and classes chosen
// in the other project are not re-divided in it.
// Opening another project leaves the window as it is, but "分班" then divides the project that is
// current at that moment.
void TestResultWindow::divisionFollowsTheCurrentProject() {
    DivisionSession session(4, 40);
    test::MessageLog log;
    gui::TfrmResult* window = session.main.showResult();
    auto& connection = session.database.connection();
    const auto other = store::createProject(session.workspace.connection(), "复读班", 2);
    test::insertStudents(connection, other.fbTable, test::sampleStudents(10));
    session.workspace.setCurrentProject(other);

    QVERIFY(session.runToEnd(*window, [&] { window->startDivision(); }));
    QCOMPARE(test::countRows(connection,
                             "select * from " + other.fbTable + " where class_id between 1 and 2"),
             10);
    QCOMPARE(test::countRows(connection, "select * from fb_1 where class_id<>0"), 0);
    QCOMPARE(window->sgClassShow()->rowCount(), 10);
}

QTEST_MAIN(TestResultWindow)
#include "TestResultWindow.moc"
