// The .xls reader: every kind of cell record, shared strings running on through CONTINUE records,
// BIFF5 texts in their code page, dates by number format, sheets and the active one, stream names
// in any letter case, and what it refuses. Workbooks written by a spreadsheet program come from
// tests/data/import; the rest are written byte by byte with BiffBuilder.
#include <gtest/gtest.h>

#include "BiffBuilder.h"
#include "CompoundFileBuilder.h"
#include "intake/WorkbookFile.h"
#include "intake/XlsWorkbook.h"
#include "support/TempDatabase.h"

namespace qm::intake {
namespace {

using test::BiffBuilder;
using test::compoundFile;

XlsWorkbook openStream(const BiffBuilder& book, const std::string& streamName = "Workbook") {
    return XlsWorkbook(compoundFile({{streamName, book.stream()}}), "t.xls");
}

// Expects UserError whose message holds `fault`.
template <class Action>
void expectRefusal(Action action, const std::string& fault) {
    try {
        action();
        ADD_FAILURE() << "read without complaint; expected " << fault;
    } catch (const UserError& error) {
        EXPECT_NE(std::string(error.what()).find(fault), std::string::npos) << error.what();
    }
}

struct ExpectedCell {
    int row, column;
    CellKind kind;
    std::string text;
};

void expectCells(const Workbook& book, int sheet, const std::vector<ExpectedCell>& cells) {
    for (const auto& expected : cells) {
        SCOPED_TRACE(std::to_string(expected.row) + "," + std::to_string(expected.column));
        const SheetCell cell = book.cell(sheet, expected.row, expected.column);
        EXPECT_EQ(cell.kind, expected.kind);
        EXPECT_EQ(cell.text, expected.text);
    }
}

TEST(XlsReader, ReadsWorkbooksOfASpreadsheetProgram) {
    const XlsWorkbook book(test::testData("import/second_sheet_active.xls"));
    EXPECT_EQ(book.sheetNames(), (std::vector<std::string>{"说明", "学生"}));
    EXPECT_EQ(book.activeSheet(), 1);
    expectCells(book, 0, {{3, 1, CellKind::Boolean, "TRUE"}, {3, 2, CellKind::Boolean, "FALSE"}});
    expectCells(book, 1, {{2, 3, CellKind::Text, "甲"}});

    const XlsWorkbook normal(test::testData("import/normal.xls"));
    expectCells(normal, 0,
                {{4, 2, CellKind::Number, "3"},             // =1+2
                 {2, 6, CellKind::Number, "92.5"},          // number
                 {4, 15, CellKind::Text, "2011-05-07"},     // date by its format
                 {5, 15, CellKind::Text, "人民路\n3号楼"},  // line break in a cell
                 {3, 2, CellKind::Empty, ""}});
}

TEST(XlsReader, ReadsEveryKindOfCellRecord) {
    BiffBuilder book;
    book.sharedStrings({{u"学号"}});
    const int sheet = book.addSheet("Students");
    book.record(sheet, 0x0200, std::string(14, '\0'));  // DIMENSION of one cell: cells beyond count
    book.number(sheet, 0, 0, 92.5);
    book.rk(sheet, 0, 1, (85u << 2) | 2);                          // whole number
    book.rk(sheet, 0, 2, (12345u << 2) | 3);                       // whole number / 100
    book.rk(sheet, 0, 3, 0x3FF80000);                              // 1.5, upper bits
    book.rk(sheet, 0, 4, static_cast<std::uint32_t>(-7 * 4) | 2);  // negative
    book.record(sheet, 0x00BD,
                BiffBuilder::u16(1) + BiffBuilder::u16(0) +  // MULRK A2:C2
                    BiffBuilder::u16(15) + BiffBuilder::u32((60u << 2) | 2) + BiffBuilder::u16(15) +
                    BiffBuilder::u32((70u << 2) | 2) + BiffBuilder::u16(15) +
                    BiffBuilder::u32((80u << 2) | 2) + BiffBuilder::u16(2));
    book.record(sheet, 0x1234, "unknown record");
    book.sharedText(sheet, 2, 0, 0);
    book.label(sheet, 2, 1, u"张三");
    book.boolErr(sheet, 2, 2, 1, false);
    book.boolErr(sheet, 2, 3, 0x07, true);
    book.boolErr(sheet, 2, 4, 0, false);
    book.formulaNumber(sheet, 3, 0, 3);
    book.formulaSpecial(sheet, 3, 1, 0);                // text, in the STRING record
    book.record(sheet, 0x04BC, std::string(10, '\0'));  // SHRFMLA between them
    book.record(sheet, 0x0207, BiffBuilder::unicodeText(u"结果", 2));
    book.formulaSpecial(sheet, 3, 2, 1, 1);     // boolean
    book.formulaSpecial(sheet, 3, 3, 2, 0x2A);  // error #N/A
    book.formulaSpecial(sheet, 3, 4, 3);        // empty text
    book.formulaSpecial(sheet, 3, 5, 0);        // a text running on in CONTINUE
    book.record(sheet, 0x0207, BiffBuilder::u16(6) + '\0' + "abc");
    book.record(sheet, 0x003C,
                "\x01" + BiffBuilder::u16('d') + BiffBuilder::u16(u'é') + BiffBuilder::u16(u'汉'));
    book.record(sheet, 0x0201, BiffBuilder::u16(4) + BiffBuilder::u16(0) + BiffBuilder::u16(15));
    // An embedded chart: its records are not the sheet's cells.
    book.record(sheet, 0x0809,
                BiffBuilder::u16(0x0600) + BiffBuilder::u16(0x0020) + std::string(12, '\0'));
    book.number(sheet, 8, 0, 999);
    book.record(sheet, 0x000A, "");
    book.number(sheet, 9, 0, 10);

    const XlsWorkbook xls = openStream(book);
    expectCells(xls, 0, {{1, 1, CellKind::Number, "92.5"},   {1, 2, CellKind::Number, "85"},
                         {1, 3, CellKind::Number, "123.45"}, {1, 4, CellKind::Number, "1.5"},
                         {1, 5, CellKind::Number, "-7"},     {2, 1, CellKind::Number, "60"},
                         {2, 2, CellKind::Number, "70"},     {2, 3, CellKind::Number, "80"},
                         {3, 1, CellKind::Text, "学号"},     {3, 2, CellKind::Text, "张三"},
                         {3, 3, CellKind::Boolean, "TRUE"},  {3, 4, CellKind::Text, "#DIV/0!"},
                         {3, 5, CellKind::Boolean, "FALSE"}, {4, 1, CellKind::Number, "3"},
                         {4, 2, CellKind::Text, "结果"},     {4, 3, CellKind::Boolean, "TRUE"},
                         {4, 4, CellKind::Text, "#N/A"},     {4, 5, CellKind::Text, ""},
                         {4, 6, CellKind::Text, "abcdé汉"},  {5, 1, CellKind::Empty, ""},
                         {9, 1, CellKind::Empty, ""},        {10, 1, CellKind::Number, "10"}});
    EXPECT_EQ(xls.lastUsedColumn(0, 4), 6);
    EXPECT_EQ(xls.lastUsedColumn(0, 5), 0);
    EXPECT_EQ(xls.lastRow(0), 10);
}

TEST(XlsReader, SharedStringsRunOnThroughContinueRecords) {
    // Records of at most 17 bytes split headers' neighbours, characters, rich-text runs and
    // phonetic data; characters go on in one or two bytes as each record says.
    const std::vector<BiffBuilder::SharedString> strings = {
        {u"ABCDEFGHIJKLMNOPQRSTUVWXYZ"},
        {u"abcdefghijklmnop汉字qrstuvwxyz"},
        {u"汉abcdefghijklmnopqrstuvwxyz"},
        {u"粗体和斜体", 3, "phonetic data!"},
        {u"\xD801\xDC05 pair"},
        {u"lone \xD800 surrogate"},
        {u"a\x01"
         u"b\x0B"
         u"c\td"},
        {u""},
        {u"last"},
    };
    const std::vector<std::string> expected = {"ABCDEFGHIJKLMNOPQRSTUVWXYZ",
                                               "abcdefghijklmnop汉字qrstuvwxyz",
                                               "汉abcdefghijklmnopqrstuvwxyz",
                                               "粗体和斜体",
                                               "\U00010405 pair",
                                               "lone \uFFFD surrogate",
                                               "a\uFFFDb\uFFFDc\td",
                                               "",
                                               "last"};
    for (const std::size_t recordSize : {std::size_t{17}, std::size_t{8224}}) {
        SCOPED_TRACE(recordSize);
        BiffBuilder book;
        book.sharedStrings(strings, recordSize);
        const int sheet = book.addSheet("Sheet1");
        for (std::size_t k = 0; k < strings.size(); ++k) {
            book.sharedText(sheet, static_cast<int>(k), 0, static_cast<std::uint32_t>(k));
        }
        const XlsWorkbook xls = openStream(book);
        for (std::size_t k = 0; k < expected.size(); ++k) {
            EXPECT_EQ(xls.cell(0, static_cast<int>(k) + 1, 1).text, expected[k]) << k;
        }
    }
}

TEST(XlsReader, ReadsWhatOtherWritersLeaveInTheirRecords) {
    // Cell texts whose records end before the characters their count announces, as some writers
    // cut them: the characters present are read (a two-byte character cut in half is left out).
    // Formulas under the record types of Excel 3 and 4.
    for (const bool biff8 : {true, false}) {
        SCOPED_TRACE(biff8);
        BiffBuilder book(biff8);
        const int sheet = book.addSheet("Sheet1");
        const auto cell = [&](int column) {
            return BiffBuilder::u16(0) + BiffBuilder::u16(static_cast<unsigned>(column)) +
                   BiffBuilder::u16(15);
        };
        // Five characters announced; three there, and a half in BIFF8.
        const std::string label = biff8 ? BiffBuilder::unicodeText(u"张三丰国家", 2).substr(0, 10)
                                        : BiffBuilder::u16(5) + "abc";
        book.record(sheet, 0x0204, cell(0) + label);  // LABEL
        book.record(sheet, 0x00D6, cell(1) + label);  // RSTRING
        book.formulaSpecial(sheet, 0, 2, 0);
        book.record(sheet, 0x0207, label.substr(0, label.size() - (biff8 ? 2 : 1)));  // STRING
        const std::string result = BiffBuilder::f64(42) + BiffBuilder::u16(0);
        book.record(sheet, 0x0206, cell(3) + result + BiffBuilder::u16(0));
        book.record(sheet, 0x0406, cell(4) + result + BiffBuilder::u32(0) + BiffBuilder::u16(0));
        const XlsWorkbook xls = openStream(book);
        expectCells(xls, 0,
                    {{1, 1, CellKind::Text, biff8 ? "张三丰" : "abc"},
                     {1, 2, CellKind::Text, biff8 ? "张三丰" : "abc"},
                     {1, 3, CellKind::Text, biff8 ? "张三" : "ab"},
                     {1, 4, CellKind::Number, "42"},
                     {1, 5, CellKind::Number, "42"}});
    }
}

TEST(XlsReader, AnEmptyContinueRecordInTheSharedStringsIsPassedOver) {
    // Shared strings "ab" and "cdef", their records split at each place a writer may split them,
    // with an empty CONTINUE record at the split; where no record follows it, "cdef" is cut short
    // and its characters present are read.
    const std::string counts = BiffBuilder::u32(2) + BiffBuilder::u32(2);
    const std::string ab = BiffBuilder::u16(2) + '\0' + "ab";
    const std::string cdef = BiffBuilder::u16(4) + '\0' + "cdef";
    const std::vector<std::vector<std::string>> splits = {
        {counts + ab, "", cdef},                                             // between two strings
        {counts + ab + cdef, ""},                                            // after the last one
        {counts, "", ab + cdef},                                             // before the first one
        {counts + ab + cdef.substr(0, 5), "", std::string(1, '\0') + "ef"},  // in the characters
        {counts + ab + cdef.substr(0, 3), "", std::string(1, '\0') + "cdef"},  // after the flags
        {counts + ab + cdef.substr(0, 1), "", cdef.substr(1)},                 // in the count
        {counts + ab + cdef.substr(0, 5), ""},                                 // and nothing after
    };
    for (std::size_t k = 0; k < splits.size(); ++k) {
        SCOPED_TRACE(k);
        BiffBuilder book;
        book.global(0x00FC, splits[k][0]);
        for (std::size_t part = 1; part < splits[k].size(); ++part) {
            book.global(0x003C, splits[k][part]);
        }
        const int sheet = book.addSheet("Sheet1");
        book.sharedText(sheet, 0, 0, 0);
        book.sharedText(sheet, 0, 1, 1);
        const XlsWorkbook xls = openStream(book);
        EXPECT_EQ(xls.cell(0, 1, 1).text, "ab");
        EXPECT_EQ(xls.cell(0, 1, 2).text, k + 1 < splits.size() ? "cdef" : "cd");
    }
}

TEST(XlsReader, Biff5TextsAreReadInTheWorkbooksCodePage) {
    struct Case {
        unsigned codePage;  // 0: no CODEPAGE record
        std::string bytes;
        std::string text;
    };
    const std::vector<Case> cases = {
        {936, "\xD5\xC5\xC8\xFD", "张三"},
        {1251, "\xCF\xF0\xE8\xE2\xE5\xF2", "Привет"},
        {1258, "Vi\xEA\xF2t", "Việt"},
        {0, "caf\xE9", "café"},  // 1252 when the workbook names none
    };
    for (const auto& [codePage, bytes, text] : cases) {
        SCOPED_TRACE(codePage);
        BiffBuilder book(false);
        if (codePage != 0) {
            book.codePage(codePage);
        }
        const int sheet = book.addSheet(codePage == 936 ? "\xD1\xA7\xC9\xFA" : "Sheet");
        book.labelBytes(sheet, 0, 0, bytes);
        book.record(sheet, 0x00D6,
                    BiffBuilder::u16(0) + BiffBuilder::u16(1) +  // RSTRING B1
                        BiffBuilder::u16(15) +
                        BiffBuilder::u16(static_cast<unsigned>(bytes.size())) + bytes +
                        "\x01\x00\x00");
        book.formulaSpecial(sheet, 0, 2, 0);
        book.record(sheet, 0x0207, BiffBuilder::u16(static_cast<unsigned>(bytes.size())) + bytes);
        for (const std::string streamName : {"Book", "BOOK"}) {
            const XlsWorkbook xls = openStream(book, streamName);
            expectCells(xls, 0,
                        {{1, 1, CellKind::Text, text},
                         {1, 2, CellKind::Text, text},
                         {1, 3, CellKind::Text, text}});
            if (codePage == 936) {
                EXPECT_EQ(xls.sheetNames(), std::vector<std::string>{"学生"});
            }
        }
    }
}

TEST(XlsReader, FindsTheWorkbookStreamInAnyLetterCase) {
    BiffBuilder book;
    const int sheet = book.addSheet("Sheet1");
    book.number(sheet, 0, 0, 1);
    for (const std::string name : {"Workbook", "WORKBOOK", "workbook"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(openStream(book, name).cell(0, 1, 1).text, "1");
    }
    // A bare workbook stream, without a compound document around it, reads the same.
    EXPECT_EQ(openWorkbookBytes(book.stream(), "bare.xls")->cell(0, 1, 1).text, "1");
}

TEST(XlsReader, ShowsNumbersAsTheirFormatSays) {
    struct Case {
        unsigned formatId;
        std::string code;
        double value;
        bool epoch1904;
        std::string text;
    };
    const std::vector<Case> cases = {
        {14, "", 40670, false, "2011-05-07"},
        {14, "", 39208, true, "2011-05-07"},
        {22, "", 40670.75, false, "2011-05-07 18:00:00"},
        {20, "", 0.5, false, "12:00:00"},
        {164, "yyyy\"年\"m\"月\"d\"日\"", 40670, false, "2011-05-07"},
        {46, "", 1.5, false, "36:00:00"},  // [h]:mm:ss
        {165, "[h]:mm:ss", 10.632060185185185, false, "255:10:10"},
        {165, "[h]:mm:ss", -1.2, false, "-28:48:00"},
        {166, "0.00", 85.5, false, "85.5"},
        {10, "", 0.5, false, "0.5"},        // 0.00%
        {167, "\"day\" 0", 3, false, "3"},  // letters in quotes
    };
    for (const auto& [formatId, code, value, epoch1904, text] : cases) {
        SCOPED_TRACE(std::to_string(formatId) + " " + code);
        BiffBuilder book;
        if (epoch1904) {
            book.dateMode1904();
        }
        const unsigned format = book.cellFormat(formatId, code);
        const int sheet = book.addSheet("Sheet1");
        book.number(sheet, 0, 0, value, format);
        book.formulaNumber(sheet, 0, 1, value, format);
        const XlsWorkbook xls = openStream(book);
        EXPECT_EQ(xls.cell(0, 1, 1).text, text);
        EXPECT_EQ(xls.cell(0, 1, 2).text, text);  // the same from a formula
    }
}

TEST(XlsReader, NumbersTheWorksheetsAndFindsTheActiveOne) {
    BiffBuilder book;
    book.window1(2);
    book.addSheet("Chart1", BiffBuilder::SheetKind::Chart);
    const int notes = book.addSheet("Notes");
    const int students = book.addSheet("Students");
    book.label(notes, 0, 0, u"note");
    book.label(students, 0, 0, u"学号");
    for (const bool wrongOffsets : {false, true}) {
        SCOPED_TRACE(wrongOffsets);
        const XlsWorkbook xls(compoundFile({{"Workbook", book.stream(wrongOffsets)}}), "t.xls");
        EXPECT_EQ(xls.sheetNames(), (std::vector<std::string>{"Notes", "Students"}));
        EXPECT_EQ(xls.activeSheet(), 1);
        EXPECT_EQ(xls.cell(1, 1, 1).text, "学号");
        EXPECT_EQ(xls.cell(0, 1, 1).text, "note");
    }
    BiffBuilder chartActive;
    chartActive.window1(0);
    chartActive.addSheet("Chart1", BiffBuilder::SheetKind::Chart);
    chartActive.addSheet("Data");
    EXPECT_EQ(openStream(chartActive).activeSheet(), 0);
}

TEST(XlsReader, RefusesWhatItCannotRead) {
    BiffBuilder encrypted;
    encrypted.global(0x002F, std::string(6, '\0'));
    encrypted.addSheet("Sheet1");
    BiffBuilder chartsOnly;
    chartsOnly.addSheet("Chart1", BiffBuilder::SheetKind::Chart);
    BiffBuilder missingString;
    missingString.sharedStrings({{u"one"}});
    missingString.sharedText(missingString.addSheet("Sheet1"), 4, 1, 1);
    BiffBuilder good;
    good.number(good.addSheet("Sheet1"), 0, 0, 1);
    std::string cutShort = good.stream();  // the sheet's EOF becomes a record running past the end
    cutShort.replace(cutShort.size() - 4, 4, BiffBuilder::u16(0x0203) + BiffBuilder::u16(0x7FFF));

    const std::vector<std::pair<std::string, std::string>> cases = {
        {compoundFile({{"Workbook", encrypted.stream()}}), "密码保护"},
        {compoundFile({{"EncryptionInfo", "x"}, {"EncryptedPackage", "x"}}), "密码保护"},
        {compoundFile({{"WordDocument", "x"}}), "不是Excel工作簿"},
        {compoundFile({{"Workbook", chartsOnly.stream()}}), "工作簿中没有工作表"},
        {compoundFile({{"Workbook", missingString.stream()}}), "第5行第B列引用的共享字符串不存在"},
        {compoundFile({{"Workbook", cutShort}}), "工作表 Sheet1 的数据不完整"},
        {compoundFile({{"Workbook", "not a workbook stream"}}), "文件已损坏"},
        {std::string("\x09\x00\x04\x00\x02\x00\x10\x00", 8) + std::string(32, '\0'), "太旧"},
        {std::string("\x09\x04\x06\x00\x00\x00\x10\x00\x00\x00", 10), "太旧"},
        {compoundFile({{"Book", std::string("\x09\x02\x06\x00\x00\x00\x10\x00\x00\x00", 10)}}),
         "Excel 2.x–4.x 格式太旧，请用表格程序另存为 .xls 或 .xlsx"},
    };
    for (std::size_t k = 0; k < cases.size(); ++k) {
        SCOPED_TRACE(k);
        expectRefusal([&] { openWorkbookBytes(cases[k].first, "t.xls")->cell(0, 1, 1); },
                      cases[k].second);
    }
    for (const std::string file : {"password.xls", "truncated.xls", "text_named.xls"}) {
        SCOPED_TRACE(file);
        EXPECT_THROW(XlsWorkbook(test::testData("import/" + file)), UserError);
    }
}

}  // namespace
}  // namespace qm::intake
