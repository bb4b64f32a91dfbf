#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qm::reports {

// One cell of a statistics grid: the text it shows and, for figures and counts, the number that
// text shows (78.35 for "   78.35"), so that exports can write a number and not text.
struct StatCell {
    std::string text;
    std::optional<double> number;
    bool twoDecimals = false;  // an average or deviation, written with two decimals
    bool red = false;          // a deviation of more than 1 either way, as shown

    bool operator==(const StatCell&) const = default;
};

// One grid of the class statistics: row 0 holds the titles, column 0 stays empty (the grid's
// narrow fixed column) and column 1 names the class of each row. All rows have the same width.
class StatGrid {
  public:
    StatGrid(std::string name, std::size_t columnCount);

    // The page the grid is shown on, and the title of its block in the statistics workbook.
    const std::string& name() const { return name_; }
    std::size_t columnCount() const { return columnCount_; }
    std::size_t rowCount() const { return rows_.size(); }

    // Appends an empty row and returns its index.
    std::size_t addRow();
    StatCell& cell(std::size_t row, std::size_t column) { return rows_.at(row).at(column); }
    const StatCell& cell(std::size_t row, std::size_t column) const {
        return rows_.at(row).at(column);
    }
    const std::string& text(std::size_t row, std::size_t column) const {
        return cell(row, column).text;
    }

  private:
    std::string name_;
    std::size_t columnCount_;
    std::vector<std::vector<StatCell>> rows_;
};

}  // namespace qm::reports
