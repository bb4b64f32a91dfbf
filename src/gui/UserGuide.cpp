#include "gui/UserGuide.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>

#include "common/Platform.h"
#include "common/ProgramFiles.h"
#include "gui/UserMessages.h"

namespace qm::gui {

void openUserGuide(QWidget* parent) {
    const auto found = findUserGuide();
    if (found.empty()) {
        inform(parent, QStringLiteral("找不到用户手册（用户手册.html）：它随本程序安装在 "
                                      "share/doc/quillmere 文件夹中，请重新安装本程序。"));
        return;
    }
    const QString path = QString::fromStdString(platform::pathToUtf8(found));
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
        inform(parent, QStringLiteral("用户手册在：\n%1\n\n本机没有可以打开它的浏览器。")
                           .arg(QDir::toNativeSeparators(path)));
    }
}

}  // namespace qm::gui
