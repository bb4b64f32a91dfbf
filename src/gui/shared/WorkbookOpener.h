#pragma once

#include <QString>
#include <functional>

namespace qm::gui {

// Opens a file with the desktop's program for its kind (a browser for the user guide); false when
// the desktop knows no program for files of its kind, so that the caller can show the file
// otherwise or tell the user where it is.
bool openDocument(const QString& path);

// Opens a written file (a workbook, a PDF) with the desktop's program for its kind, as
// openDocument does.
bool openWorkbook(const QString& path);

// Replaces how documents and workbooks are opened (tests open nothing); an empty function
// restores the desktop.
using WorkbookOpener = std::function<bool(const QString& path)>;
void setWorkbookOpener(WorkbookOpener opener);

}  // namespace qm::gui
