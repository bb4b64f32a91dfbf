// The database file keeps its SQLite locks whatever folder a file dialog shows, no dialog hands
// out the database file, and a second desktop program on a database in use quits without opening
// it.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>

#include "GuiTestSupport.h"
#include "gui/DatabaseLockFile.h"
#include "gui/intake/ImportPreviewWindow.h"
#include "gui/shared/ExportCommands.h"
#include "gui/shared/FileDialogs.h"
#include "gui/statistics/ClassStatisticsWindow.h"
#include "store/ProjectStore.h"
#include "support/ChildProcess.h"

using namespace qm;

namespace {

// The POSIX locks this process holds on the database file and its -shm file, from /proc/locks.
int heldLocks(const std::string& databasePath) {
    std::vector<ino_t> inodes;
    for (const std::string& file : {databasePath, databasePath + "-shm"}) {
        struct stat info {};
        if (::stat(file.c_str(), &info) == 0) {
            inodes.push_back(info.st_ino);
        }
    }
    QFile table(QStringLiteral("/proc/locks"));
    if (!table.open(QIODevice::ReadOnly)) {
        return -1;
    }
    int held = 0;
    for (const QByteArray& line : table.readAll().split('\n')) {
        // "1: POSIX  ADVISORY  READ 1234 08:01:5678 128 128"; a waiting lock has "->" after "1:".
        QList<QByteArray> words = line.simplified().split(' ');
        if (words.size() > 1 && words[1] == "->") {
            continue;
        }
        if (words.size() < 6 || words[1] != "POSIX" || words[4].toLong() != ::getpid()) {
            continue;
        }
        const ino_t inode = words[5].split(':').value(2).toULong();
        held += std::count(inodes.begin(), inodes.end(), inode) > 0 ? 1 : 0;
    }
    return held;
}

// Shows the folder in the dialog as a teacher would see it: every entry listed in the detail view
// with its icon and type, then drawn.
void showFolder(QFileDialog& dialog, const QString& folder) {
    auto* model = dialog.findChild<QFileSystemModel*>();
    QVERIFY(model);
    QSignalSpy loaded(model, &QFileSystemModel::directoryLoaded);
    dialog.setViewMode(QFileDialog::Detail);
    dialog.setDirectory(folder);
    QVERIFY(loaded.wait(10000) || !loaded.isEmpty());
    for (int pass = 0; pass < 3; ++pass) {
        dialog.grab();
        QTest::qWait(200);
    }
}

struct LockSession : test::MainWindowSession {
    store::CurrentProject project;
    QString folder;

    LockSession() {
        project = store::createProject(workspace.connection(), "高一", 3);
        test::insertStudents(workspace.connection(), project.fbTable, test::sampleStudents(12));
        workspace.setCurrentProject(project);
        main.show();
        folder = QFileInfo(QString::fromStdString(database.path())).absolutePath();
    }
};

}  // namespace

class TestDatabaseLocks : public QObject {
    Q_OBJECT

  private slots:
    void fileDialogsKeepTheDatabaseLocks_data();
    void fileDialogsKeepTheDatabaseLocks();
    void dialogsRefuseTheDatabaseFile();
    void secondProgramQuitsWithoutOpeningTheDatabase();
};

void TestDatabaseLocks::fileDialogsKeepTheDatabaseLocks_data() {
    QTest::addColumn<QString>("command");
    QTest::newRow("3.1数据导入 打开") << QStringLiteral("3.1数据导入");
    QTest::newRow("8.数据导出") << QStringLiteral("8.数据导出");
    QTest::newRow("导出分班数据") << QStringLiteral("6.班级信息");
}

void TestDatabaseLocks::fileDialogsKeepTheDatabaseLocks() {
    QFETCH(QString, command);
    LockSession session;
    test::MessageLog log;
    const int before = heldLocks(session.database.path());
    QVERIFY2(before > 0, "SQLite holds no lock on the database to begin with");

    // The command's window first, where the dialog comes from a button of the window.
    QPushButton* opensDialog = nullptr;
    if (command == QStringLiteral("3.1数据导入")) {
        session.main.command(command)->trigger();
        opensDialog = test::named<QPushButton>(*session.main.importWindow(), "bnt_open");
    } else if (command == QStringLiteral("6.班级信息")) {
        session.main.command(command)->trigger();
        gui::ClassStatisticsWindow* info = session.main.statisticsWindow();
        QSignalSpy shown(info, &gui::ClassStatisticsWindow::statisticsShown);
        QVERIFY(!info->isComputing() || shown.wait(60000));
        opensDialog = test::named<QPushButton>(*info, "BitBtn2");
    }
    bool dialogShown = false;
    int whileShown = -1;
    test::actOnNextDialog<QFileDialog>([&](QFileDialog& dialog) {
        dialogShown = true;
        showFolder(dialog, session.folder);
        whileShown = heldLocks(session.database.path());
    });
    if (opensDialog) {
        opensDialog->click();
    } else {
        session.main.command(command)->trigger();
    }
    QVERIFY(dialogShown);
    QCOMPARE(whileShown, before);
    QCOMPARE(heldLocks(session.database.path()), before);
    QVERIFY2(log.texts().isEmpty(), qPrintable(log.texts().join('\n')));
}

// Chosen in a dialog by any spelling, the database file is refused as if the dialog had been
// cancelled; a spreadsheet beside it is handed out.
void TestDatabaseLocks::dialogsRefuseTheDatabaseFile() {
    LockSession session;
    test::MessageLog log;
    const int before = heldLocks(session.database.path());
    const QString database = QString::fromStdString(session.database.path());
    const QString sheet = session.folder + QStringLiteral("/学生.csv");
    QFile(sheet).open(QIODevice::WriteOnly);
    const QString link = session.folder + QStringLiteral("/link.db");
    QVERIFY(QFile::link(database, link));

    for (const QString& chosen : {database, database + QStringLiteral("-wal"), link, sheet}) {
        test::actOnNextDialog<QFileDialog>([&](QFileDialog& dialog) {
            dialog.selectFile(chosen);
            static_cast<QDialog&>(dialog).accept();
        });
        const QString answer =
            gui::chooseFileToOpen(&session.main, QStringLiteral("打开"), session.folder, {});
        if (chosen == sheet) {
            QCOMPARE(answer, sheet);
        } else {
            QVERIFY2(answer.isEmpty(), qPrintable(chosen));
        }
    }
    QCOMPARE(log.messages().size(), std::size_t{3});
    QVERIFY(log.texts().first().contains(QStringLiteral("数据库文件")));
    QCOMPARE(heldLocks(session.database.path()), before);

    // An export whose name, once ".xlsx" is added, is that of the database is refused before
    // anything is written.
    log.clear();
    test::TempFolder other;
    const std::string named = other.file("学校.xlsx");
    gui::Workspace workspace(named);
    workspace.setCurrentProject(store::createProject(workspace.connection(), "高一", 2));
    const auto size = std::filesystem::file_size(named);
    gui::setExportPathChooser(
        [&](QWidget*, const QString&) { return QString::fromStdString(other.file("学校")); });
    QVERIFY(!gui::exportResultWorkbook(&session.main, workspace));
    gui::setExportPathChooser({});
    QCOMPARE(log.messages().size(), std::size_t{1});
    QVERIFY(log.texts().first().contains(QStringLiteral("数据库文件")));
    QCOMPARE(std::filesystem::file_size(named), size);
    QCOMPARE(store::listProjects(workspace.connection()).size(), std::size_t{1});
}

// The second program says so on its error output (and in a message box) and never creates the
// database file; once the first has gone, even without tidying up, a program starts normally.
void TestDatabaseLocks::secondProgramQuitsWithoutOpeningTheDatabase() {
    test::TempFolder folder;
    const std::string path = folder.file("fb.db");
    auto first = std::make_unique<gui::DatabaseLockFile>(path);
    QVERIFY(first->acquired());

    // The desktop program on the database, with its output and its errors in files of their own.
    auto startProgram = [&](const std::string& errors) {
        return test::ChildProcess::start({.argv = {QUILLMERE_GUI, "--db", path},
                                          .environment = {"QT_QPA_PLATFORM=offscreen"},
                                          .outputFile = folder.file("output.txt"),
                                          .errorFile = folder.file(errors)});
    };
    auto said = [&](const std::string& errors) {
        QFile file(QString::fromStdString(folder.file(errors)));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    };
    test::ChildProcess second = startProgram("second.txt");
    QTRY_VERIFY_WITH_TIMEOUT(said("second.txt").contains(QStringLiteral("正被另一个分班程序使用")),
                             20000);
    second.kill(SIGKILL);
    second.wait();
    QVERIFY(!std::filesystem::exists(path));

    // A lock left behind by a program that was killed is taken over.
    first.reset();
    test::ChildProcess killed = startProgram("killed.txt");
    QTRY_VERIFY_WITH_TIMEOUT(std::filesystem::exists(path), 20000);
    killed.kill(SIGKILL);
    killed.wait();
    QVERIFY(std::filesystem::exists(path + ".lock"));
    gui::DatabaseLockFile after(path);
    QVERIFY(after.acquired());
    gui::DatabaseLockFile another(path);
    QVERIFY(!another.acquired());
    QVERIFY(another.refusal().contains(QStringLiteral("正被另一个分班程序使用")));
}

QTEST_MAIN(TestDatabaseLocks)
#include "TestDatabaseLocks.moc"
