// The main window's menu: 备份数据库… writes a copy of the real database file, 恢复数据库… brings
// one back after a question (the work windows close, the current project follows, the replaced
// data are kept beside the database) and refuses a file that is not a Quillmere database; 用户手册
// opens the user guide; 关于 names the program, its version and its database; the windows carry
// the program's icon.
#include <QAction>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>
#include <QUrl>
#include <filesystem>
#include <fstream>

#include "GuiTestSupport.h"
#include "common/Version.h"
#include "db/Connection.h"
#include "gui/AboutDialog.h"
#include "gui/division/DivisionResultWindow.h"
#include "gui/division/DivisionSettingsWindow.h"
#include "gui/shared/WorkbookOpener.h"
#include "gui/widgets/ProgramIcon.h"
#include "store/ProjectStore.h"

using namespace qm;

namespace {

struct MenuSession : test::ProjectSession {
    test::TempFolder files;

    MenuSession() : ProjectSession(4, test::sampleStudents(40)) {}

    QAction* action(const char* name) { return main.findChild<QAction*>(QString::fromUtf8(name)); }

    // The folder the last file dialog opened in.
    QString dialogFolder;

    // Triggers a menu command whose file dialog gets this file.
    void runWithFile(const char* command, const std::string& file) {
        test::actOnNextDialog<QFileDialog>([this, file](QFileDialog& dialog) {
            dialogFolder = dialog.directory().absolutePath();
            dialog.selectFile(QString::fromStdString(file));
            static_cast<QDialog&>(dialog).accept();  // QFileDialog's own is protected
        });
        action(command)->trigger();
    }

    std::string projects() {
        return workspace.connection()
            .query("select group_concat(id||':'||memo) from fb_info")[0][0]
            .toText();
    }
};

int studentsIn(const std::string& databaseFile, const std::string& table) {
    db::Connection connection(databaseFile);
    return static_cast<int>(connection.query("select count(*) from " + table)[0][0].toInt());
}

}  // namespace

class TestDatabaseMenu : public QObject {
    Q_OBJECT

  private slots:
    void menuHoldsTheCommands();
    void backupAndRestoreBringTheDataBack();
    void restoreRefusesWhatItCannotTake();
    void guideOpensTheUserGuide();
    void aboutNamesVersionAndDatabase();
};

void TestDatabaseMenu::menuHoldsTheCommands() {
    MenuSession session;
    QStringList captions;
    for (const char* name : {"actBackup", "actRestore", "actGuide", "actAbout"}) {
        QAction* action = session.action(name);
        QVERIFY2(action, name);
        captions << action->text();
    }
    QCOMPARE(captions, QStringList({"备份数据库…", "恢复数据库…", "用户手册", "关于"}));
    QVERIFY(session.main.menuBar()->isVisible());
    // The tool bar and its captions stay as they are.
    QVERIFY(session.main.command(QStringLiteral("5.开始")));
    QVERIFY(session.main.command(QStringLiteral("退出")));
}

// A back-up taken, then a project added and students deleted: the restore brings the back-up's
// data, keeps what it replaced beside the database, and the windows follow: the project that the
// back-up lacks is closed, the one it holds is opened again.
void TestDatabaseMenu::backupAndRestoreBringTheDataBack() {
    MenuSession session;
    test::MessageLog log;
    const std::string backup = session.files.file("备份 一.db");
    session.runWithFile("actBackup", backup);
    QCOMPARE(log.messages().size(), std::size_t{1});
    QVERIFY2(log.texts()[0].startsWith(QStringLiteral("数据库已备份到：")),
             qPrintable(log.texts()[0]));
    QVERIFY(log.texts()[0].contains(QString::fromStdString(backup)));
    QCOMPARE(studentsIn(backup, "fb_1"), 40);

    auto& connection = session.workspace.connection();
    const auto later = store::createProject(connection, "高二", 3);
    connection.exec("delete from fb_1 where student_id>10");
    session.workspace.setCurrentProject(later);
    session.main.showSettings();
    QPointer<gui::DivisionSettingsWindow> settings = session.main.settingsWindow();
    QVERIFY(settings);
    log.clear();

    session.runWithFile("actRestore", backup);
    // The restore looks where the back-up went.
    QCOMPARE(session.dialogFolder, QFileInfo(QString::fromStdString(backup)).absolutePath());
    QCOMPARE(log.messages().size(), std::size_t{2});
    QCOMPARE(log.messages()[0].kind, gui::MessageKind::Question);
    QVERIFY(log.texts()[0].contains(QString::fromStdString(backup)));
    const QString done = log.texts()[1];
    QVERIFY2(done.startsWith(QStringLiteral("数据库已用备份文件恢复：")), qPrintable(done));
    QVERIFY(done.contains(QStringLiteral("备份中没有原来的分班项“高二”")));
    QCOMPARE(session.projects(), std::string("1:高一"));
    QCOMPARE(test::countRows(connection, "select * from fb_1"), 40);
    QVERIFY(!session.workspace.hasProject());
    QCOMPARE(session.main.windowTitle(), QStringLiteral("QuillmereV3.35"));
    QTRY_VERIFY(settings.isNull());

    // The replaced data, named in the message, are kept beside the database.
    const QString keptLine =
        done.section(QStringLiteral("恢复前的数据另存在：\n"), 1).section('\n', 0, 0);
    const std::filesystem::path kept = keptLine.toStdString();
    QCOMPARE(kept.parent_path(), std::filesystem::path(session.database.path()).parent_path());
    QCOMPARE(studentsIn(kept.string(), "fb_1"), 10);
    QCOMPARE(studentsIn(kept.string(), "fb_2"), 0);

    // Restored once more with 高一 current: it stays current, its windows built anew.
    session.workspace.setCurrentProject(store::openProject(connection, 1));
    session.main.showSettings();
    settings = session.main.settingsWindow();
    log.clear();
    session.runWithFile("actRestore", backup);
    QVERIFY2(log.texts().last().endsWith(QStringLiteral("分班项“高一”已重新打开。")),
             qPrintable(log.texts().last()));
    QCOMPARE(session.workspace.currentProject().fbTable, std::string("fb_1"));
    QCOMPARE(session.main.windowTitle(), QStringLiteral("高一"));
    QTRY_VERIFY(settings.isNull());
}

// A file that is not a Quillmere database is refused, a No changes nothing, and a division under
// way keeps the result window open and the data as they are.
void TestDatabaseMenu::restoreRefusesWhatItCannotTake() {
    MenuSession session;
    test::MessageLog log;
    const std::string before = session.projects();
    const std::string notADatabase = session.files.file("名单.db");
    std::ofstream(notADatabase) << "学号,姓名\n1,张三\n";

    session.runWithFile("actRestore", notADatabase);
    QCOMPARE(log.messages().size(), std::size_t{2});
    QCOMPARE(log.messages()[1].kind, gui::MessageKind::Error);
    QVERIFY2(log.texts()[1].startsWith(QStringLiteral("恢复失败，现在的数据没有改变")),
             qPrintable(log.texts()[1]));
    QCOMPARE(session.projects(), before);

    const std::string backup = session.files.file("backup.db");
    session.runWithFile("actBackup", backup);
    session.workspace.connection().exec("delete from fb_1");
    log.clear();
    log.setAnswer(false);
    session.runWithFile("actRestore", backup);
    QCOMPARE(log.messages().size(), std::size_t{1});
    QCOMPARE(test::countRows(session.workspace.connection(), "select * from fb_1"), 0);

    test::insertStudents(session.workspace.connection(), "fb_1", test::sampleStudents(1000));
    gui::DivisionResultWindow* result = session.main.showResult();
    QSignalSpy finished(result, &gui::DivisionResultWindow::runFinished);
    result->startDivision();
    log.setAnswer(true);
    log.clear();
    session.runWithFile("actRestore", backup);
    QCOMPARE(log.texts().last(), QStringLiteral("正在分班，请等待分班结束或先按“取消”"));
    QCOMPARE(session.main.resultWindow(), result);
    QVERIFY(finished.wait(120000));
    QCOMPARE(test::countRows(session.workspace.connection(), "select * from fb_1"), 1000);
}

// Run from the build folder, 用户手册 hands the guide the build rendered (or, without cmark, the
// Markdown of the sources) to the desktop; a desktop without a browser for it gets the guide in a
// window of the program; without a guide it says where the guide belongs.
void TestDatabaseMenu::guideOpensTheUserGuide() {
    MenuSession session;
    test::MessageLog log;
    QStringList opened;
    bool desktopOpens = true;
    gui::setWorkbookOpener([&](const QString& path) {
        opened << path;
        return desktopOpens;
    });
    session.action("actGuide")->trigger();

    const QFileInfo guide(QString::fromUtf8(QUILLMERE_USER_GUIDE));
    if (!guide.isFile()) {
        gui::setWorkbookOpener({});
        QVERIFY(opened.isEmpty());
        QCOMPARE(log.messages().size(), std::size_t{1});
        QVERIFY(log.texts().first().startsWith(QStringLiteral("找不到用户手册")));
        return;
    }
    QVERIFY2(log.messages().empty(), qPrintable(log.texts().join('\n')));
    QCOMPARE(opened.size(), 1);
    QCOMPARE(QFileInfo(opened.first()).canonicalFilePath(), guide.canonicalFilePath());
    QVERIFY(!session.main.findChild<QDialog*>(QStringLiteral("UserGuideWindow")));

    desktopOpens = false;
    session.action("actGuide")->trigger();
    gui::setWorkbookOpener({});
    QVERIFY(log.messages().empty());
    auto* window = session.main.findChild<QDialog*>(QStringLiteral("UserGuideWindow"));
    QVERIFY(window);
    QVERIFY(window->isVisible());
    auto* browser = window->findChild<QTextBrowser*>(QStringLiteral("guideBrowser"));
    QVERIFY(browser);
    QCOMPARE(QFileInfo(browser->source().toLocalFile()).canonicalFilePath(),
             guide.canonicalFilePath());
    QVERIFY(browser->toPlainText().contains(QStringLiteral("分班")));
    QVERIFY(window->frameGeometry().width() <= window->screen()->availableSize().width());
    window->close();
}

void TestDatabaseMenu::aboutNamesVersionAndDatabase() {
    MenuSession session;
    QString version;
    QString database;
    QString title;
    test::actOnNextDialog<gui::AboutDialog>([&](gui::AboutDialog& dialog) {
        title = dialog.windowTitle();
        version = test::named<QLabel>(dialog, "lb_version")->text();
        database = test::named<QLabel>(dialog, "lb_database")->text();
    });
    session.action("actAbout")->trigger();
    QCOMPARE(title, QStringLiteral("关于"));
    QCOMPARE(version, QStringLiteral("版本 %1").arg(QString::fromUtf8(kVersion)));
    QCOMPARE(std::filesystem::path(database.toStdString()),
             std::filesystem::absolute(session.database.path()));

    // The windows carry the program's icon, rendered from the installed SVG.
    const QIcon icon = gui::programIcon();
    QVERIFY(!icon.isNull());
    QCOMPARE(session.main.windowIcon().pixmap(32).toImage(), icon.pixmap(32).toImage());
}

QTEST_MAIN(TestDatabaseMenu)
#include "TestDatabaseMenu.moc"
