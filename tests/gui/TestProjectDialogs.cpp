// The project dialogs: new project, open and delete, and copying students between projects.
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "GuiTestSupport.h"
#include "db/Connection.h"
#include "gui/projects/CopyStudentsDialog.h"
#include "gui/projects/NewProjectDialog.h"
#include "gui/projects/OpenProjectDialog.h"
#include "gui/projects/ProjectListWidget.h"
#include "store/ProjectStore.h"
#include "store/StudentCopy.h"

using namespace qm;

namespace {

QStringList rowTexts(const QTreeWidget& list, int row) {
    QStringList texts;
    for (int column = 0; column < list.columnCount(); ++column) {
        texts << list.topLevelItem(row)->text(column);
    }
    return texts;
}

void doubleClickRow(QTreeWidget& list, int row) {
    const QRect rect = list.visualItemRect(list.topLevelItem(row));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, rect.center());
}

// The projects of a copy: 来源 (id 1) with the source students, and 当前 (id 2) with the
// target students, made the current project.
void makeCopyProjects(test::MainWindowSession& session, const std::vector<test::StudentRow>& source,
                      const std::vector<test::StudentRow>& target) {
    auto& connection = session.workspace.connection();
    const auto from = store::createProject(connection, "来源", 3);
    const auto to = store::createProject(connection, "当前", 3);
    test::insertStudents(connection, from.fbTable, source);
    test::insertStudents(connection, to.fbTable, target);
    session.workspace.setCurrentProject(to);
}

}  // namespace

class TestProjectDialogs : public QObject {
    Q_OBJECT

  private slots:
    void newProjectRefusesClassCount_data();
    void newProjectRefusesClassCount();
    void newProjectCancelStoresNothing();
    void openDialogListsProjects();
    void openByButtonAndByDoubleClick();
    void firstRowIsChosenWhenTheListIsFilled();
    void buttonsNeedASelection_data();
    void buttonsNeedASelection();
    void deleteAsksFirst();
    void deletingTheCurrentProjectClearsIt();
    void copyAddRefusesExistingStudents();
    void copyOverwriteReplacesStudents();
};

void TestProjectDialogs::newProjectRefusesClassCount_data() {
    QTest::addColumn<QString>("count");
    QTest::newRow("empty") << QString();
    QTest::newRow("letters") << QStringLiteral("六");
    QTest::newRow("fraction") << QStringLiteral("2.5");
    QTest::newRow("zero") << QStringLiteral("0");
    QTest::newRow("negative") << QStringLiteral("-3");
}

void TestProjectDialogs::newProjectRefusesClassCount() {
    QFETCH(QString, count);
    test::MainWindowSession session;
    test::MessageLog log;
    gui::NewProjectDialog dialog(session.workspace);
    dialog.show();
    test::named<QLineEdit>(dialog, "edMemo")->setText(QStringLiteral("高一"));
    test::named<QLineEdit>(dialog, "edNum")->setText(count);
    test::named<QPushButton>(dialog, "bnOk")->click();

    QCOMPARE(log.messages().size(), std::size_t{1});
    QCOMPARE(log.messages()[0].kind, gui::MessageKind::Error);
    QVERIFY2(log.messages()[0].text.contains(QStringLiteral("班级数")),
             qPrintable(log.messages()[0].text));
    QVERIFY(dialog.isVisible());
    QCOMPARE(test::named<QLineEdit>(dialog, "edNum")->text(), count);
    QCOMPARE(test::countRows(session.database.connection(), "select * from fb_info"), 0);
    QVERIFY(!session.workspace.hasProject());
}

void TestProjectDialogs::newProjectCancelStoresNothing() {
    test::MainWindowSession session;
    gui::NewProjectDialog dialog(session.workspace);
    dialog.show();
    test::named<QLineEdit>(dialog, "edMemo")->setText(QStringLiteral("高一"));
    test::named<QLineEdit>(dialog, "edNum")->setText(QStringLiteral("4"));
    test::named<QPushButton>(dialog, "bnCancel")->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(test::countRows(session.database.connection(), "select * from fb_info"), 0);
}

void TestProjectDialogs::openDialogListsProjects() {
    test::MainWindowSession session;
    auto& connection = session.workspace.connection();
    store::createProject(connection, "2023级", 8);
    store::createProject(connection, "2024级", 10);
    gui::OpenProjectDialog dialog(session.workspace);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("选择分班项目"));
    const gui::ProjectListWidget& list = *test::named<gui::ProjectListWidget>(dialog, "lv_info");
    QCOMPARE(list.headerItem()->text(0), QStringLiteral("自编号"));
    QCOMPARE(list.headerItem()->text(1), QStringLiteral("分班描述"));
    QCOMPARE(list.headerItem()->text(2), QStringLiteral("班级数"));
    QCOMPARE(list.headerItem()->text(3), QStringLiteral("建立时间"));
    QCOMPARE(list.topLevelItemCount(), 2);
    const auto projects = store::listProjects(connection);
    QCOMPARE(rowTexts(list, 1),
             QStringList({"2", "2024级", "10", QString::fromStdString(projects[1].update_date)}));
    QVERIFY(!list.topLevelItem(0)->icon(0).isNull());
}

void TestProjectDialogs::openByButtonAndByDoubleClick() {
    test::MainWindowSession session;
    auto& connection = session.workspace.connection();
    store::createProject(connection, "甲", 3);
    store::createProject(connection, "乙", 5);

    gui::OpenProjectDialog byButton(session.workspace, &session.main);
    byButton.show();
    QVERIFY(test::named<gui::ProjectListWidget>(byButton, "lv_info")->selectId(2));
    test::named<QPushButton>(byButton, "bnOpen")->click();
    QCOMPARE(byButton.result(), int(QDialog::Accepted));
    QCOMPARE(session.workspace.currentProject().fbTable, std::string("fb_2"));
    QCOMPARE(session.workspace.currentProject().rbTable, std::string("rb_fb_2"));
    QCOMPARE(session.workspace.currentProject().fbId, std::string("2"));
    QCOMPARE(session.main.windowTitle(), QStringLiteral("乙"));

    gui::OpenProjectDialog byDoubleClick(session.workspace, &session.main);
    byDoubleClick.show();
    QVERIFY(QTest::qWaitForWindowExposed(&byDoubleClick));
    doubleClickRow(*test::named<gui::ProjectListWidget>(byDoubleClick, "lv_info"), 0);
    QCOMPARE(byDoubleClick.result(), int(QDialog::Accepted));
    QCOMPARE(session.workspace.currentProject().fbId, std::string("1"));
    QCOMPARE(session.main.windowTitle(), QStringLiteral("甲"));
}

// With a single project its row is chosen: "打开" opens it at once, in the open dialog as in the
// copy dialog.
void TestProjectDialogs::firstRowIsChosenWhenTheListIsFilled() {
    test::MainWindowSession session;
    test::MessageLog log;
    store::createProject(session.workspace.connection(), "甲", 3);
    gui::OpenProjectDialog open(session.workspace, &session.main);
    open.show();
    QCOMPARE(test::named<gui::ProjectListWidget>(open, "lv_info")->selectedId(),
             std::optional<int>(1));
    test::named<QPushButton>(open, "bnOpen")->click();
    QCOMPARE(open.result(), int(QDialog::Accepted));
    QCOMPARE(session.workspace.currentProject().fbId, std::string("1"));

    store::createProject(session.workspace.connection(), "乙", 3);
    gui::CopyStudentsDialog copy(session.workspace, &session.main);
    QCOMPARE(test::named<gui::ProjectListWidget>(copy, "lv_info")->selectedId(),
             std::optional<int>(1));
    QVERIFY(log.texts().isEmpty());
}

void TestProjectDialogs::buttonsNeedASelection_data() {
    QTest::addColumn<int>("dialogKind");
    QTest::addColumn<QString>("button");
    QTest::newRow("open: 打开") << 0 << QStringLiteral("打开");
    QTest::newRow("open: 删除") << 0 << QStringLiteral("删除");
    QTest::newRow("copy: 打开") << 1 << QStringLiteral("打开");
    QTest::newRow("copy: 删除") << 1 << QStringLiteral("删除");
}

void TestProjectDialogs::buttonsNeedASelection() {
    QFETCH(int, dialogKind);
    QFETCH(QString, button);
    test::MainWindowSession session;
    session.workspace.setCurrentProject(
        store::createProject(session.workspace.connection(), "甲", 3));
    store::createProject(session.workspace.connection(), "乙", 3);
    test::MessageLog log;
    std::unique_ptr<QDialog> dialog;
    if (dialogKind == 0) {
        dialog = std::make_unique<gui::OpenProjectDialog>(session.workspace);
    } else {
        dialog = std::make_unique<gui::CopyStudentsDialog>(session.workspace);
    }
    dialog->show();
    // The first row is chosen when the list is filled; the teacher can take the choice away.
    auto* list = dialog->findChild<gui::ProjectListWidget*>();
    list->setCurrentItem(nullptr);
    list->clearSelection();
    QPushButton* pressed = nullptr;
    for (QPushButton* candidate : dialog->findChildren<QPushButton*>()) {
        if (candidate->text() == button) {
            pressed = candidate;
        }
    }
    QVERIFY(pressed);
    pressed->click();
    QCOMPARE(log.texts(), QStringList{QStringLiteral("请选择分班项!")});
    QVERIFY(dialog->isVisible());
    QCOMPARE(test::countRows(session.database.connection(), "select * from fb_info"), 2);
    QCOMPARE(session.workspace.currentProject().fbId, std::string("1"));
}

void TestProjectDialogs::deleteAsksFirst() {
    test::MainWindowSession session;
    auto& connection = session.workspace.connection();
    store::createProject(connection, "甲", 3);
    store::createProject(connection, "乙", 3);
    test::MessageLog log(false);
    gui::OpenProjectDialog dialog(session.workspace);
    dialog.show();

    QVERIFY(test::named<gui::ProjectListWidget>(dialog, "lv_info")->selectId(1));
    test::named<QPushButton>(dialog, "bnDelete")->click();
    QCOMPARE(log.messages().size(), std::size_t{1});
    QCOMPARE(log.messages()[0].kind, gui::MessageKind::Question);
    QVERIFY(log.messages()[0].text.contains(QStringLiteral("甲")));
    QCOMPARE(test::named<gui::ProjectListWidget>(dialog, "lv_info")->topLevelItemCount(), 2);
    QVERIFY(connection.tableExists("fb_1"));

    log.setAnswer(true);
    test::named<QPushButton>(dialog, "bnDelete")->click();
    QCOMPARE(test::named<gui::ProjectListWidget>(dialog, "lv_info")->topLevelItemCount(), 1);
    QCOMPARE(test::named<gui::ProjectListWidget>(dialog, "lv_info")->topLevelItem(0)->text(0),
             QStringLiteral("2"));
    QVERIFY(!connection.tableExists("fb_1"));
    QVERIFY(!connection.tableExists("rb_fb_1"));
    QCOMPARE(test::countRows(connection, "select * from config where id=1"), 0);
    QVERIFY(dialog.isVisible());
}

void TestProjectDialogs::deletingTheCurrentProjectClearsIt() {
    test::MainWindowSession session;
    auto& connection = session.workspace.connection();
    session.workspace.setCurrentProject(store::createProject(connection, "甲", 3));
    store::createProject(connection, "乙", 3);
    QCOMPARE(session.main.windowTitle(), QStringLiteral("甲"));
    test::MessageLog log(true);
    gui::OpenProjectDialog dialog(session.workspace);
    dialog.show();

    // Deleting another project leaves the current one.
    QVERIFY(test::named<gui::ProjectListWidget>(dialog, "lv_info")->selectId(2));
    test::named<QPushButton>(dialog, "bnDelete")->click();
    QCOMPARE(session.workspace.currentProject().fbId, std::string("1"));
    QCOMPARE(session.main.windowTitle(), QStringLiteral("甲"));

    QVERIFY(test::named<gui::ProjectListWidget>(dialog, "lv_info")->selectId(1));
    test::named<QPushButton>(dialog, "bnDelete")->click();
    QVERIFY(!session.workspace.hasProject());
    QCOMPARE(session.main.windowTitle(), QStringLiteral("QuillmereV3.35"));
    QCOMPARE(test::named<gui::ProjectListWidget>(dialog, "lv_info")->topLevelItemCount(), 0);
}

void TestProjectDialogs::copyAddRefusesExistingStudents() {
    test::MainWindowSession session;
    auto& connection = session.workspace.connection();
    const auto students = test::sampleStudents(4);
    makeCopyProjects(session, {students[0], students[1], students[2]}, {students[2], students[3]});
    test::MessageLog log;

    gui::CopyStudentsDialog dialog(session.workspace);
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("导入分班数据"));
    QVERIFY(test::named<QRadioButton>(dialog, "rbAdd")->isChecked());
    QCOMPARE(test::named<gui::ProjectListWidget>(dialog, "lv_info")->topLevelItemCount(), 2);
    QVERIFY(test::named<gui::ProjectListWidget>(dialog, "lv_info")->selectId(1));
    test::named<QPushButton>(dialog, "bnOpen")->click();

    QCOMPARE(log.texts(), QStringList{QString::fromUtf8(store::kCopyFailed)});
    QVERIFY(dialog.isVisible());
    QCOMPARE(test::countRows(connection, "select * from fb_2"), 2);
    QCOMPARE(test::countRows(connection, "select * from fb_1 where type=0"), 3);
}

void TestProjectDialogs::copyOverwriteReplacesStudents() {
    test::MainWindowSession session;
    auto& connection = session.workspace.connection();
    const auto students = test::sampleStudents(4);
    // The source has its students in classes 1 to 3; the target has one of them without a class.
    std::vector<test::StudentRow> placed(students.begin(), students.begin() + 3);
    for (std::size_t i = 0; i < placed.size(); ++i) {
        placed[i].class_id = static_cast<int>(i) + 1;
    }
    makeCopyProjects(session, placed, {students[2], students[3]});
    test::MessageLog log;

    gui::CopyStudentsDialog dialog(session.workspace);
    dialog.show();
    test::named<QRadioButton>(dialog, "rbOverwrite")->setChecked(true);
    QVERIFY(test::named<gui::ProjectListWidget>(dialog, "lv_info")->selectId(1));
    test::named<QPushButton>(dialog, "bnOpen")->click();

    QCOMPARE(log.texts(), QStringList{QString::fromUtf8(store::kCopySucceeded)});
    QVERIFY(!dialog.isVisible());
    QCOMPARE(test::countRows(connection, "select * from fb_2"), 4);
    QCOMPARE(test::countRows(connection, "select * from fb_2 where type=2 and student_id=class_id"),
             3);
    // The source stays as it was.
    QCOMPARE(test::countRows(connection, "select * from fb_1 where type=0"), 3);
}

QTEST_MAIN(TestProjectDialogs)
#include "TestProjectDialogs.moc"
