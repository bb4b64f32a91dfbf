// The import preview and its progress window: a real spreadsheet read into the grid, the rows
// stored (or the failing row told), a failure or a cancel leaving the students as they were.
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>

#include "GuiTestSupport.h"
#include "db/Connection.h"
#include "gui/intake/ImportPreviewWindow.h"
#include "gui/intake/ImportProgressDialog.h"
#include "gui/shared/WorkbookOpener.h"
#include "store/ProjectStore.h"

using namespace qm;

namespace {

constexpr int kWaitMs = 60000;

struct ImportSession : test::MainWindowSession {
    store::CurrentProject project;
    std::unique_ptr<gui::ImportPreviewWindow> window;

    ImportSession() {
        project = store::createProject(workspace.connection(), "高一", 3);
        workspace.setCurrentProject(project);
        window = std::make_unique<gui::ImportPreviewWindow>(workspace, &main);
        window->show();
    }

    bool preview(const std::string& fixture) {
        QSignalSpy shown(window.get(), &gui::ImportPreviewWindow::previewShown);
        window->readIntoGrid(QString::fromStdString(test::testData(fixture)));
        return shown.wait(kWaitMs) && shown.first().first().toBool();
    }

    // 导入, as a person's script finds it.
    QPushButton& importButton() const { return *test::named<QPushButton>(*window, "bnt_yes"); }

    QString cell(int row, int column) const {
        const QTableWidgetItem* item =
            test::named<QTableWidget>(*window, "sgStudent")->item(row, column);
        return item ? item->text() : QString();
    }

    int storedRows() {
        return test::countRows(database.connection(), "select * from " + project.fbTable);
    }

    QString statusPanelText() const {
        QStringList texts;
        for (const QLabel* panel : main.statusBar()->findChildren<QLabel*>()) {
            texts << panel->text();
        }
        return texts.join('|');
    }
};

}  // namespace

class TestImportWindows : public QObject {
    Q_OBJECT

  private slots:
    void previewShowsRowsCountsAndTrailingRow();
    void saveStoresTheRowsAndSaysSo();
    void draggedColumnIsStoredUnderItsShownPlace();
    void failingRowIsToldAndTheStudentsStayAsTheyWere();
    void cancelLeavesTheStudentsAsTheyWere_data();
    void cancelLeavesTheStudentsAsTheyWere();
    void unreadableFileIsTold();
    void fileThatIsNoListIsWarnedOf_data();
    void fileThatIsNoListIsWarnedOf();
    void sampleLinkOpensTheSampleWorkbook();
    void saveGoesToTheCurrentProject();
    void emptyProjectIsNotAskedAndTheEndIsToldOverThePreview();
};

void TestImportWindows::previewShowsRowsCountsAndTrailingRow() {
    ImportSession session;
    test::MessageLog log;
    QVERIFY(!session.importButton().isEnabled());
    QVERIFY(session.preview("gui/preview_students.csv"));
    QVERIFY(log.texts().isEmpty());

    const QTableWidget& grid = *test::named<QTableWidget>(*session.window, "sgStudent");
    QCOMPARE(grid.columnCount(), 18);
    QCOMPARE(grid.horizontalHeaderItem(3)->text(), QStringLiteral("姓名"));
    QCOMPARE(grid.horizontalHeaderItem(16)->text(), QStringLiteral("备注"));
    QCOMPARE(grid.columnWidth(0), 30);
    // Four students, then the trailing row: the first row without 学号, its name shown in grey
    // and its empty scores empty, not 0; the student after it is not read.
    QCOMPARE(grid.rowCount(), 5);
    for (int r = 0; r < 5; ++r) {
        QCOMPARE(session.cell(r, 0), QString::number(r + 1));
    }
    QCOMPARE(session.cell(0, 3), QStringLiteral("张三"));
    QCOMPARE(session.cell(1, 6), QStringLiteral("0"));  // empty English score
    QCOMPARE(session.cell(1, 17), QStringLiteral("艺术"));
    QCOMPARE(session.cell(2, 16), QStringLiteral("2"));  // in the grid, drawn invisibly
    QCOMPARE(session.cell(3, 3), QStringLiteral("欧'尼尔"));
    QCOMPARE(session.cell(4, 1), QString());
    QCOMPARE(session.cell(4, 3), QStringLiteral("赵六"));
    QCOMPARE(session.cell(4, 5), QStringLiteral("0"));
    QVERIFY(!grid.isRowHidden(4));
    QVERIFY(grid.item(4, 3)->toolTip().contains(QStringLiteral("不导入")));
    QCOMPARE(grid.item(4, 3)->foreground().color(),
             grid.palette().color(QPalette::Disabled, QPalette::Text));
    QCOMPARE(test::named<QLabel>(*session.window, "lb_info")->text(),
             QStringLiteral("已导入的总记录数:4条   "));
    QVERIFY(session.statusPanelText().contains(QStringLiteral("已导入的总记录数:4条")));
    QVERIFY(session.importButton().isEnabled());
    QCOMPARE(session.window->lastFile(),
             QString::fromStdString(test::testData("gui/preview_students.csv")));

    // A file that simply ends: its blank trailing row is not shown, so the grid does not end
    // with a row of zeros.
    QVERIFY(session.preview("gui/failing_row.csv"));
    QCOMPARE(grid.rowCount(), 5);
    QVERIFY(grid.isRowHidden(4));
    QVERIFY(!grid.isRowHidden(3));
    QCOMPARE(grid.currentRow(), 3);
}

void TestImportWindows::saveStoresTheRowsAndSaysSo() {
    ImportSession session;
    test::insertStudents(session.database.connection(), session.project.fbTable,
                         test::sampleStudents(7));
    QVERIFY(session.preview("gui/preview_students.csv"));
    test::MessageLog log;
    session.importButton().click();
    // The file's row 6 has a name but no 学号, and a student follows: the teacher is told first
    // and goes on.
    QVERIFY2(log.texts().value(0).startsWith(
                 QStringLiteral("第6行的学号是空的，这一行和后面 1 行有数据，没有读入")),
             qPrintable(log.texts().join('\n')));
    QCOMPARE(log.texts().mid(1),
             QStringList({"将清空之前的所有数据（本项目现有的 7 名学生），确定么？",
                          "导入成功，共导入 4 名学生"}));
    QCOMPARE(log.messages()[1].caption, QStringLiteral("提示"));
    QCOMPARE(log.messages()[1].kind, gui::MessageKind::OkCancel);

    QCOMPARE(session.storedRows(), 4);  // the earlier seven are replaced
    auto rows = session.database.connection().query(
        "select student_id, student_name, pingyin, class_id, type, english, pfType from " +
        session.project.fbTable + " order by student_id");
    QCOMPARE(rows.at(0, 2).toText(), std::string("ZHANG SAN"));
    QCOMPARE(rows.at(1, 5).toDouble(), 0.0);
    QCOMPARE(rows.at(1, 6).toText(), std::string("艺术"));
    QCOMPARE(rows.at(2, 3).toInt(), std::int64_t(2));  // fixed by its 备注
    QCOMPARE(rows.at(2, 4).toInt(), std::int64_t(2));
    QCOMPARE(rows.at(3, 1).toText(), std::string("欧'尼尔"));
    QVERIFY(!session.importButton().isEnabled());
}

void TestImportWindows::draggedColumnIsStoredUnderItsShownPlace() {
    ImportSession session;
    QVERIFY(session.preview("gui/preview_students.csv"));
    // Drag 英语 (column 6) in front of 数学 (column 5): the English scores are now shown in the
    // place of mathematics and are stored as mathematics.
    QHeaderView& header =
        *test::named<QTableWidget>(*session.window, "sgStudent")->horizontalHeader();
    header.moveSection(header.visualIndex(6), header.visualIndex(5));
    test::MessageLog log;
    session.importButton().click();
    QCOMPARE(log.texts().last(), QStringLiteral("导入成功，共导入 4 名学生"));
    auto rows = session.database.connection().query(
        "select math, english from " + session.project.fbTable + " where student_id=1");
    QCOMPARE(rows.at(0, 0).toDouble(), 92.5);
    QCOMPARE(rows.at(0, 1).toDouble(), 85.0);
}

void TestImportWindows::failingRowIsToldAndTheStudentsStayAsTheyWere() {
    ImportSession session;
    test::insertStudents(session.database.connection(), session.project.fbTable,
                         test::sampleStudents(7));
    QVERIFY(session.preview("gui/failing_row.csv"));
    test::MessageLog log;
    session.importButton().click();
    QCOMPARE(log.texts().size(), 2);
    const QString told = log.texts().last();
    QVERIFY2(told.startsWith(QStringLiteral("插入数据库过程第4行出错,学生不考的科目请设置为0分")),
             qPrintable(told));
    QVERIFY2(told.contains(QStringLiteral("数学「缺考」不是数字")), qPrintable(told));
    QVERIFY2(told.contains(QStringLiteral("原有的学生数据没有改变")), qPrintable(told));
    QCOMPARE(session.storedRows(), 7);
    QVERIFY(!session.importButton().isEnabled());
}

void TestImportWindows::cancelLeavesTheStudentsAsTheyWere_data() {
    QTest::addColumn<bool>("byFrame");
    QTest::newRow("取消") << false;
    QTest::newRow("closing the window") << true;
}

void TestImportWindows::cancelLeavesTheStudentsAsTheyWere() {
    QFETCH(bool, byFrame);
    ImportSession session;
    test::insertStudents(session.database.connection(), session.project.fbTable,
                         test::sampleStudents(7));
    QVERIFY(session.preview("gui/preview_students.csv"));
    test::MessageLog log;

    // Declining changes nothing.
    log.setAnswer(false);
    session.importButton().click();
    QCOMPARE(session.storedRows(), 7);
    log.setAnswer(true);
    log.clear();

    test::actOnNextDialog<gui::ImportProgressDialog>(
        [byFrame](gui::ImportProgressDialog& progress) {
            QCOMPARE(progress.windowTitle(), QStringLiteral("正在导入……"));
            if (byFrame) {
                progress.close();
            } else {
                test::named<QPushButton>(progress, "bntCancel")->click();
            }
        });
    session.importButton().click();
    // After the warning of the rows not read (see saveStoresTheRowsAndSaysSo), the question.
    QCOMPARE(log.texts().mid(1),
             QStringList({"将清空之前的所有数据（本项目现有的 7 名学生），确定么？"}));
    QCOMPARE(session.storedRows(), 7);
    QVERIFY(session.importButton().isEnabled());
}

void TestImportWindows::unreadableFileIsTold() {
    ImportSession session;
    test::TempFolder folder;
    const std::string path = folder.file("broken.xlsx");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fputs("this is not a workbook", file);
    std::fclose(file);
    test::MessageLog log;
    QSignalSpy shown(session.window.get(), &gui::ImportPreviewWindow::previewShown);
    session.window->readIntoGrid(QString::fromStdString(path));
    QVERIFY(shown.wait(kWaitMs));
    QVERIFY(!shown.first().first().toBool());
    QCOMPARE(log.texts().size(), 1);
    QVERIFY(log.texts().first().contains(QStringLiteral("broken.xlsx")));
    QCOMPARE(test::named<QTableWidget>(*session.window, "sgStudent")->rowCount(), 0);
    QVERIFY(!session.importButton().isEnabled());
}

void TestImportWindows::fileThatIsNoListIsWarnedOf_data() {
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("found");
    QTest::addColumn<int>("storedWhenGoingOn");  // -1: not tried
    QTest::newRow("tab-separated .txt renamed .csv")
        << QStringLiteral("1\tK1\t张三\t男\n2\tK2\t李四\t女\n")
        << QStringLiteral("A列是“1”, 应为“学号”") << 1;
    QTest::newRow("notes saved as .csv")
        << QStringLiteral("分班会议记录\n一、先导入名单\n二、再分班\n")
        << QStringLiteral("2 名学生没有姓名 (第2、3行)") << -1;
    QTest::newRow("list with a blank row in the middle")
        << QStringLiteral("学号,登分号,姓名,性别\n1,K1,张三,男\n\n3,K3,李四,女\n")
        << QStringLiteral("第3行是空行，后面还有 1 行有数据，没有读入") << 1;
}

// Before anything is replaced, a file that does not look like a list of students is warned of
// with what was found; cancelling there leaves the students as they were.
void TestImportWindows::fileThatIsNoListIsWarnedOf() {
    QFETCH(QString, content);
    QFETCH(QString, found);
    QFETCH(int, storedWhenGoingOn);
    ImportSession session;
    test::insertStudents(session.database.connection(), session.project.fbTable,
                         test::sampleStudents(7));
    test::TempFolder folder;
    const std::string path = folder.file("名单.csv");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fputs(content.toStdString().c_str(), file);
    std::fclose(file);
    QSignalSpy shown(session.window.get(), &gui::ImportPreviewWindow::previewShown);
    session.window->readIntoGrid(QString::fromStdString(path));
    QVERIFY(shown.wait(kWaitMs));
    QVERIFY(shown.first().first().toBool());

    test::MessageLog log;
    log.setAnswer(false);
    session.importButton().click();
    QCOMPARE(log.messages().size(), 1);
    const gui::UserMessage& warning = log.messages().front();
    QCOMPARE(warning.caption, QStringLiteral("警告"));
    QCOMPARE(warning.kind, gui::MessageKind::OkCancel);
    QVERIFY2(warning.text.contains(found), qPrintable(warning.text));
    QVERIFY(warning.text.endsWith(QStringLiteral("这个文件可能不是学生名单。仍要导入吗？")));
    QCOMPARE(session.storedRows(), 7);
    QVERIFY(session.importButton().isEnabled());

    if (storedWhenGoingOn >= 0) {
        // Going on: the usual question follows, and the rows are stored.
        log.clear();
        log.setAnswer(true);
        session.importButton().click();
        QCOMPARE(log.texts().mid(1),
                 QStringList({"将清空之前的所有数据（本项目现有的 7 名学生），确定么？",
                              "导入成功，共导入 1 名学生"}));
        QCOMPARE(session.storedRows(), storedWhenGoingOn);
    }
}

// The link's caption keeps its blanks; a click on it opens the sample workbook delivered with the
// program.
void TestImportWindows::sampleLinkOpensTheSampleWorkbook() {
    ImportSession session;
    test::MessageLog log;
    QStringList opened;
    gui::setWorkbookOpener([&](const QString& path) {
        opened << path;
        return true;
    });
    QLabel& link = *test::named<QLabel>(*session.window, "lb_sample");
    QCOMPARE(link.text(), QStringLiteral("点击这里打开分班数据样表(请另存一份后再录入数据)") +
                              QString(36, QLatin1Char(' ')));
    QCOMPARE(link.cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(&link, Qt::LeftButton, {}, QPoint(10, link.height() / 2));
    gui::setWorkbookOpener({});
    QVERIFY2(log.texts().isEmpty(), qPrintable(log.texts().join('\n')));
    QCOMPARE(opened.size(), 1);
    QVERIFY(opened[0].endsWith(QStringLiteral("导入excel文件样例/分班数据输入样例.xls")));
}

// Opening another project meanwhile does not redirect the rows the window shows.
// "导入到库" stores into the project that is current when it is pressed.
void TestImportWindows::saveGoesToTheCurrentProject() {
    ImportSession session;
    QVERIFY(session.preview("gui/preview_students.csv"));
    const auto other = store::createProject(session.workspace.connection(), "复读班", 2);
    test::insertStudents(session.database.connection(), other.fbTable, test::sampleStudents(3));
    session.workspace.setCurrentProject(other);
    test::MessageLog log;
    session.importButton().click();
    QCOMPARE(log.texts().last(), QStringLiteral("导入成功，共导入 4 名学生"));
    QCOMPARE(session.storedRows(), 0);
    QCOMPARE(test::countRows(session.database.connection(), "select * from " + other.fbTable), 4);
}

// Nothing is lost in a project without students, so nothing is asked; the end of the save is told
// once the progress window has gone, and the status bar forgets the count with the project.
void TestImportWindows::emptyProjectIsNotAskedAndTheEndIsToldOverThePreview() {
    ImportSession session;
    QVERIFY(session.preview("gui/preview_students.csv"));
    QStringList told;
    bool progressShown = true;
    gui::setMessageAnswerer([&](const gui::UserMessage& message) {
        told << message.text;
        progressShown = false;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            progressShown = progressShown || (qobject_cast<gui::ImportProgressDialog*>(window) &&
                                              window->isVisible());
        }
        return 1;
    });
    session.importButton().click();
    gui::setMessageAnswerer({});
    // The warning of the file's row 6 without 学号 (see saveStoresTheRowsAndSaysSo), then the end.
    QCOMPARE(told.size(), 2);
    QVERIFY(told.first().startsWith(QStringLiteral("第6行的学号是空的")));
    QCOMPARE(told.last(), QStringLiteral("导入成功，共导入 4 名学生"));
    QVERIFY(!progressShown);
    QCOMPARE(session.storedRows(), 4);

    QVERIFY(session.statusPanelText().contains(QStringLiteral("已导入的总记录数:4条")));
    session.workspace.setCurrentProject(
        store::createProject(session.workspace.connection(), "复读班", 2));
    QVERIFY(!session.statusPanelText().contains(QStringLiteral("已导入")));
}

QTEST_MAIN(TestImportWindows)
#include "TestImportWindows.moc"
