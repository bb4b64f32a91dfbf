// gui_screenshots DIR: builds a sample database, opens every window of the desktop program in
// turn and saves a picture of each into DIR, for a person to look at.
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <iostream>

#include "DataWindowPictures.h"
#include "GuiTestSupport.h"
#include "gui/AppSetup.h"
#include "gui/ProjectListWidget.h"
#include "gui/TfrmBuild.h"
#include "gui/TfrmResult.h"
#include "gui/TfrmShow.h"
#include "gui/Tfrm_config.h"
#include "gui/Tfrm_insertFB.h"
#include "gui/Tfrm_login.h"
#include "gui/Tfrm_open.h"
#include "store/ProjectStore.h"

using namespace qm;

namespace {

QString outputFolder;
int saved = 0;

// Saves a picture of the widget; settle lets pending events (drawing, signals) run first.
bool save(QWidget& widget, const QString& name, bool settle = true) {
    if (settle) {
        QApplication::processEvents();
        QTest::qWait(150);
    }
    const QString path = QDir(outputFolder).filePath(name + QStringLiteral(".png"));
    if (!widget.grab().save(path)) {
        std::cerr << "cannot write " << path.toStdString() << "\n";
        return false;
    }
    std::cout << path.toStdString() << "\n";
    ++saved;
    return true;
}

QWidget& frameOf(QWidget& window) {
    auto* frame = qobject_cast<QMdiSubWindow*>(window.parentWidget());
    return frame ? static_cast<QWidget&>(*frame) : window;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    gui::configureApplication(application);
    if (argc != 2) {
        std::cerr << "usage: gui_screenshots DIR\n";
        return 2;
    }
    outputFolder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(outputFolder);

    test::TempDatabase database;
    auto& connection = database.connection();
    const auto earlier = store::createProject(connection, "2023级高一新生分班", 8);
    test::insertStudents(connection, earlier.fbTable, test::sampleStudents(30));
    const auto project = store::createProject(connection, "2024级高一新生分班", 6);
    test::insertStudents(connection, project.fbTable, test::sampleStudents(1500));

    // Every message box is answered with its default, so nothing waits for a person.
    test::MessageLog messages;
    gui::Workspace workspace(database.path());
    gui::Tfrm_main main(workspace);
    main.setGeometry(0, 0, 1280, 800);

    gui::Tfrm_login login([&] { main.show(); });
    login.show();
    QTest::qWait(50);
    login.show();  // shown again for its picture: it hid itself when first drawn
    save(login, QStringLiteral("01-login"));
    login.hide();
    main.show();
    save(main, QStringLiteral("02-main-window"));

    {
        gui::TfrmBuild dialog(workspace, &main);
        dialog.memoEdit()->setText(QStringLiteral("2024级高一新生分班"));
        dialog.numEdit()->setText(QStringLiteral("6"));
        dialog.show();
        save(dialog, QStringLiteral("03-new-project"));
    }
    {
        gui::Tfrm_open dialog(workspace, &main);
        dialog.show();
        dialog.projectList()->selectId(project.fbId == "2" ? 2 : 1);
        save(dialog, QStringLiteral("04-open-project"));
    }
    workspace.setCurrentProject(project);
    {
        gui::Tfrm_insertFB dialog(workspace, &main);
        dialog.show();
        dialog.projectList()->selectId(1);
        save(dialog, QStringLiteral("05-copy-students"));
    }

    main.showSettings();
    gui::Tfrm_config& settings = *main.configForm();
    const char* pageNames[] = {"06-settings-subjects", "07-settings-rules", "08-settings-numbers"};
    for (int page = 0; page < 3; ++page) {
        settings.pages()->setCurrentIndex(page);
        save(frameOf(settings), QString::fromUtf8(pageNames[page]));
    }
    settings.pages()->setCurrentIndex(2);

    gui::TfrmResult& result = *main.showResult();
    save(frameOf(result), QStringLiteral("09-result-empty"));
    QSignalSpy finished(&result, &gui::TfrmResult::runFinished);
    result.startDivision();
    save(frameOf(result), QStringLiteral("10-result-running"), false);
    if ((finished.isEmpty() && !finished.wait(300000)) || !finished.first().first().toBool()) {
        std::cerr << "the division did not succeed: " << messages.texts().join('\n').toStdString()
                  << "\n";
        return 1;
    }
    save(frameOf(result), QStringLiteral("11-result-divided"));
    save(workspace.console(), QStringLiteral("12-console"));
    save(main, QStringLiteral("13-main-with-windows"));
    test::saveDataWindowPictures(
        main, 14, [](QWidget& window, const QString& name) { return save(window, name); });

    std::cout << saved << " pictures\n";
    return 0;
}
