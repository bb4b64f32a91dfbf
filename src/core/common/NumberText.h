#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qm {

// Shortest general decimal form with up to 15 significant digits, no trailing zeros and a point
// as separator: 85 gives "85", 85.5 gives "85.5", 263.5 gives "263.5".
std::string numberText(double value);

// A number written with printf's "%8.2f": eight characters wide, two decimals; one that rounds to
// zero is written without a minus ("    0.00", never "   -0.00"). A number too large
// for two decimals to mean anything (from 1e13 up) is written in numberText's form instead,
// right-aligned in eight characters.
std::string fixed82(double value);

// A number with a fixed count of decimals, as printf's "%.*f" writes it ("%+.*f" with a sign);
// one that rounds to zero is written without a minus (0.00, or +0.00 with a sign).
std::string decimalText(double value, int places, bool withSign = false);

// Reads a whole text as a number; blanks around it are allowed. Empty text or anything else
// that is not a plain decimal number gives nothing.
std::optional<double> parseNumber(std::string_view text);

// Reads a whole text as a 32-bit whole number; blanks around it are allowed.
std::optional<int> parseWholeNumber(std::string_view text);

// Rounds to the nearest whole number, halves to the even neighbour (2.5 gives 2, 3.5 gives 4).
double roundHalfEven(double value);

// Removes leading and trailing blanks and control characters.
std::string trimmed(std::string_view text);

}  // namespace qm
