#include "common/NumberText.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace qm {

namespace {

// From this magnitude on, two decimals would show more than the 15 significant digits a double
// holds (a score of 1e60 would fill 63 digits).
constexpr double kLargestWithTwoDecimals = 1e13;

// A number that rounds to zero at the decimals shown is written as zero: -0.001 with two decimals
// gives 0.00, never -0.00, which reads as a figure below zero. The minus sign becomes `sign`:
// a blank where the width is fixed, "+" where a sign is asked for, nothing otherwise.
std::string withoutNegativeZero(std::string text, std::string_view sign) {
    const auto minus = text.find('-');
    const bool zero = text.find('0') != std::string::npos &&
                      text.find_first_of("123456789") == std::string::npos;
    if (minus != std::string::npos && zero) {
        text.replace(minus, 1, sign);
    }
    return text;
}

}  // namespace

std::string numberText(double value) {
    if (value == 0.0) {
        return "0";  // also for -0.0
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return buffer;
}

std::string fixed82(double value) {
    char buffer[64];
    if (std::fabs(value) >= kLargestWithTwoDecimals) {
        std::snprintf(buffer, sizeof buffer, "%8s", numberText(value).c_str());
        return buffer;
    }
    std::snprintf(buffer, sizeof buffer, "%8.2f", value);
    return withoutNegativeZero(buffer, " ");
}

std::string decimalText(double value, int places, bool withSign) {
    const char* format = withSign ? "%+.*f" : "%.*f";
    std::string text(static_cast<std::size_t>(std::snprintf(nullptr, 0, format, places, value)),
                     '\0');
    std::snprintf(text.data(), text.size() + 1, format, places, value);
    return withoutNegativeZero(std::move(text), withSign ? "+" : "");
}

std::string trimmed(std::string_view text) {
    auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && isBlank(text[end - 1])) {
        --end;
    }
    return std::string(text.substr(begin, end - begin));
}

std::optional<double> parseNumber(std::string_view text) {
    const std::string body = trimmed(text);
    if (body.empty()) {
        return std::nullopt;
    }
    // Only plain decimal notation: digits, one point, an optional sign and exponent. strtod alone
    // would also take "inf", "nan" and hexadecimal numbers.
    for (char c : body) {
        const bool allowed =
            (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E';
        if (!allowed) {
            return std::nullopt;
        }
    }
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(body.c_str(), &end);
    if (end != body.c_str() + body.size() || errno == ERANGE || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> parseWholeNumber(std::string_view text) {
    const std::string body = trimmed(text);
    if (body.empty()) {
        return std::nullopt;
    }
    std::size_t i = (body[0] == '-' || body[0] == '+') ? 1 : 0;
    if (i == body.size()) {
        return std::nullopt;
    }
    for (std::size_t k = i; k < body.size(); ++k) {
        if (body[k] < '0' || body[k] > '9') {
            return std::nullopt;
        }
    }
    errno = 0;
    const long long value = std::strtoll(body.c_str(), nullptr, 10);
    if (errno == ERANGE || value < std::numeric_limits<int>::min() ||
        value > std::numeric_limits<int>::max()) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

double roundHalfEven(double value) {
    const double nearest = std::round(value);  // halves away from zero
    if (std::fabs(value - std::trunc(value)) == 0.5) {
        return 2.0 * std::round(value / 2.0);  // the even one of the two neighbours
    }
    return nearest;
}

}  // namespace qm
