// The .xls reader: what it reads beside FreeXL from the workbook's own records (the active
// sheet, formula results, booleans) and what it refuses.
#include <gtest/gtest.h>

#include "intake/XlsWorkbook.h"
#include "support/TempDatabase.h"

namespace qm::intake {
namespace {

TEST(XlsReader, ReadsActiveSheetAndFormulaResults) {
    const XlsWorkbook book(test::testData("import/second_sheet_active.xls"));
    EXPECT_EQ(book.sheetNames(), (std::vector<std::string>{"说明", "学生"}));
    EXPECT_EQ(book.activeSheet(), 1);
    const SheetCell yes = book.cell(0, 3, 1);  // =1<2
    EXPECT_EQ(yes.kind, CellKind::Boolean);
    EXPECT_EQ(yes.text, "TRUE");
    EXPECT_EQ(book.cell(0, 3, 2).text, "FALSE");
    EXPECT_EQ(book.cell(1, 2, 3).text, "甲");

    const XlsWorkbook normal(test::testData("import/normal.xls"));
    const SheetCell formula = normal.cell(0, 4, 2);  // =1+2
    EXPECT_EQ(formula.kind, CellKind::Number);
    EXPECT_EQ(formula.text, "3");
    EXPECT_EQ(normal.cell(0, 2, 6).text, "92.5");
    EXPECT_EQ(normal.cell(0, 4, 15).text, "2011-05-07");
    EXPECT_EQ(normal.cell(0, 3, 2).kind, CellKind::Empty);
}

TEST(XlsReader, RefusesPasswordProtectedAndDamagedWorkbooks) {
    for (const std::string file : {"password.xls", "truncated.xls", "text_named.xls"}) {
        SCOPED_TRACE(file);
        EXPECT_THROW(XlsWorkbook(test::testData("import/" + file)), UserError);
    }
}

}  // namespace
}  // namespace qm::intake
