#include "PrintPictures.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPrintPreviewDialog>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <iostream>

#include "GuiTestSupport.h"
#include "engine/DivisionRun.h"
#include "gui/MainWindow.h"
#include "gui/Workspace.h"
#include "gui/division/DivisionResultWindow.h"
#include "gui/division/ResultClassView.h"
#include "gui/division/StudentSearchBar.h"
#include "gui/shared/ClassListDialog.h"
#include "printing/ClassListPdf.h"
#include "reports/ClassListPages.h"
#include "store/ProjectStore.h"

namespace qm::test {

namespace {

QWidget& frameOf(QWidget& window) {
    auto* frame = qobject_cast<QMdiSubWindow*>(window.parentWidget());
    return frame ? static_cast<QWidget&>(*frame) : window;
}

const QString kSchool = QStringLiteral("实验中学");

// The first page of the class lists of a school's class of 50, as printed: the PDF that
// 导出PDF… writes, rendered to a picture. The class comes from a database of its own, so that the
// windows' sample (250 students a class) keeps its classes.
bool savePrintedPage(const QString& path) {
    const QString renderer = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (renderer.isEmpty()) {
        std::cerr << "pdftoppm (poppler-utils) is not installed: no picture of a printed page\n";
        return false;
    }
    TempDatabase database;
    const auto project = store::createProject(database.connection(), "2024级高一新生分班", 2);
    insertStudents(database.connection(), project.fbTable, sampleStudents(100));
    engine::DivisionObserver quiet;
    engine::divide(database.connection(), project, quiet);
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("班级名单.pdf"));
    const auto document = reports::makeClassListDocument(
        database.connection(), project,
        {.school = kSchool.toStdString(), .scores = {"chinese", "math", "english", "total"}});
    printing::writeClassListPdf(document, pdf.toStdString(), database.path(), true);
    QString stem = path;
    stem.chop(4);  // pdftoppm adds ".png"
    const int status = QProcess::execute(
        renderer, {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("80"),
                   QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                   QStringLiteral("1"), QStringLiteral("-singlefile"), pdf, stem});
    if (status != 0) {
        std::cerr << "pdftoppm failed on " << pdf.toStdString() << "\n";
        return false;
    }
    std::cout << path.toStdString() << "\n";
    return true;
}

}  // namespace

std::optional<int> savePrintPictures(gui::MainWindow& main, const store::CurrentProject& project,
                                     int firstNumber, const QString& folder,
                                     const std::function<bool(QWidget&, const QString&)>& save) {
    int number = firstNumber;
    auto name = [&number](const char* what) {
        return QStringLiteral("%1-%2").arg(number++, 2, 10, QLatin1Char('0')).arg(what);
    };

    main.workspace().setCurrentProject(project);
    gui::DivisionResultWindow& result = *main.showResult();
    QSignalSpy divided(&result, &gui::DivisionResultWindow::runFinished);
    result.startDivision();
    if (!divided.wait(300000) || !divided.first().first().toBool()) {
        std::cerr << "the division for the class lists did not succeed\n";
        return std::nullopt;
    }
    test::named<gui::ResultClassView>(result, "lvResultClasses")->showClass(QStringLiteral("3班"));
    test::named<QLineEdit>(result, "edSearch")->setText(QStringLiteral("zs"));
    save(frameOf(result), name("result-class-view"));

    // The dialog, then the preview it leads to: each pictured from its own event loop.
    const QString dialogName = name("class-list-dialog");
    const QString previewName = name("class-list-preview");
    actOnNextDialog<gui::ClassListDialog>([&](gui::ClassListDialog& dialog) {
        test::named<QLineEdit>(dialog, "edSchool")->setText(kSchool);
        for (std::size_t box : {0u, 1u, 2u}) {
            dialog.scoreBoxes().at(box)->setChecked(true);
        }
        dialog.scoreBoxes().back()->setChecked(true);
        save(dialog, dialogName);
        actOnNextDialog<QPrintPreviewDialog>([&](QPrintPreviewDialog& preview) {
            QTest::qWait(300);
            save(preview, previewName);
        });
        test::named<QPushButton>(dialog, "bnGoOn")->click();
    });
    result.findChild<QPushButton*>(QStringLiteral("bnPrint"))->click();

    savePrintedPage(QDir(folder).filePath(name("class-list-page") + QStringLiteral(".png")));
    test::named<QLineEdit>(result, "edSearch")->clear();
    test::named<gui::ResultClassView>(result, "lvResultClasses")->showClass(QString());
    return number;
}

}  // namespace qm::test
