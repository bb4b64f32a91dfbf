// The main window: start-up, the tool bar, commands that need a project, creating a project
// through "1.新建", and the work windows that exist once.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include "GuiTestSupport.h"
#include "db/Connection.h"
#include "gui/AppSetup.h"
#include "gui/LoginWindow.h"
#include "gui/division/DivisionResultWindow.h"
#include "gui/division/DivisionSettingsWindow.h"
#include "gui/projects/NewProjectDialog.h"
#include "store/ProjectStore.h"

using namespace qm;

class TestMainWindow : public QObject {
    Q_OBJECT

  private slots:
    void startUpWindowHidesAndShowsTheMainWindow();
    void toolBarAndStatusBar();
    void commandsNeedAProject_data();
    void commandsNeedAProject();
    void newProjectMakesItCurrent();
    void workWindowExistsOnce_data();
    void workWindowExistsOnce();
    void re_fbWithoutResultWindowDoesNothing();
    void programRunsOnWithoutItsDatabase();
};

void TestMainWindow::startUpWindowHidesAndShowsTheMainWindow() {
    test::MainWindowSession session;
    int entered = 0;
    gui::LoginWindow login([&] {
        ++entered;
        session.main.show();
    });
    QCOMPARE(login.windowTitle(), QStringLiteral("用户登陆"));
    const auto edits = login.findChildren<QLineEdit*>();
    QCOMPARE(edits.size(), 2);
    QCOMPARE(edits[0]->text(), QStringLiteral("admin"));
    QCOMPARE(edits[1]->echoMode(), QLineEdit::Password);
    QCOMPARE(edits[1]->text().size(), 4);

    login.show();
    QTRY_VERIFY(session.main.isVisible());
    QVERIFY(!login.isVisible());
    QCOMPARE(entered, 1);

    // "取消" does nothing; "登陆" does what the first drawing did.
    test::named<QPushButton>(login, "bnCancel")->click();
    QCOMPARE(entered, 1);
    test::named<QPushButton>(login, "bnLogin")->click();
    QCOMPARE(entered, 2);
}

void TestMainWindow::toolBarAndStatusBar() {
    test::MainWindowSession session;
    QCOMPARE(session.main.windowTitle(), QStringLiteral("QuillmereV3.35"));
    const auto bars = session.main.findChildren<QToolBar*>();
    QCOMPARE(bars.size(), 1);
    QStringList captions;
    for (QAction* action : bars[0]->actions()) {
        if (action->isSeparator()) {
            continue;
        }
        captions << action->text();
        QVERIFY(!action->icon().isNull());
        const QWidget* button = bars[0]->widgetForAction(action);
        QVERIFY(button->minimumWidth() >= 70);
    }
    // The ten commands in the order of the work, then the teacher's adjustments.
    QCOMPARE(captions, QStringList({"1.新建", "2.打开", "3.1数据导入", "3.2内部数据", "4.分班设置",
                                    "5.开始", "6.班级信息", "7.学生名单", "8.数据导出", "退出",
                                    "撤销", "重做", "方案"}));

    const auto panels = session.main.statusBar()->findChildren<QLabel*>();
    QCOMPARE(panels.size(), 4);
    QCOMPARE(panels[3]->text(), QStringLiteral("QuillmereV3.35"));
    session.main.setImportCountText(QStringLiteral("共导入 12 条记录"));
    QCOMPARE(panels[0]->text(), QStringLiteral("共导入 12 条记录"));
}

void TestMainWindow::commandsNeedAProject_data() {
    QTest::addColumn<QString>("caption");
    for (const char* caption : {"3.1数据导入", "3.2内部数据", "4.分班设置", "5.开始", "6.班级信息",
                                "7.学生名单", "8.数据导出"}) {
        QTest::newRow(caption) << QString::fromUtf8(caption);
    }
}

void TestMainWindow::commandsNeedAProject() {
    QFETCH(QString, caption);
    test::MainWindowSession session;
    test::MessageLog log;
    session.main.command(caption)->trigger();
    QCOMPARE(log.texts(), QStringList{QStringLiteral("请选择你要操作的分班项")});
    QVERIFY(test::named<QMdiArea>(session.main, "workArea")->subWindowList().isEmpty());
    QVERIFY(QApplication::activeModalWidget() == nullptr);
}

void TestMainWindow::newProjectMakesItCurrent() {
    test::MainWindowSession session;
    test::MessageLog log;
    test::actOnNextDialog<gui::NewProjectDialog>([](gui::NewProjectDialog& dialog) {
        QCOMPARE(dialog.windowTitle(), QStringLiteral("新建分班"));
        test::named<QLineEdit>(dialog, "edMemo")->setText(QStringLiteral("2024级高一新生"));
        test::named<QLineEdit>(dialog, "edNum")->setText(QStringLiteral("6"));
        test::named<QPushButton>(dialog, "bnOk")->click();
        QVERIFY(!dialog.isVisible());
    });
    session.main.command(QStringLiteral("1.新建"))->trigger();

    QCOMPARE(log.texts(), QStringList{QStringLiteral("新建分班操作成功!")});
    QCOMPARE(session.main.windowTitle(), QStringLiteral("2024级高一新生"));
    const auto& current = session.workspace.currentProject();
    QCOMPARE(current.fbTable, std::string("fb_1"));
    QCOMPARE(current.rbTable, std::string("rb_fb_1"));
    QCOMPARE(current.fbId, std::string("1"));
    auto& connection = session.database.connection();
    QVERIFY(connection.tableExists("fb_1"));
    QVERIFY(connection.tableExists("rb_fb_1"));
    QCOMPARE(test::countRows(connection,
                             "select * from config where id=1 and inter=1 and "
                             "is_man=0 and wtNum=50"),
             1);

    // A second project replaces the first as the current one.
    test::actOnNextDialog<gui::NewProjectDialog>([](gui::NewProjectDialog& dialog) {
        test::named<QLineEdit>(dialog, "edMemo")->setText(QStringLiteral("复读班"));
        test::named<QLineEdit>(dialog, "edNum")->setText(QStringLiteral("2"));
        test::named<QPushButton>(dialog, "bnOk")->click();
    });
    session.main.command(QStringLiteral("1.新建"))->trigger();
    QCOMPARE(session.main.windowTitle(), QStringLiteral("复读班"));
    QCOMPARE(session.workspace.currentProject().fbTable, std::string("fb_2"));
}

void TestMainWindow::workWindowExistsOnce_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("windowTitle");
    QTest::addColumn<QString>("otherCaption");
    QTest::newRow("settings") << QStringLiteral("4.分班设置") << QStringLiteral("分班设置 - 项目")
                              << QStringLiteral("5.开始");
    QTest::newRow("result") << QStringLiteral("5.开始") << QStringLiteral("分班结果 - 项目")
                            << QStringLiteral("4.分班设置");
}

void TestMainWindow::workWindowExistsOnce() {
    QFETCH(QString, caption);
    QFETCH(QString, windowTitle);
    QFETCH(QString, otherCaption);
    test::MainWindowSession session;
    test::MessageLog log;
    session.workspace.setCurrentProject(
        store::createProject(session.workspace.connection(), "项目", 4));
    session.main.show();
    const auto reference = [&]() -> QWidget* {
        if (caption == QStringLiteral("4.分班设置")) {
            return session.main.settingsWindow();
        }
        return session.main.resultWindow();
    };
    QVERIFY(reference() == nullptr);

    session.main.command(caption)->trigger();
    QWidget* first = reference();
    QVERIFY(first != nullptr);
    QCOMPARE(test::childWindowTitles(session.main), QStringList{windowTitle});

    // With another window in front, the command brings the same window back to the front.
    session.main.command(otherCaption)->trigger();
    QVERIFY(test::named<QMdiArea>(session.main, "workArea")->activeSubWindow()->widget() != first);
    session.main.command(caption)->trigger();
    QCOMPARE(reference(), first);
    QCOMPARE(test::childWindowTitles(session.main).count(windowTitle), 1);
    QCOMPARE(test::named<QMdiArea>(session.main, "workArea")->activeSubWindow()->widget(), first);

    // Closing frees it and empties the main window's reference; the command builds a new one.
    QPointer<QWidget> closed = first;
    test::named<QMdiArea>(session.main, "workArea")->activeSubWindow()->close();
    QTRY_VERIFY(closed.isNull());
    QVERIFY(reference() == nullptr);
    session.main.command(caption)->trigger();
    QVERIFY(reference() != nullptr);
    QCOMPARE(test::childWindowTitles(session.main).count(windowTitle), 1);
    QVERIFY(log.texts().isEmpty());
}

void TestMainWindow::re_fbWithoutResultWindowDoesNothing() {
    test::MainWindowSession session;
    test::MessageLog log;
    session.workspace.setCurrentProject(
        store::createProject(session.workspace.connection(), "项目", 4));
    session.main.redivide({1, 2});
    QVERIFY(test::named<QMdiArea>(session.main, "workArea")->subWindowList().isEmpty());
    QVERIFY(log.texts().isEmpty());
}

void TestMainWindow::programRunsOnWithoutItsDatabase() {
    test::TempFolder folder;
    gui::Workspace workspace(folder.file("missing-folder/fb.db"));
    QVERIFY(!workspace.isOpen());
    QVERIFY(!workspace.openError().isEmpty());
    gui::MainWindow main(workspace);
    test::MessageLog log;
    test::actOnNextDialog<gui::NewProjectDialog>([](gui::NewProjectDialog& dialog) {
        test::named<QLineEdit>(dialog, "edMemo")->setText(QStringLiteral("项目"));
        test::named<QLineEdit>(dialog, "edNum")->setText(QStringLiteral("3"));
        test::named<QPushButton>(dialog, "bnOk")->click();
        QVERIFY(dialog.isVisible());
    });
    main.command(QStringLiteral("1.新建"))->trigger();
    QCOMPARE(log.texts(), QStringList{workspace.openError()});
    QVERIFY(!workspace.hasProject());
    QCOMPARE(main.windowTitle(), QStringLiteral("QuillmereV3.35"));
}

QTEST_MAIN(TestMainWindow)
#include "TestMainWindow.moc"
