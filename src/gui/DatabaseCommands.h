#pragma once

class QWidget;

namespace qm::gui {

class Workspace;

// The commands of the menu 文件 that keep the whole database safe. Both ask for a file through
// the program's file dialogs, which never hand out the database file itself.

// "备份数据库…": writes a copy of the whole database into a file the user picks, while the
// program may go on working (a division under way is not in the copy). True when written.
bool backupDatabaseFile(QWidget* parent, Workspace& workspace);

// "恢复数据库…": after a question, replaces all data with those of a back-up file, which is first
// checked to be a Quillmere database. The work windows close first (a division under way
// refuses); afterwards the current project is opened again when the back-up holds it (same
// number and description), otherwise no project is current. The data replaced are kept in a file
// beside the database, which the closing message names. True when restored.
bool restoreDatabaseFile(QWidget* parent, Workspace& workspace);

}  // namespace qm::gui
