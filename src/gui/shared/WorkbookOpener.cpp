#include "gui/shared/WorkbookOpener.h"

#include <QDesktopServices>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace qm::gui {

namespace {

// A desktop without a program for the file's kind would show an error of its own, or nothing;
// asking it first lets the caller say where the file is instead.
bool openWithDesktop(const QString& path) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    const QString query = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (query.isEmpty()) {
        return false;
    }
    const QString type = QMimeDatabase().mimeTypeForFile(path).name();
    QProcess process;
    process.start(query, {QStringLiteral("query"), QStringLiteral("default"), type});
    if (!process.waitForFinished(3000) || process.exitCode() != 0 ||
        process.readAllStandardOutput().trimmed().isEmpty()) {
        return false;
    }
#endif
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

WorkbookOpener& opener() {
    static WorkbookOpener instance = openWithDesktop;
    return instance;
}

}  // namespace

bool openDocument(const QString& path) {
    return opener()(path);
}

bool openWorkbook(const QString& path) {
    return openDocument(path);
}

void setWorkbookOpener(WorkbookOpener newOpener) {
    opener() = newOpener ? std::move(newOpener) : WorkbookOpener(openWithDesktop);
}

}  // namespace qm::gui
