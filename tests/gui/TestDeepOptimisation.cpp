// 深度优化 in the desktop program: its setting and strength in 分班设置, stored with the rest of
// the row; the result window's button, which runs it on the present classes with the progress,
// console, cancel and refusals of a division; and a division that ends with it.
#include <QCheckBox>
#include <QLabel>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include "GuiTestSupport.h"
#include "db/Connection.h"
#include "engine/RunStages.h"
#include "gui/MessageConsole.h"
#include "gui/division/DivisionResultWindow.h"
#include "gui/division/DivisionSettingsWindow.h"
#include "store/DivisionSettings.h"
#include "store/ProjectStore.h"
#include "support/SchoolCohort.h"

using namespace qm;

namespace {

constexpr int kRunTimeoutMs = 120000;

// A main window with a school's intake (fixed students, two categories, names that read alike)
// in a current project.
struct OptimisationSession : test::ProjectSession {
    OptimisationSession(int classes, int students) : ProjectSession(classes, {}) {
        test::insertSchoolCohort(workspace.connection(), project.fbTable,
                                 {.students = students, .classes = classes});
    }

    void setDeepOptimisation(int on, int mode) {
        auto row = store::loadSettings(workspace.connection(), project.id()).value();
        row.is_deep_opt = on;
        row.deep_opt_mode = mode;
        store::saveSettings(workspace.connection(), row);
    }

    // Where the fixed students are, "student:class": what 深度优化 never changes.
    std::string fixedPlaces() {
        return workspace.connection()
            .query("select group_concat(student_id||':'||class_id) from " + project.fbTable +
                   " where type=2")[0][0]
            .toText();
    }
    // Largest minus smallest of the class sizes, or of the classes' students of one sex.
    int sizeSpread(const std::string& sex = "") {
        return static_cast<int>(workspace.connection()
                                    .query("select max(c)-min(c) from (select count(*) as c from " +
                                           project.fbTable + " where class_id>0" +
                                           (sex.empty() ? "" : " and sex='" + sex + "'") +
                                           " group by class_id)")[0][0]
                                    .toInt());
    }
};

// Runs start and waits for the run's end; true when it succeeded.
bool runToEnd(gui::DivisionResultWindow& window, const std::function<void()>& start) {
    QSignalSpy finished(&window, &gui::DivisionResultWindow::runFinished);
    start();
    if (!window.isRunning() && finished.isEmpty()) {
        return false;  // refused before it started
    }
    return (!finished.isEmpty() || finished.wait(kRunTimeoutMs)) &&
           finished.first().first().toBool();
}

// What the progress bar and the words beside it showed while a run was under way.
struct ProgressRecord {
    QList<int> values;
    QStringList phases;

    explicit ProgressRecord(gui::DivisionResultWindow& window) {
        QObject::connect(test::named<QProgressBar>(window, "pbRun"), &QProgressBar::valueChanged,
                         &window, [this, &window](int value) {
                             if (window.isRunning() &&
                                 test::named<QProgressBar>(window, "pbRun")->maximum() > 0) {
                                 values << value;
                                 phases << test::named<QLabel>(window, "lbStage")->text();
                             }
                         });
    }

    // The index of the first phase holding the words; -1 when none does.
    qsizetype first(const QString& words) const {
        for (qsizetype i = 0; i < phases.size(); ++i) {
            if (phases[i].contains(words)) {
                return i;
            }
        }
        return -1;
    }
};

// The figures line of the console: "深度优化：总分平均分最大差 4.15 → 0.77 分，单科最大差 ...".
std::pair<double, double> totalSpreads(const QStringList& lines) {
    static const QRegularExpression figures(
        QStringLiteral("^深度优化：总分平均分最大差 ([0-9.]+) → ([0-9.]+) 分"));
    for (const QString& line : lines) {
        const auto match = figures.match(line);
        if (match.hasMatch()) {
            return {match.captured(1).toDouble(), match.captured(2).toDouble()};
        }
    }
    return {-1, -1};
}

}  // namespace

class TestDeepOptimisation : public QObject {
    Q_OBJECT

  private slots:
    void settingsPageStoresItWithTheRestOfTheRow();
    void buttonEvensOutThePresentClasses();
    void refusedBeforeADivisionAndWhileAnotherRunIsUnderWay();
    void cancelledOptimisationChangesNothing();
    void divisionEndsWithItWhenTheSettingsAskForIt();
    void cancelInItsStepCancelsTheWholeDivision();
};

// Each stored state is shown; changing only the fine-tuning count keeps it (the window used to
// store the row anew and switch 深度优化 off); the box and the strength are stored as chosen.
void TestDeepOptimisation::settingsPageStoresItWithTheRestOfTheRow() {
    OptimisationSession session(4, 0);
    test::MessageLog log;
    struct Case {
        int on, mode;
    };
    for (const Case stored : {Case{1, 1}, Case{0, 0}, Case{1, 0}, Case{0, 1}}) {
        session.setDeepOptimisation(stored.on, stored.mode);
        session.main.showSettings();
        QPointer<gui::DivisionSettingsWindow> window = session.main.settingsWindow();
        QCOMPARE(test::named<QTabWidget>(*window, "tabSettings")->tabText(3),
                 QStringLiteral("深度优化"));
        QCOMPARE(test::named<QCheckBox>(*window, "cb_deepOpt")->text(), QStringLiteral("深度优化"));
        QCOMPARE(test::named<QCheckBox>(*window, "cb_deepOpt")->isChecked(), stored.on == 1);
        QCOMPARE(test::named<QRadioButton>(*window, "rb_bandsFirst")->isChecked(),
                 stored.mode == 1);
        QCOMPARE(test::named<QRadioButton>(*window, "rb_averagesFirst")->isChecked(),
                 stored.mode == 0);
        test::named<QSpinBox>(*window, "edWTNum")->setValue(12);
        test::named<QPushButton>(*window, "bnOk")->click();
        QTRY_VERIFY(window.isNull());
        auto settings = store::loadSettings(session.workspace.connection(), 1).value();
        QCOMPARE(settings.is_deep_opt, stored.on);
        QCOMPARE(settings.deep_opt_mode, stored.mode);
        QCOMPARE(settings.wtNum, std::optional<int>(12));
    }

    session.main.showSettings();
    QPointer<gui::DivisionSettingsWindow> window = session.main.settingsWindow();
    test::named<QCheckBox>(*window, "cb_deepOpt")->setChecked(true);
    test::named<QRadioButton>(*window, "rb_bandsFirst")->setChecked(true);
    QVERIFY(!test::named<QRadioButton>(*window, "rb_averagesFirst")->isChecked());
    test::named<QPushButton>(*window, "bnOk")->click();
    QTRY_VERIFY(window.isNull());
    const auto settings = store::loadSettings(session.workspace.connection(), 1).value();
    QCOMPARE(settings.is_deep_opt, 1);
    QCOMPARE(settings.deep_opt_mode, 1);
    QCOMPARE(settings.inter, 1);
    QCOMPARE(settings.is_avg_total, 1);
    QVERIFY2(log.texts().isEmpty(), qPrintable(log.texts().join('\n')));
}

// After a division: asked first (No leaves everything), then the classes come out more even,
// each class keeps its boys and girls, the grid shows the stored classes, and the bar moves on
// through the three searches, named in words.
void TestDeepOptimisation::buttonEvensOutThePresentClasses() {
    OptimisationSession session(8, 400);
    session.divide();
    const auto divided = session.classOfStudent();
    const std::string fixed = session.fixedPlaces();
    const int boys = session.sizeSpread("男");
    const int girls = session.sizeSpread("女");
    QVERIFY(session.sizeSpread() > 1);
    test::MessageLog log(false);
    gui::DivisionResultWindow* window = session.main.showResult();
    QCOMPARE(test::named<QPushButton>(*window, "bnDeepOpt")->text(), QStringLiteral("深度优化"));

    test::named<QPushButton>(*window, "bnDeepOpt")->click();
    QVERIFY(!window->isRunning());
    QCOMPARE(log.messages().size(), std::size_t{1});
    QCOMPARE(log.messages()[0].kind, gui::MessageKind::Question);
    QVERIFY(log.texts()[0].startsWith(QStringLiteral("深度优化将使各班人数相等")));
    QVERIFY(session.classOfStudent() == divided);

    log.setAnswer(true);
    log.clear();
    ProgressRecord progress(*window);
    QVERIFY(runToEnd(*window, [&] { test::named<QPushButton>(*window, "bnDeepOpt")->click(); }));
    QCOMPARE(log.messages().size(), std::size_t{1});  // the question only
    QCOMPARE(test::named<QLabel>(*window, "lbStage")->text(), QStringLiteral("深度优化完成"));
    QVERIFY(test::named<QPushButton>(*window, "bnDeepOpt")->isEnabled());

    QVERIFY(session.classOfStudent() != divided);
    QCOMPARE(session.fixedPlaces(), fixed);
    QVERIFY(session.sizeSpread() <= 1);
    QVERIFY(session.sizeSpread("男") <= boys && session.sizeSpread("女") <= girls);
    const QStringList lines = session.workspace.console().lines();
    QVERIFY(lines.contains(QStringLiteral("深度优化开始（平均分优先）")));
    QCOMPARE(lines.last(), QStringLiteral("深度优化结束"));
    const auto [before, after] = totalSpreads(lines);
    QVERIFY2(after >= 0 && after < before, qPrintable(lines.join('\n')));

    // The grid lists every student in the class now stored.
    const QTableWidget& grid = *test::named<QTableWidget>(*window, "sgClassShow");
    const auto classes = session.classOfStudent();
    QCOMPARE(grid.rowCount(), static_cast<int>(classes.size()));
    for (int row = 0; row < grid.rowCount(); ++row) {
        const int id = grid.item(row, 1)->text().toInt();
        QCOMPARE(grid.item(row, 17)->text(), QStringLiteral("%1班").arg(classes.at(id)));
    }

    QVERIFY(progress.values.size() > 3);
    QVERIFY(std::is_sorted(progress.values.begin(), progress.values.end()));
    const auto annealing = progress.first(QStringLiteral("深度优化 第 1/3 阶段：大范围试探交换"));
    const auto pairs = progress.first(QStringLiteral("深度优化 第 3/3 阶段：两班之间成对交换"));
    QVERIFY2(annealing >= 0 && pairs > annealing, qPrintable(progress.phases.join('\n')));
    QVERIFY(progress.first(QStringLiteral("步")) < 0);  // one run of its own, no steps
}

void TestDeepOptimisation::refusedBeforeADivisionAndWhileAnotherRunIsUnderWay() {
    OptimisationSession session(6, 1000);
    test::MessageLog log;
    gui::DivisionResultWindow* window = session.main.showResult();

    // Not divided yet: told so, nothing asked, nothing started.
    test::named<QPushButton>(*window, "bnDeepOpt")->click();
    QVERIFY(!window->isRunning());
    QCOMPARE(log.texts(),
             QStringList{QStringLiteral("这个项目还没有分班，请先按“分班”，再做深度优化")});
    log.clear();

    // While a division runs the button is disabled and a request is refused. The run's end
    // arrives through the event loop, so the run is under way until the loop is spun.
    QSignalSpy finished(window, &gui::DivisionResultWindow::runFinished);
    window->startDivision();
    QVERIFY(window->isRunning());
    QVERIFY(!test::named<QPushButton>(*window, "bnDeepOpt")->isEnabled());
    window->startOptimisation();
    QCOMPARE(log.texts(), QStringList{QStringLiteral("正在分班，请等待本次分班结束")});
    QVERIFY(finished.wait(kRunTimeoutMs));
    QVERIFY(finished.last().first().toBool());
    log.clear();

    // While 深度优化 runs a division, a re-division and closing the window are refused.
    window->startOptimisation();
    QVERIFY(window->isRunning());
    QVERIFY(!test::named<QPushButton>(*window, "Button1")->isEnabled());
    QVERIFY(!test::named<QPushButton>(*window, "bnDeepOpt")->isEnabled());
    QCOMPARE(test::named<QLabel>(*window, "lbStage")->text(), QStringLiteral("正在深度优化..."));
    window->startDivision();
    session.main.redivide({1, 2});
    auto* frame = qobject_cast<QMdiSubWindow*>(window->parentWidget());
    frame->close();
    QCOMPARE(
        log.texts(),
        QStringList({QStringLiteral("深度优化将使各班人数相等，并在各班之间交换学生，使各班平均"
                                    "分和分数段人数更接近（预先固定班级的学生不动，男女和各分类"
                                    "人数的差距不会变大），是否继续？"),
                     QStringLiteral("正在深度优化，请等待本次深度优化结束"),
                     QStringLiteral("正在深度优化，请等待本次深度优化结束"),
                     QStringLiteral("正在深度优化，请等待深度优化结束或先按“取消”")}));
    QVERIFY(frame->isVisible());
    QVERIFY(finished.wait(kRunTimeoutMs));
    QCOMPARE(finished.size(), 2);
    QVERIFY(finished.last().first().toBool());
    QVERIFY(test::named<QPushButton>(*window, "Button1")->isEnabled());
}

void TestDeepOptimisation::cancelledOptimisationChangesNothing() {
    OptimisationSession session(6, 400);
    session.divide();
    const auto divided = session.classOfStudent();
    test::MessageLog log;
    gui::DivisionResultWindow* window = session.main.showResult();
    QVERIFY(!runToEnd(*window, [&] {
        window->startOptimisation();
        test::named<QPushButton>(*window, "bnCancel")->click();
    }));
    QCOMPARE(log.messages().size(), std::size_t{1});  // the question
    QCOMPARE(session.workspace.console().lines().last(),
             QStringLiteral("深度优化已取消，数据没有改变"));
    QCOMPARE(test::named<QLabel>(*window, "lbStage")->text(),
             QStringLiteral("深度优化已取消，数据没有改变"));
    QVERIFY(session.classOfStudent() == divided);
    QVERIFY(test::named<QPushButton>(*window, "bnDeepOpt")->isEnabled());
}

// With the setting on, a division ends with 深度优化 in the strength chosen: its search is the
// last step of the run and takes the larger part of the bar.
void TestDeepOptimisation::divisionEndsWithItWhenTheSettingsAskForIt() {
    OptimisationSession session(8, 400);
    session.setDeepOptimisation(1, 1);
    const auto steps =
        engine::divisionStages(session.workspace.connection(), session.project).size() + 1;
    test::MessageLog log;
    gui::DivisionResultWindow* window = session.main.showResult();
    ProgressRecord progress(*window);
    QVERIFY(runToEnd(*window, [&] { window->startDivision(); }));
    QVERIFY2(log.texts().isEmpty(), qPrintable(log.texts().join('\n')));
    QCOMPARE(test::named<QLabel>(*window, "lbStage")->text(), QStringLiteral("分班完成"));

    const QStringList lines = session.workspace.console().lines();
    const auto divided = lines.lastIndexOf(QStringLiteral("更新结束"));
    const auto optimised = lines.indexOf(QStringLiteral("深度优化开始（分数段优先）"));
    QVERIFY2(divided > 0 && optimised > divided, qPrintable(lines.join('\n')));
    QVERIFY(lines.contains(QStringLiteral("深度优化结束")));

    QVERIFY(std::is_sorted(progress.values.begin(), progress.values.end()));
    QVERIFY(progress.first(QStringLiteral("第 1/%1 步 分类").arg(steps)) >= 0);
    const auto search = progress.first(QStringLiteral("第 %1/%1 步 深度优化 第 ").arg(steps));
    QVERIFY2(search > 0, qPrintable(progress.phases.join('\n')));
    const int maximum = test::named<QProgressBar>(*window, "pbRun")->maximum();
    QVERIFY(progress.values[search - 1] <= maximum / 5);
    QVERIFY(progress.values[search] >= maximum / 5);
    QVERIFY(progress.values.last() > maximum * 9 / 10);
}

// A cancel while the division's last step, 深度优化, runs takes back the whole division, and the
// window says so, not that only 深度优化 was cancelled.
void TestDeepOptimisation::cancelInItsStepCancelsTheWholeDivision() {
    OptimisationSession session(6, 400);
    session.setDeepOptimisation(1, 0);
    test::MessageLog log;
    gui::DivisionResultWindow* window = session.main.showResult();
    QObject::connect(test::named<QProgressBar>(*window, "pbRun"), &QProgressBar::valueChanged,
                     window, [window] {
                         if (test::named<QLabel>(*window, "lbStage")
                                 ->text()
                                 .contains(QStringLiteral("深度优化 第"))) {
                             window->cancelRun();
                         }
                     });
    QVERIFY(!runToEnd(*window, [&] { window->startDivision(); }));
    const QString cancelled = QStringLiteral("分班已取消，数据没有改变");
    QCOMPARE(session.workspace.console().lines().last(), cancelled);
    QCOMPARE(test::named<QLabel>(*window, "lbStage")->text(), cancelled);
    QVERIFY(
        session.workspace.console().lines().contains(QStringLiteral("深度优化开始（平均分优先）")));
    QCOMPARE(
        test::countRows(session.workspace.connection(), "select * from " + session.project.fbTable +
                                                            " where class_id<>0 and type<>2"),
        0);
}

QTEST_MAIN(TestDeepOptimisation)
#include "TestDeepOptimisation.moc"
