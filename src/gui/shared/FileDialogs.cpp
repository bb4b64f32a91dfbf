#include "gui/shared/FileDialogs.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <mutex>
#include <set>

#include "gui/shared/FileTypeIconProvider.h"
#include "gui/shared/UserMessages.h"
#include "store/WriteTargets.h"

namespace qm::gui {

namespace {

std::mutex& protectedMutex() {
    static std::mutex mutex;
    return mutex;
}

std::set<std::string>& protectedFiles() {
    static std::set<std::string> files;
    return files;
}

QString runFileDialog(QWidget* parent, const QString& caption, const QString& start,
                      const QString& filter, QFileDialog::AcceptMode mode) {
    // Made before the dialog, so it outlives the dialog's file model.
    FileTypeIconProvider icons;
    QFileDialog dialog(parent, caption, QString(), filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontUseCustomDirectoryIcons);
    dialog.setIconProvider(&icons);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    const QFileInfo startInfo(start);
    if (!start.isEmpty() && startInfo.isDir()) {
        dialog.setDirectory(startInfo.absoluteFilePath());
    } else if (!start.isEmpty()) {
        dialog.setDirectory(startInfo.absolutePath());
        dialog.selectFile(startInfo.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    const QString chosen = dialog.selectedFiles().first();
    if (isDatabaseFile(chosen)) {
        showError(parent, databaseFileRefusal(chosen));
        return {};
    }
    return chosen;
}

}  // namespace

QString chooseFileToOpen(QWidget* parent, const QString& caption, const QString& start,
                         const QString& filter) {
    return runFileDialog(parent, caption, start, filter, QFileDialog::AcceptOpen);
}

QString chooseFileToSave(QWidget* parent, const QString& caption, const QString& start,
                         const QString& filter) {
    return runFileDialog(parent, caption, start, filter, QFileDialog::AcceptSave);
}

QString databaseFileRefusal(const QString& path) {
    return QStringLiteral("“%1”是分班程序自己的数据库文件，不能在这里打开或覆盖。请选择别的文件。")
        .arg(QDir::toNativeSeparators(path));
}

void protectDatabaseFile(const std::string& path) {
    if (path.empty()) {
        return;
    }
    std::lock_guard lock(protectedMutex());
    protectedFiles().insert(path);
}

bool isDatabaseFile(const QString& path) {
    const std::string chosen = QFile::encodeName(path).toStdString();
    std::lock_guard lock(protectedMutex());
    for (const std::string& database : protectedFiles()) {
        if (store::databasePartAt(database, chosen)) {
            return true;
        }
    }
    return false;
}

}  // namespace qm::gui
