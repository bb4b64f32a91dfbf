#include "gui/DatabaseCommands.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <memory>

#include "db/Connection.h"
#include "gui/AppSetup.h"
#include "gui/Workspace.h"
#include "gui/shared/BusyWork.h"
#include "gui/shared/FileDialogs.h"
#include "gui/shared/UserMessages.h"
#include "store/DatabaseBackup.h"
#include "store/ProjectStore.h"

namespace qm::gui {

namespace {

const QString kBackupFilter = QStringLiteral("分班数据库备份 (*.db);;所有文件 (*)");

// Where the last back-up went, remembered across sessions.
const QString kLastBackupKey = QStringLiteral("backup/lastFile");

QString documentsFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !folder.isEmpty() && QDir(folder).exists() ? folder : QDir::homePath();
}

// Where 恢复数据库 looks first: at the last back-up, else in its folder, else in the documents.
QString restoreStart() {
    const QFileInfo last(programSettings().value(kLastBackupKey).toString());
    if (last.isFile()) {
        return last.absoluteFilePath();
    }
    return !last.filePath().isEmpty() && last.absoluteDir().exists() ? last.absolutePath()
                                                                     : documentsFolder();
}

// A back-up is made where the last one went, when that folder is still there.
QString backupFolder() {
    const QFileInfo last(programSettings().value(kLastBackupKey).toString());
    return !last.filePath().isEmpty() && last.absoluteDir().exists() ? last.absolutePath()
                                                                     : documentsFolder();
}

std::string fileName(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// After a restore: the project that was current comes back when the back-up holds it, the same
// number with the same description; another project of that number is not the teacher's.
QString followCurrentProject(Workspace& workspace, const store::CurrentProject& before) {
    if (!before.isOpen()) {
        return {};
    }
    const QString name = QString::fromStdString(before.memo);
    for (const store::Project& project : store::listProjects(workspace.connection())) {
        if (project.id == before.id() && project.memo == before.memo) {
            workspace.setCurrentProject(store::openProject(workspace.connection(), project.id));
            return QStringLiteral("分班项“%1”已重新打开。").arg(name);
        }
    }
    workspace.clearCurrentProject();
    return QStringLiteral("备份中没有原来的分班项“%1”，请用“2.打开”选择要操作的分班项。").arg(name);
}

}  // namespace

bool backupDatabaseFile(QWidget* parent, Workspace& workspace) {
    if (!workspace.isOpen()) {
        showError(parent, workspace.openError());
        return false;
    }
    const QString suggested =
        QDir(backupFolder())
            .filePath(QStringLiteral("分班数据备份-%1.db")
                          .arg(QDate::currentDate().toString(QStringLiteral("yyyyMMdd"))));
    QString path = chooseFileToSave(parent, QStringLiteral("备份数据库"), suggested, kBackupFilter);
    if (path.isEmpty()) {
        return false;
    }
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QStringLiteral(".db");
        // The dialog asked about the name without the ending only.
        if (QFileInfo::exists(path) &&
            !confirm(parent,
                     QStringLiteral("文件“%1”已经存在，要用新的备份替换它吗？").arg(shown(path)))) {
            return false;
        }
    }
    if (isDatabaseFile(path)) {
        showError(parent, databaseFileRefusal(path));
        return false;
    }
    const QString error =
        runWithBusyNote(parent, QStringLiteral("正在备份数据库……"), workspace.databasePath(),
                        [target = fileName(path)](db::Connection& connection, BackgroundJob&) {
                            // The dialog, or the question above, asked before a file is replaced.
                            store::backupDatabase(connection, target, true);
                        });
    if (!error.isEmpty()) {
        showError(parent, QStringLiteral("备份失败：%1").arg(error));
        return false;
    }
    programSettings().setValue(kLastBackupKey, QFileInfo(path).absoluteFilePath());
    inform(parent, QStringLiteral("数据库已备份到：\n%1\n\n需要时可以用“文件 → 恢复数据库…”恢复。")
                       .arg(shown(path)));
    return true;
}

bool restoreDatabaseFile(QWidget* parent, Workspace& workspace) {
    if (!workspace.isOpen()) {
        showError(parent, workspace.openError());
        return false;
    }
    const QString path =
        chooseFileToOpen(parent, QStringLiteral("恢复数据库"), restoreStart(), kBackupFilter);
    if (path.isEmpty() ||
        !confirm(parent,
                 QStringLiteral("要用备份文件\n%1\n中的数据替换现在的全部数据（所有分班项目、学生和"
                                "设置）吗？\n\n现在的数据会先另存一份在数据库文件旁边。")
                     .arg(shown(path)))) {
        return false;
    }
    // The windows show data that may be gone; a division under way refuses to close.
    if (!workspace.mayLeaveProject()) {
        return false;
    }
    const store::CurrentProject before = workspace.currentProject();
    auto keptCopy = std::make_shared<std::string>();
    const QString error = runWithBusyNote(
        parent, QStringLiteral("正在恢复数据库……"), workspace.databasePath(),
        [source = fileName(path), keptCopy](db::Connection& connection, BackgroundJob&) {
            *keptCopy = store::restoreDatabase(connection, source);
        });
    if (!error.isEmpty()) {
        showError(parent, QStringLiteral("恢复失败，现在的数据没有改变：\n%1").arg(error));
        return false;
    }
    QString message = QStringLiteral("数据库已用备份文件恢复：\n%1").arg(shown(path));
    if (!keptCopy->empty()) {
        message += QStringLiteral("\n\n恢复前的数据另存在：\n%1")
                       .arg(shown(QFile::decodeName(keptCopy->c_str())));
    }
    QString project;
    runGuarded(parent, [&] { project = followCurrentProject(workspace, before); });
    if (!project.isEmpty()) {
        message += QStringLiteral("\n\n") + project;
    }
    inform(parent, message);
    return true;
}

}  // namespace qm::gui
