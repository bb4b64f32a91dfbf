// Finding one's way in the result window and the tool bar: the search box chooses the students it
// finds (number, name, pinyin initials) one after the other; the classes beside the grid show
// one class at a time and take dropped students; the numbered commands have keys.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include "AdjustmentSession.h"
#include "GuiTestSupport.h"
#include "gui/division/DivisionResultWindow.h"
#include "gui/division/ResultClassView.h"
#include "gui/division/StudentSearchBar.h"

using namespace qm;

namespace {

// 40 students in four classes, divided by the result window; the students of the sample rows are
// named 张生8, 王生9, ..., their pinyin ZHANG SHENG 8, ...
struct NavigationSession : test::ProjectSession {
    test::MessageLog log;
    gui::DivisionResultWindow* result = nullptr;

    NavigationSession() : ProjectSession(4, test::sampleStudents(40)) {}

    bool divideInWindow() {
        result = main.showResult();
        QSignalSpy finished(result, &gui::DivisionResultWindow::runFinished);
        result->startDivision();
        return finished.wait(120000) && finished.first().first().toBool();
    }
    QTableWidget& grid() { return *test::named<QTableWidget>(*result, "sgClassShow"); }
    gui::StudentSearchBar& search() {
        return *test::named<gui::StudentSearchBar>(*result, "StudentSearchBar");
    }
    gui::ResultClassView& classes() {
        return *test::named<gui::ResultClassView>(*result, "lvResultClasses");
    }

    QString cell(int row, int column) {
        const QTableWidgetItem* item = grid().item(row, column);
        return item ? item->text() : QString();
    }
    // The student number of the one chosen row; empty unless exactly one row is chosen.
    QString chosenStudent() {
        const auto rows = grid().selectionModel()->selectedRows();
        return rows.size() == 1 ? cell(rows.first().row(), 1) : QString();
    }
    QStringList visibleColumn(int column) {
        QStringList texts;
        for (int row = 0; row < grid().rowCount(); ++row) {
            if (!grid().isRowHidden(row)) {
                texts << cell(row, column);
            }
        }
        return texts;
    }
    void type(const QString& text) { test::named<QLineEdit>(search(), "edSearch")->setText(text); }
};

int rowOfStudent(QTableWidget& grid, int studentId) {
    for (int row = 0; row < grid.rowCount(); ++row) {
        if (grid.item(row, 1) && grid.item(row, 1)->text() == QString::number(studentId)) {
            return row;
        }
    }
    return -1;
}

}  // namespace

class TestResultNavigation : public QObject {
    Q_OBJECT

  private slots:
    void searchChoosesTheStudentsItFindsInTurn();
    void classesBesideTheGridShowOneClassAtATime();
    void numberedCommandsHaveKeysNamedInTheirTooltips();
};

void TestResultNavigation::searchChoosesTheStudentsItFindsInTurn() {
    NavigationSession session;
    QVERIFY(session.divideInWindow());
    QLabel& found = *test::named<QLabel>(session.search(), "lbSearchResult");

    // "zs": the students named 张生… and 赵生… (ZHANG SHENG 8, ZHAO SHENG 3, ...), in the order
    // of the grid.
    QStringList zs;
    for (int row = 0; row < session.grid().rowCount(); ++row) {
        const QString name = session.cell(row, 3);
        if (name.startsWith(QStringLiteral("张")) || name.startsWith(QStringLiteral("赵"))) {
            zs << session.cell(row, 1);
        }
    }
    QCOMPARE(zs.size(), 10);
    session.type(QStringLiteral("zs"));
    QCOMPARE(session.chosenStudent(), zs[0]);
    QCOMPARE(found.text(), QStringLiteral("第 1/10 名"));
    QTest::keyClick(test::named<QLineEdit>(session.search(), "edSearch"), Qt::Key_Return);
    QCOMPARE(session.chosenStudent(), zs[1]);
    test::named<QToolButton>(session.search(), "bnFindNext")->click();
    QCOMPARE(session.chosenStudent(), zs[2]);
    QCOMPARE(found.text(), QStringLiteral("第 3/10 名"));
    for (int i = 0; i < 8; ++i) {
        session.search().findNext();
    }
    QCOMPARE(session.chosenStudent(), zs[0]);  // after the last, the first again
    session.type(QStringLiteral("zhangs"));
    QCOMPARE(found.text(), QStringLiteral("第 1/5 名"));

    // A number finds the student with that number first; a name part finds by name.
    session.type(QStringLiteral(" 3 "));
    QCOMPARE(session.chosenStudent(), QStringLiteral("3"));
    QCOMPARE(found.text(), QStringLiteral("第 1/11 名"));  // 3 first, then 30 to 39
    session.type(QStringLiteral("王生9"));
    QCOMPARE(session.chosenStudent(), QStringLiteral("9"));
    QVERIFY(found.palette().color(QPalette::WindowText) != Qt::red);

    session.type(QStringLiteral("钱"));
    QCOMPARE(found.text(), QStringLiteral("没有找到"));
    QCOMPARE(found.palette().color(QPalette::WindowText), QColor(Qt::red));
    session.type(QString());
    QVERIFY(found.text().isEmpty());

    // Ctrl+F anywhere in the window puts the cursor into the box.
    session.grid().setFocus();
    QVERIFY(QTest::qWaitForWindowActive(&session.main));
    QTest::keyClick(&session.grid(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(test::named<QLineEdit>(session.search(), "edSearch")->hasFocus());
    QVERIFY2(session.log.texts().isEmpty(), qPrintable(session.log.texts().join('\n')));
}

void TestResultNavigation::classesBesideTheGridShowOneClassAtATime() {
    NavigationSession session;
    QVERIFY(session.divideInWindow());
    gui::ResultClassView& classes = session.classes();
    QCOMPARE(classes.count(), 5);
    QCOMPARE(classes.item(0)->text(), QStringLiteral("全部学生（40人）"));
    QCOMPARE(classes.item(2)->text(), QStringLiteral("2班（10人）"));

    classes.setCurrentRow(2);
    QCOMPARE(classes.shownClass(), QStringLiteral("2班"));
    QCOMPARE(session.visibleColumn(17), QStringList(10, QStringLiteral("2班")));
    QCOMPARE(session.visibleColumn(0).first(), QStringLiteral("1"));
    QCOMPARE(session.visibleColumn(0).last(), QStringLiteral("10"));

    // A student found in another class brings that class into view.
    const int row = rowOfStudent(session.grid(), 9);
    const QString classOf9 = session.cell(row, 17);
    QVERIFY(classOf9 != QStringLiteral("2班"));
    session.type(QStringLiteral("王生9"));
    QCOMPARE(classes.shownClass(), classOf9);
    QVERIFY(!session.grid().isRowHidden(row));
    QCOMPARE(session.chosenStudent(), QStringLiteral("9"));

    // A student dropped onto a class moves into it, and the view follows.
    const int target = classOf9 == QStringLiteral("1班") ? 3 : 1;
    QVERIFY(test::dropStudents(classes, classes.visualItemRect(classes.item(target)).center(),
                               {{9, classOf9.chopped(1).toInt()}}));
    QCOMPARE(session.classOfStudent().at(9), target);
    QCOMPARE(session.cell(rowOfStudent(session.grid(), 9), 17), QStringLiteral("%1班").arg(target));
    QCOMPARE(classes.item(target)->text(), QStringLiteral("%1班（11人）").arg(target));
    QCOMPARE(classes.shownClass(), classOf9);

    classes.setCurrentRow(0);
    QVERIFY(classes.shownClass().isEmpty());
    QCOMPARE(session.visibleColumn(1).size(), 40);
    QCOMPARE(session.visibleColumn(0).last(), QStringLiteral("40"));
    QVERIFY2(session.log.texts().isEmpty(), qPrintable(session.log.texts().join('\n')));
}

void TestResultNavigation::numberedCommandsHaveKeysNamedInTheirTooltips() {
    NavigationSession session;
    const QStringList captions = {"1.新建",     "2.打开", "3.1数据导入", "3.2内部数据",
                                  "4.分班设置", "5.开始", "6.班级信息",  "7.学生名单",
                                  "8.数据导出", "退出"};
    QSet<QKeySequence> keys;
    for (const QString& caption : captions) {
        QAction* command = session.main.command(caption);
        QVERIFY2(command && !command->shortcut().isEmpty(), qPrintable(caption));
        keys.insert(command->shortcut());
        QCOMPARE(command->toolTip(),
                 QStringLiteral("%1 (%2)").arg(
                     caption, command->shortcut().toString(QKeySequence::NativeText)));
    }
    QCOMPARE(keys.size(), captions.size());
    QCOMPARE(session.main.command(QStringLiteral("4.分班设置"))->shortcut(),
             QKeySequence(QStringLiteral("Ctrl+4")));

    QVERIFY(QTest::qWaitForWindowActive(&session.main));
    QTest::keyClick(&session.main, Qt::Key_6, Qt::ControlModifier);
    QVERIFY(session.main.statisticsWindow() != nullptr);
    QTest::keyClick(&session.main, Qt::Key_5, Qt::ControlModifier);
    QVERIFY(session.main.resultWindow() != nullptr);
    QVERIFY2(session.log.texts().isEmpty(), qPrintable(session.log.texts().join('\n')));
}

QTEST_MAIN(TestResultNavigation)
#include "TestResultNavigation.moc"
