#pragma once

#include <memory>
#include <string>

#include "Workbook.h"

namespace qm::intake {

// Opens a spreadsheet file for reading. Taken are .xls, .xlsx (and .xlsm, an .xlsx holding
// macros) and .csv files whose content is of the kind their name says: an .xls workbook (a
// compound document, or a bare BIFF5 to BIFF8 workbook stream), an .xlsx workbook (a zip
// archive), a CSV text. Throws UserError naming the file when it is missing, empty, of another
// kind (a .txt file, or a file whose content does not fit its name), damaged, too old, too big or
// protected by a password.
std::unique_ptr<Workbook> openWorkbookFile(const std::string& path);

// The same from the bytes of a file held in memory; `name` stands for the file name, in messages
// and for the kind its extension says.
std::unique_ptr<Workbook> openWorkbookBytes(std::string bytes, const std::string& name);

}  // namespace qm::intake
