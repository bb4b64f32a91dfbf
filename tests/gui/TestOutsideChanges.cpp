// The desktop program beside a script: the real command-line program changes the database while
// the windows are open. Activated again, the windows show what it did; 撤销 takes back the step it
// names, or asks about the one it really is; the settings window never writes its old values over
// newer ones without asking.
#include <QAction>
#include <QCheckBox>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include "AdjustmentSession.h"
#include "GuiTestSupport.h"
#include "gui/adjustments/AdjustCommands.h"
#include "gui/division/DivisionSettingsWindow.h"
#include "gui/students/StudentListWindow.h"
#include "store/DivisionSettings.h"

using namespace qm;

namespace {

// The command-line program on the session's database, which must succeed.
void script(test::MainWindowSession& session, std::vector<std::string> words) {
    words.insert(words.begin(), {"--db", session.database.path()});
    const test::ProgramResult result = test::runCli(words);
    QVERIFY2(result.status == 0, result.err.c_str());
}

// The teacher works in another program for a while, then comes back to the main window.
void leaveAndComeBack(test::MainWindowSession& session, const std::function<void()>& meanwhile) {
    QWidget elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
    meanwhile();
    session.main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&session.main));
}

}  // namespace

class TestOutsideChanges : public QObject {
    Q_OBJECT

  private slots:
    void windowsShowWhatAnotherProgramDid();
    void undoTakesBackTheStepItNames();
    void settingsWindowNeverWritesOverNewerSettings();
};

void TestOutsideChanges::windowsShowWhatAnotherProgramDid() {
    test::AdjustmentSession session;
    test::MessageLog log;
    session.main.show();
    session.main.command(QStringLiteral("7.学生名单"))->trigger();
    gui::StudentListWindow& list = *session.main.studentListWindow();
    QAction& undo = *session.main.command(QStringLiteral("撤销"));
    QCOMPARE(test::listedClassOf(list, 12), QStringLiteral("3"));

    leaveAndComeBack(session, [&] { script(session, {"move", "1", "12", "1"}); });
    QCOMPARE(test::listedClassOf(list, 12), QStringLiteral("1"));
    QCOMPARE(undo.toolTip(), QStringLiteral("撤销：把 学号 12 学生12 从 3班 调到 1班 (Ctrl+Z)"));
    QVERIFY2(log.texts().isEmpty(), qPrintable(log.texts().join('\n')));
}

// The tooltip still names the teacher's own move when a script swaps two students: 撤销 asks
// before it takes back the script's swap instead, and takes back nothing when the teacher says no.
void TestOutsideChanges::undoTakesBackTheStepItNames() {
    test::AdjustmentSession session;
    test::MessageLog log(false);
    QAction& undo = *session.main.command(QStringLiteral("撤销"));
    QVERIFY(gui::moveStudentByHand(&session.main, session.workspace, 12, 1));
    QVERIFY(undo.toolTip().startsWith(QStringLiteral("撤销：把 学号 12")));
    script(session, {"swap", "1", "1", "2"});

    undo.trigger();
    QCOMPARE(log.texts().size(), 1);
    QVERIFY2(log.texts()[0].contains(QStringLiteral("撤销的将是“对调 学号 1 学生1（1班）和 学号 2 "
                                                    "学生2（2班）”")),
             qPrintable(log.texts()[0]));
    QCOMPARE(session.classOf(1), 2);  // nothing taken back
    QCOMPARE(session.classOf(12), 1);
    QVERIFY(undo.toolTip().startsWith(QStringLiteral("撤销：对调 学号 1")));

    log.clear();
    log.setAnswer(true);
    script(session, {"move", "1", "3", "1"});
    undo.trigger();  // names the swap; the script's move is newer
    QCOMPARE(log.texts().size(), 1);
    QVERIFY(log.texts()[0].contains(QStringLiteral("“把 学号 3 学生3 从 3班 调到 1班”")));
    QCOMPARE(session.classOf(3), 3);  // the step the teacher agreed to
    QCOMPARE(session.classOf(1), 2);
    QCOMPARE(session.classOf(12), 1);
}

void TestOutsideChanges::settingsWindowNeverWritesOverNewerSettings() {
    test::MainWindowSession session;
    session.workspace.setCurrentProject(
        store::createProject(session.workspace.connection(), "高一", 6));
    test::MessageLog log(false);
    session.main.show();
    session.main.showSettings();
    QPointer<gui::DivisionSettingsWindow> window = session.main.settingsWindow();
    const auto stored = [&] {
        return store::loadSettings(session.workspace.connection(), 1).value();
    };

    // Nothing changed in the window: it shows what the script stored.
    leaveAndComeBack(session, [&] { script(session, {"settings", "1", "--inter", "7"}); });
    QCOMPARE(test::named<QSpinBox>(*window, "edInter")->value(), 7);

    // Changed in the window and by the script: 确定 asks; no keeps the script's settings and
    // shows them.
    window->settingBoxes()[1]->setChecked(false);  // 每班总分平均分
    script(session, {"settings", "1", "--wtnum", "9"});
    test::named<QPushButton>(*window, "bnOk")->click();
    QCOMPARE(log.texts().size(), 1);
    QVERIFY(log.texts()[0].contains(QStringLiteral("另一个程序在这个窗口打开后改动了分班设置")));
    QVERIFY(window);
    QCOMPARE(stored().is_avg_total, 1);
    QCOMPARE(stored().wtNum, std::optional<int>(9));
    QCOMPARE(test::named<QSpinBox>(*window, "edWTNum")->value(), 9);
    QVERIFY(window->settingBoxes()[1]->isChecked());

    // Yes stores the window's settings.
    log.clear();
    log.setAnswer(true);
    window->settingBoxes()[1]->setChecked(false);
    script(session, {"settings", "1", "--wtnum", "11"});
    test::named<QPushButton>(*window, "bnOk")->click();
    QCOMPARE(log.texts().size(), 1);
    QTRY_VERIFY(window.isNull());
    QCOMPARE(stored().is_avg_total, 0);
    QCOMPARE(stored().wtNum, std::optional<int>(9));
    QCOMPARE(stored().inter, 7);
}

QTEST_MAIN(TestOutsideChanges)
#include "TestOutsideChanges.moc"
