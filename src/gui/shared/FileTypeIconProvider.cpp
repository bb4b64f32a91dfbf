#include "gui/shared/FileTypeIconProvider.h"

#include <QApplication>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QStyle>

namespace qm::gui {

namespace {

bool isSpreadsheetName(const QFileInfo& info) {
    const QString suffix = info.suffix().toLower();
    return suffix == QLatin1String("xls") || suffix == QLatin1String("xlsx") ||
           suffix == QLatin1String("csv");
}

}  // namespace

FileTypeIconProvider::FileTypeIconProvider() {
    // QFileSystemModel would otherwise look for custom folder icons inside every folder shown.
    setOptions(DontUseCustomDirectoryIcons);
    const QStyle* style = QApplication::style();
    folderIcon_ = style->standardIcon(QStyle::SP_DirIcon);
    fileIcon_ = style->standardIcon(QStyle::SP_FileIcon);
    driveIcon_ = style->standardIcon(QStyle::SP_DriveHDIcon);
    sheetIcon_ = QIcon::fromTheme(QStringLiteral("x-office-spreadsheet"), fileIcon_);
}

QIcon FileTypeIconProvider::icon(IconType type) const {
    switch (type) {
        case Folder:
            return folderIcon_;
        case Drive:
        case Computer:
        case Network:
            return driveIcon_;
        case Desktop:
        case Trashcan:
        case File:
            return fileIcon_;
    }
    return fileIcon_;
}

QIcon FileTypeIconProvider::icon(const QFileInfo& info) const {
    if (info.isRoot()) {
        return driveIcon_;
    }
    if (info.isDir()) {
        return folderIcon_;
    }
    return isSpreadsheetName(info) ? sheetIcon_ : fileIcon_;
}

QString FileTypeIconProvider::type(const QFileInfo& info) const {
    if (info.isDir()) {
        return QStringLiteral("文件夹");
    }
    // By the name only: QMimeDatabase opens the file to look at its content otherwise.
    const QMimeType mime = QMimeDatabase().mimeTypeForFile(info, QMimeDatabase::MatchExtension);
    if (mime.isDefault()) {
        const QString suffix = info.suffix();
        return suffix.isEmpty() ? QStringLiteral("文件")
                                : QStringLiteral("%1 文件").arg(suffix.toUpper());
    }
    return mime.comment();
}

}  // namespace qm::gui
