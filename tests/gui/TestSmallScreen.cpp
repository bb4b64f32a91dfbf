// A screen of 800×600 with the console docked below the work windows, after a division: every work
// window and every dialog fits the space left, each of its buttons whole in sight, and what a
// window says is not squeezed into overlapping lines.
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "GuiTestSupport.h"
#include "gui/AboutDialog.h"
#include "gui/MessageConsole.h"
#include "gui/adjustments/VersionComparisonDialog.h"
#include "gui/adjustments/VersionsDialog.h"
#include "gui/division/DivisionResultWindow.h"
#include "gui/division/DivisionSettingsWindow.h"
#include "gui/intake/ImportPreviewWindow.h"
#include "gui/projects/CopyStudentsDialog.h"
#include "gui/projects/NewProjectDialog.h"
#include "gui/projects/OpenProjectDialog.h"
#include "gui/statistics/BalancePage.h"
#include "gui/statistics/ClassStatisticsWindow.h"
#include "gui/students/GroupPanel.h"
#include "gui/students/StudentListWindow.h"
#include "reports/VersionComparison.h"
#include "store/SavedVersions.h"

using namespace qm;

namespace {

constexpr int kRunTimeoutMs = 120000;

QRect globalRect(const QWidget& widget) {
    return {widget.mapToGlobal(QPoint()), widget.size()};
}

// The part of the widget its window and every widget around it let be seen.
QRect shownPart(const QWidget& widget) {
    QRect shown = globalRect(widget);
    for (const QWidget* around = widget.parentWidget(); around; around = around->parentWidget()) {
        shown &= globalRect(*around);
    }
    return shown;
}

// The buttons of a window that are cut off or out of sight, by their text. The tab bars' own
// scroll arrows and the grids' corner buttons are no buttons of the window.
QStringList buttonsOutOfSight(const QWidget& window) {
    QStringList cut;
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        const bool own = !qobject_cast<const QTabBar*>(button->parentWidget()) &&
                         !button->inherits("QTableCornerButton");
        if (own && button->isVisible() && shownPart(*button) != globalRect(*button)) {
            cut << (button->text().isEmpty() ? button->objectName() : button->text());
        }
    }
    return cut;
}

// Labels that word-wrap their text into fewer lines' room than the text needs.
QStringList squeezedLabels(const QWidget& window) {
    QStringList squeezed;
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (label->isVisible() && label->wordWrap() && !label->text().isEmpty() &&
            label->height() < label->heightForWidth(label->width())) {
            squeezed << label->text().left(20);
        }
    }
    return squeezed;
}

// A school's intake as windows meet it: categories, a student whose sex is neither 男 nor 女 (no
// division places him) and one fixed to a class the project does not have (told in red below the
// statistics), so that 班级信息 and 均衡度 have all their lines.
std::vector<test::StudentRow> intake() {
    auto students = test::sampleStudents(240);
    const char* const categories[] = {"艺术", "体育", "住校"};
    for (std::size_t i = 0; i < 60; ++i) {
        students[i].pfType = categories[i % 3];
    }
    students[100].sex = "？";
    students[101].class_id = 9;
    students[101].type = 2;
    return students;
}

const QRect kScreen(0, 0, 800, 600);

struct SmallScreenSession : test::ProjectSession {
    SmallScreenSession() : ProjectSession(6, intake()) { main.setGeometry(kScreen); }

    // Divides through the result window, as the teacher does: the console appears below.
    bool divideWithTheWindow() {
        gui::DivisionResultWindow* result = main.showResult();
        QSignalSpy finished(result, &gui::DivisionResultWindow::runFinished);
        result->startDivision();
        return finished.wait(kRunTimeoutMs) && finished.first().first().toBool();
    }

    // The work window fits the frame's visible part beside the console, its buttons and texts
    // in sight; a failure names the window and what is cut.
    void expectFits(QWidget& window, const QString& what) {
        QApplication::processEvents();
        const QWidget& frame = *window.parentWidget();
        const QRect area = globalRect(*test::named<QMdiArea>(main, "workArea")->viewport());
        QVERIFY2(area.contains(globalRect(frame)),
                 qPrintable(QStringLiteral("%1: %2 in %3")
                                .arg(what)
                                .arg(toText(frame.size()), toText(area.size()))));
        const QStringList cut = buttonsOutOfSight(window);
        QVERIFY2(cut.isEmpty(), qPrintable(what + QStringLiteral(": ") + cut.join(',')));
        const QStringList squeezed = squeezedLabels(window);
        QVERIFY2(squeezed.isEmpty(), qPrintable(what + QStringLiteral(": ") + squeezed.join(',')));
    }

    static QString toText(QSize size) {
        return QStringLiteral("%1×%2").arg(size.width()).arg(size.height());
    }
};

// A dialog opened over the main window lies within the screen of 800×600 with all its buttons.
void expectDialogFits(QDialog& dialog, const QString& what) {
    dialog.show();
    QApplication::processEvents();
    QVERIFY2(
        kScreen.contains(dialog.frameGeometry()),
        qPrintable(QStringLiteral("%1: %2×%3").arg(what).arg(dialog.width()).arg(dialog.height())));
    const QStringList cut = buttonsOutOfSight(dialog);
    QVERIFY2(cut.isEmpty(), qPrintable(what + QStringLiteral(": ") + cut.join(',')));
    dialog.hide();
}

}  // namespace

class TestSmallScreen : public QObject {
    Q_OBJECT

  private slots:
    void workWindowsFitBesideTheConsole_data();
    void workWindowsFitBesideTheConsole();
    void studentListSidePanelHasRoomAndCanBeWidened();
    void dialogsFitTheScreen();
};

// The program's own text size, and the larger one of a desktop set up for reading.
void TestSmallScreen::workWindowsFitBesideTheConsole_data() {
    QTest::addColumn<qreal>("points");
    QTest::newRow("program's text") << QApplication::font().pointSizeF();
    QTest::newRow("larger text") << 11.0;
}

void TestSmallScreen::workWindowsFitBesideTheConsole() {
    QFETCH(qreal, points);
    const QFont usual = QApplication::font();
    QFont text = usual;
    text.setPointSizeF(points);
    QApplication::setFont(text);
    const auto restore = qScopeGuard([&] { QApplication::setFont(usual); });
    SmallScreenSession session;
    test::MessageLog log;
    QVERIFY(session.divideWithTheWindow());
    gui::MessageConsole& console = *session.main.console();
    QTRY_VERIFY(console.isVisible());
    QVERIFY(!console.isFloating());
    QCOMPARE(session.main.dockWidgetArea(&console), Qt::BottomDockWidgetArea);

    session.expectFits(*session.main.resultWindow(), QStringLiteral("分班结果"));

    // Each page of the window's tabs in turn.
    const auto expectEachPageFits = [&session](QWidget& window, QTabWidget& pages,
                                               const QString& what) {
        for (int page = 0; page < pages.count(); ++page) {
            pages.setCurrentIndex(page);
            session.expectFits(window, what + QLatin1Char(' ') + pages.tabText(page));
        }
    };
    session.main.showSettings();
    gui::DivisionSettingsWindow& settings = *session.main.settingsWindow();
    expectEachPageFits(settings, *test::named<QTabWidget>(settings, "tabSettings"),
                       QStringLiteral("分班设置"));
    session.main.showClassInfo();
    gui::ClassStatisticsWindow& info = *session.main.statisticsWindow();
    test::waitForStatistics(info);
    expectEachPageFits(info, *test::named<QTabWidget>(info, "tabStatistics"),
                       QStringLiteral("班级信息"));
    session.main.showStudentList();
    gui::StudentListWindow& list = *session.main.studentListWindow();
    expectEachPageFits(list, *test::named<QTabWidget>(list, "tabSide"), QStringLiteral("学生名单"));

    session.main.importStudents();
    session.expectFits(*session.main.importWindow(), QStringLiteral("导入数据浏览"));
    QVERIFY2(log.texts().isEmpty(), qPrintable(log.texts().join('\n')));
}

// The panel beside the list shows its groups' buttons at once, and its divider drags it wider.
void TestSmallScreen::studentListSidePanelHasRoomAndCanBeWidened() {
    SmallScreenSession session;
    test::MessageLog log;
    QVERIFY(session.divideWithTheWindow());
    session.main.showStudentList();
    gui::StudentListWindow& list = *session.main.studentListWindow();
    test::named<QTabWidget>(list, "tabSide")
        ->setCurrentWidget(test::named<gui::GroupPanel>(list, "GroupPanel"));
    QApplication::processEvents();
    const int before = test::named<QTabWidget>(list, "tabSide")->width();
    QVERIFY2(before >= 220, qPrintable(QString::number(before)));

    // The teacher drags the divider before the panel 150 pixels to the left.
    auto* splitter = list.findChild<QSplitter*>();
    QVERIFY(splitter);
    QWidget* handle = splitter->handle(splitter->indexOf(test::named<QTabWidget>(list, "tabSide")));
    const QPoint grip = handle->rect().center();
    QTest::mousePress(handle, Qt::LeftButton, {}, grip);
    QTest::mouseMove(handle, grip - QPoint(150, 0));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, grip - QPoint(150, 0));
    QApplication::processEvents();
    QVERIFY2(test::named<QTabWidget>(list, "tabSide")->width() >= before + 50,
             qPrintable(QStringLiteral("%1 → %2").arg(before).arg(
                 test::named<QTabWidget>(list, "tabSide")->width())));
    session.expectFits(list, QStringLiteral("学生名单, the panel widened"));
}

void TestSmallScreen::dialogsFitTheScreen() {
    SmallScreenSession session;
    test::MessageLog log;
    session.divide();
    session.main.show();
    auto& connection = session.workspace.connection();
    store::saveVersion(connection, session.project, "开学前");
    connection.exec("update " + session.project.fbTable +
                    " set class_id=case class_id when 1 then 2 else 1 end where student_id<=20");
    store::saveVersion(connection, session.project, "调整后");

    {
        gui::NewProjectDialog dialog(session.workspace, &session.main);
        expectDialogFits(dialog, QStringLiteral("新建"));
    }
    {
        gui::OpenProjectDialog dialog(session.workspace, &session.main);
        expectDialogFits(dialog, QStringLiteral("打开"));
    }
    {
        gui::CopyStudentsDialog dialog(session.workspace, &session.main);
        expectDialogFits(dialog, QStringLiteral("内部数据"));
    }
    {
        gui::AboutDialog dialog(QString::fromStdString(session.database.path()), &session.main);
        expectDialogFits(dialog, QStringLiteral("关于"));
    }
    {
        gui::VersionsDialog dialog(session.workspace, &session.main);
        expectDialogFits(dialog, QStringLiteral("方案"));
    }
    {
        const auto comparison = reports::compareVersions(connection, session.project, 1, 2);
        gui::VersionComparisonDialog dialog(comparison, &session.main);
        for (int page = 0; page < test::named<QTabWidget>(dialog, "tabComparison")->count();
             ++page) {
            test::named<QTabWidget>(dialog, "tabComparison")->setCurrentIndex(page);
            expectDialogFits(dialog,
                             QStringLiteral("方案对比 ") +
                                 test::named<QTabWidget>(dialog, "tabComparison")->tabText(page));
        }
    }
}

QTEST_MAIN(TestSmallScreen)
#include "TestSmallScreen.moc"
