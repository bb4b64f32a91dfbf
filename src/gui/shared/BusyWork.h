#pragma once

#include <QString>

#include "gui/shared/BackgroundJob.h"

class QWidget;

namespace qm::gui {

// Runs work on a thread of its own while a modal note with a busy bar stands over the windows,
// and returns when it has ended: the text of what it raised, or empty when it succeeded. For
// short work a command waits for (writing a workbook); the windows keep painting meanwhile.
QString runWithBusyNote(QWidget* parent, const QString& note, const std::string& databasePath,
                        BackgroundJob::Work work);

}  // namespace qm::gui
