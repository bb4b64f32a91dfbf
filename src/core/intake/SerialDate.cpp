#include "SerialDate.h"

#include <chrono>
#include <cmath>
#include <cstdio>

#include "common/NumberText.h"

namespace qm::intake {

namespace {

// Days from the 1900 system's day 0 (1899-12-31) to 1904-01-01: the 1904 system's day 0.
constexpr double k1904Offset = 1462.0;

// Reads a whole number of at most `digits` digits (exactly `digits` when `exact`) at `at`.
std::optional<int> readDigits(std::string_view text, std::size_t& at, std::size_t digits,
                              bool exact) {
    int value = 0;
    std::size_t count = 0;
    while (at < text.size() && count < digits && text[at] >= '0' && text[at] <= '9') {
        value = value * 10 + (text[at] - '0');
        ++at;
        ++count;
    }
    if (count == 0 || (exact && count != digits)) {
        return std::nullopt;
    }
    return value;
}

// A number with an optional fraction, as the parts of a duration are written (0.000S).
std::optional<double> readDecimal(std::string_view text, std::size_t& at) {
    const std::size_t start = at;
    while (at < text.size() && ((text[at] >= '0' && text[at] <= '9') || text[at] == '.')) {
        ++at;
    }
    if (at == start) {
        return std::nullopt;
    }
    return parseNumber(text.substr(start, at - start));
}

// hh:mm[:ss[.fff]] as a fraction of a day.
std::optional<double> readTimeOfDay(std::string_view text, std::size_t& at) {
    const auto hours = readDigits(text, at, 2, true);
    if (!hours || at >= text.size() || text[at] != ':') {
        return std::nullopt;
    }
    ++at;
    const auto minutes = readDigits(text, at, 2, true);
    if (!minutes || *hours > 24 || *minutes > 59) {
        return std::nullopt;
    }
    double seconds = 0.0;
    if (at < text.size() && text[at] == ':') {
        ++at;
        const auto value = readDecimal(text, at);
        if (!value || *value >= 61.0) {
            return std::nullopt;
        }
        seconds = *value;
    }
    return (*hours * 3600.0 + *minutes * 60.0 + seconds) / 86400.0;
}

// PnDTnHnMnS, each part optional, as a number of days.
std::optional<double> readDuration(std::string_view text) {
    std::size_t at = 1;  // after the P
    bool inTime = false;
    bool anyPart = false;
    double seconds = 0.0;
    while (at < text.size()) {
        if (text[at] == 'T' && !inTime) {
            inTime = true;
            ++at;
            continue;
        }
        const auto value = readDecimal(text, at);
        if (!value || at >= text.size()) {
            return std::nullopt;
        }
        const char unit = text[at++];
        if (unit == 'D' && !inTime) {
            seconds += *value * 86400.0;
        } else if (unit == 'W' && !inTime) {
            seconds += *value * 7 * 86400.0;
        } else if (unit == 'H' && inTime) {
            seconds += *value * 3600.0;
        } else if (unit == 'M' && inTime) {
            seconds += *value * 60.0;
        } else if (unit == 'S' && inTime) {
            seconds += *value;
        } else {
            return std::nullopt;
        }
        anyPart = true;
    }
    if (!anyPart) {
        return std::nullopt;
    }
    return seconds / 86400.0;
}

// The 1900 system's serial of a calendar day: counting the 1900-02-29 that never was.
double serialOfDay(int year, int month, int day) {
    using namespace std::chrono;
    const year_month_day date{std::chrono::year{year},
                              std::chrono::month{static_cast<unsigned>(month)},
                              std::chrono::day{static_cast<unsigned>(day)}};
    const auto days = (sys_days(date) - sys_days(std::chrono::year{1899} / December / 31)).count();
    return static_cast<double>(days >= 60 ? days + 1 : days);
}

}  // namespace

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

std::string elapsedTimeText(double days) {
    // Beyond about 10^11 days the seconds no longer fit a whole number: the number itself.
    if (!(std::fabs(days) < 1e11)) {
        return numberText(days);
    }
    const auto totalSeconds = static_cast<long long>(std::llround(std::fabs(days) * 86400.0));
    char text[64];
    std::snprintf(text, sizeof text, "%s%02lld:%02lld:%02lld",
                  days < 0 && totalSeconds > 0 ? "-" : "", totalSeconds / 3600,
                  totalSeconds / 60 % 60, totalSeconds % 60);
    return text;
}

std::string numberCellText(double value, NumberShape shape, bool epoch1904) {
    switch (shape) {
        case NumberShape::Date:
            return serialDateText(value, epoch1904);
        case NumberShape::Elapsed:
            return elapsedTimeText(value);
        case NumberShape::Plain:
            break;
    }
    return numberText(value);
}

std::optional<double> isoDateSerial(std::string_view text, bool epoch1904) {
    if (text.starts_with('P')) {
        return readDuration(text);
    }
    std::size_t at = 0;
    if (text.size() >= 3 && text[2] == ':') {
        const auto time = readTimeOfDay(text, at);
        return time && at == text.size() ? time : std::nullopt;
    }
    const auto year = readDigits(text, at, 4, true);
    if (!year || at >= text.size() || text[at++] != '-') {
        return std::nullopt;
    }
    const auto month = readDigits(text, at, 2, true);
    if (!month || at >= text.size() || text[at++] != '-') {
        return std::nullopt;
    }
    const auto day = readDigits(text, at, 2, true);
    if (!day || *month < 1 || *month > 12 || *day < 1 || *day > 31) {
        return std::nullopt;
    }
    const std::chrono::year_month_day date{std::chrono::year{*year},
                                           std::chrono::month{static_cast<unsigned>(*month)},
                                           std::chrono::day{static_cast<unsigned>(*day)}};
    if (!date.ok()) {
        return std::nullopt;
    }
    double serial = serialOfDay(*year, *month, *day) - (epoch1904 ? k1904Offset : 0.0);
    if (at < text.size() && (text[at] == 'T' || text[at] == ' ')) {
        ++at;
        const auto time = readTimeOfDay(text, at);
        if (!time) {
            return std::nullopt;
        }
        serial += *time;
    }
    // A zone (Z, +08:00) is left out: spreadsheets hold local times.
    if (at < text.size() && text[at] != 'Z' && text[at] != '+' && text[at] != '-') {
        return std::nullopt;
    }
    return serial;
}

}  // namespace qm::intake
