#include "gui/UserGuide.h"

#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "common/Platform.h"
#include "common/ProgramFiles.h"
#include "gui/shared/UserMessages.h"
#include "gui/shared/WorkbookOpener.h"
#include "gui/widgets/ScreenFit.h"

namespace qm::gui {

namespace {

// The guide inside the program, for a desktop without a browser: a window of its own that the
// teacher can keep open beside the work, its pictures beside the text.
void showGuideInside(QWidget* parent, const QString& path) {
    auto* window = new QDialog(parent);
    window->setObjectName(QStringLiteral("UserGuideWindow"));
    window->setWindowTitle(QStringLiteral("用户手册"));
    window->setAttribute(Qt::WA_DeleteOnClose);
    auto* where = new QLabel(
        QStringLiteral("本机没有可以打开用户手册的浏览器，用户手册在这里显示。文件在：%1")
            .arg(QDir::toNativeSeparators(path)),
        window);
    where->setWordWrap(true);
    where->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* browser = new QTextBrowser(window);
    browser->setObjectName(QStringLiteral("guideBrowser"));
    browser->setOpenExternalLinks(true);
    browser->setSource(QUrl::fromLocalFile(path));
    auto* layout = new QVBoxLayout(window);
    layout->addWidget(where);
    layout->addWidget(browser, 1);
    fitOnScreen(*window, {900, 700});
    window->show();
}

}  // namespace

void openUserGuide(QWidget* parent) {
    const auto found = findUserGuide();
    if (found.empty()) {
        inform(parent, QStringLiteral("找不到用户手册（用户手册.html）：它随本程序安装在 "
                                      "share/doc/quillmere 文件夹中，请重新安装本程序。"));
        return;
    }
    const QString path = QString::fromStdString(platform::pathToUtf8(found));
    if (!openDocument(path)) {
        showGuideInside(parent, path);
    }
}

}  // namespace qm::gui
