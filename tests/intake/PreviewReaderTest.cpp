// The import preview read from real workbooks written by a spreadsheet program: the layout rules
// (where reading stops, "0" in empty score cells, number texts), the active sheet, the refusals
// of bad files, and progress and cancelling.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <vector>

#include "XlsxFixture.h"
#include "intake/FileBytes.h"
#include "intake/PreviewReader.h"
#include "support/TempDatabase.h"

namespace qm::intake {
namespace {

using Row = PreviewGrid::Row;

std::string fixture(const std::string& name) {
    return test::testData("import/" + name);
}

Row row(std::vector<std::string> cells) {
    Row result;
    std::copy(cells.begin(), cells.end(), result.begin());
    return result;
}

// The row that ends the reading is read like the others: "0" in its empty score cells.
Row trailingBlankRow(int number) {
    return row({std::to_string(number), "", "", "", "", "0", "0", "0", "0", "0", "0", "0", "0", "0",
                "", "", "", ""});
}

// normal.xls and normal.xlsx: a score 92.5, empty score cells and a score cell of blanks ("0"),
// empty text cells, a 学号 typed as text, a name with blanks around it (kept), a big 学号, a
// formula (1+2) as 登分号, a boolean as 毕业学校 (which the spreadsheet program stores as the
// number 1 with a TRUE/FALSE format), a date as 地址, a line break in a text cell.
std::vector<Row> normalGrid() {
    return {
        row({"1", "1001", "R1001", "张三", "男", "85", "92.5", "78", "66", "70", "81", "45", "59",
             "88", "实验小学", "人民路1号", "3", "艺术"}),
        row({"2", "1002", "", " 李四 ", "女", "0", "90", "0", "70", "60", "50", "0", "40", "30", "",
             "", "", ""}),
        row({"3", "20240003", "3", "王五", "男", "99.5", "100", "0", "60", "61", "62", "63", "64",
             "65", "1", "2011-05-07", "", ""}),
        row({"4", "1004", "R1004", "赵六", "女", "70", "71", "72", "73", "74", "75", "76", "77",
             "78.25", "实验小学", "人民路\n3号楼", "", ""}),
        trailingBlankRow(5),
    };
}

TEST(PreviewReader, ReadsTheImportLayoutFromXlsAndXlsx) {
    for (const std::string file : {"normal.xls", "normal.xlsx"}) {
        SCOPED_TRACE(file);
        const PreviewGrid grid = readPreviewFile(fixture(file));
        EXPECT_EQ(grid.rows, normalGrid());
        EXPECT_EQ(grid.studentCount(), 4);
    }
}

TEST(PreviewReader, StopsAfterTheFirstRowWithoutStudentNumber) {
    // Row 4 has a name and scores but no 学号; rows 5 and 6 hold students again.
    for (const std::string file : {"stops_at_empty_id.xls", "stops_at_empty_id.xlsx"}) {
        SCOPED_TRACE(file);
        const PreviewGrid grid = readPreviewFile(fixture(file));
        ASSERT_EQ(grid.rows.size(), 3u);
        EXPECT_EQ(grid.studentCount(), 2);
        EXPECT_EQ(grid.rows[1][1], "2");
        EXPECT_EQ(grid.rows[2], row({"3", "", "", "丙", "男", "82", "82", "0", "82", "82", "82",
                                     "82", "82", "82", "", "", "", ""}));
        // What was left out is noted for the warning: row 4 itself, and rows 5 and 6.
        EXPECT_TRUE(grid.stopRowFilled);
        EXPECT_EQ(grid.filledRowsBelow, 2);
    }
    const PreviewGrid whole = readPreviewFile(fixture("normal.xlsx"));
    EXPECT_FALSE(whole.stopRowFilled);
    EXPECT_EQ(whole.filledRowsBelow, 0);
}

TEST(PreviewReader, SheetWithEmptyA2GivesNoRows) {
    for (const std::string file : {"a2_empty.xls", "a2_empty.xlsx"}) {
        SCOPED_TRACE(file);
        const PreviewGrid grid = readPreviewFile(fixture(file));
        EXPECT_TRUE(grid.rows.empty());
        EXPECT_EQ(grid.studentCount(), 0);
        EXPECT_GT(grid.filledRowsBelow, 0);
    }
}

TEST(PreviewReader, ReadsTheSheetTheWorkbookOpensWith) {
    // The first sheet holds a note and a row that is no student; the second one is active.
    for (const std::string file : {"second_sheet_active.xls", "second_sheet_active.xlsx"}) {
        SCOPED_TRACE(file);
        const PreviewGrid grid = readPreviewFile(fixture(file));
        ASSERT_EQ(grid.rows.size(), 3u);
        EXPECT_EQ(grid.rows[0][3], "甲");
        EXPECT_EQ(grid.rows[1][3], "乙");
    }
}

TEST(PreviewReader, CsvFilesOfEachEncodingAndSeparatorGiveTheSameRows) {
    const std::vector<Row> expected = {
        row({"1", "1", "R1", "张三", "男", "85", "92.5", "78", "66", "70", "81", "45", "59", "88",
             "第一小学, \"东校区\"", "人民路;1号\t2单元", "", "艺术"}),
        row({"2", "2", "R2", "李四", "女", "90", "0", "70", "60", "50", "40", "40", "30", "20",
             "实验小学", "和平街\n5号", "", ""}),
        trailingBlankRow(3),
    };
    for (const std::string file : {"utf8_bom_comma.csv", "gbk_semicolon.csv", "tab_quoted.csv"}) {
        SCOPED_TRACE(file);
        EXPECT_EQ(readPreviewFile(fixture(file)).rows, expected);
    }
}

TEST(PreviewReader, NotesFilledRowsBelowABlankRow) {
    // A teacher's list in two blocks with an empty row between them; cells of blanks, a row of
    // blanks and columns beyond the layout's 17 hold nothing.
    test::TempFolder folder;
    const std::string path = folder.file("blocks.csv");
    std::ofstream(path)
        << "学号,姓名\n1,甲\n2,乙\n,,\n3,丙\n , \n\n,,,,,,,,,,,,,,,,,x\n4,丁\n,,备注\n";
    const PreviewGrid grid = readPreviewFile(path);
    EXPECT_EQ(grid.studentCount(), 2);
    EXPECT_EQ(grid.stopRow(), 4);
    EXPECT_FALSE(grid.stopRowFilled);
    EXPECT_EQ(grid.filledRowsBelow, 3);
}

TEST(PreviewReader, StudentNumberOfBlanksDoesNotStopTheReading) {
    // Only empty text ends the reading; a 学号 of blanks is read (and the save will refuse it).
    test::TempFolder folder;
    const std::string path = folder.file("blanks.csv");
    std::ofstream(path) << "学号,姓名\n1,甲\n  ,乙\n3,丙\n";
    const PreviewGrid grid = readPreviewFile(path);
    ASSERT_EQ(grid.rows.size(), 4u);
    EXPECT_EQ(grid.rows[1][1], "  ");
    EXPECT_EQ(grid.rows[2][2], "丙");
}

TEST(PreviewReader, RefusesBadFilesNamingFileAndFault) {
    test::TempFolder folder;
    // A workbook whose sheet list is empty, as no spreadsheet program writes one.
    const std::string noSheets = folder.file("no_sheets.xlsx");
    test::writeFile(
        noSheets,
        test::zipArchive(
            {{"_rels/.rels",
              R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
              R"(<Relationship Id="rId1" Target="xl/workbook.xml" Type="http://schemas.)"
              R"(openxmlformats.org/officeDocument/2006/relationships/officeDocument"/>)"
              R"(</Relationships>)"},
             {"xl/workbook.xml",
              R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
              R"(<sheets/></workbook>)"}}));
    const std::string empty = folder.file("empty.xlsx");
    std::ofstream{empty};
    const std::string unclosed = folder.file("unclosed.csv");
    std::ofstream(unclosed) << "学号,姓名\n1,\"甲\n2,乙\n";
    const std::string picture = folder.file("picture.png");
    std::ofstream(picture) << "\x89PNG\r\n";

    const std::vector<std::pair<std::string, std::string>> cases = {
        {fixture("extra_column.xls"), "第1行第R列有内容"},
        {fixture("extra_column.xlsx"), "第1行第R列有内容"},
        {fixture("truncated.xls"), "文件已损坏"},
        {fixture("truncated.xlsx"), "文件已损坏"},
        {fixture("text_named.xls"), "不是有效的Excel文件"},
        {fixture("password.xls"), "密码保护"},
        {fixture("password.xlsx"), "密码保护"},
        {fixture("no_such_file.xls"), "文件不存在"},
        {empty, "文件是空的"},
        {noSheets, "工作簿中没有工作表"},
        {unclosed, "第2行的引号没有闭合"},
        {picture, "不支持的文件类型"},
    };
    for (const auto& [path, fault] : cases) {
        SCOPED_TRACE(path);
        try {
            readPreviewFile(path);
            ADD_FAILURE() << "read without complaint";
        } catch (const UserError& error) {
            const std::string message = error.what();
            EXPECT_EQ(message.rfind("无法读取文件 " + path + ": ", 0), 0u) << message;
            EXPECT_NE(message.find(fault), std::string::npos) << message;
        }
    }
}

// Records the progress reports and asks to stop after a number of rows.
class CountingObserver : public ReadObserver {
  public:
    explicit CountingObserver(int stopAfter) : stopAfter_(stopAfter) {}
    void progress(int rowsRead) override { reports.push_back(rowsRead); }
    bool cancelRequested() override { return !reports.empty() && reports.back() >= stopAfter_; }
    std::vector<int> reports;

  private:
    int stopAfter_;
};

const std::string kSampleXls = test::sampleFile("分班数据输入样例.xls");
const std::string kSampleXlsx = test::sampleFile("分班数据输入样例.xlsx");

TEST(PreviewReader, ReportsEveryRowAndStopsWhenCancelled) {
    CountingObserver watching(1 << 30);
    const PreviewGrid grid = readPreviewFile(kSampleXlsx, &watching);
    ASSERT_EQ(watching.reports.size(), grid.rows.size());
    EXPECT_EQ(watching.reports.front(), 1);
    EXPECT_EQ(watching.reports.back(), static_cast<int>(grid.rows.size()));

    CountingObserver cancelling(50);
    EXPECT_THROW(readPreviewFile(kSampleXls, &cancelling), ReadCancelled);
    EXPECT_EQ(cancelling.reports.back(), 50);
}

TEST(PreviewReader, SampleWorkbooksHoldTheSameStudents) {
    const PreviewGrid xls = readPreviewFile(kSampleXls);
    const PreviewGrid xlsx = readPreviewFile(kSampleXlsx);
    EXPECT_EQ(xls.rows, xlsx.rows);
    ASSERT_EQ(xls.studentCount(), 200);

    int boys = 0;
    int fixed = 0;
    int categorised = 0;
    std::set<std::string> names;
    bool repeatedName = false;
    for (int k = 0; k < xls.studentCount(); ++k) {
        const Row& student = xls.rows[static_cast<std::size_t>(k)];
        boys += student[4] == "男" ? 1 : 0;
        fixed += student[16].empty() ? 0 : 1;
        categorised += student[17].empty() ? 0 : 1;
        repeatedName = !names.insert(student[3]).second || repeatedName;
        for (int score = 5; score <= 13; ++score) {
            EXPECT_NE(student[static_cast<std::size_t>(score)], "0") << "row " << k + 1;
        }
    }
    EXPECT_GT(boys, 60);
    EXPECT_LT(boys, 140);
    EXPECT_GT(fixed, 0);
    EXPECT_GT(categorised, 0);
    EXPECT_TRUE(repeatedName);
}

TEST(PreviewReader, KeepsTheTitleRow) {
    for (const std::string file : {"normal.xls", "normal.xlsx", "utf8_bom_comma.csv"}) {
        SCOPED_TRACE(file);
        const PreviewGrid grid = readPreviewFile(fixture(file));
        EXPECT_TRUE(std::equal(grid.titles.begin(), grid.titles.end(), kImportTitles.begin()));
    }
}

TEST(PreviewReader, CsvNumbersShowAsSpreadsheetNumbers) {
    // Only 学号 and the nine scores are numbers; 登分号 and texts stay as written.
    test::TempFolder folder;
    const std::string path = folder.file("numbers.csv");
    test::writeFile(path,
                    "学号,登分号,姓名,性别,数学,英语,语文,物理,政治,历史,体育,地理,生物,毕业学校\n"
                    "74.0,007,张三,男,85.50,+90,1e2, 0080 ,缺考,,-0.0,60.25,59,0012\n"
                    "20240001234567890123,1.0,李四,女,1,2,3,4,5,6,7,8,9,\n");
    const PreviewGrid grid = readPreviewFile(path);
    ASSERT_EQ(grid.rows.size(), 3u);
    EXPECT_EQ(grid.rows[0], row({"1", "74", "007", "张三", "男", "85.5", "90", "100", "80", "缺考",
                                 "0", "0", "60.25", "59", "0012", "", "", ""}));
    EXPECT_EQ(grid.rows[1][1], "20240001234567890123");  // more digits than a number keeps
    EXPECT_EQ(grid.rows[1][2], "1.0");
}

TEST(PreviewReader, TakesFilesByContentAndName) {
    test::TempFolder folder;
    const auto copy = [&](const std::string& from, const std::string& to) {
        const std::string path = folder.file(to);
        test::writeFile(path, readFileBytes(fixture(from)));
        return path;
    };
    // Read: names in capitals, .xlsm (an .xlsx holding macros).
    for (const auto& [from, to] :
         std::vector<std::pair<std::string, std::string>>{{"normal.xls", "A.XLS"},
                                                          {"normal.xlsx", "b.xlsm"},
                                                          {"normal.xlsx", "c.XLSX"},
                                                          {"utf8_bom_comma.csv", "d.CSV"}}) {
        SCOPED_TRACE(to);
        EXPECT_NO_THROW(readPreviewFile(copy(from, to)));
    }
    const std::vector<std::tuple<std::string, std::string, std::string>> refused = {
        {"utf8_bom_comma.csv", "list.txt", "不支持的文件类型 (只能导入 .xls, .xlsx 或 .csv 文件)"},
        {"normal.xlsx", "noname", "不支持的文件类型"},
        {"normal.xlsx", "e.xls",
         "文件名是 .xls, 但内容是Excel 工作簿 (.xlsx), 请把文件改名为 .xlsx"},
        {"normal.xls", "f.xlsx", "文件名是 .xlsx, 但内容是Excel 97-2003 工作簿 (.xls)"},
        {"normal.xls", "g.csv", "文件名是 .csv, 但内容是Excel 工作簿, 请把文件改名为 .xls"},
        {"normal.xlsx", "h.csv", "文件名是 .csv, 但内容是Excel 工作簿 (.xlsx)"},
        {"utf8_bom_comma.csv", "i.xlsx", "不是有效的Excel文件"},
    };
    for (const auto& [from, to, fault] : refused) {
        SCOPED_TRACE(to);
        try {
            readPreviewFile(copy(from, to));
            ADD_FAILURE() << "read without complaint";
        } catch (const UserError& error) {
            EXPECT_NE(std::string(error.what()).find(fault), std::string::npos) << error.what();
        }
    }
}

TEST(PreviewReader, ReadsFromBytesAsFromFiles) {
    for (const std::string file : {"normal.xls", "normal.xlsx", "gbk_semicolon.csv"}) {
        SCOPED_TRACE(file);
        const PreviewGrid fromFile = readPreviewFile(fixture(file));
        const PreviewGrid fromBytes = readPreviewBytes(readFileBytes(fixture(file)), file);
        EXPECT_EQ(fromBytes.rows, fromFile.rows);
        EXPECT_EQ(fromBytes.titles, fromFile.titles);
    }
    EXPECT_THROW(readPreviewBytes("", "empty.xls"), UserError);
}

TEST(PreviewReader, ColumnNames) {
    EXPECT_EQ(columnName(1), "A");
    EXPECT_EQ(columnName(17), "Q");
    EXPECT_EQ(columnName(26), "Z");
    EXPECT_EQ(columnName(28), "AB");
    EXPECT_EQ(columnName(703), "AAA");
}

}  // namespace
}  // namespace qm::intake
