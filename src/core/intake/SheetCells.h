#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "NumberFormat.h"
#include "SheetCell.h"

namespace qm::intake {

// The cells of one worksheet as a reader found them, kept small: a number with the shape of its
// format, a boolean, or a text that is either one of the workbook's shared strings (referred to,
// never copied) or a text of the cell's own. A cell's text is made when the cell is asked for.
// Cells are added in any order; a cell added twice keeps the later value. Adding beyond the
// limits of ReadLimits throws the "文件太大" refusal naming `path`.
class SheetCells {
  public:
    SheetCells(std::string path, const std::vector<std::string>* sharedStrings, bool epoch1904);

    void addNumber(int row, int column, double value, NumberShape shape);
    void addBoolean(int row, int column, bool value);
    // `index` must be below the number of shared strings.
    void addSharedText(int row, int column, std::uint32_t index);
    void addText(int row, int column, std::string text);
    // Orders the cells for finding them; call once after the last cell is added.
    void finish();

    SheetCell cell(int row, int column) const;
    // The last column of the row holding a cell with non-empty text; 0 when there is none.
    int lastUsedColumn(int row) const;
    // The last row holding a cell; 0 when there is none.
    int lastRow() const;

  private:
    enum class Kind : unsigned char { Number, Boolean, SharedText, OwnText };
    struct Entry {
        double number = 0.0;
        int row = 0;
        int column = 0;
        std::uint32_t text = 0;  // index of the shared or own text
        Kind kind = Kind::Number;
        NumberShape shape = NumberShape::Plain;
    };

    void add(const Entry& entry);
    void checkCellText(const std::string& text, int row, int column) const;
    const std::string& textOf(const Entry& entry) const;

    std::string path_;
    const std::vector<std::string>* sharedStrings_;
    bool epoch1904_;
    std::vector<Entry> entries_;
    std::vector<std::string> ownTexts_;
    std::size_t ownTextBytes_ = 0;
    int rowsSeen_ = 0;  // changes of row while adding: the rows, when added in order
    bool ordered_ = true;
};

}  // namespace qm::intake
