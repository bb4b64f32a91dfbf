// The class lists on paper and in PDF, from the result window and from 班级信息: what the teacher
// chooses reaches the pages, the PDF read back with poppler has one page per class with every
// student of it, the preview shows the chosen classes, and what must not be printed is refused.
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "GuiTestSupport.h"
#include "db/Connection.h"
#include "gui/division/DivisionResultWindow.h"
#include "gui/shared/ClassChanges.h"
#include "gui/shared/ClassListDialog.h"
#include "gui/shared/ExportCommands.h"
#include "gui/shared/WorkbookOpener.h"
#include "gui/statistics/ClassStatisticsWindow.h"
#include "support/PdfReading.h"

using namespace qm;

namespace {

// A project of three classes with 30 students; the file question answered with a path of the
// test's choosing and what is opened recorded, the real desktop put back at the end.
struct PrintSession : test::ProjectSession {
    test::TempFolder folder;
    QString chosenPath;
    QStringList opened;

    PrintSession() : ProjectSession(3, test::sampleStudents(30)) {
        gui::setExportPathChooser([this](QWidget*, const QString&) { return chosenPath; });
        gui::setWorkbookOpener([this](const QString& path) {
            opened << path;
            return false;
        });
    }
    ~PrintSession() {
        gui::setExportPathChooser({});
        gui::setWorkbookOpener({});
    }

    QPushButton& button(QWidget& window, const char* name) {
        return *window.findChild<QPushButton*>(QString::fromLatin1(name));
    }

    std::vector<std::string> namesInClass(int classId) {
        std::vector<std::string> names;
        for (const auto row : workspace.connection().query(
                 "select student_name from " + project.fbTable +
                 " where class_id = " + std::to_string(classId) + " order by student_id")) {
            names.push_back(row[0].toText());
        }
        return names;
    }
};

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Closes a modal dialog that opens although none should, and says so.
class NoDialogExpected {
  public:
    NoDialogExpected() {
        QTimer::singleShot(0, [this] {
            if (QWidget* dialog = QApplication::activeModalWidget()) {
                seen_ = true;
                dialog->close();
            }
        });
    }
    // Asked after the action: a dialog would have met the check in its own event loop, else it
    // runs now.
    bool sawDialog() {
        QApplication::processEvents();
        return seen_;
    }

  private:
    bool seen_ = false;
};

}  // namespace

class TestClassListPrinting : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void pdfFromTheResultWindowHasOnePagePerClass();
    void previewFromClassInfoShowsTheChosenClasses();
    void refusesWhatMustNotBePrinted();
};

void TestClassListPrinting::init() {
    if (!test::pdfToolsInstalled()) {
        QSKIP("pdftotext and pdftoppm (poppler-utils) are not installed");
    }
}

void TestClassListPrinting::pdfFromTheResultWindowHasOnePagePerClass() {
    PrintSession session;
    test::MessageLog log;
    session.divide();
    gui::DivisionResultWindow& result = *session.main.showResult();
    session.chosenPath = QString::fromStdString(session.folder.file("名单"));  // no suffix

    test::actOnNextDialog<gui::ClassListDialog>([](gui::ClassListDialog& dialog) {
        QCOMPARE(test::named<QListWidget>(dialog, "lvClasses")->count(), 3);
        test::named<QLineEdit>(dialog, "edSchool")->setText(QStringLiteral(" 实验中学 "));
        dialog.scoreBoxes().at(1)->setChecked(true);   // 数学
        dialog.scoreBoxes().back()->setChecked(true);  // 总分
        test::named<QPushButton>(dialog, "bnGoOn")->click();
    });
    session.button(result, "bnPdf").click();

    const std::string pdf = session.folder.file("名单.pdf");
    QVERIFY(std::filesystem::exists(pdf));
    QVERIFY(!std::filesystem::exists(pdf + ".part"));
    QCOMPARE(session.opened, QStringList({QString::fromStdString(pdf)}));
    // No program opens it: the teacher is told where it is and what it holds.
    QCOMPARE(log.texts().size(), 1);
    QVERIFY(log.texts().first().contains(QStringLiteral("3 个班的名单（共 3 页）")));
    QVERIFY(log.texts().first().contains(QString::fromStdString(pdf)));

    const auto pages = test::pdfPageTexts(pdf);
    QCOMPARE(pages.size(), std::size_t{3});
    for (int classId = 1; classId <= 3; ++classId) {
        const std::string& page = pages[static_cast<std::size_t>(classId - 1)];
        for (const std::string& part :
             {std::to_string(classId) + "班 学生名单", std::string("实验中学"), std::string("高一"),
              std::string("数学"), std::string("总分"), std::string("班主任签字")}) {
            QVERIFY2(contains(page, part), (part + " missing on\n" + page).c_str());
        }
        QVERIFY(!contains(page, "语文"));
        for (const std::string& name : session.namesInClass(classId)) {
            QVERIFY2(contains(page, name), (name + " missing on\n" + page).c_str());
        }
    }
    for (const auto& picture : test::pdfPagePictures(pdf, session.folder.path() / "pages")) {
        QVERIFY(test::inkShare(picture) > 0.01);
    }

    // The school and the score columns are offered again; no class ticked goes no further.
    log.clear();
    bool offeredAgain = false;
    test::actOnNextDialog<gui::ClassListDialog>([&](gui::ClassListDialog& dialog) {
        offeredAgain =
            test::named<QLineEdit>(dialog, "edSchool")->text() == QStringLiteral("实验中学") &&
            dialog.scoreBoxes().at(1)->isChecked() && !dialog.scoreBoxes().at(0)->isChecked();
        for (int i = 0; i < test::named<QListWidget>(dialog, "lvClasses")->count(); ++i) {
            test::named<QListWidget>(dialog, "lvClasses")->item(i)->setCheckState(Qt::Unchecked);
        }
        test::named<QPushButton>(dialog, "bnGoOn")->click();
        QVERIFY(dialog.isVisible());
    });
    session.button(result, "bnPdf").click();
    QVERIFY(offeredAgain);
    QCOMPARE(log.texts(), QStringList({QStringLiteral("请至少勾选一个要打印的班级")}));
}

void TestClassListPrinting::previewFromClassInfoShowsTheChosenClasses() {
    PrintSession session;
    test::MessageLog log;
    session.divide();
    session.main.showClassInfo();
    gui::ClassStatisticsWindow& info = *session.main.statisticsWindow();
    test::waitForStatistics(info);

    int previewPages = -1;
    QString previewTitle;
    test::actOnNextDialog<gui::ClassListDialog>([&](gui::ClassListDialog& dialog) {
        test::named<QListWidget>(dialog, "lvClasses")
            ->item(0)
            ->setCheckState(Qt::Unchecked);  // 1班
        test::actOnNextDialog<QPrintPreviewDialog>([&](QPrintPreviewDialog& preview) {
            previewTitle = preview.windowTitle();
            previewPages = preview.findChild<QPrintPreviewWidget*>()->pageCount();
        });
        test::named<QPushButton>(dialog, "bnGoOn")->click();
    });
    session.button(info, "bnPrint").click();
    QCOMPARE(previewPages, 2);
    QCOMPARE(previewTitle, QStringLiteral("打印预览 - 班级名单"));
    QVERIFY2(log.texts().isEmpty(), qPrintable(log.texts().join('\n')));
}

void TestClassListPrinting::refusesWhatMustNotBePrinted() {
    PrintSession session;
    test::MessageLog log;
    gui::DivisionResultWindow& result = *session.main.showResult();
    {
        NoDialogExpected guard;
        session.button(result, "bnPrint").click();
        QVERIFY(!guard.sawDialog());
    }
    QCOMPARE(log.texts().size(), 1);
    QVERIFY(log.texts().first().contains(QStringLiteral("还没有分班")));

    session.divide();
    log.clear();
    session.workspace.classChanges().setDivisionRunning(true);
    {
        NoDialogExpected guard;
        session.button(result, "bnPdf").click();
        QVERIFY(!guard.sawDialog());
    }
    session.workspace.classChanges().setDivisionRunning(false);
    QCOMPARE(log.texts(), QStringList({QStringLiteral("正在分班，请等分班结束后再打印班级名单")}));

    // The database file is never written over, also under another name: a link to it that ends
    // in .pdf, which no file dialog has refused.
    log.clear();
    const std::string link = session.folder.file("名单.pdf");
    std::filesystem::create_symlink(session.database.path(), link);
    session.chosenPath = QString::fromStdString(link);
    test::actOnNextDialog<gui::ClassListDialog>(
        [](gui::ClassListDialog& dialog) { test::named<QPushButton>(dialog, "bnGoOn")->click(); });
    session.button(result, "bnPdf").click();
    QCOMPARE(log.texts().size(), 1);
    QVERIFY2(log.texts().first().contains(QStringLiteral("数据库文件")),
             qPrintable(log.texts().first()));
    QVERIFY(session.opened.isEmpty());
    QCOMPARE(
        test::countRows(session.workspace.connection(), "select * from " + session.project.fbTable),
        30);
}

QTEST_MAIN(TestClassListPrinting)
#include "TestClassListPrinting.moc"
