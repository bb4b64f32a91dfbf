#pragma once

#include <map>
#include <string>
#include <vector>

namespace qm::test {

// What a written .xlsx file says about how its first sheet's cells look, read from the
// package's XML: for tests of the formats an export sets, which the cell reader does not show.
class XlsxCellStyles {
  public:
    explicit XlsxCellStyles(const std::string& path);

    // For a cell such as "F3": whether its font is red, and its number format ("General" when
    // it has none of its own).
    bool isRed(const std::string& cell) const;
    std::string numberFormat(const std::string& cell) const;
    // Rows and columns kept in view by frozen panes.
    int frozenRows() const { return frozenRows_; }
    int frozenColumns() const { return frozenColumns_; }

  private:
    struct Style {
        int font = 0;
        int numberFormat = 0;
    };
    const Style& styleOf(const std::string& cell) const;

    std::map<std::string, int> cellStyle_;
    std::vector<Style> styles_;
    std::vector<bool> redFonts_;
    std::map<int, std::string> formatCodes_;
    int frozenRows_ = 0;
    int frozenColumns_ = 0;
};

}  // namespace qm::test
