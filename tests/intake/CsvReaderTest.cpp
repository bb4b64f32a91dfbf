// CSV reading details that the fixture files written by a spreadsheet program do not show:
// line ends, quotes in odd places, empty lines, and the choice of encoding.
#include <gtest/gtest.h>

#include <fstream>

#include "common/TextConverter.h"
#include "common/Utf8.h"
#include "intake/CsvWorkbook.h"
#include "support/TempDatabase.h"

namespace qm::intake {
namespace {

std::vector<std::vector<std::string>> readAll(const std::string& bytes) {
    test::TempFolder folder;
    const std::string path = folder.file("t.csv");
    std::ofstream(path, std::ios::binary) << bytes;
    const CsvWorkbook book(path);
    std::vector<std::vector<std::string>> rows;
    for (int row = 1; row <= book.lastRow(0); ++row) {
        std::vector<std::string> fields;
        for (int column = 1; column <= book.lastUsedColumn(0, row); ++column) {
            fields.push_back(book.cell(0, row, column).text);
        }
        rows.push_back(fields);
    }
    return rows;
}

using Rows = std::vector<std::vector<std::string>>;

TEST(CsvReader, SplitsRecordsAndFields) {
    const std::vector<std::pair<std::string, Rows>> cases = {
        {"a,b\r\nc,d\r\n", {{"a", "b"}, {"c", "d"}}},       // CRLF
        {"a,b\rc,d", {{"a", "b"}, {"c", "d"}}},             // CR alone, no final line end
        {"a,\"\",c\n", {{"a", "", "c"}}},                   // quoted empty field
        {"a,b\"c\"\n", {{"a", "b\"c\""}}},                  // quotes inside a bare field
        {"\"x\"\"y\",\"1\r\n2\"\n", {{"x\"y", "1\r\n2"}}},  // doubled quote, CRLF inside
        {"a,b\n\nc,d\n", {{"a", "b"}, {}, {"c", "d"}}},     // an empty line is a row
        {"a;b,c;d\n", {{"a", "b,c", "d"}}},                 // semicolons win over commas
        {"a\x01"
         "b,c\x1F\n",
         {{"a\uFFFDb", "c\uFFFD"}}},  // controls a workbook cannot hold
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(readAll(text), expected) << text;
    }
}

TEST(CsvReader, ChoosesUtf8OrGbkByValidity) {
    // "张三" in GBK is D5 C5 C8 FD: not valid UTF-8, so the file is read as GBK.
    EXPECT_EQ(readAll("\xD5\xC5\xC8\xFD,1\n"), (Rows{{"张三", "1"}}));
    EXPECT_EQ(readAll("\xEF\xBB\xBF张三,1\n"), (Rows{{"张三", "1"}}));
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));      // overlong
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));  // surrogate
    EXPECT_TRUE(isValidUtf8("学号 abc \xF0\x9F\x98\x80"));
    EXPECT_FALSE(gbkToUtf8("\xD5").has_value());  // cut in the middle of a character
}

TEST(CsvReader, RefusesBinaryAndBrokenText) {
    EXPECT_THROW(readAll(std::string("a,b\0c\n", 6)), UserError);
    EXPECT_THROW(readAll("\xEF\xBB\xBF\xD5\xC5\n"), UserError);  // marked UTF-8, but is not
}

}  // namespace
}  // namespace qm::intake
