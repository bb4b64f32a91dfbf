#include "gui/DatabaseLockFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

namespace qm::gui {

namespace {

// The lock file's name follows the file, not the spelling of its path: two programs started on
// the same file through a link find the same lock.
QString lockPathOf(const std::string& databasePath) {
    const QFileInfo database(QFile::decodeName(databasePath.c_str()));
    const QString canonical = database.canonicalFilePath();
    return (canonical.isEmpty() ? database.absoluteFilePath() : canonical) +
           QStringLiteral(".lock");
}

}  // namespace

DatabaseLockFile::DatabaseLockFile(const std::string& databasePath)
    : lock_(std::make_unique<QLockFile>(lockPathOf(databasePath))) {
    lock_->setStaleLockTime(0);
    // Without a lock file (none can be made there) nothing else is stopped either.
    if (lock_->tryLock(0) || lock_->error() != QLockFile::LockFailedError) {
        return;
    }
    qint64 pid = 0;
    QString host;
    QString program;
    lock_->getLockInfo(&pid, &host, &program);
    refusal_ = QStringLiteral(
                   "数据库文件 %1 正被另一个分班程序使用（进程号 %2）。\n"
                   "同一个数据库文件同时只能由一个分班程序打开，"
                   "请先关闭另一个分班程序，再打开本程序。本程序现在退出。")
                   .arg(QDir::toNativeSeparators(QFile::decodeName(databasePath.c_str())))
                   .arg(pid);
}

DatabaseLockFile::~DatabaseLockFile() = default;

}  // namespace qm::gui
