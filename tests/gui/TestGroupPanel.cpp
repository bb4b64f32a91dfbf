// The teacher's groups beside the student list: 设为分开 and 设为同班 of the chosen students, the
// list of groups with their students' names and classes and whether the classes keep them,
// groups from a file, deleting; refusals told with the core's reason and nothing stored.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>
#include <fstream>

#include "AdjustmentSession.h"
#include "gui/adjustments/AdjustCommands.h"
#include "gui/students/GroupPanel.h"
#include "gui/students/StudentListModel.h"
#include "gui/students/StudentListWindow.h"
#include "store/GroupStore.h"

using namespace qm;

namespace {

struct GroupSession : test::AdjustmentSession {
    gui::StudentListWindow* list = nullptr;

    GroupSession() {
        main.command(QStringLiteral("7.学生名单"))->trigger();
        list = main.studentListWindow();
    }

    gui::GroupPanel& panel() { return *test::named<gui::GroupPanel>(*list, "GroupPanel"); }

    void choose(const std::vector<int>& students) { test::chooseInList(*list, students); }

    std::size_t storedGroups() {
        return store::loadGroups(database.connection(), project.id()).size();
    }

    // Each group as "title | kept" with its students as "number name | class" below it.
    QStringList shownGroups() {
        QStringList lines;
        const QTreeWidget& tree = *test::named<QTreeWidget>(panel(), "tv_groups");
        for (int i = 0; i < tree.topLevelItemCount(); ++i) {
            const QTreeWidgetItem* group = tree.topLevelItem(i);
            lines << group->text(0) + " | " + group->text(1);
            for (int m = 0; m < group->childCount(); ++m) {
                lines << "  " + group->child(m)->text(0) + " | " + group->child(m)->text(1);
            }
        }
        return lines;
    }
};

}  // namespace

class TestGroupPanel : public QObject {
    Q_OBJECT

  private slots:
    void chosenStudentsBecomeAGroup();
    void refusedGroupIsToldAndNothingStored();
    void groupsComeFromAFile();
    void deletingAsksFirst();
};

void TestGroupPanel::chosenStudentsBecomeAGroup() {
    GroupSession session;
    test::MessageLog log;
    gui::GroupPanel& panel = session.panel();
    QCOMPARE(test::named<QTabWidget>(*session.list, "tabSide")->tabText(1), QStringLiteral("约束"));
    QCOMPARE(test::named<QTreeWidget>(panel, "tv_groups")->topLevelItemCount(), 0);

    // Students 1 and 4 share 1班: a 分开 group of them is stored, shown red as not kept now, and
    // the teacher is told why.
    session.choose({1, 4});
    test::named<QPushButton>(panel, "bnApart")->click();
    QCOMPARE(session.storedGroups(), std::size_t(1));
    QCOMPARE(log.texts().size(), 1);
    QVERIFY2(log.texts().first().contains(QStringLiteral("学号 1、4 同在 1班")),
             qPrintable(log.texts().first()));
    log.clear();
    // Students 2 and 5 share 2班: a 同班 group of them is kept, from the grid's menu.
    session.choose({2, 5});
    QMenu menu;
    session.list->fillGridMenu(menu);
    for (QAction* action : menu.actions()) {
        if (action->text() == QStringLiteral("设为同班")) {
            action->trigger();
        }
    }
    QVERIFY2(log.texts().isEmpty(), qPrintable(log.texts().join('\n')));
    QCOMPARE(session.shownGroups(),
             QStringList({"分开组 1 | 未遵守", "  1 学生1 | 1班", "  4 学生4 | 1班",
                          "同班组 2 | 遵守", "  2 学生2 | 2班", "  5 学生5 | 2班"}));
    const QTreeWidgetItem* apart = test::named<QTreeWidget>(panel, "tv_groups")->topLevelItem(0);
    QCOMPARE(apart->foreground(1).color(), QColor(Qt::red));
    QVERIFY(apart->toolTip(1).contains(QStringLiteral("同在 1班")));
    QVERIFY(session.panel().findChild<QLabel*>("lbGroupSummary")->text().contains("1 组未遵守"));

    // Moving student 4 away keeps the group: the list follows the move.
    QVERIFY(gui::moveStudentByHand(session.list, session.workspace, 4, 3));
    QCOMPARE(session.shownGroups().mid(0, 3),
             QStringList({"分开组 1 | 遵守", "  1 学生1 | 1班", "  4 学生4 | 3班"}));

    // One student is no group: the teacher is told how to choose several.
    session.choose({7});
    test::named<QPushButton>(panel, "bnTogether")->click();
    QCOMPARE(log.texts().size(), 1);
    QVERIFY(log.texts().first().contains(QStringLiteral("至少两名学生")));
    QCOMPARE(session.storedGroups(), std::size_t(2));
}

void TestGroupPanel::refusedGroupIsToldAndNothingStored() {
    GroupSession session;
    test::MessageLog log;
    session.choose({2, 5});
    test::named<QPushButton>(session.panel(), "bnTogether")->click();
    log.clear();
    // Student 5 cannot be in two 同班 groups; four students cannot be apart in three classes.
    const struct {
        std::initializer_list<int> students;
        store::GroupKind kind;
        const char* reason;
    } cases[] = {
        {{5, 8}, store::GroupKind::Together, "学号 5 同时属于同班组"},
        {{1, 2, 3, 4}, store::GroupKind::Apart, "多于班级数 3"},
        {{2, 5, 9}, store::GroupKind::Apart, "不能既同班又分开"},
    };
    for (const auto& c : cases) {
        session.choose(c.students);
        QVERIFY(!session.panel().addChosenGroup(c.kind));
        QCOMPARE(log.texts().size(), 1);
        QVERIFY2(log.texts().first().contains(QString::fromUtf8(c.reason)),
                 qPrintable(log.texts().first()));
        QCOMPARE(session.storedGroups(), std::size_t(1));
        QCOMPARE(test::named<QTreeWidget>(session.panel(), "tv_groups")->topLevelItemCount(), 1);
        log.clear();
    }
}

void TestGroupPanel::groupsComeFromAFile() {
    GroupSession session;
    test::MessageLog log;
    test::TempFolder folder;
    const std::string good = folder.file("约束.csv");
    std::ofstream(good) << "方式,学号,组,备注\n分开,1,双胞胎,\n分开,2,双胞胎,\n同班,3,结伴,x\n"
                           "同班,6,结伴,\n";
    QVERIFY(session.panel().addGroupsFromFile(QString::fromStdString(good)));
    QCOMPARE(log.texts(), QStringList{QStringLiteral("已从文件添加 2 组约束")});
    QCOMPARE(session.shownGroups(),
             QStringList({"分开组 1（双胞胎） | 遵守", "  1 学生1 | 1班", "  2 学生2 | 2班",
                          "同班组 2（结伴） | 遵守", "  3 学生3 | 3班", "  6 学生6 | 3班"}));
    log.clear();

    // A file the core refuses: its reason names the row, and none of its groups is stored.
    const std::string bad = folder.file("错误.csv");
    std::ofstream(bad) << "学号,组,方式\n7,新组,分开\n8,新组,同伴\n";
    QVERIFY(!session.panel().addGroupsFromFile(QString::fromStdString(bad)));
    QCOMPARE(log.texts().size(), 1);
    QVERIFY2(log.texts().first().contains(QStringLiteral("方式“同伴”应为 分开 或 同班")),
             qPrintable(log.texts().first()));
    QCOMPARE(session.storedGroups(), std::size_t(2));
}

void TestGroupPanel::deletingAsksFirst() {
    GroupSession session;
    test::MessageLog log;
    session.choose({2, 5});
    test::named<QPushButton>(session.panel(), "bnTogether")->click();
    QTreeWidget& groups = *test::named<QTreeWidget>(session.panel(), "tv_groups");
    // Without a chosen group the teacher is told; a chosen student stands for its group.
    groups.setCurrentItem(nullptr);
    QVERIFY(!session.panel().deleteChosenGroup());
    groups.setCurrentItem(groups.topLevelItem(0)->child(1));
    log.setAnswer(false);
    QVERIFY(!session.panel().deleteChosenGroup());
    QCOMPARE(session.storedGroups(), std::size_t(1));
    log.setAnswer(true);
    QVERIFY(test::named<QPushButton>(session.panel(), "bnDeleteGroup")->isEnabled());
    test::named<QPushButton>(session.panel(), "bnDeleteGroup")->click();
    QCOMPARE(session.storedGroups(), std::size_t(0));
    QCOMPARE(groups.topLevelItemCount(), 0);
    QCOMPARE(log.texts().mid(1), QStringList({"要删除“同班组 1”吗？", "要删除“同班组 1”吗？"}));
}

QTEST_MAIN(TestGroupPanel)
#include "TestGroupPanel.moc"
