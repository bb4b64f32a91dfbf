#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qm::reports {

// Rows of text cells, the first usually the titles.
using TextRows = std::vector<std::vector<std::string>>;

// Columns a UTF-8 text takes on a terminal or in a spreadsheet: Chinese and other wide characters
// count two, others one.
std::size_t displayWidth(std::string_view text);

// The rows as columns lined up with blanks, two blanks apart; a cell that reads as a number is
// right-aligned, other cells left-aligned. Blanks around a cell are dropped first. Each row
// ends with a newline.
std::string alignedText(const TextRows& rows);

// The rows as comma-separated values: a cell with a comma, quote or line break is quoted, inner
// quotes doubled. Blanks around a cell are dropped.
std::string csvText(const TextRows& rows);

}  // namespace qm::reports
