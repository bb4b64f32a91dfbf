// The two exports: a workbook written where the user chose, read back with the .xlsx reader; the
// user told where it is when no program opens it; failures told.
#include <QAction>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>

#include "GuiTestSupport.h"
#include "db/Connection.h"
#include "gui/MdiChildren.h"
#include "gui/shared/ExportCommands.h"
#include "gui/shared/WorkbookOpener.h"
#include "gui/statistics/ClassStatisticsWindow.h"
#include "intake/XlsxWorkbook.h"
#include "store/ProjectStore.h"

using namespace qm;

namespace {

// Answers the file question with a path of the test's choosing and records what is opened; the
// real desktop is put back at the end.
struct ExportSession : test::MainWindowSession {
    store::CurrentProject project;
    test::TempFolder folder;
    QString chosenPath;
    QString suggested;
    QStringList opened;
    bool programExists = false;

    ExportSession() {
        project = store::createProject(workspace.connection(), "高一 (3)", 2);
        std::vector<test::StudentRow> students;
        for (int id = 1; id <= 4; ++id) {
            test::StudentRow s;
            s.student_id = id;
            s.student_name = "学生" + std::to_string(id);
            s.sex = id % 2 ? "男" : "女";
            s.class_id = id <= 2 ? 2 : 1;
            s.type = 1;
            s.scores = {80, 70, 60, 50, 40, 30, 20, 10, 0.5};
            students.push_back(s);
        }
        test::insertStudents(workspace.connection(), project.fbTable, students);
        workspace.setCurrentProject(project);
        main.show();
        gui::setExportPathChooser([this](QWidget*, const QString& suggestion) {
            suggested = suggestion;
            return chosenPath;
        });
        gui::setWorkbookOpener([this](const QString& path) {
            opened << path;
            return programExists;
        });
    }
    ~ExportSession() {
        gui::setExportPathChooser({});
        gui::setWorkbookOpener({});
    }

    std::string text(const intake::Workbook& book, int row, int column) {
        return book.cell(0, row, column).text;
    }
};

}  // namespace

class TestExports : public QObject {
    Q_OBJECT

  private slots:
    void resultWorkbookReadsBack();
    void statisticsWorkbookReadsBack();
    void failuresAndCancelAreHandled();
};

void TestExports::resultWorkbookReadsBack() {
    ExportSession session;
    test::MessageLog log;
    session.chosenPath = QString::fromStdString(session.folder.file("结果"));  // no suffix given
    // A student no division placed is named 未分班, not as a class "0班".
    session.workspace.connection().exec("update " + session.project.fbTable +
                                        " set class_id=0,type=0,sex='' where student_id=4");
    session.main.command(QStringLiteral("8.数据导出"))->trigger();
    QVERIFY(session.suggested.endsWith(QStringLiteral("分班结果-高一_(3).xlsx")));

    const std::string written = session.folder.file("结果.xlsx");
    QCOMPARE(session.opened, QStringList({QString::fromStdString(written)}));
    // No program opens it: the user is told where the file is.
    QCOMPARE(log.texts().size(), 1);
    QVERIFY(log.texts().first().contains(QString::fromStdString(written)));

    intake::XlsxWorkbook book(written);
    QCOMPARE(book.sheetNames().front(), std::string("分班结果"));
    QCOMPARE(session.text(book, 1, 1), std::string("学号"));
    QCOMPARE(session.text(book, 1, 14), std::string("总分"));
    QCOMPARE(session.text(book, 1, 17), std::string("班名"));
    // The students not placed (4) first, then class 1 (3), then class 2 (1 and 2).
    QCOMPARE(session.text(book, 2, 1), std::string("4"));
    QCOMPARE(session.text(book, 3, 1), std::string("3"));
    QCOMPARE(session.text(book, 4, 1), std::string("1"));
    QCOMPARE(session.text(book, 2, 17), std::string("未分班"));
    QCOMPARE(session.text(book, 3, 17), std::string("1班"));
    QCOMPARE(session.text(book, 5, 17), std::string("2班"));
    QCOMPARE(book.cell(0, 3, 14).kind, intake::CellKind::Number);
    QCOMPARE(book.cell(0, 3, 14).number, 360.5);
    QCOMPARE(session.text(book, 6, 1), std::string());
}

void TestExports::statisticsWorkbookReadsBack() {
    ExportSession session;
    test::MessageLog log;
    session.programExists = true;
    session.chosenPath = QString::fromStdString(session.folder.file("明细.xlsx"));
    auto* window = new gui::ClassStatisticsWindow(session.workspace, session.main);
    QSignalSpy shown(window, &gui::ClassStatisticsWindow::statisticsShown);
    gui::addMdiChild(*test::named<QMdiArea>(session.main, "workArea"), window);
    QVERIFY(shown.wait(60000));
    test::named<QPushButton>(*window, "BitBtn2")->click();
    // Opened by the spreadsheet program: nothing to tell.
    QVERIFY2(log.texts().isEmpty(), qPrintable(log.texts().join('\n')));
    QCOMPARE(session.opened.size(), 1);

    intake::XlsxWorkbook book(session.folder.file("明细.xlsx"));
    QCOMPARE(book.sheetNames().front(), std::string("分班明细表"));
    // Block 1: titles, two classes, all students (rows 1 to 4), one empty row; 语文 three rows
    // further down heads block 2, whose titles follow.
    QCOMPARE(session.text(book, 1, 1), std::string("班级"));
    QCOMPARE(session.text(book, 2, 1), std::string("1班"));
    QCOMPARE(session.text(book, 3, 1), std::string("2班"));
    QCOMPARE(book.cell(0, 2, 4).number, 2.0);
    QCOMPARE(session.text(book, 4, 1), std::string("全体"));
    QCOMPARE(session.text(book, 8, 1), std::string("语文"));
    QCOMPARE(session.text(book, 9, 1), std::string("班级"));
    QCOMPARE(session.text(book, 9, 2), std::string("0~9分"));
    QCOMPARE(session.text(book, 10, 1), std::string("1班"));
    // The balance figures of the page 均衡度 on a sheet of their own, as the command line writes.
    QCOMPARE(book.sheetNames(), (std::vector<std::string>{"分班明细表", "均衡度"}));
    QCOMPARE(book.cell(1, 1, 1).text, std::string("均衡度"));
    QVERIFY(book.cell(1, 2, 2).kind == intake::CellKind::Number);
}

void TestExports::failuresAndCancelAreHandled() {
    ExportSession session;
    test::MessageLog log;

    // The user cancels the file question: nothing is written or told.
    session.chosenPath.clear();
    QVERIFY(!gui::exportResultWorkbook(&session.main, session.workspace));
    QVERIFY(log.texts().isEmpty());
    QVERIFY(session.opened.isEmpty());

    // A folder that does not exist: the failure is told with the file, nothing is opened.
    session.chosenPath = QString::fromStdString(session.folder.file("没有的文件夹/结果.xlsx"));
    QVERIFY(!gui::exportResultWorkbook(&session.main, session.workspace));
    QCOMPARE(log.texts().size(), 1);
    QVERIFY(log.texts().first().startsWith(QStringLiteral("导出失败")));
    QCOMPARE(log.messages().front().kind, gui::MessageKind::Error);
    QVERIFY(session.opened.isEmpty());
}

QTEST_MAIN(TestExports)
#include "TestExports.moc"
