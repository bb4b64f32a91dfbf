// The settings window: its pages and initial values, the round trip through the config row (the
// subject ticks of 科目设置 too, which then leave the 均衡度 page), a missing row, number boxes
// that keep to their bounds, and 取消 that stores nothing.
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QAction>
#include <QTabWidget>
#include <QTest>

#include "GuiTestSupport.h"
#include "db/Connection.h"
#include "gui/division/DivisionSettingsWindow.h"
#include "gui/statistics/BalancePage.h"
#include "gui/statistics/ClassStatisticsWindow.h"
#include "store/DivisionSettings.h"
#include "store/Limits.h"
#include "store/ProjectStore.h"

using namespace qm;

namespace {

// A main window with one new project, current.
struct SettingsSession : test::MainWindowSession {
    SettingsSession() {
        workspace.setCurrentProject(store::createProject(workspace.connection(), "高一", 6));
        main.show();
    }

    gui::DivisionSettingsWindow* open() {
        main.showSettings();
        return main.settingsWindow();
    }

    // Closes the window as the user does and waits until it is gone.
    bool closeWindow() {
        QPointer<gui::DivisionSettingsWindow> window = main.settingsWindow();
        if (window) {
            qobject_cast<QMdiSubWindow*>(window->parentWidget())->close();
        }
        return QTest::qWaitFor([&] { return window.isNull(); });
    }

    store::DivisionSettings stored() {
        return store::loadSettings(workspace.connection(), 1).value();
    }
};

QList<bool> ticks(const gui::DivisionSettingsWindow& window) {
    QList<bool> states;
    for (const QCheckBox* box : window.settingBoxes()) {
        states << box->isChecked();
    }
    return states;
}

}  // namespace

class TestConfigWindow : public QObject {
    Q_OBJECT

  private slots:
    void newProjectShowsItsDefaults();
    void untickedBoxesAndNumbersRoundTrip();
    void missingRowIsReportedAndNothingStored();
    void emptyFineTuningCountShowsZero();
    void storesIntoTheProjectItShows();
    void numberBoxesKeepToTheirBounds_data();
    void numberBoxesKeepToTheirBounds();
    void cancelLeavesTheRowAsItWas();
    void subjectTicksAreStoredAndLeaveTheBalanceFigures();
};

void TestConfigWindow::newProjectShowsItsDefaults() {
    SettingsSession session;
    test::MessageLog log;
    gui::DivisionSettingsWindow* window = session.open();
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QStringLiteral("分班设置 - 高一"));
    QCOMPARE(test::named<QTabWidget>(*window, "tabSettings")->count(), 4);
    QCOMPARE(test::named<QTabWidget>(*window, "tabSettings")->tabText(0),
             QStringLiteral("科目设置"));
    QCOMPARE(test::named<QTabWidget>(*window, "tabSettings")->tabText(1),
             QStringLiteral("参数设置1"));
    QCOMPARE(test::named<QTabWidget>(*window, "tabSettings")->tabText(2),
             QStringLiteral("参数设置2"));
    QCOMPARE(test::named<QTabWidget>(*window, "tabSettings")->tabText(3),
             QStringLiteral("深度优化"));
    QCOMPARE(test::named<QTabWidget>(*window, "tabSettings")->currentIndex(), 2);
    QCOMPARE(ticks(*window), QList<bool>({true, true, true, true, true, true, false}));
    QCOMPARE(window->settingBoxes()[3]->text(), QStringLiteral("每班数学平均分要求尽量相同   "));
    QCOMPARE(test::named<QSpinBox>(*window, "edInter")->text(), QStringLiteral("1"));
    QCOMPARE(test::named<QSpinBox>(*window, "edWTNum")->text(), QStringLiteral("50"));
    // The nine subjects, 政治 among them, in the one group of the first page.
    const auto* group = qobject_cast<QGroupBox*>(window->subjectBoxes()[0]->parentWidget());
    QVERIFY(group);
    for (const QCheckBox* box : window->subjectBoxes()) {
        QVERIFY(box->isChecked());
        QCOMPARE(box->parentWidget(), group);
    }
    QCOMPARE(window->subjectBoxes()[8]->text(), QStringLiteral("政治"));
    QCOMPARE(test::named<QSpinBox>(*window, "edInter")->minimum(), store::kMinBandTolerance);
    QCOMPARE(test::named<QSpinBox>(*window, "edInter")->maximum(), store::kMaxBandTolerance);
    QCOMPARE(test::named<QSpinBox>(*window, "edWTNum")->minimum(), store::kMinTuningCount);
    QCOMPARE(test::named<QSpinBox>(*window, "edWTNum")->maximum(), store::kMaxTuningCount);
    QCOMPARE(test::named<QPushButton>(*window, "bnCancel")->text(), QStringLiteral("取消"));
    QVERIFY(log.texts().isEmpty());
}

void TestConfigWindow::untickedBoxesAndNumbersRoundTrip() {
    SettingsSession session;
    test::MessageLog log;
    gui::DivisionSettingsWindow* window = session.open();
    for (QCheckBox* box : window->settingBoxes()) {
        box->setChecked(false);
    }
    window->subjectBoxes()[0]->setChecked(false);
    test::named<QSpinBox>(*window, "edInter")->setValue(3);
    test::named<QSpinBox>(*window, "edWTNum")->setValue(7);
    QPointer<gui::DivisionSettingsWindow> closing = window;
    test::named<QPushButton>(*window, "bnOk")->click();
    QTRY_VERIFY(closing.isNull());

    const auto stored = session.stored();
    QCOMPARE(stored.is_avg_person + stored.is_avg_total + stored.is_avg_ch + stored.is_avg_math +
                 stored.is_avg_eng + stored.is_avg_inter + stored.is_man,
             0);
    QCOMPARE(stored.inter, 3);
    QCOMPARE(stored.wtNum, std::optional<int>(7));

    window = session.open();
    QCOMPARE(ticks(*window), QList<bool>(7, false));
    QCOMPARE(test::named<QSpinBox>(*window, "edInter")->text(), QStringLiteral("3"));
    QCOMPARE(test::named<QSpinBox>(*window, "edWTNum")->text(), QStringLiteral("7"));
    QVERIFY(!window->subjectBoxes()[0]->isChecked());
    for (std::size_t i = 1; i < window->subjectBoxes().size(); ++i) {
        QVERIFY(window->subjectBoxes()[i]->isChecked());
    }

    // Ticking boys-first alone stores exactly that flag.
    window->settingBoxes()[6]->setChecked(true);
    test::named<QPushButton>(*window, "bnOk")->click();
    QCOMPARE(session.stored().is_man, 1);
    QCOMPARE(session.stored().is_avg_total, 0);
    QVERIFY(log.texts().isEmpty());
}

void TestConfigWindow::missingRowIsReportedAndNothingStored() {
    SettingsSession session;
    session.database.connection().exec("delete from config where id=1");
    test::MessageLog log;
    gui::DivisionSettingsWindow* window = session.open();
    QCOMPARE(log.messages().size(), std::size_t{1});
    QCOMPARE(log.messages()[0].text, QStringLiteral("不存在该班别的参数设置"));
    QCOMPARE(log.messages()[0].caption, QStringLiteral("错误"));
    QCOMPARE(ticks(*window), QList<bool>({true, true, true, true, true, true, false}));
    QCOMPARE(test::named<QSpinBox>(*window, "edWTNum")->text(), QStringLiteral("50"));

    QPointer<gui::DivisionSettingsWindow> closing = window;
    test::named<QPushButton>(*window, "bnOk")->click();
    QTRY_VERIFY(closing.isNull());
    QCOMPARE(test::countRows(session.database.connection(), "select * from config"), 0);
}

void TestConfigWindow::emptyFineTuningCountShowsZero() {
    SettingsSession session;
    session.database.connection().exec("update config set wtNum=null where id=1");
    gui::DivisionSettingsWindow* window = session.open();
    QCOMPARE(test::named<QSpinBox>(*window, "edWTNum")->text(), QStringLiteral("0"));
}

void TestConfigWindow::storesIntoTheProjectItShows() {
    SettingsSession session;
    gui::DivisionSettingsWindow* window = session.open();
    // Another project becomes current while the window still shows the first one's settings.
    session.workspace.setCurrentProject(
        store::createProject(session.workspace.connection(), "高二", 4));
    window->settingBoxes()[1]->setChecked(false);
    test::named<QPushButton>(*window, "bnOk")->click();
    QCOMPARE(session.stored().is_avg_total, 0);
    QCOMPARE(store::loadSettings(session.workspace.connection(), 2),
             std::optional(store::DivisionSettings::defaults(2)));
}

void TestConfigWindow::numberBoxesKeepToTheirBounds_data() {
    QTest::addColumn<bool>("countBox");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("refused");
    QTest::newRow("negative count") << true << "-5"
                                    << "5" << false;
    QTest::newRow("letters in count") << true << "abc"
                                      << "" << true;
    QTest::newRow("count beyond 1000") << true << "5000"
                                       << "500" << false;
    QTest::newRow("fraction in weight") << false << "1.5"
                                        << "15" << false;
    QTest::newRow("zero weight") << false << "0"
                                 << "0" << true;
}

// What the bounds do not allow cannot be typed; a box left empty or below its bounds is refused
// with a message naming it, nothing is stored and the window stays open.
void TestConfigWindow::numberBoxesKeepToTheirBounds() {
    QFETCH(bool, countBox);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(bool, refused);
    SettingsSession session;
    test::MessageLog log;
    gui::DivisionSettingsWindow* window = session.open();
    QSpinBox* box = countBox ? test::named<QSpinBox>(*window, "edWTNum")
                             : test::named<QSpinBox>(*window, "edInter");
    window->settingBoxes()[0]->setChecked(false);
    box->clear();
    QTest::keyClicks(box, typed);
    QCOMPARE(box->text(), shown);
    test::named<QPushButton>(*window, "bnOk")->click();

    if (refused) {
        QCOMPARE(log.messages().size(), std::size_t{1});
        QCOMPARE(log.messages()[0].kind, gui::MessageKind::Error);
        QVERIFY(log.messages()[0].text.contains(countBox ? QStringLiteral("微调次数")
                                                         : QStringLiteral("分数间隔权重")));
        QTest::qWait(10);
        QCOMPARE(session.main.settingsWindow(), window);
        QCOMPARE(session.stored(), store::DivisionSettings::defaults(1));
        QVERIFY(session.closeWindow());
        return;
    }
    QVERIFY(log.texts().isEmpty());
    const auto stored = session.stored();
    QCOMPARE(countBox ? stored.wtNum.value_or(-1) : stored.inter, shown.toInt());
}

void TestConfigWindow::cancelLeavesTheRowAsItWas() {
    SettingsSession session;
    test::MessageLog log;
    gui::DivisionSettingsWindow* window = session.open();
    for (QCheckBox* box : window->settingBoxes()) {
        box->setChecked(!box->isChecked());
    }
    test::named<QSpinBox>(*window, "edWTNum")->setValue(9);
    QPointer<gui::DivisionSettingsWindow> closing = window;
    test::named<QPushButton>(*window, "bnCancel")->click();
    QTRY_VERIFY(closing.isNull());
    QCOMPARE(session.stored(), store::DivisionSettings::defaults(1));
    QVERIFY(log.texts().isEmpty());
}


// 科目设置's ticks are stored per project: the unticked subjects come back unticked, the other
// project keeps all nine, and the 均衡度 page no longer lists the unticked subjects.
void TestConfigWindow::subjectTicksAreStoredAndLeaveTheBalanceFigures() {
    test::ProjectSession session(4, test::sampleStudents(80));
    const auto other = store::createProject(session.workspace.connection(), "另一个", 4);
    session.divide();
    test::MessageLog log;
    session.main.showSettings();
    gui::DivisionSettingsWindow* window = session.main.settingsWindow();
    QVERIFY(window);
    QCheckBox* sport = nullptr;
    QCheckBox* english = nullptr;
    for (QCheckBox* box : window->subjectBoxes()) {
        QVERIFY(box->isChecked());
        sport = box->text() == QStringLiteral("体育") ? box : sport;
        english = box->text() == QStringLiteral("英语") ? box : english;
    }
    QVERIFY(sport && english);
    sport->setChecked(false);
    english->setChecked(false);
    QPointer<gui::DivisionSettingsWindow> closing = window;
    test::named<QPushButton>(*window, "bnOk")->click();
    QTRY_VERIFY(closing.isNull());
    const auto stored = store::loadSettings(session.workspace.connection(), session.project.id());
    QCOMPARE(stored->skip_subjects, (1 << 1) | (1 << 6));  // english and tiyu in table order
    QVERIFY(store::loadSettings(session.workspace.connection(), other.id())->skip_subjects == 0);

    session.main.showSettings();
    window = session.main.settingsWindow();
    for (const QCheckBox* box : window->subjectBoxes()) {
        const bool unticked = box->text() == QStringLiteral("体育") ||
                              box->text() == QStringLiteral("英语");
        QCOMPARE(box->isChecked(), !unticked);
    }
    test::named<QPushButton>(*window, "bnCancel")->click();

    session.main.command(QStringLiteral("6.班级信息"))->trigger();
    test::waitForStatistics(*session.main.statisticsWindow());
    const QTableWidget* table =
        test::named<QTableWidget>(*session.main.statisticsWindow(), "sgBalance");
    QStringList labels;
    for (int r = 0; r < table->rowCount(); ++r) {
        labels << table->item(r, 0)->text();
    }
    QVERIFY(labels.contains(QStringLiteral("数学平均分最大相差")));
    QVERIFY(labels.contains(QStringLiteral("生物分数段人数最大相差")));
    for (const QString& label : labels) {
        QVERIFY2(!label.startsWith(QStringLiteral("体育")) &&
                     !label.startsWith(QStringLiteral("英语")),
                 qPrintable(label));
    }
    QVERIFY(log.texts().isEmpty());
}

QTEST_MAIN(TestConfigWindow)
#include "TestConfigWindow.moc"
