// The class statistics window: figures of the core in eleven grids with red deviations, the chart
// of the class averages, and a re-division of chosen classes through the result window.
#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <map>

#include "GuiTestSupport.h"
#include "db/Connection.h"
#include "engine/DivisionRun.h"
#include "gui/MdiChildren.h"
#include "gui/division/DivisionResultWindow.h"
#include "gui/intake/ImportPreviewWindow.h"
#include "gui/statistics/ClassAverageChart.h"
#include "gui/statistics/ClassStatisticsWindow.h"
#include "gui/students/StudentListWindow.h"
#include "reports/ClassStatistics.h"
#include "store/ProjectStore.h"

using namespace qm;

namespace {

constexpr int kWaitMs = 120000;

struct StatisticsSession : test::ProjectSession {
    using ProjectSession::ProjectSession;

    // "6.班级信息", its first figures computed.
    gui::ClassStatisticsWindow* open() {
        main.command(QStringLiteral("6.班级信息"))->trigger();
        gui::ClassStatisticsWindow* window = main.statisticsWindow();
        test::waitForStatistics(*window);
        return window;
    }
};

test::StudentRow student(int id, const char* sex, int classId, double math, double english) {
    test::StudentRow s;
    s.student_id = id;
    s.student_name = "学生" + std::to_string(id);
    s.sex = sex;
    s.class_id = classId;
    s.type = 1;
    s.scores = {math, english, 70, 70, 70, 70, 70, 70, 70};
    return s;
}

QString cellText(const QTableWidget& grid, int row, int column) {
    const QTableWidgetItem* item = grid.item(row, column);
    return item ? item->text() : QString();
}

bool isRed(const QTableWidget& grid, int row, int column) {
    const QTableWidgetItem* item = grid.item(row, column);
    return item && item->foreground().color() == QColor(Qt::red);
}

}  // namespace

class TestClassInfoWindow : public QObject {
    Q_OBJECT

  private slots:
    void gridsShowTheFiguresWithRedDeviations();
    void studentsNoDivisionPlacedAreNoClass();
    void projectWithoutStudentsIsToldAndGridsShowOnlyTitles();
    void redivisionChangesOnlyTheChosenClasses();
    void commandsOpenEachWindowOnce();
};

// Class 1 averages 81.01 in mathematics and 81 in English, class 2 78.99 and 79: the cohort
// averages 80, so mathematics deviates by 1.01 either way (red) and English by 1.00 (not red).
void TestClassInfoWindow::gridsShowTheFiguresWithRedDeviations() {
    StatisticsSession session(2, {student(1, "男", 1, 81.01, 81), student(2, "男", 1, 81.01, 81),
                                  student(3, "男", 2, 78.99, 79), student(4, "女", 2, 78.99, 79)});
    test::MessageLog log;
    gui::ClassStatisticsWindow* window = session.open();
    QVERIFY2(log.texts().isEmpty(), qPrintable(log.texts().join('\n')));
    QCOMPARE(window->windowTitle(), QStringLiteral("班级信息 - 高一"));

    QStringList pages;
    for (int i = 0; i < test::named<QTabWidget>(*window, "tabStatistics")->count(); ++i) {
        pages << test::named<QTabWidget>(*window, "tabStatistics")->tabText(i);
    }
    QCOMPARE(pages, QStringList({"班级信息", "语文", "数学", "英语", "物理", "政治", "历史", "体育",
                                 "地理", "生物", "每一类的人数", "均衡度", "平均分对比图"}));
    const auto* prompt = window->findChild<QLabel*>(QStringLiteral("lb_prompt"));
    QVERIFY(prompt);
    QCOMPARE(prompt->text(), QStringLiteral("请选择重分的班       "));
    QCOMPARE(prompt->palette().color(QPalette::WindowText), QColor(Qt::red));
    QStringList buttons;
    for (const QPushButton* button :
         {test::named<QPushButton>(*window, "bnRefb"), test::named<QPushButton>(*window, "BitBtn1"),
          test::named<QPushButton>(*window, "BitBtn2"),
          test::named<QPushButton>(*window, "BitBtn3")}) {
        buttons << button->text();
    }
    QCOMPARE(buttons, QStringList({"重新分班", "更新数据", "导出分班数据", "取消"}));

    const QTableWidget& info = *window->grid(0);
    QCOMPARE(info.objectName(), QStringLiteral("sgClass_info"));
    QCOMPARE(info.columnCount(), 26);
    QCOMPARE(info.rowCount(), 3);  // two classes and all students
    QCOMPARE(info.horizontalHeaderItem(6)->text(), QStringLiteral("数学偏差"));
    QCOMPARE(info.columnWidth(0), 15);
    QCOMPARE(cellText(info, 0, 1), QStringLiteral("1班"));
    QCOMPARE(cellText(info, 1, 1), QStringLiteral("2班"));
    QCOMPARE(cellText(info, 0, 3), QStringLiteral("0"));  // no girls in class 1
    QCOMPARE(cellText(info, 1, 3), QStringLiteral("1"));
    QCOMPARE(cellText(info, 0, 5), QStringLiteral("   81.01"));
    QCOMPARE(cellText(info, 2, 5), QStringLiteral("   80.00"));

    // Mathematics deviations 1.01 and -1.01 are red; English 1.00 and -1.00 are not.
    QCOMPARE(cellText(info, 0, 6).trimmed(), QStringLiteral("1.01"));
    QCOMPARE(cellText(info, 1, 6).trimmed(), QStringLiteral("-1.01"));
    QVERIFY(isRed(info, 0, 6));
    QVERIFY(isRed(info, 1, 6));
    QCOMPARE(cellText(info, 0, 8).trimmed(), QStringLiteral("1.00"));
    QCOMPARE(cellText(info, 1, 8).trimmed(), QStringLiteral("-1.00"));
    QVERIFY(!isRed(info, 0, 8));
    QVERIFY(!isRed(info, 1, 8));
    QVERIFY(!isRed(info, 2, 6));  // the row of all students

    // Each grid shows the core's grid: titles as headings, then its rows.
    const auto grids = window->statistics()->grids();
    for (int g = 0; g < gui::ClassStatisticsWindow::kGridCount; ++g) {
        const QTableWidget& view = *window->grid(g);
        const reports::StatGrid& expected = *grids[static_cast<std::size_t>(g)];
        QCOMPARE(view.rowCount(), static_cast<int>(expected.rowCount()) - 1);
        for (std::size_t c = 0; c < expected.columnCount(); ++c) {
            QCOMPARE(view.horizontalHeaderItem(int(c))->text(),
                     QString::fromStdString(expected.text(0, c)));
            for (std::size_t r = 1; r < expected.rowCount(); ++r) {
                QCOMPARE(cellText(view, int(r) - 1, int(c)),
                         QString::fromStdString(expected.text(r, c)));
            }
        }
    }
    // Mathematics page: both students of class 1 in the band 80~89分 (column 10).
    QCOMPARE(cellText(*window->grid(2), 0, 10), QStringLiteral("2"));
    QCOMPARE(cellText(*window->grid(2), 0, 9), QString());

    QStringList classes;
    for (int i = 0; i < test::named<QListWidget>(*window, "lb_class")->count(); ++i) {
        classes << test::named<QListWidget>(*window, "lb_class")->item(i)->text();
    }
    QCOMPARE(classes, QStringList({"1班", "2班"}));

    // The chart: the total first, mathematics red for both classes, English not.
    const gui::AverageChartData& chart =
        test::named<gui::ClassAverageChart>(*window, "chartAverages")->data();
    QCOMPARE(chart.classNames, QStringList({"1班", "2班"}));
    QCOMPARE(chart.figures.size(), std::size_t(10));
    QCOMPARE(chart.figures[0].name, QStringLiteral("总分"));
    QCOMPARE(chart.figures[1].name, QStringLiteral("数学"));
    QCOMPARE(chart.figures[1].red, std::vector<bool>({true, true}));
    QCOMPARE(chart.figures[2].name, QStringLiteral("英语"));
    QCOMPARE(chart.figures[2].red, std::vector<bool>({false, false}));
    QVERIFY(qAbs(chart.figures[1].cohort - 80.0) < 1e-9);
}

// A student whose sex is neither 男 nor 女 stays in class 0 after a division: the grids name him
// 未分班, the chart leaves him out (his bar would flatten the classes'), and 未分班 is not offered
// for re-division.
void TestClassInfoWindow::studentsNoDivisionPlacedAreNoClass() {
    StatisticsSession session(
        2, {student(1, "男", 1, 80, 80), student(2, "女", 2, 80, 80), student(3, "？", 0, 5, 5)});
    session.workspace.connection().exec("update fb_1 set type=0 where student_id=3");
    test::MessageLog log;
    gui::ClassStatisticsWindow* window = session.open();
    const QTableWidget& info = *window->grid(0);
    QCOMPARE(info.rowCount(), 4);
    QCOMPARE(cellText(info, 0, 1), QStringLiteral("未分班"));
    QCOMPARE(cellText(info, 3, 1), QStringLiteral("全体"));
    QCOMPARE(cellText(*window->grid(2), 0, 1), QStringLiteral("未分班"));
    QCOMPARE(test::named<QListWidget>(*window, "lb_class")->count(), 2);
    QCOMPARE(test::named<QListWidget>(*window, "lb_class")->item(0)->text(), QStringLiteral("1班"));
    QCOMPARE(test::named<gui::ClassAverageChart>(*window, "chartAverages")->data().classNames,
             QStringList({"1班", "2班"}));
    QCOMPARE(test::named<gui::ClassAverageChart>(*window, "chartAverages")
                 ->data()
                 .figures[0]
                 .averages.size(),
             std::size_t(2));
    QVERIFY2(log.texts().isEmpty(), qPrintable(log.texts().join('\n')));
}

void TestClassInfoWindow::projectWithoutStudentsIsToldAndGridsShowOnlyTitles() {
    StatisticsSession session(3, {});
    test::MessageLog log;
    gui::ClassStatisticsWindow* window = session.open();
    QCOMPARE(log.texts(), QStringList({QString::fromUtf8(reports::kNoStudentsMessage)}));
    QCOMPARE(window->grid(0)->rowCount(), 0);
    // The titles are shown all the same.
    QCOMPARE(window->grid(0)->columnCount(), 26);
    QCOMPARE(window->grid(0)->horizontalHeaderItem(5)->text(), QStringLiteral("数学平均分"));
    QCOMPARE(window->grid(1)->horizontalHeaderItem(17)->text(), QStringLiteral("150分"));
    QVERIFY(!window->statistics());
    QVERIFY(test::named<QPushButton>(*window, "BitBtn1")->isEnabled());
}

void TestClassInfoWindow::redivisionChangesOnlyTheChosenClasses() {
    StatisticsSession session(4, test::sampleStudents(48));
    engine::DivisionObserver quiet;
    engine::divide(session.database.connection(), session.project, quiet);
    const auto before = session.classOfStudent();

    test::MessageLog log;
    gui::ClassStatisticsWindow* window = session.open();
    QCOMPARE(test::named<QListWidget>(*window, "lb_class")->count(), 4);

    // Nothing chosen: refused with a message, and no result window.
    test::named<QPushButton>(*window, "bnRefb")->click();
    QCOMPARE(log.texts().size(), 1);
    QVERIFY(log.texts().first().contains(QStringLiteral("请先")));
    QVERIFY(!session.main.resultWindow());
    log.clear();

    // A click selects and a second click deselects: choose 1班 and 3班.
    for (int row : {0, 1, 2, 1}) {
        QListWidget* list = test::named<QListWidget>(*window, "lb_class");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    }
    QCOMPARE(test::named<QListWidget>(*window, "lb_class")->selectedItems().size(), 2);

    QSignalSpy refreshed(window, &gui::ClassStatisticsWindow::statisticsShown);
    test::named<QPushButton>(*window, "bnRefb")->click();
    gui::DivisionResultWindow* result = session.main.resultWindow();
    QVERIFY(result);
    QSignalSpy finished(result, &gui::DivisionResultWindow::runFinished);
    QVERIFY(result->isRunning() || finished.count() > 0);
    if (finished.isEmpty()) {
        QVERIFY(finished.wait(kWaitMs));
    }
    QVERIFY2(finished.first().first().toBool(), qPrintable(log.texts().join('\n')));

    const auto after = session.classOfStudent();
    QCOMPARE(after.size(), before.size());
    for (const auto& [id, classId] : before) {
        if (classId == 2 || classId == 4) {
            QCOMPARE(after.at(id), classId);
        } else {
            QVERIFY(after.at(id) == 1 || after.at(id) == 3);
        }
    }
    // The window follows the new classes by itself.
    QVERIFY(refreshed.count() > 0 || refreshed.wait(kWaitMs));
    QVERIFY(refreshed.last().first().toBool());
}

// 3.1数据导入, 6.班级信息 and 7.学生名单 build their window the first time, bring it to the front
// afterwards, and build a new one once it was closed.
void TestClassInfoWindow::commandsOpenEachWindowOnce() {
    StatisticsSession session(2, {student(1, "男", 1, 80, 80), student(2, "女", 2, 80, 80)});
    test::MessageLog log;
    struct Command {
        const char* caption;
        std::function<QWidget*()> window;
    };
    const Command commands[] = {
        {"3.1数据导入", [&] { return session.main.importWindow(); }},
        {"6.班级信息", [&] { return session.main.statisticsWindow(); }},
        {"7.学生名单", [&] { return session.main.studentListWindow(); }},
    };
    for (const Command& command : commands) {
        QAction* action = session.main.command(QString::fromUtf8(command.caption));
        action->trigger();
        QPointer<QWidget> first = command.window();
        QVERIFY2(first, command.caption);
        action->trigger();
        QCOMPARE(command.window(), first.data());
        gui::closeMdiChild(first);
        QTRY_VERIFY(!first);
        QVERIFY(!command.window());
        action->trigger();
        QVERIFY(command.window());
    }
    QCOMPARE(test::childWindowTitles(session.main).size(), 3);
    QVERIFY(test::childWindowTitles(session.main).contains(QStringLiteral("导入数据浏览 - 高一")));
    QCOMPARE(session.main.importWindow()->parentWidget()->y(), 50);
    QVERIFY2(log.texts().isEmpty(), qPrintable(log.texts().join('\n')));
}

QTEST_MAIN(TestClassInfoWindow)
#include "TestClassInfoWindow.moc"
