// quillmere: the desktop program of Quillmere.
//   quillmere [--db PATH]
//   quillmere --version | --help
// Without --db the QUILLMERE_DB environment variable, and then the default places, name the
// database file.
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <iostream>
#include <memory>
#include <string_view>

#include "common/Version.h"
#include "gui/AppSetup.h"
#include "gui/DatabaseLockFile.h"
#include "gui/LoginWindow.h"
#include "gui/MainWindow.h"
#include "gui/Workspace.h"
#include "gui/shared/UserMessages.h"
#include "gui/widgets/ProgramIcon.h"
#include "store/DatabaseLocation.h"

namespace {

void printUsage(std::ostream& out) {
    out << "用法: quillmere [--db PATH]\n"
           "      quillmere --version | --help\n"
           "Quillmere 分班程序的桌面程序。\n"
           "  --db PATH   使用这个数据库文件; 否则环境变量 QUILLMERE_DB, 否则默认位置\n"
           "  --version   显示版本号\n"
           "  --help      显示这段说明\n"
           "命令行程序见 quillmere-cli --help。\n";
}

}  // namespace

int main(int argc, char** argv) {
    // Answered before any window system is needed, so they work without a display.
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--version") {
            std::cout << "quillmere " << qm::kVersion << "\n";
            return 0;
        }
        if (std::string_view(argv[i]) == "--help" || std::string_view(argv[i]) == "-h") {
            printUsage(std::cout);
            return 0;
        }
    }
    QApplication application(argc, argv);
    qm::gui::configureApplication(application);
    QApplication::setApplicationVersion(QString::fromUtf8(qm::kVersion));
    // The desktop finds the program's menu entry, and with it its name and icon, by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quillmere.Quillmere"));
    QApplication::setWindowIcon(qm::gui::programIcon());

    const auto option = qm::gui::databaseOption(QApplication::arguments());
    if (!option) {
        printUsage(std::cerr);
        return 2;
    }
    std::string path;
    QString locationError;
    try {
        path = qm::store::resolveDatabasePath(*option);
    } catch (const std::exception& error) {
        locationError = QString::fromUtf8(error.what());
    }

    // A second desktop program on a database in use says so and quits before it opens the file,
    // so a teacher never works on the same students in two windows at once.
    std::unique_ptr<qm::gui::DatabaseLockFile> databaseLock;
    if (!path.empty()) {
        databaseLock = std::make_unique<qm::gui::DatabaseLockFile>(path);
        if (!databaseLock->acquired()) {
            std::cerr << databaseLock->refusal().toStdString() << "\n";
            qm::gui::showError(nullptr, databaseLock->refusal(), QStringLiteral("数据库正在使用"));
            return 1;
        }
    }

    // The workspace opens the database before any window is shown; the program runs on without
    // it when that fails, and every command that needs the data says why. The start-up window
    // comes first and hands over to the main window.
    qm::gui::Workspace workspace(path);
    qm::gui::MainWindow mainWindow(workspace);
    qm::gui::LoginWindow login([&mainWindow] {
        if (mainWindow.isVisible()) {
            return;
        }
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            mainWindow.setGeometry(screen->availableGeometry());
        }
        mainWindow.showMaximized();
    });
    login.show();
    if (!workspace.isOpen()) {
        qm::gui::showError(nullptr,
                           locationError.isEmpty() ? workspace.openError() : locationError);
    }
    return application.exec();
}
