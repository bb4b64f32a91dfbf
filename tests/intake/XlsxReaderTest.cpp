// The general .xlsx reading API (sheets, the active sheet, cells with their kind), used by the
// import and by tests that read exported workbooks back; what other writers write (strict
// documents, prefixes, repeated rows, lower-case references, ISO dates, escaped characters);
// and the texts of date serials.
#include <gtest/gtest.h>

#include "XlsxFixture.h"
#include "intake/SerialDate.h"
#include "intake/XlsxWorkbook.h"
#include "support/TempDatabase.h"

namespace qm::intake {
namespace {

using test::XlsxParts;

XlsxWorkbook openParts(const XlsxParts& parts) {
    return XlsxWorkbook(test::xlsxPackage(parts), "t.xlsx");
}

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

TEST(XlsxReader, ReadsWhatOtherWritersWrite) {
    // Cells referred to in either letter case, a row given in three <row> elements, a row without
    // a number following the one before, and an inline string.
    XlsxParts parts;
    parts.sharedStrings =
        "<si><t>学号</t></si><si><r><t>张</t></r><r><t>三</t></r>"
        "<rPh><t>zhang</t></rPh></si>";
    parts.sheetData = R"(<row r="1"><c r="a1" t="s"><v>0</v></c></row>)"
                      R"(<row r="2"><c r="b2" t="s"><v> 1 </v></c></row>)"
                      R"(<row r="2"><c r="C2"><v>85</v></c></row>)"
                      R"(<row r="2"><c r="b2" t="inlineStr"><is><t>李四</t></is></c></row>)"
                      R"(<row><c><v>7</v></c><c t="b"><v>1</v></c><c t="e"><v>#N/A</v></c></row>)";
    const XlsxWorkbook book = openParts(parts);
    EXPECT_EQ(book.cell(0, 1, 1).text, "学号");
    EXPECT_EQ(book.cell(0, 2, 2).text, "李四");  // the later of two cells in one place wins
    EXPECT_EQ(book.cell(0, 2, 3).text, "85");
    EXPECT_EQ(book.cell(0, 3, 1).text, "7");
    EXPECT_EQ(book.cell(0, 3, 2).text, "TRUE");
    EXPECT_EQ(book.cell(0, 3, 3).text, "#N/A");
    EXPECT_EQ(book.lastUsedColumn(0, 2), 3);

    // Strict documents, and the main namespace under a prefix.
    XlsxParts strict;
    strict.mainNamespace = "http://purl.oclc.org/ooxml/spreadsheetml/main";
    strict.relationshipNamespace = "http://purl.oclc.org/ooxml/officeDocument/relationships";
    strict.sheetData = R"(<row r="1"><c r="A1"><v>1</v></c></row>)";
    EXPECT_EQ(openParts(strict).cell(0, 1, 1).text, "1");
    XlsxParts withPrefix = parts;
    withPrefix.sheetData = R"(<x:row xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/)"
                           R"(2006/main" r="4"><x:c r="A4" t="s"><x:v>1</x:v></x:c></x:row>)";
    EXPECT_EQ(openParts(withPrefix).cell(0, 4, 1).text, "张三");
}

TEST(XlsxReader, TakesTheDateSystemFromTheWorkbookOnly) {
    // Current spreadsheet programs write an x15:workbookPr inside extLst; it is no workbookPr of
    // the workbook's own.
    const std::string extension =
        R"(<extLst><ext uri="{140A7094-0E35-4892-8432-C4D2E57EDEB5}" xmlns:x15="http://schemas.)"
        R"(microsoft.com/office/spreadsheetml/2010/11/main"><x15:workbookPr chartTrackingRefBase="1")"
        R"( date1904="DATE"/></ext></extLst>)";
    const auto withExtension = [&](const std::string& own, const std::string& extended) {
        std::string extra = extension;
        extra.replace(extra.find("DATE"), 4, extended);
        XlsxParts parts;
        parts.workbookExtra = own + extra;
        parts.styles = R"(<cellXfs count="2"><xf numFmtId="0"/><xf numFmtId="14"/></cellXfs>)";
        parts.sheetData = R"(<row r="1"><c r="A1" s="1"><v>39208</v></c></row>)";
        return openParts(parts).cell(0, 1, 1).text;
    };
    EXPECT_EQ(withExtension(R"(<workbookPr date1904="1"/>)", "0"), "2011-05-07");
    EXPECT_EQ(withExtension(R"(<workbookPr/>)", "1"), "2007-05-06");
}

TEST(XlsxReader, ShowsDatesTimesAndElapsedTimesByFormat) {
    XlsxParts parts;
    parts.styles = R"(<numFmts count="2"><numFmt numFmtId="164" formatCode="[h]:mm:ss"/>)"
                   R"(<numFmt numFmtId="165" formatCode="[H]"/></numFmts>)"
                   R"(<cellXfs count="6"><xf numFmtId="0"/><xf numFmtId="14"/><xf numFmtId="21"/>)"
                   R"(<xf numFmtId="164"/><xf numFmtId="22"/><xf numFmtId="165"/></cellXfs>)";
    parts.sheetData = R"(<row r="1">)"
                      R"(<c r="A1" s="1"><v>40670</v></c>)"
                      R"(<c r="B1" s="3"><v>1.5</v></c>)"
                      R"(<c r="C1" s="3"><v>-1.2</v></c>)"
                      R"(<c r="D1" s="5"><v>1.5</v></c>)"
                      R"(<c r="E1" s="1" t="d"><v>2012-11-28</v></c>)"
                      R"(<c r="F1" s="4" t="d"><v>2021-12-31T23:44:51.894</v></c>)"
                      R"(<c r="G1" s="2" t="d"><v>01:34:00.0000001</v></c>)"
                      R"(<c r="H1" s="3" t="d"><v>PT24H0M0.000S</v></c>)"
                      R"(<c r="I1" t="d"><v>2012-11-28</v></c>)"
                      R"(<c r="J1" t="d"><v>no date</v></c>)"
                      R"(</row>)";
    const XlsxWorkbook book = openParts(parts);
    const std::vector<std::string> expected = {
        "2011-05-07",          "36:00:00", "-28:48:00", "1.5",        "2012-11-28",
        "2021-12-31 23:44:52", "01:34:00", "24:00:00",  "2012-11-28", "no date"};
    for (std::size_t k = 0; k < expected.size(); ++k) {
        EXPECT_EQ(book.cell(0, 1, static_cast<int>(k) + 1).text, expected[k]) << k;
    }
}

TEST(XlsxReader, DecodesEscapedCharactersIntoValidText) {
    XlsxParts parts;
    parts.sharedStrings =
        "<si><t>_xD801__xDC05_</t></si>"  // a surrogate pair: one character
        "<si><t>a_xD800_b</t></si>"       // a lone surrogate
        "<si><t>张_x0000_三</t></si>"     // a null does not end the text
        "<si><t>line_x000D_end</t></si>"
        "<si><t>_x005F_x0041_</t></si>";  // an escaped "_x"
    parts.sheetData = R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>1</v></c>)"
                      R"(<c r="C1" t="s"><v>2</v></c><c r="D1" t="s"><v>3</v></c>)"
                      R"(<c r="E1" t="s"><v>4</v></c></row>)";
    const XlsxWorkbook book = openParts(parts);
    EXPECT_EQ(book.cell(0, 1, 1).text, "\U00010405");
    EXPECT_EQ(book.cell(0, 1, 2).text, "a\uFFFDb");
    EXPECT_EQ(book.cell(0, 1, 3).text, "张\uFFFD三");
    EXPECT_EQ(book.cell(0, 1, 4).text, "line\rend");
    EXPECT_EQ(book.cell(0, 1, 5).text, "_x0041_");
}

TEST(XlsxReader, RowNumbersAtTheLimitDoNotOverflow) {
    XlsxParts parts;
    parts.sheetData = R"(<row r="1"><c r="A1"><v>1</v></c></row>)"
                      R"(<row r="2147483647"><c><v>2</v></c></row>)"
                      R"(<row><c r="A99999999999"><v>3</v></c></row>)";
    const XlsxWorkbook book = openParts(parts);
    EXPECT_EQ(book.cell(0, 1, 1).text, "1");
    EXPECT_EQ(book.cell(0, 2147483647, 1).text, "3");  // the row after the last one stays there
    EXPECT_EQ(book.lastRow(0), 2147483647);
}

TEST(XlsxReader, DamagedXmlIsToldInChinese) {
    XlsxParts parts;
    parts.sheetData = R"(<row r="1"><c r="A1"><v>1</v></row>)";
    try {
        openParts(parts).cell(0, 1, 1);
        ADD_FAILURE() << "read without complaint";
    } catch (const UserError& error) {
        EXPECT_EQ(
            std::string(error.what()),
            "无法读取文件 t.xlsx: 文件已损坏 (xl/worksheets/sheet1.xml 第1行的XML格式不正确)");
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

TEST(SerialDate, ElapsedTimesAndIsoDates) {
    const std::vector<std::pair<double, std::string>> elapsed = {
        {0, "00:00:00"},
        {1, "24:00:00"},
        {1.5, "36:00:00"},
        {-1.2, "-28:48:00"},
        {12345.6789, "296296:17:37"},
        {0.0076388888, "00:11:00"},
        {1e300, "1e+300"},
    };
    for (const auto& [days, text] : elapsed) {
        EXPECT_EQ(elapsedTimeText(days), text) << days;
    }
    const std::vector<std::tuple<std::string, bool, std::optional<double>>> iso = {
        {"1900-01-01", false, 1.0},
        {"1900-02-28", false, 59.0},
        {"1900-03-01", false, 61.0},
        {"2011-05-07", false, 40670.0},
        {"2011-05-07", true, 39208.0},
        {"2011-05-07T18:00:00Z", false, 40670.75},
        {"2011-05-07 12:00", false, 40670.5},
        {"06:00:00", false, 0.25},
        {"PT36H", false, 1.5},
        {"P1DT12H0M0.000S", false, 1.5},
        {"2011-02-30", false, std::nullopt},
        {"tomorrow", false, std::nullopt},
        {"PT", false, std::nullopt},
    };
    for (const auto& [text, epoch1904, serial] : iso) {
        EXPECT_EQ(isoDateSerial(text, epoch1904), serial) << text;
    }
}

}  // namespace
}  // namespace qm::intake
