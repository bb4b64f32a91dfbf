#pragma once

#include <QString>
#include <functional>

namespace qm::gui {

// Opens a written file (a workbook, a PDF) with the desktop's program for its kind; false when the
// desktop knows no such program, so that the caller can tell the user where the file is.
bool openWorkbook(const QString& path);

// Replaces how workbooks are opened (tests open nothing); an empty function restores the desktop.
using WorkbookOpener = std::function<bool(const QString& path)>;
void setWorkbookOpener(WorkbookOpener opener);

}  // namespace qm::gui
