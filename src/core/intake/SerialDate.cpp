#include "SerialDate.h"

#include <chrono>
#include <cmath>
#include <cstdio>

#include "common/NumberText.h"

namespace qm::intake {

std::string serialDateText(double serial, bool epoch1904) {
    using namespace std::chrono;
    // Spreadsheet programs show dates from the epoch up to 9999-12-31 only; a value outside that
    // range (or not a number at all) is given as the number it is.
    const double afterLastDay = epoch1904 ? 2957004.0 : 2958466.0;
    if (!(serial >= 0.0 && serial < afterLastDay)) {
        return numberText(serial);
    }
    const double totalSeconds = std::round(serial * 86400.0);
    auto days = static_cast<long>(std::floor(totalSeconds / 86400.0));
    const auto seconds = static_cast<long>(totalSeconds - static_cast<double>(days) * 86400.0);

    sys_days epoch = sys_days(year{1899} / December / 31);
    if (epoch1904) {
        epoch = sys_days(year{1904} / January / 1);
    } else if (days >= 60) {
        days -= 1;  // skip the 1900-02-29 that the 1900 system counts but that never was
    }
    const year_month_day date(epoch + std::chrono::days(days));

    char dateText[32];
    std::snprintf(dateText, sizeof dateText, "%04d-%02u-%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    char timeText[48];
    std::snprintf(timeText, sizeof timeText, "%02ld:%02ld:%02ld", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    if (serial < 1.0 && serial >= 0.0) {
        return timeText;
    }
    if (seconds == 0) {
        return dateText;
    }
    return std::string(dateText) + " " + timeText;
}

}  // namespace qm::intake
