#pragma once

#include <string>

namespace qm::intake {

// The text of a spreadsheet date serial (days since the workbook's epoch, the fraction being the
// time of day): YYYY-MM-DD for a whole day, HH:MM:SS for a time alone (serial below 1), and
// YYYY-MM-DD HH:MM:SS otherwise, the forms the .xls reader gives too. In the 1900 system serial 1
// is 1900-01-01 and serial 60 the non-existent 1900-02-29 that spreadsheets count, shown as
// 1900-02-28; in the 1904 system serial 0 is 1904-01-01. A serial below 0 or after 9999-12-31
// gives its number text (-1, 3000000), as no date can show it.
std::string serialDateText(double serial, bool epoch1904);

}  // namespace qm::intake
