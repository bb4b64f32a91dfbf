#pragma once

#include <memory>
#include <string>

#include "Workbook.h"

namespace qm::intake {

// Opens a spreadsheet file with the reader its content calls for: a compound document as .xls,
// a zip archive as .xlsx, and a text file named .csv or .txt as CSV, whatever the file is named
// otherwise. Throws UserError naming the file when it is missing, empty, of another kind, damaged
// or protected by a password.
std::unique_ptr<Workbook> openWorkbookFile(const std::string& path);

}  // namespace qm::intake
