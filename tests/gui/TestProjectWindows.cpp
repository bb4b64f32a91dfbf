// The work windows belong to one project: they name it in their captions and close when another
// project becomes current, unless a division under way or edits the teacher keeps hold them; and
// quitting during a division asks first.
#include <QAction>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "GuiTestSupport.h"
#include "db/Connection.h"
#include "gui/division/DivisionResultWindow.h"
#include "gui/projects/NewProjectDialog.h"
#include "gui/projects/OpenProjectDialog.h"
#include "gui/projects/ProjectListWidget.h"
#include "gui/statistics/ClassStatisticsWindow.h"
#include "gui/students/StudentListModel.h"
#include "gui/students/StudentListWindow.h"
#include "store/ProjectStore.h"

using namespace qm;

namespace {

const QStringList kWorkCommands = {QStringLiteral("4.分班设置"), QStringLiteral("5.开始"),
                                   QStringLiteral("6.班级信息"), QStringLiteral("7.学生名单")};

// Projects 甲 (current, with students) and 乙.
struct ProjectsSession : test::MainWindowSession {
    explicit ProjectsSession(int students = 30) {
        auto& connection = workspace.connection();
        const auto first = store::createProject(connection, "甲", 3);
        test::insertStudents(connection, first.fbTable, test::sampleStudents(students));
        store::createProject(connection, "乙", 2);
        workspace.setCurrentProject(first);
        main.show();
    }

    void openWorkWindows() {
        for (const QString& caption : kWorkCommands) {
            main.command(caption)->trigger();
        }
        if (gui::ClassStatisticsWindow* info = main.statisticsWindow();
            info && info->isComputing()) {
            QSignalSpy shown(info, &gui::ClassStatisticsWindow::statisticsShown);
            shown.wait(60000);
        }
    }

    // "2.打开" of project 乙 by the teacher.
    void openSecondProject() {
        test::actOnNextDialog<gui::OpenProjectDialog>([](gui::OpenProjectDialog& dialog) {
            test::named<gui::ProjectListWidget>(dialog, "lv_info")->selectId(2);
            test::named<QPushButton>(dialog, "bnOpen")->click();
        });
        main.command(QStringLiteral("2.打开"))->trigger();
    }

    QStringList titles() {
        QTest::qWait(0);  // closed windows go through the event loop
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return test::childWindowTitles(main);
    }
};

}  // namespace

class TestProjectWindows : public QObject {
    Q_OBJECT

  private slots:
    void windowsNameTheirProjectAndCloseWhenAnotherOpens();
    void newProjectClosesTheWindowsToo();
    void editsTheTeacherKeepsHoldTheProject();
    void divisionUnderWayHoldsTheProject();
    void quittingDuringADivisionAsksFirst();
};

void TestProjectWindows::windowsNameTheirProjectAndCloseWhenAnotherOpens() {
    ProjectsSession session;
    test::MessageLog log;
    session.openWorkWindows();
    QCOMPARE(session.titles(),
             QStringList({"分班设置 - 甲", "分班结果 - 甲", "班级信息 - 甲", "学生名单 - 甲"}));

    // Opening 甲 again keeps its windows; opening 乙 closes them.
    test::actOnNextDialog<gui::OpenProjectDialog>([](gui::OpenProjectDialog& dialog) {
        test::named<gui::ProjectListWidget>(dialog, "lv_info")->selectId(1);
        test::named<QPushButton>(dialog, "bnOpen")->click();
    });
    session.main.command(QStringLiteral("2.打开"))->trigger();
    QCOMPARE(session.titles().size(), 4);
    session.openSecondProject();
    QCOMPARE(session.workspace.currentProject().memo, std::string("乙"));
    QVERIFY(session.titles().isEmpty());
    QVERIFY(!session.main.statisticsWindow());
    QVERIFY(!session.main.studentListWindow());

    session.main.command(QStringLiteral("6.班级信息"))->trigger();
    QCOMPARE(session.titles(), QStringList{"班级信息 - 乙"});
    QTRY_VERIFY(log.texts().contains(QStringLiteral("该分班项目还没有学生数据")));
}

void TestProjectWindows::newProjectClosesTheWindowsToo() {
    ProjectsSession session;
    test::MessageLog log;
    session.openWorkWindows();
    test::actOnNextDialog<gui::NewProjectDialog>([](gui::NewProjectDialog& dialog) {
        test::named<QLineEdit>(dialog, "edMemo")->setText(QStringLiteral("丙"));
        test::named<QLineEdit>(dialog, "edNum")->setText(QStringLiteral("4"));
        test::named<QPushButton>(dialog, "bnOk")->click();
    });
    session.main.command(QStringLiteral("1.新建"))->trigger();
    QCOMPARE(session.workspace.currentProject().memo, std::string("丙"));
    QVERIFY(session.titles().isEmpty());
    session.main.command(QStringLiteral("4.分班设置"))->trigger();
    QCOMPARE(session.titles(), QStringList{"分班设置 - 丙"});
}

// A row of the student list the core refuses: the teacher is asked; No keeps the edit, the list
// and the project; Yes drops the edit and the other project opens.
void TestProjectWindows::editsTheTeacherKeepsHoldTheProject() {
    ProjectsSession session;
    test::MessageLog log(false);
    session.main.command(QStringLiteral("7.学生名单"))->trigger();
    gui::StudentListWindow* list = session.main.studentListWindow();
    const QModelIndex math = list->model()->index(0, gui::StudentListModel::columnOf("math"));
    QVERIFY(list->model()->setData(math, QStringLiteral("abc"), Qt::EditRole));

    session.openSecondProject();
    QCOMPARE(session.workspace.currentProject().memo, std::string("甲"));
    QCOMPARE(session.main.studentListWindow(), list);
    QVERIFY(list->model()->isEditing());
    QVERIFY(log.texts().contains(QStringLiteral("这一行的修改没有保存。放弃修改并关闭窗口吗？")));

    log.setAnswer(true);
    session.openSecondProject();
    QCOMPARE(session.workspace.currentProject().memo, std::string("乙"));
    QVERIFY(session.titles().isEmpty());
    QCOMPARE(test::countRows(session.database.connection(),
                             "select * from fb_1 where math is null or typeof(math)='text'"),
             0);
}

// While 甲 is being divided (enough students that it is still under way when the dialog opens),
// neither opening 乙 nor deleting 甲 takes it away.
void TestProjectWindows::divisionUnderWayHoldsTheProject() {
    ProjectsSession session(3000);
    test::MessageLog log;
    gui::DivisionResultWindow* result = session.main.showResult();
    QSignalSpy finished(result, &gui::DivisionResultWindow::runFinished);
    result->startDivision();
    QVERIFY(result->isRunning());

    session.openSecondProject();
    QCOMPARE(session.workspace.currentProject().memo, std::string("甲"));
    QVERIFY(log.texts().last().contains(QStringLiteral("正在分班")));
    QVERIFY(!session.workspace.deleteProject(1));
    QVERIFY(session.database.connection().tableExists("fb_1"));
    QCOMPARE(session.titles(), QStringList{"分班结果 - 甲"});

    QVERIFY(finished.wait(120000));
    QVERIFY(finished.first().first().toBool());
    session.openSecondProject();
    QCOMPARE(session.workspace.currentProject().memo, std::string("乙"));
}

void TestProjectWindows::quittingDuringADivisionAsksFirst() {
    ProjectsSession session(3000);
    test::MessageLog log(false);
    gui::DivisionResultWindow* result = session.main.showResult();
    QSignalSpy finished(result, &gui::DivisionResultWindow::runFinished);
    result->startDivision();

    QVERIFY(!session.main.close());
    QCOMPARE(log.texts(), QStringList{QStringLiteral("正在分班，确定要退出吗？")});
    QVERIFY(session.main.isVisible());
    QVERIFY(result->isRunning());

    // Yes: the run is cancelled and the data stay as they were.
    log.setAnswer(true);
    QVERIFY(session.main.close());
    QVERIFY(!session.main.isVisible());
    QVERIFY(finished.wait(120000));
    QVERIFY(!finished.first().first().toBool());
    QCOMPARE(test::countRows(session.database.connection(),
                             "select * from fb_1 where class_id<>0 or type<>0"),
             0);
}

QTEST_MAIN(TestProjectWindows)
#include "TestProjectWindows.moc"
