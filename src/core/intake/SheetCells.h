#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "NumberFormat.h"
#include "SheetCell.h"

namespace qm::intake {

// The cells of one worksheet as a reader found them, kept small: a number with the shape of its
// format, a boolean, or a text that is either one of the workbook's shared strings (referred to,
// never copied) or a text of the cell's own. A cell's text is made when the cell is asked for.
// Cells are added in any order; a cell added twice keeps the later value. Adding beyond the
// limits of ReadLimits throws the "文件太大" refusal naming `path`. Columns go up to 16,384, as
// far as spreadsheet programs go; a cell beyond is left out.
class SheetCells {
  public:
    static constexpr int kMaxColumn = 16384;

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
    // 16 bytes a cell: a number, or the index of a shared or own text.
    struct Entry {
        union {
            double number;
            std::uint32_t text;
        };
        int row;
        std::uint16_t column;  // 1 to 16,384 in .xlsx, 1 to 256 in .xls
        Kind kind;
        NumberShape shape;
    };

    static Entry numberEntry(int row, int column, double value, Kind kind, NumberShape shape);
    static Entry textEntry(int row, int column, std::uint32_t text, Kind kind);
    void add(const Entry& entry);
    void checkCellText(const std::string& text, int row, int column) const;
    const std::string& textOf(const Entry& entry) const;
    // The index of the cell, or the number of cells when there is none.
    std::size_t find(int row, int column) const;

    std::string path_;
    const std::vector<std::string>* sharedStrings_;
    bool epoch1904_;
    // A deque grows without copying and without spare room: a sheet of 50,000 students takes
    // what its cells need, no more.
    std::deque<Entry> entries_;
    std::deque<std::string> ownTexts_;
    std::size_t ownTextBytes_ = 0;
    int rowsSeen_ = 0;  // changes of row while adding: the rows, when added in order
    bool ordered_ = true;
    mutable std::size_t hint_ = 0;  // where the last cell asked for was looked up
};

}  // namespace qm::intake
