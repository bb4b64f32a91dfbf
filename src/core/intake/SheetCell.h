#pragma once

#include <string>

namespace qm::intake {

enum class CellKind { Empty, Number, Text, Boolean };

// One cell of a worksheet as the readers see it. `text` is what the import takes from the cell:
// a number as its shortest decimal text (85, 92.5), a boolean as TRUE or FALSE, a date or time as
// YYYY-MM-DD, HH:MM:SS or both (kind Text), an error value such as #N/A as written (kind Text),
// and empty text for an empty or missing cell. `number` holds the value of a Number cell and 1 or
// 0 for a Boolean cell.
struct SheetCell {
    CellKind kind = CellKind::Empty;
    std::string text;
    double number = 0.0;
};

}  // namespace qm::intake
