#pragma once

#include <QAbstractFileIconProvider>
#include <QIcon>

namespace qm::gui {

// Icons and type names for the entries of the file dialogs, judged by the name alone. Qt's own
// provider reads the first bytes of every file the dialog shows to guess its type; opening and
// closing the database file that way would drop every lock SQLite holds on it (POSIX locks belong
// to the process and go when any of its descriptors of the file is closed).
class FileTypeIconProvider : public QAbstractFileIconProvider {
  public:
    // Made on the window thread; the dialog's file model asks for icons from a thread of its own.
    FileTypeIconProvider();

    QIcon icon(IconType type) const override;
    QIcon icon(const QFileInfo& info) const override;
    QString type(const QFileInfo& info) const override;

  private:
    QIcon folderIcon_;
    QIcon fileIcon_;
    QIcon sheetIcon_;
    QIcon driveIcon_;
};

}  // namespace qm::gui
