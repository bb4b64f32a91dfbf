// The general .xlsx reading API (sheets, the active sheet, cells with their kind), used by the
// import and by tests that read exported workbooks back; and the texts of date serials.
#include <gtest/gtest.h>

#include "intake/SerialDate.h"
#include "intake/XlsxWorkbook.h"
#include "support/TempDatabase.h"

namespace qm::intake {
namespace {

TEST(XlsxReader, GivesCellsWithTheirKind) {
    const XlsxWorkbook book(test::testData("import/normal.xlsx"));
    ASSERT_EQ(book.sheetNames(), std::vector<std::string>{"学生"});
    EXPECT_EQ(book.activeSheet(), 0);

    struct Expected {
        int row, column;
        CellKind kind;
        std::string text;
        double number;
    };
    const std::vector<Expected> cases = {
        {1, 1, CellKind::Text, "学号", 0},       // shared string
        {2, 6, CellKind::Number, "92.5", 92.5},  // number
        {3, 1, CellKind::Text, "1002", 0},       // a number typed as text stays text
        {3, 2, CellKind::Empty, "", 0},          // empty cell
        {3, 11, CellKind::Text, "  ", 0},        // blanks are text
        {4, 1, CellKind::Number, "20240003", 20240003},
        {4, 2, CellKind::Number, "3", 3},             // formula: its stored result
        {4, 14, CellKind::Number, "1", 1},            // a boolean as the program stores it
        {4, 15, CellKind::Text, "2011-05-07", 0},     // date by its number format
        {5, 15, CellKind::Text, "人民路\n3号楼", 0},  // line break inside a cell
        {6, 1, CellKind::Empty, "", 0},               // past the last row
        {2, 30, CellKind::Empty, "", 0},              // past the last column
    };
    for (const auto& expected : cases) {
        SCOPED_TRACE(std::to_string(expected.row) + "," + std::to_string(expected.column));
        const SheetCell cell = book.cell(0, expected.row, expected.column);
        EXPECT_EQ(cell.kind, expected.kind);
        EXPECT_EQ(cell.text, expected.text);
        EXPECT_EQ(cell.number, expected.number);
    }
    EXPECT_EQ(book.lastRow(0), 5);
    EXPECT_EQ(book.lastUsedColumn(0, 2), 17);
    EXPECT_EQ(book.lastUsedColumn(0, 3), 13);
    EXPECT_EQ(book.lastUsedColumn(0, 9), 0);
}

TEST(XlsxReader, FindsSheetsByNameAndTheActiveOne) {
    const XlsxWorkbook book(test::testData("import/second_sheet_active.xlsx"));
    EXPECT_EQ(book.sheetNames(), (std::vector<std::string>{"说明", "学生"}));
    EXPECT_EQ(book.activeSheet(), 1);
    EXPECT_EQ(book.sheetIndex("学生"), 1);
    EXPECT_EQ(book.sheetIndex("没有"), -1);
    EXPECT_EQ(book.cell(0, 2, 2).text, "不是学生");
    const SheetCell yes = book.cell(0, 3, 1);  // =1<2
    EXPECT_EQ(yes.kind, CellKind::Boolean);
    EXPECT_EQ(yes.text, "TRUE");
    EXPECT_EQ(yes.number, 1.0);
    EXPECT_EQ(book.cell(0, 3, 2).text, "FALSE");
    EXPECT_EQ(book.cell(1, 2, 3).text, "甲");
    EXPECT_THROW(book.cell(2, 1, 1), UserError);
}

TEST(XlsxReader, RefusesWhatIsNoWorkbook) {
    for (const std::string file : {"truncated.xlsx", "text_named.xls", "normal.xls"}) {
        SCOPED_TRACE(file);
        EXPECT_THROW(XlsxWorkbook(test::testData("import/" + file)), UserError);
    }
}

TEST(SerialDate, TextOfDatesAndTimes) {
    const std::vector<std::tuple<double, bool, std::string>> cases = {
        {1, false, "1900-01-01"},
        {59, false, "1900-02-28"},
        {61, false, "1900-03-01"},  // the 1900 system counts a 29 February that never was
        {40670, false, "2011-05-07"},
        {40670.5, false, "2011-05-07 12:00:00"},
        {0.75, false, "18:00:00"},
        {1, true, "1904-01-02"},
        {39208, true, "2011-05-07"},
        // Beyond the dates a spreadsheet can show: the number itself.
        {2958465.5, false, "9999-12-31 12:00:00"},
        {2958466, false, "2958466"},
        {2957004, true, "2957004"},
        {-1, false, "-1"},
        {1e300, false, "1e+300"},
    };
    for (const auto& [serial, epoch1904, text] : cases) {
        EXPECT_EQ(serialDateText(serial, epoch1904), text) << serial;
    }
}

}  // namespace
}  // namespace qm::intake
