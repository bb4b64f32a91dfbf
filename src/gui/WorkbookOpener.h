#pragma once

#include <QString>
#include <functional>

namespace qm::gui {

// Opens a workbook file with the desktop's spreadsheet program; false when the desktop knows no
// program for files of its kind, so that the caller can tell the user where the file is.
bool openWorkbook(const QString& path);

// Replaces how workbooks are opened (tests open nothing); an empty function restores the desktop.
using WorkbookOpener = std::function<bool(const QString& path)>;
void setWorkbookOpener(WorkbookOpener opener);

}  // namespace qm::gui
