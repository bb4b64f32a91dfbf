// The statistics window's 均衡度 page (the core's balance figures of the present classes beside
// the random and serpentine baselines, with the plain words), refreshed by 更新数据, and its note
// on students who stand outside the project's classes.
#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include "GuiTestSupport.h"
#include "db/Connection.h"
#include "gui/statistics/BalancePage.h"
#include "gui/statistics/ClassStatisticsWindow.h"
#include "reports/BalanceReport.h"
#include "store/OutsideClasses.h"
#include "store/ProjectStore.h"

using namespace qm;

namespace {

struct BalanceSession : test::ProjectSession {
    using ProjectSession::ProjectSession;

    // "6.班级信息", its figures computed.
    gui::ClassStatisticsWindow* open() {
        main.command(QStringLiteral("6.班级信息"))->trigger();
        test::waitForStatistics(*main.statisticsWindow());
        return main.statisticsWindow();
    }
};

// The page's table as text rows, headings first, as the core's balanceTextRows gives them.
reports::TextRows shownRows(const QTableWidget& table) {
    reports::TextRows rows(1);
    for (int c = 0; c < table.columnCount(); ++c) {
        rows[0].push_back(table.horizontalHeaderItem(c)->text().toStdString());
    }
    for (int r = 0; r < table.rowCount(); ++r) {
        auto& row = rows.emplace_back();
        for (int c = 0; c < table.columnCount(); ++c) {
            row.push_back(table.item(r, c)->text().toStdString());
        }
    }
    return rows;
}

QString summaryOf(const reports::BalanceReport& report) {
    QStringList lines;
    for (const std::string& line : reports::balanceSummary(report)) {
        lines << QString::fromStdString(line);
    }
    return lines.join('\n');
}

}  // namespace

class TestBalancePage : public QObject {
    Q_OBJECT

  private slots:
    void pageComparesThePresentClassesWithTheBaselines();
    void pageBeforeADivisionSaysSo();
    void noteNamesTheStudentsOutsideTheClasses();
};

void TestBalancePage::pageComparesThePresentClassesWithTheBaselines() {
    auto students = test::sampleStudents(120);
    for (std::size_t i = 0; i < 12; ++i) {
        students[i].pfType = "艺术";
    }
    BalanceSession session(4, students);
    session.divide();
    test::MessageLog log;
    gui::ClassStatisticsWindow* window = session.open();
    QVERIFY2(log.texts().isEmpty(), qPrintable(log.texts().join('\n')));

    gui::BalancePage* page = test::named<gui::BalancePage>(*window, "BalancePage");
    const int index = test::named<QTabWidget>(*window, "tabStatistics")->indexOf(page);
    QCOMPARE(test::named<QTabWidget>(*window, "tabStatistics")->tabText(index),
             QStringLiteral("均衡度"));
    auto& connection = session.workspace.connection();
    const auto divided = reports::computeBalanceReport(connection, session.project);
    QVERIFY(divided);
    QVERIFY(shownRows(*test::named<QTableWidget>(*page, "sgBalance")) ==
            reports::balanceTextRows(*divided));
    QCOMPARE(test::named<QTableWidget>(*page, "sgBalance")->horizontalHeaderItem(1)->text(),
             QStringLiteral("本次分班"));
    QVERIFY(test::named<QTableWidget>(*page, "sgBalance")->rowCount() >
            20);  // the total, nine subjects, bands, sexes, category
    QCOMPARE(test::named<QLabel>(*page, "lb_balanceSummary")->text(), summaryOf(*divided));
    QVERIFY(test::named<QLabel>(*page, "lb_balanceSummary")
                ->text()
                .startsWith(QStringLiteral("总分平均分最大相差 ")));
    QVERIFY(test::named<QLabel>(*window, "lb_outside")->isHidden());

    // The classes change: 更新数据 shows the figures of the new classes.
    connection.exec("update " + session.project.fbTable +
                    " set class_id=1 where student_id in (select student_id from " +
                    session.project.fbTable + " order by math+english desc limit 10)");
    const auto changed = reports::computeBalanceReport(connection, session.project);
    QVERIFY(reports::balanceTextRows(*changed) != reports::balanceTextRows(*divided));
    test::named<QPushButton>(*window, "BitBtn1")->click();
    test::waitForStatistics(*window);
    QVERIFY(shownRows(*test::named<QTableWidget>(*page, "sgBalance")) ==
            reports::balanceTextRows(*changed));
    QCOMPARE(test::named<QLabel>(*page, "lb_balanceSummary")->text(), summaryOf(*changed));
}

void TestBalancePage::pageBeforeADivisionSaysSo() {
    BalanceSession session(4, test::sampleStudents(20));
    test::MessageLog log;
    gui::ClassStatisticsWindow* window = session.open();
    gui::BalancePage* page = test::named<gui::BalancePage>(*window, "BalancePage");
    QVERIFY(test::named<QLabel>(*page, "lb_balanceSummary")
                ->text()
                .startsWith(QStringLiteral("还没有学生分到班里")));
    QCOMPARE(test::named<QTableWidget>(*page, "sgBalance")->rowCount(), 0);
    QCOMPARE(test::named<QTableWidget>(*page, "sgBalance")->columnCount(), 4);
    QCOMPARE(test::named<QTableWidget>(*page, "sgBalance")->horizontalHeaderItem(3)->text(),
             QStringLiteral("蛇形分班"));
    QVERIFY(log.texts().isEmpty());
}

// Students fixed in class 9 and class 0 of a four-class project (as an older database may hold
// them) are named below the first grid; once they are put into the classes the note goes.
void TestBalancePage::noteNamesTheStudentsOutsideTheClasses() {
    auto students = test::sampleStudents(6);
    const int classes[] = {1, 2, 9, 9, 0, 0};
    for (std::size_t i = 0; i < students.size(); ++i) {
        students[i].class_id = classes[i];
        students[i].type = i < 5 ? 2 : 0;  // the last one waits for a division
    }
    BalanceSession session(4, students);
    test::MessageLog log;
    gui::ClassStatisticsWindow* window = session.open();
    const QLabel* note = test::named<QLabel>(*window, "lb_outside");
    QVERIFY(!note->isHidden());
    QVERIFY(note->isVisibleTo(window));
    const std::string line = store::outsideClassesLine(
        store::studentsOutsideClasses(session.workspace.connection(), "fb_1", 4), 4);
    QCOMPARE(line, std::string("有3名学生不在本项目的1到4班中：0班1名，9班2名"));
    QVERIFY2(note->text().startsWith(QString::fromStdString(line)), qPrintable(note->text()));

    session.workspace.connection().exec("update fb_1 set class_id=3 where class_id in (0,9)");
    test::named<QPushButton>(*window, "BitBtn1")->click();
    test::waitForStatistics(*window);
    QVERIFY(note->isHidden());
    QVERIFY(log.texts().isEmpty());
}

QTEST_MAIN(TestBalancePage)
#include "TestBalancePage.moc"
