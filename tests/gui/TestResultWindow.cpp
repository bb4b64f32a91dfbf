// The result window: a division on its own thread fills the grid by class and writes the console;
// one bar shows the whole run; one run at a time; cancelling changes nothing; replacing classes
// is asked first; a divided project shows its classes as soon as the window opens; a re-division
// shows the whole project again with the chosen classes marked, and their figures before and after.
#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include "GuiTestSupport.h"
#include "db/Connection.h"
#include "engine/DivisionRun.h"
#include "gui/AppSetup.h"
#include "gui/MdiChildren.h"
#include "gui/MessageConsole.h"
#include "gui/division/DivisionResultWindow.h"
#include "gui/division/ResultGrid.h"
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
    bool runToEnd(gui::DivisionResultWindow& window, const std::function<void()>& start) {
        QSignalSpy finished(&window, &gui::DivisionResultWindow::runFinished);
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

// No place of the console is remembered while it lives, nor afterwards.
struct ForgottenConsolePlace {
    ForgottenConsolePlace() { forget(); }
    ~ForgottenConsolePlace() { forget(); }
    static void forget() { gui::programSettings().clear(); }
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
    void progressCoversTheWholeRun();
    void replacingClassesIsAskedFirst();
    void dividedProjectShowsItsClassesAtOnce();
    void redivisionShowsTheProjectWithTheChosenClassesMarked();
    void failedRunIsReportedAndGridKept();
    void rowNumbersAreNeverCut();
    void consoleStaysBesideTheResultWhereTheTeacherPutsIt();
};

void TestResultWindow::newWindowShowsHeaderAndOneEmptyRow() {
    DivisionSession session(3, 0);
    gui::DivisionResultWindow* window = session.main.showResult();
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QStringLiteral("分班结果 - 高一"));
    const QTableWidget& grid = *test::named<QTableWidget>(*window, "sgClassShow");
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
    QCOMPARE(test::named<QPushButton>(*window, "Button1")->text(), QStringLiteral("分班"));
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
    gui::DivisionResultWindow* window = session.main.showResult();
    QVERIFY(
        session.runToEnd(*window, [&] { test::named<QPushButton>(*window, "Button1")->click(); }));
    QVERIFY2(log.texts().isEmpty(), qPrintable(log.texts().join('\n')));

    const QTableWidget& grid = *test::named<QTableWidget>(*window, "sgClassShow");
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
    gui::DivisionResultWindow* window = session.main.showResult();
    QSignalSpy finished(window, &gui::DivisionResultWindow::runFinished);

    window->startDivision();
    // The run's end arrives through the event loop, so the run is under way until it is spun.
    QVERIFY(window->isRunning());
    QVERIFY(!test::named<QPushButton>(*window, "Button1")->isEnabled());
    QVERIFY(test::named<QPushButton>(*window, "bnCancel")->isEnabled());
    QCOMPARE(test::named<QProgressBar>(*window, "pbRun")->maximum(), 0);  // busy
    window->startDivision();
    session.main.redivide({1, 2});
    auto* frame = qobject_cast<QMdiSubWindow*>(window->parentWidget());
    frame->close();
    QCOMPARE(log.texts().size(), 3);
    QVERIFY(log.texts().at(0).contains(QStringLiteral("正在分班")));
    QVERIFY(log.texts().at(2).contains(QStringLiteral("正在分班")));
    QCOMPARE(session.main.resultWindow(), window);
    QVERIFY(frame->isVisible());

    QVERIFY(finished.wait(kRunTimeoutMs));
    QCOMPARE(finished.size(), 1);
    QVERIFY(finished.first().first().toBool());
    QVERIFY(test::named<QPushButton>(*window, "Button1")->isEnabled());
    QVERIFY(!test::named<QPushButton>(*window, "bnCancel")->isEnabled());
    QCOMPARE(test::named<QTableWidget>(*window, "sgClassShow")->rowCount(), 300);
}

void TestResultWindow::cancelledRunChangesNothing() {
    // Enough students that the run is still placing them when the cancel request comes.
    DivisionSession session(6, 1000);
    test::MessageLog log;
    gui::DivisionResultWindow* window = session.main.showResult();
    const bool succeeded = session.runToEnd(*window, [&] {
        window->startDivision();
        test::named<QPushButton>(*window, "bnCancel")->click();
    });
    QVERIFY(!succeeded);
    QVERIFY(log.texts().isEmpty());
    QCOMPARE(session.workspace.console().lines().last(),
             QStringLiteral("分班已取消，数据没有改变"));
    QCOMPARE(test::countRows(session.database.connection(),
                             "select * from fb_1 where class_id<>0 or type<>0"),
             0);
    QCOMPARE(test::named<QTableWidget>(*window, "sgClassShow")->rowCount(), 1);
    QVERIFY(test::named<QPushButton>(*window, "Button1")->isEnabled());
}

// Two categories and the rest, of both sexes and of very different sizes: the bar only moves on,
// from the start to the end of the run, and says in words where the run stands.
void TestResultWindow::progressCoversTheWholeRun() {
    DivisionSession session(4, 0);
    auto students = test::sampleStudents(400);
    for (std::size_t i = 0; i < 20; ++i) {
        students[i].pfType = "体育";
    }
    for (std::size_t i = 20; i < 60; ++i) {
        students[i].pfType = "艺术";
    }
    test::insertStudents(session.workspace.connection(), "fb_1", students);
    test::MessageLog log;
    gui::DivisionResultWindow* window = session.main.showResult();
    QStringList phases;
    QList<int> values;
    connect(
        test::named<QProgressBar>(*window, "pbRun"), &QProgressBar::valueChanged, window,
        [&](int value) {
            if (window->isRunning() && test::named<QProgressBar>(*window, "pbRun")->maximum() > 0) {
                values << value;
                phases << test::named<QLabel>(*window, "lbStage")->text();
            }
        });
    QVERIFY(session.runToEnd(*window, [&] { window->startDivision(); }));

    QVERIFY(values.size() > 10);
    QVERIFY(std::is_sorted(values.begin(), values.end()));
    QVERIFY(values.first() < 50);
    QVERIFY(values.last() > test::named<QProgressBar>(*window, "pbRun")->maximum() * 9 / 10);
    const QString all = phases.join('\n');
    for (const char* words : {"第 1/6 步 分类“体育” 女生", "分类“艺术” 男生",
                              "第 6/6 步 其余学生 男生", "微调 51/51"}) {
        QVERIFY2(all.contains(QString::fromUtf8(words)), words);
    }
    // The rest is placed from about a seventh of the bar on: 60 of 400 students are in categories.
    const auto rest = std::find_if(phases.begin(), phases.end(), [](const QString& phase) {
        return phase.contains(QStringLiteral("其余学生"));
    });
    QVERIFY(rest != phases.end());
    const auto restStarts = rest - phases.begin();
    QVERIFY(std::abs(values[restStarts] - 150) < 20);
}

// A second 分班 over a divided project, and every re-division, replace classes only after a Yes.
void TestResultWindow::replacingClassesIsAskedFirst() {
    DivisionSession session(4, 40);
    test::MessageLog log;
    gui::DivisionResultWindow* window = session.main.showResult();
    QVERIFY(session.runToEnd(*window, [&] { window->startDivision(); }));
    QVERIFY(log.texts().isEmpty());  // nothing to replace the first time
    auto& connection = session.database.connection();
    const auto classesOf = [&] {
        return connection.query("select group_concat(class_id) from fb_1")[0][0].toText();
    };
    // Five students fixed to a class count among the students in classes too.
    connection.exec("update fb_1 set type=2 where student_id<=5");
    const std::string divided = classesOf();

    log.setAnswer(false);
    window->startDivision();
    session.main.redivide({2, 4});
    QVERIFY(!window->isRunning());
    QCOMPARE(log.messages().size(), std::size_t{2});
    QCOMPARE(log.messages()[0].kind, gui::MessageKind::Question);
    QVERIFY2(log.texts()[0].contains(QStringLiteral("已经分过班，有 40 名学生")),
             qPrintable(log.texts()[0]));
    QCOMPARE(log.texts()[1], QStringLiteral("重新分班将改变 2班、4班 的学生，是否继续？"));
    QCOMPARE(classesOf(), divided);

    log.setAnswer(true);
    QVERIFY(session.runToEnd(*window, [&] { window->startDivision(); }));
    QCOMPARE(log.messages().size(), std::size_t{3});
}

// After a restart the window of a divided project shows the classes at once, the students no
// division placed as 未分班; a project not divided yet shows the empty grid.
void TestResultWindow::dividedProjectShowsItsClassesAtOnce() {
    DivisionSession session(4, 40);
    auto& connection = session.database.connection();
    QCOMPARE(test::named<QTableWidget>(*session.main.showResult(), "sgClassShow")->rowCount(), 1);
    QVERIFY(gui::closeMdiChild(session.main.resultWindow()));
    QApplication::processEvents();

    connection.exec("update fb_1 set sex='?' where student_id=40");
    engine::DivisionObserver quiet;
    engine::divide(connection, session.workspace.currentProject(), quiet);
    gui::DivisionResultWindow* window = session.main.showResult();
    const QStringList classes =
        session.column(*test::named<QTableWidget>(*window, "sgClassShow"), 17);
    QCOMPARE(classes.size(), 40);
    QCOMPARE(classes.first(), QStringLiteral("未分班"));
    QCOMPARE(classes.count(QStringLiteral("未分班")), 1);
    QCOMPARE(classes.last(), QStringLiteral("4班"));
    // The row still names the student and his class for a move by hand.
    const auto unplaced =
        static_cast<gui::ResultGrid*>(test::named<QTableWidget>(*window, "sgClassShow"))
            ->studentOfRow(0);
    QVERIFY(unplaced);
    QCOMPARE(unplaced->studentId, 40);
    QCOMPARE(unplaced->classId, 0);
}

// The grid lists the whole project again, the students of the chosen classes marked, the rest
// where they were.
void TestResultWindow::redivisionShowsTheProjectWithTheChosenClassesMarked() {
    DivisionSession session(4, 40);
    test::MessageLog log;
    gui::DivisionResultWindow* window = session.main.showResult();
    QVERIFY(session.runToEnd(*window, [&] { window->startDivision(); }));
    auto& connection = session.database.connection();
    const int inChosen =
        test::countRows(connection, "select * from fb_1 where class_id=2 or class_id=4");
    const int elsewhere1 = test::countRows(connection, "select * from fb_1 where class_id=1");
    // Class 2 gets the best students of class 4 so that the re-division has something to mend.
    connection.exec(
        "update fb_1 set class_id=case class_id when 2 then 4 else 2 end where student_id in "
        "(select student_id from fb_1 where class_id in (2,4) order by math+english desc "
        "limit 5)");

    QVERIFY(session.runToEnd(*window, [&] { session.main.redivide({2, 4}); }));
    QCOMPARE(log.texts(),
             QStringList{QStringLiteral("重新分班将改变 2班、4班 的学生，是否继续？")});
    const QTableWidget& grid = *test::named<QTableWidget>(*window, "sgClassShow");
    const QStringList classes = session.column(grid, 17);
    QCOMPARE(classes.size(), 40);
    int marked = 0;
    for (int r = 0; r < grid.rowCount(); ++r) {
        const bool chosen =
            classes[r] == QStringLiteral("2班") || classes[r] == QStringLiteral("4班");
        QCOMPARE(grid.item(r, 3)->background().style() != Qt::NoBrush, chosen);
        marked += chosen ? 1 : 0;
    }
    QCOMPARE(marked, inChosen);
    QCOMPARE(test::named<QLabel>(*window, "lbStage")->text(),
             QStringLiteral("重新分班完成（已标出 2班、4班）"));
    QCOMPARE(test::countRows(connection, "select * from fb_1 where class_id=1"), elsewhere1);

    // The console ends with the total figures of the two classes before and after.
    const QStringList lines = session.workspace.console().lines();
    const auto end = lines.indexOf(QStringLiteral("重新分班结束"));
    QVERIFY(end > 0);
    const QStringList figures = lines.mid(end + 1);
    QCOMPARE(figures.size(), 4);
    QVERIFY(figures[0].startsWith(QStringLiteral("重新分班前后各班总分平均分")));
    QVERIFY(figures[1].startsWith(QStringLiteral("2班: ")));
    QVERIFY(figures[2].startsWith(QStringLiteral("4班: ")));
    const QRegularExpression largest(QStringLiteral("^最大偏差: ([0-9.]+) → ([0-9.]+)$"));
    const auto match = largest.match(figures[3]);
    QVERIFY2(match.hasMatch(), qPrintable(figures[3]));
    QVERIFY(match.captured(2).toDouble() < match.captured(1).toDouble());
}

void TestResultWindow::failedRunIsReportedAndGridKept() {
    DivisionSession session(4, 20);
    gui::DivisionResultWindow* window = session.main.showResult();
    session.database.connection().exec("update fb_info set num=0");
    test::MessageLog log;
    QVERIFY(!session.runToEnd(*window, [&] { window->startDivision(); }));
    QCOMPARE(log.messages().size(), std::size_t{1});
    QCOMPARE(log.messages()[0].kind, gui::MessageKind::Error);
    QVERIFY(log.messages()[0].text.contains(QStringLiteral("班级数")));
    QCOMPARE(test::named<QTableWidget>(*window, "sgClassShow")->rowCount(), 1);
    QVERIFY(test::named<QPushButton>(*window, "Button1")->isEnabled());
}

// Twelve thousand rows still show their numbers whole.
void TestResultWindow::rowNumbersAreNeverCut() {
    DivisionSession session(3, 0);
    QTableWidget& grid = *test::named<QTableWidget>(*session.main.showResult(), "sgClassShow");
    grid.setRowCount(12000);
    const QString last = QStringLiteral("12000");
    QVERIFY(grid.columnWidth(0) > grid.fontMetrics().horizontalAdvance(last));
    const int wide = grid.columnWidth(0);
    grid.setRowCount(10);
    QVERIFY(grid.columnWidth(0) < wide);
    QVERIFY(grid.columnWidth(0) >= 25);
}

// The console is a panel below the work windows: it never covers the result grid. Moved to the
// right side, it is there again in the next program.
void TestResultWindow::consoleStaysBesideTheResultWhereTheTeacherPutsIt() {
    const test::TestSettings settings;
    const ForgottenConsolePlace forgotten;
    DivisionSession session(3, 30);
    test::MessageLog log;
    session.main.resize(1024, 700);
    gui::DivisionResultWindow* window = session.main.showResult();
    QVERIFY(session.runToEnd(*window, [&] { window->startDivision(); }));
    gui::MessageConsole& console = session.workspace.console();
    QCOMPARE(&console, session.main.console());
    QTRY_VERIFY(console.isVisible());
    QVERIFY(!console.isFloating());
    QCOMPARE(session.main.dockWidgetArea(&console), Qt::BottomDockWidgetArea);
    const auto globalRect = [](QWidget& widget) {
        return QRect(widget.mapToGlobal(QPoint()), widget.size());
    };
    QTRY_VERIFY(!globalRect(*test::named<QTableWidget>(*window, "sgClassShow"))
                     .intersects(globalRect(console)));
    // The whole result window stays inside the work area as the console takes its place.
    QVERIFY(test::named<QMdiArea>(session.main, "workArea")
                ->viewport()
                ->rect()
                .contains(window->parentWidget()->geometry()));

    session.main.addDockWidget(Qt::RightDockWidgetArea, &console);
    test::MainWindowSession next;
    QCOMPARE(next.main.dockWidgetArea(next.main.console()), Qt::RightDockWidgetArea);
    QVERIFY(!next.main.console()->isVisible());  // until a division writes to it
}

QTEST_MAIN(TestResultWindow)
#include "TestResultWindow.moc"
