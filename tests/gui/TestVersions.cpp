// Saved versions in the desktop program, from the tool bar's 方案 menu: 保存方案 asks a name (and
// again after a refused one), 方案对比 shows two versions side by side, 恢复 brings one back as a
// step that 撤销 takes back, and every window follows.
#include <QAction>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "AdjustmentSession.h"
#include "gui/adjustments/AdjustCommands.h"
#include "gui/adjustments/VersionComparisonDialog.h"
#include "gui/adjustments/VersionsDialog.h"
#include "gui/students/StudentListModel.h"
#include "gui/students/StudentListWindow.h"
#include "store/SavedVersions.h"

using namespace qm;

namespace {

QAction* menuEntry(gui::MainWindow& main, const QString& text) {
    for (QAction* action : main.command(QStringLiteral("方案"))->menu()->actions()) {
        if (action->text() == text) {
            return action;
        }
    }
    return nullptr;
}

// Answers the name questions of 保存方案 with these names, one per question, and keeps the label
// of the first.
struct NameAnswers {
    QStringList names;
    QString firstLabel;
    QString firstProposal;
    int answered = 0;
    QTimer timer;

    explicit NameAnswers(QStringList given) : names(std::move(given)) {
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            if (!dialog || dialog->property("answered").toBool() || answered >= names.size()) {
                return;
            }
            dialog->setProperty("answered", true);
            if (answered == 0) {
                firstLabel = dialog->labelText();
                firstProposal = dialog->textValue();
            }
            dialog->setTextValue(names[answered++]);
            dialog->accept();
        });
        timer.start();
    }
};

// The text of a cell of a statistics grid, by the class in column 1 and the column's heading.
QString figure(const QTableWidget& grid, const QString& className, const QString& heading) {
    for (int r = 0; r < grid.rowCount(); ++r) {
        if (grid.item(r, 1) && grid.item(r, 1)->text() == className) {
            for (int c = 0; c < grid.columnCount(); ++c) {
                if (grid.horizontalHeaderItem(c)->text() == heading) {
                    const QTableWidgetItem* item = grid.item(r, c);
                    return item ? item->text().trimmed() + (item->foreground().color() == Qt::red
                                                                ? QStringLiteral(" red")
                                                                : QString())
                                : QString();
                }
            }
        }
    }
    return QStringLiteral("(none)");
}

// Two versions of the session's project: 1 开学前 as the fixture has it, 2 调整后 with student 12
// moved from 3班 into 1班.
void saveTwoVersions(test::AdjustmentSession& session) {
    store::saveVersion(session.workspace.connection(), session.project, "开学前");
    gui::moveStudentByHand(&session.main, session.workspace, 12, 1);
    store::saveVersion(session.workspace.connection(), session.project, "调整后");
}

}  // namespace

class TestVersions : public QObject {
    Q_OBJECT

  private slots:
    void saveAsksANameAndAgainAfterARefusal();
    void comparisonShowsTwoVersionsSideBySide();
    void restoreIsAStepThatCanBeUndone();
};

void TestVersions::saveAsksANameAndAgainAfterARefusal() {
    test::AdjustmentSession session;
    test::MessageLog log;
    QCOMPARE(session.main.command(QStringLiteral("方案"))->menu()->actions().size(), 3);
    {
        NameAnswers answers({"开学前"});
        menuEntry(session.main, "保存方案…")->trigger();
        QVERIFY(answers.firstLabel.contains(QStringLiteral("方案名称")));
        QCOMPARE(answers.firstProposal, QStringLiteral("方案1"));
    }
    QCOMPARE(log.texts(), QStringList{QStringLiteral("已保存方案 1（开学前）")});
    log.clear();
    {
        // A name in use is refused with the core's reason and asked for again.
        NameAnswers answers({"开学前", "调整后"});
        menuEntry(session.main, "保存方案…")->trigger();
        QCOMPARE(answers.answered, 2);
    }
    QCOMPARE(log.texts().size(), 2);
    QVERIFY(log.texts()[0].contains(QStringLiteral("已有同名的")));
    QCOMPARE(log.texts()[1], QStringLiteral("已保存方案 2（调整后）"));
    const auto versions = store::listVersions(session.database.connection(), session.project);
    QCOMPARE(versions.size(), std::size_t(2));
    QCOMPARE(versions[1].students, 12);
}

void TestVersions::comparisonShowsTwoVersionsSideBySide() {
    test::AdjustmentSession session;
    test::MessageLog log;
    saveTwoVersions(session);
    bool compared = false;
    test::actOnNextDialog<gui::VersionsDialog>([&](gui::VersionsDialog& versions) {
        QTableWidget& list = *test::named<QTableWidget>(versions, "lv_versions");
        QCOMPARE(list.rowCount(), 2);
        QCOMPARE(list.item(0, 1)->text(), QStringLiteral("开学前"));
        QCOMPARE(list.item(1, 3)->text(), QStringLiteral("12"));
        QVERIFY(!test::named<QPushButton>(versions, "bnCompare")->isEnabled());
        // A click chooses one version, Ctrl and a click a second one.
        const auto click = [&list](int row, Qt::KeyboardModifiers keys) {
            QTest::mouseClick(list.viewport(), Qt::LeftButton, keys,
                              list.visualRect(list.model()->index(row, 1)).center());
        };
        click(0, Qt::NoModifier);
        QVERIFY(test::named<QPushButton>(versions, "bnRestore")->isEnabled());
        click(1, Qt::ControlModifier);
        QVERIFY(test::named<QPushButton>(versions, "bnCompare")->isEnabled());
        QVERIFY(!test::named<QPushButton>(versions, "bnRestore")->isEnabled());
        test::actOnNextDialog<gui::VersionComparisonDialog>([&](gui::VersionComparisonDialog&
                                                                    comparison) {
            compared = true;
            QCOMPARE(test::named<QLabel>(comparison, "lbHeadline")->text(),
                     QStringLiteral("方案 1（开学前）与方案 2（调整后）：1 名学生的班级不同"));
            const QTableWidget& moved = *test::named<QTableWidget>(comparison, "sgMovedStudents");
            QCOMPARE(moved.rowCount(), 1);
            QCOMPARE(test::columnHeadings(moved),
                     QStringList({"学号", "姓名", "方案 1", "方案 2"}));
            QStringList row;
            for (int c = 0; c < 4; ++c) {
                row << moved.item(0, c)->text();
            }
            QCOMPARE(row, QStringList({"12", "学生12", "3班", "1班"}));
            QCOMPARE(test::named<QTabWidget>(comparison, "tabComparison")->tabText(2),
                     QStringLiteral("班级不同的学生（1）"));
            // The balance figures of both versions, those that differ in bold.
            const QTableWidget& balance =
                *test::named<QTableWidget>(comparison, "sgBalanceComparison");
            QCOMPARE(test::columnHeadings(balance), QStringList({"均衡度", "方案 1", "方案 2"}));
            const auto sizes =
                balance.findItems(QStringLiteral("班级人数最大相差"), Qt::MatchExactly);
            QCOMPARE(sizes.size(), 1);
            const int sizeRow = sizes.front()->row();
            QCOMPARE(balance.item(sizeRow, 1)->text(), QStringLiteral("0"));
            QCOMPARE(balance.item(sizeRow, 2)->text(), QStringLiteral("2"));
            QVERIFY(balance.item(sizeRow, 2)->font().bold());
            // Each class's figures in both versions, red beyond one point.
            const QTableWidget& first = *test::named<QTableWidget>(comparison, "sgFirstVersion");
            const QTableWidget& second = *test::named<QTableWidget>(comparison, "sgSecondVersion");
            QCOMPARE(figure(first, "3班", "数学平均分"), QStringLiteral("82.50"));
            QCOMPARE(figure(first, "3班", "数学偏差"), QStringLiteral("3.00 red"));
            QCOMPARE(figure(second, "3班", "数学平均分"), QStringLiteral("78.00"));
            QCOMPARE(figure(second, "3班", "数学偏差"), QStringLiteral("-1.50 red"));
            QCOMPARE(figure(second, "1班", "数学偏差"), QStringLiteral("0.90"));
            QCOMPARE(figure(second, "1班", "总人数"), QStringLiteral("5"));
            // What differs stands out; the columns line up.
            const auto boldAt = [](const QTableWidget& grid, int r, int column) {
                return grid.item(r, column)->font().bold();
            };
            QVERIFY(boldAt(second, 2, 5) && boldAt(first, 2, 5));    // 3班 数学平均分
            QVERIFY(!boldAt(second, 1, 5) && !boldAt(first, 1, 5));  // 2班, unchanged
            QVERIFY(!boldAt(second, 3, 5));                          // 全体, unchanged
            QCOMPARE(first.columnWidth(9), second.columnWidth(9));
        });
        test::named<QPushButton>(versions, "bnCompare")->click();
        // After the comparison a click on a version chooses that one alone, for 恢复.
        click(0, Qt::NoModifier);
        QVERIFY(!test::named<QPushButton>(versions, "bnCompare")->isEnabled());
        QVERIFY(test::named<QPushButton>(versions, "bnRestore")->isEnabled());
        log.setAnswer(false);
        test::named<QPushButton>(versions, "bnRestore")->click();
    });
    menuEntry(session.main, "方案对比…")->trigger();
    QVERIFY(compared);
    QCOMPARE(log.texts().size(), 1);
    QVERIFY2(log.texts()[0].contains(QStringLiteral("方案 1（开学前）")),
             qPrintable(log.texts()[0]));
    // Comparing changes nothing.
    QCOMPARE(session.classOf(12), 1);
}

void TestVersions::restoreIsAStepThatCanBeUndone() {
    test::AdjustmentSession session;
    test::MessageLog log;
    saveTwoVersions(session);
    session.main.command(QStringLiteral("7.学生名单"))->trigger();
    gui::StudentListWindow& list = *session.main.studentListWindow();
    const auto restoreFirst = [&](bool answer) {
        log.setAnswer(answer);
        test::actOnNextDialog<gui::VersionsDialog>([](gui::VersionsDialog& versions) {
            test::named<QTableWidget>(versions, "lv_versions")->selectRow(0);
            test::named<QPushButton>(versions, "bnRestore")->click();
        });
        menuEntry(session.main, "恢复方案…")->trigger();
    };
    restoreFirst(false);
    QCOMPARE(log.texts().size(), 1);
    QVERIFY(log.texts().first().contains(QStringLiteral("方案 1（开学前）")));
    QCOMPARE(session.classOf(12), 1);
    log.clear();

    restoreFirst(true);
    QCOMPARE(log.texts().last(), QStringLiteral("已恢复方案 1（开学前）"));
    QCOMPARE(session.classOf(12), 3);
    QCOMPARE(test::listedClassOf(list, 12), QStringLiteral("3"));
    QAction& undo = *session.main.command(QStringLiteral("撤销"));
    QVERIFY(undo.toolTip().startsWith(QStringLiteral("撤销：恢复方案 1（开学前）")));
    undo.trigger();
    QCOMPARE(session.classOf(12), 1);
    QCOMPARE(test::listedClassOf(list, 12), QStringLiteral("1"));
}

QTEST_MAIN(TestVersions)
#include "TestVersions.moc"
