#pragma once

#include <QString>
#include <string>

class QWidget;

namespace qm::gui {

// Every file dialog of the program is made here, so that none of them ever opens the database
// file or its -wal, -shm and -journal companions: Qt's own dialog, and the desktop's native one,
// read files of the folder they show to guess their type, and SQLite loses its locks on a file
// as soon as anything else in the process closes a descriptor of it. The dialogs are Qt's, in
// Chinese, with icons and types judged by the file name only. A database file the user picks is
// refused with a message, as if the dialog had been cancelled.

// Asks for an existing file to read; empty when cancelled. start is a folder or a file.
QString chooseFileToOpen(QWidget* parent, const QString& caption, const QString& start,
                         const QString& filter);
// Asks where to write a file, asking before an existing file is replaced; empty when cancelled.
QString chooseFileToSave(QWidget* parent, const QString& caption, const QString& start,
                         const QString& filter);

// Names a database file of this program, which no dialog hands out.
void protectDatabaseFile(const std::string& path);
// True for a protected database file or one of its companions, under whatever name.
bool isDatabaseFile(const QString& path);
// The message that refuses such a file.
QString databaseFileRefusal(const QString& path);

}  // namespace qm::gui
