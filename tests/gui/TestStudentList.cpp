// The student list: the class tree, the query boxes, and editing rows that are stored when
// posted, with refused values told and nothing stored.
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include "GuiTestSupport.h"
#include "db/Connection.h"
#include "gui/students/StudentListModel.h"
#include "gui/students/StudentListWindow.h"
#include "store/ProjectStore.h"

using namespace qm;

namespace {

test::StudentRow student(int id, const char* name, const char* sex, int classId, double math) {
    test::StudentRow s;
    s.student_id = id;
    s.student_name = name;
    s.sex = sex;
    s.class_id = classId;
    s.type = classId > 0 ? 1 : 0;
    s.scores = {math, 70, 80, 60, 60, 60, 60, 60, 60};
    return s;
}

struct ListSession : test::MainWindowSession {
    store::CurrentProject project;
    std::unique_ptr<gui::StudentListWindow> window;

    ListSession() {
        project = store::createProject(workspace.connection(), "高一", 2);
        test::insertStudents(workspace.connection(), project.fbTable,
                             {student(6, "张三", "男", 2, 81), student(2, "李四", "女", 1, 75),
                              student(5, "张 小明 ", "男", 0, 66), student(1, "王芳", "女", 2, 90),
                              student(4, "赵六", "男", 1, 58), student(3, "刘张", "女", 0, 70)});
        workspace.setCurrentProject(project);
        window = std::make_unique<gui::StudentListWindow>(workspace);
        window->show();
    }

    // The student numbers the grid shows, top to bottom.
    QStringList shownIds() const {
        QStringList ids;
        const gui::StudentListModel& model = *window->model();
        for (int r = 0; r < model.rowCount(); ++r) {
            ids << model.text(r, 0);
        }
        return ids;
    }

    void clickNode(QTreeWidgetItem* node) {
        test::named<QTreeWidget>(*window, "tv_class")->setCurrentItem(node);
        emit test::named<QTreeWidget>(*window, "tv_class")->itemClicked(node, 0);
    }

    double storedMath(int id) {
        auto rows = database.connection().query("select math from " + project.fbTable +
                                                " where student_id=" + std::to_string(id));
        return rows.empty() ? -1 : rows.at(0, 0).toDouble();
    }

    QModelIndex cellOf(int row, const char* field) {
        return window->model()->index(row, gui::StudentListModel::columnOf(field));
    }

    // A button of the record navigator, by its name (navNext, navPost, ...).
    void press(const char* button) { test::named<QToolButton>(*window, button)->click(); }
};

}  // namespace

class TestStudentList : public QObject {
    Q_OBJECT

  private slots:
    void gridHasTheListColumns();
    void queryBoxesHaveTheirCaptions();
    void treeListsClassesAndAClickListsThem();
    void queryBoxesNarrowTheList();
    void editedScoreIsStoredWhenTheRowIsPosted();
    void refusedValueIsToldAndNothingStored();
    void insertAndDeleteRows();
};

void TestStudentList::gridHasTheListColumns() {
    ListSession session;
    const QAbstractItemModel& model = *test::named<QTableView>(*session.window, "DBGrid1")->model();
    const QStringList headings = {"学号", "登分号", "学生姓名", "性别",     "班级", "数学",
                                  "英语", "语文",   "物理",     "政治",     "历史", "体育",
                                  "地理", "生物",   "类型",     "毕业学校", "地址"};
    const QStringList leftAligned = {"学号", "登分号", "学生姓名", "毕业学校", "地址"};
    QCOMPARE(model.columnCount(), headings.size());
    for (int c = 0; c < headings.size(); ++c) {
        QCOMPARE(model.headerData(c, Qt::Horizontal).toString(), headings[c]);
        const auto alignment = model.index(0, c).data(Qt::TextAlignmentRole).value<Qt::Alignment>();
        QCOMPARE(bool(alignment & Qt::AlignHCenter), !leftAligned.contains(headings[c]));
    }
    // Wide columns for the school and the address, narrow ones for the scores.
    QVERIFY(test::named<QTableView>(*session.window, "DBGrid1")->columnWidth(15) >
            test::named<QTableView>(*session.window, "DBGrid1")->columnWidth(5));
}

// The query boxes' captions keep their blanks; the three score ranges share the second row.
void TestStudentList::queryBoxesHaveTheirCaptions() {
    ListSession session;
    gui::StudentListWindow& window = *session.window;
    QCOMPARE(window.windowTitle(), QStringLiteral("学生名单"));
    QStringList labels;
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (label != test::named<QLabel>(window, "lbRangeNote") &&
            !test::named<QTabWidget>(window, "tabSide")->isAncestorOf(label)) {
            labels << label->text();
        }
    }
    QCOMPARE(labels, QStringList({"考号    ", "姓名    ", "数学    ", "至", "英语    ", "至",
                                  "语文     ", "至"}));
    QStringList sexes;
    for (int i = 0; i < test::named<QComboBox>(window, "cbSex")->count(); ++i) {
        sexes << test::named<QComboBox>(window, "cbSex")->itemText(i);
    }
    QCOMPARE(sexes, QStringList({"全部", "男", "女"}));
    QCOMPARE(test::named<QComboBox>(window, "cbSex")->currentText(), QStringLiteral("全部"));
    QCOMPARE(test::named<QCheckBox>(window, "cbClass")->text(),
             QStringLiteral("使用左边的班级条件"));
    QVERIFY(!test::named<QCheckBox>(window, "cbClass")->isChecked());
    QCOMPARE(test::named<QPushButton>(window, "BitBtn1")->text(), QStringLiteral("查询"));
    QVERIFY(test::named<QPushButton>(window, "BitBtn1")->isDefault());
    const int secondRow = test::named<QLineEdit>(window, "edMath1")->mapTo(&window, QPoint()).y();
    for (const QLineEdit* box :
         {test::named<QLineEdit>(window, "edMath2"), test::named<QLineEdit>(window, "edSx1"),
          test::named<QLineEdit>(window, "edSx2"), test::named<QLineEdit>(window, "edYw1"),
          test::named<QLineEdit>(window, "edYw2")}) {
        QCOMPARE(box->mapTo(&window, QPoint()).y(), secondRow);
    }
    QVERIFY(test::named<QLineEdit>(window, "ed_no")->mapTo(&window, QPoint()).y() < secondRow);

    // A score range with one end only is named beside the boxes: the query leaves it out.
    QVERIFY(test::named<QLineEdit>(window, "edSx2")->toolTip().contains(QStringLiteral("两端")));
    QVERIFY(test::named<QLabel>(window, "lbRangeNote")->text().isEmpty());
    test::named<QLineEdit>(window, "edMath1")->setText(QStringLiteral("60"));
    test::named<QLineEdit>(window, "edYw2")->setText(QStringLiteral("90"));
    QVERIFY(test::named<QLabel>(window, "lbRangeNote")
                ->text()
                .startsWith(QStringLiteral("数学、语文分数段只填了一端")));
    test::named<QLineEdit>(window, "edMath2")->setText(QStringLiteral("90"));
    test::named<QLineEdit>(window, "edYw2")->setText(QStringLiteral(" "));
    QVERIFY(test::named<QLabel>(window, "lbRangeNote")->text().isEmpty());
}

void TestStudentList::treeListsClassesAndAClickListsThem() {
    ListSession session;
    QTreeWidget& tree = *test::named<QTreeWidget>(*session.window, "tv_class");
    QCOMPARE(tree.topLevelItemCount(), 1);
    QTreeWidgetItem* root = tree.topLevelItem(0);
    QCOMPARE(root->text(0), QStringLiteral("所有班级"));
    QStringList nodes;
    for (int i = 0; i < root->childCount(); ++i) {
        nodes << root->child(i)->text(0);
    }
    QCOMPARE(nodes, QStringList({"未分班", "1班", "2班"}));
    // Shown at first: all students by class, then student number.
    QCOMPARE(session.shownIds(), QStringList({"3", "5", "2", "4", "1", "6"}));

    session.clickNode(root->child(2));
    QCOMPARE(session.shownIds(), QStringList({"1", "6"}));
    session.clickNode(root->child(0));
    QCOMPARE(session.shownIds(), QStringList({"3", "5"}));
    session.clickNode(root);
    QCOMPARE(session.shownIds(), QStringList({"3", "5", "2", "4", "1", "6"}));
}

void TestStudentList::queryBoxesNarrowTheList() {
    ListSession session;
    test::MessageLog log;
    gui::StudentListWindow& window = *session.window;

    struct Case {
        const char* what;
        std::function<void()> fill;
        QStringList ids;
    };
    const Case cases[] = {
        {"all boxes empty: every student by number", [] {}, {"1", "2", "3", "4", "5", "6"}},
        {"part of a name",
         [&] { test::named<QLineEdit>(window, "ed_name")->setText("张"); },
         {"3", "5", "6"}},
        {"stray blanks in a stored name do not count",
         [&] { test::named<QLineEdit>(window, "ed_name")->setText("张小明"); },
         {"5"}},
        {"nor in the name typed",
         [&] { test::named<QLineEdit>(window, "ed_name")->setText(" 张 "); },
         {"3", "5", "6"}},
        {"girls with 张",
         [&] { test::named<QComboBox>(window, "cbSex")->setCurrentIndex(2); },
         {"3"}},
        {"only the first mathematics box: no range",
         [&] {
             test::named<QLineEdit>(window, "ed_name")->clear();
             test::named<QComboBox>(window, "cbSex")->setCurrentIndex(0);
             test::named<QLineEdit>(window, "edMath1")->setText("80");
         },
         {"1", "2", "3", "4", "5", "6"}},
        {"a mathematics range",
         [&] { test::named<QLineEdit>(window, "edMath2")->setText("95"); },
         {"1", "6"}},
        {"the class of the tree",
         [&] {
             test::named<QLineEdit>(window, "edMath1")->clear();
             test::named<QLineEdit>(window, "edMath2")->clear();
             test::named<QCheckBox>(window, "cbClass")->setChecked(true);
             test::named<QTreeWidget>(window, "tv_class")
                 ->setCurrentItem(
                     test::named<QTreeWidget>(window, "tv_class")->topLevelItem(0)->child(1));
         },
         {"2", "4"}},
        {"a name with a quote matches literally",
         [&] {
             test::named<QCheckBox>(window, "cbClass")->setChecked(false);
             test::named<QLineEdit>(window, "ed_name")->setText("张'");
         },
         {}},
    };
    for (const Case& c : cases) {
        c.fill();
        // Enter in a box runs the query as the default button does; a query that finds nobody
        // says so.
        QTest::keyClick(test::named<QLineEdit>(window, "ed_name"), Qt::Key_Return);
        const QStringList told =
            c.ids.isEmpty() ? QStringList{QStringLiteral("没有找到符合条件的学生")} : QStringList{};
        QVERIFY2(log.texts() == told, c.what);
        QVERIFY2(session.shownIds() == c.ids, c.what);
        log.clear();
    }

    // A student number that is not a number: told, and the grid stays empty.
    test::named<QLineEdit>(window, "ed_name")->clear();
    test::named<QLineEdit>(window, "ed_no")->setText("abc");
    test::named<QPushButton>(window, "BitBtn1")->click();
    QCOMPARE(log.texts().size(), 1);
    QVERIFY(log.texts().first().contains(QStringLiteral("考号")));
    QCOMPARE(session.window->model()->rowCount(), 0);
    log.clear();

    // The class condition without a chosen class is told, not ignored.
    test::named<QLineEdit>(window, "ed_no")->clear();
    test::named<QTreeWidget>(window, "tv_class")->setCurrentItem(nullptr);
    test::named<QCheckBox>(window, "cbClass")->setChecked(true);
    test::named<QPushButton>(window, "BitBtn1")->click();
    QCOMPARE(log.texts().size(), 1);
    QVERIFY(log.texts().first().contains(QStringLiteral("班级")));
}

void TestStudentList::editedScoreIsStoredWhenTheRowIsPosted() {
    ListSession session;
    test::MessageLog log;
    gui::StudentListModel& model = *session.window->model();
    const int row = static_cast<int>(session.shownIds().indexOf("2"));
    test::named<QTableView>(*session.window, "DBGrid1")
        ->setCurrentIndex(session.cellOf(row, "math"));
    QVERIFY(model.setData(session.cellOf(row, "math"), "95.5", Qt::EditRole));
    QVERIFY(model.isEditing());
    QCOMPARE(session.storedMath(2), 75.0);  // not before the row is posted

    // Moving to the next row posts the edited one.
    session.press("navNext");
    QVERIFY2(log.texts().isEmpty(), qPrintable(log.texts().join('\n')));
    QVERIFY(!model.isEditing());
    QCOMPARE(session.storedMath(2), 95.5);
    QCOMPARE(test::named<QTableView>(*session.window, "DBGrid1")->currentIndex().row(), row + 1);
}

void TestStudentList::refusedValueIsToldAndNothingStored() {
    ListSession session;
    test::MessageLog log;
    gui::StudentListModel& model = *session.window->model();
    const int row = static_cast<int>(session.shownIds().indexOf("4"));
    test::named<QTableView>(*session.window, "DBGrid1")
        ->setCurrentIndex(session.cellOf(row, "math"));
    QVERIFY(model.setData(session.cellOf(row, "math"), "abc", Qt::EditRole));
    session.press("navPost");
    QCOMPARE(log.texts().size(), 1);
    QVERIFY(log.texts().first().contains(QStringLiteral("数学")));
    QCOMPARE(session.storedMath(4), 58.0);
    QVERIFY(model.isEditing());  // kept for correction

    // Another row refuses to be edited meanwhile; cancel brings the stored value back.
    QVERIFY(!model.setData(session.cellOf(row + 1, "math"), "1", Qt::EditRole));
    session.press("navCancel");
    QVERIFY(!model.isEditing());
    QCOMPARE(model.text(row, gui::StudentListModel::columnOf("math")), QStringLiteral("58"));
}

void TestStudentList::insertAndDeleteRows() {
    ListSession session;
    test::MessageLog log;
    gui::StudentListModel& model = *session.window->model();
    session.press("navInsert");
    QVERIFY(model.isInserting());
    const int row = model.editedRow();
    QVERIFY(model.setData(session.cellOf(row, "student_id"), "99", Qt::EditRole));
    QVERIFY(model.setData(session.cellOf(row, "student_name"), "周'九", Qt::EditRole));
    QVERIFY(model.setData(session.cellOf(row, "sex"), "女", Qt::EditRole));
    QVERIFY(model.setData(session.cellOf(row, "math"), "88", Qt::EditRole));
    session.press("navPost");
    QVERIFY2(log.texts().isEmpty(), qPrintable(log.texts().join('\n')));
    auto stored =
        session.database.connection().query("select student_name, sex, math, class_id from " +
                                            session.project.fbTable + " where student_id=99");
    QCOMPARE(stored.size(), std::size_t(1));
    QCOMPARE(stored.at(0, 0).toText(), std::string("周'九"));
    QCOMPARE(stored.at(0, 2).toDouble(), 88.0);
    QCOMPARE(stored.at(0, 3).toInt(), std::int64_t(0));

    // Deleting asks first; No keeps the student, Yes deletes it.
    test::named<QTableView>(*session.window, "DBGrid1")
        ->setCurrentIndex(session.cellOf(row, "student_id"));
    log.setAnswer(false);
    session.press("navDelete");
    QCOMPARE(log.texts().size(), 1);
    QCOMPARE(session.storedMath(99), 88.0);
    log.setAnswer(true);
    session.press("navDelete");
    QCOMPARE(session.storedMath(99), -1.0);
    QVERIFY(!session.shownIds().contains("99"));

    // Refresh runs the last statement again: the list is as stored.
    session.press("navRefresh");
    QCOMPARE(session.shownIds(), QStringList({"3", "5", "2", "4", "1", "6"}));
}

QTEST_MAIN(TestStudentList)
#include "TestStudentList.moc"
