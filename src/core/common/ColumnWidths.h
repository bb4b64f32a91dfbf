#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace qm {

// How wide a column of a table is made from its texts, in whatever unit they are measured
// (characters on a terminal or in a spreadsheet, pixels on a page or a screen): the widest text
// plus the room beside it, and never narrower than the column's least width.
template <typename Unit>
Unit columnWidth(Unit widest, Unit room, Unit least) {
    return std::max(widest + room, least);
}

// The widths of a table's columns, gathered text by text.
template <typename Unit>
class ColumnWidths {
  public:
    explicit ColumnWidths(Unit room = Unit{}, Unit least = Unit{}) : room_(room), least_(least) {}

    // The table has at least this many columns; one that holds no text is its least width wide.
    void addColumns(std::size_t count) { widest_.resize(std::max(widest_.size(), count), Unit{}); }
    // The column holds a text this wide.
    void fit(std::size_t column, Unit textWidth) {
        addColumns(column + 1);
        widest_[column] = std::max(widest_[column], textWidth);
    }

    std::size_t count() const { return widest_.size(); }
    Unit width(std::size_t column) const { return columnWidth(widest_[column], room_, least_); }
    std::vector<Unit> widths() const {
        std::vector<Unit> widths;
        for (std::size_t c = 0; c < widest_.size(); ++c) {
            widths.push_back(width(c));
        }
        return widths;
    }

  private:
    Unit room_;
    Unit least_;
    std::vector<Unit> widest_;
};

}  // namespace qm
