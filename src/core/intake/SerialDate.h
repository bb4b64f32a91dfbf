#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "NumberFormat.h"

namespace qm::intake {

// The text of a spreadsheet date serial (days since the workbook's epoch, the fraction being the
// time of day): YYYY-MM-DD for a whole day, HH:MM:SS for a time alone (serial below 1), and
// YYYY-MM-DD HH:MM:SS otherwise. In the 1900 system serial 1 is 1900-01-01 and serial 60 the
// non-existent 1900-02-29 that spreadsheets count, shown as 1900-02-28; in the 1904 system serial
// 0 is 1904-01-01. A serial below 0 or after 9999-12-31 gives its number text (-1, 3000000), as
// no date can show it.
std::string serialDateText(double serial, bool epoch1904);

// The text of an elapsed time in days, as a format such as [h]:mm:ss shows it: the hours counted
// on past 24, to the nearest second, the sign in front: 1.5 gives 36:00:00, -1.2 gives -28:48:00.
std::string elapsedTimeText(double days);

// The text of a number cell as its number format shows it.
std::string numberCellText(double value, NumberShape shape, bool epoch1904);

// The serial of a date, time or duration written in ISO 8601, as .xlsx cells of type "d" hold
// them: 2021-12-31, 2021-12-31T23:44:51.894 (a zone at the end is ignored), 23:44:51, or a
// duration such as PT24H0M0.000S or P1DT2H. Nothing for other text.
std::optional<double> isoDateSerial(std::string_view text, bool epoch1904);

}  // namespace qm::intake
