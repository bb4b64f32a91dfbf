#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace qm::intake {

// The import preview's content: one row per spreadsheet row read, each of 18 cells: the row
// number (1, 2, ...) and the 17 columns of the import layout as text, with "0" in empty score
// cells of a student. The last row is the trailing blank row, the first spreadsheet row whose
// 学号 was empty, its cells as read; it is never stored. Row k holds spreadsheet row k+1 (row 1 holds the titles).
struct PreviewGrid {
    using Row = std::array<std::string, 18>;
    std::vector<Row> rows;
    // Row 1 of the sheet, the titles of the 17 columns as the file has them.
    std::array<std::string, 17> titles;
    // What the reading left out: whether the row it stopped at (the first whose 学号 is empty)
    // holds anything in its other columns, and how many rows below that row hold anything in
    // the 17 columns. A cell of blanks holds nothing.
    bool stopRowFilled = false;
    int filledRowsBelow = 0;

    // Students read: every row but the trailing blank row.
    int studentCount() const { return rows.empty() ? 0 : static_cast<int>(rows.size()) - 1; }
    // The spreadsheet row the reading stopped at: the trailing blank row's, or 2 when there is
    // no row at all (A2 empty).
    int stopRow() const { return rows.empty() ? 2 : static_cast<int>(rows.size()) + 1; }
};

// Titles of the 17 columns of the import layout, column 1 to 17.
inline const std::array<std::string, 17> kImportTitles = {
    "学号", "登分号", "姓名", "性别", "数学",     "英语", "语文", "物理", "政治",
    "历史", "体育",   "地理", "生物", "毕业学校", "地址", "备注", "分类"};

// The student table's column each of the 17 columns of the import layout is stored in.
inline constexpr std::array<std::string_view, 17> kImportFields = {
    "student_id", "rec_id",      "student_name", "sex",    "math",  "english",
    "chinese",    "wuli",        "zhengzhi",     "lishi",  "tiyu",  "dili",
    "shengwu",    "oral_school", "addr",         "fbMemo", "pfType"};

}  // namespace qm::intake
