// No damaged .xls file crashes the reader: a workbook stream with each of its bytes changed, and
// cut short at every length, is either read or refused with a message.
#include <gtest/gtest.h>

#include "BiffBuilder.h"
#include "intake/PreviewReader.h"
#include "intake/XlsWorkbook.h"

namespace qm::intake {
namespace {

// A small workbook with a record of every kind the reader takes.
std::string smallWorkbookStream() {
    test::BiffBuilder book;
    book.window1(0);
    book.codePage(1200);
    const unsigned date = book.cellFormat(164, "yyyy-mm-dd");
    book.sharedStrings({{u"学号"}, {u"粗体", 1, "ph"}, {u"abcdefghijklmnopqrst汉"}}, 24);
    const int sheet = book.addSheet("Sheet1");
    book.sharedText(sheet, 0, 0, 0);
    book.sharedText(sheet, 0, 1, 2);
    book.number(sheet, 1, 0, 1001);
    book.rk(sheet, 1, 1, (85u << 2) | 2, date);
    book.label(sheet, 1, 2, u"张三");
    book.boolErr(sheet, 1, 3, 1, false);
    book.formulaSpecial(sheet, 1, 4, 0);
    book.record(sheet, 0x0207, test::BiffBuilder::unicodeText(u"公式", 2));
    book.record(sheet, 0x00BD,
                test::BiffBuilder::u16(2) + test::BiffBuilder::u16(0) + test::BiffBuilder::u16(15) +
                    test::BiffBuilder::u32(6) + test::BiffBuilder::u16(0));
    return book.stream();
}

// Reads the whole sheet as the preview does; true when read, false when refused.
bool readOrRefuse(const std::string& stream) {
    try {
        const XlsWorkbook book(stream, "damaged.xls");
        readPreview(book, "damaged.xls");
        for (int row = 1; row <= book.lastRow(book.activeSheet()); ++row) {
            book.lastUsedColumn(book.activeSheet(), row);
        }
        return true;
    } catch (const UserError&) {
        return false;
    }
}

TEST(XlsDamage, EveryChangedByteIsReadOrRefused) {
    const std::string stream = smallWorkbookStream();
    ASSERT_TRUE(readOrRefuse(stream));
    int refused = 0;
    for (std::size_t at = 0; at < stream.size(); ++at) {
        for (const char value : {'\x00', '\xFF', '\x7F'}) {
            std::string damaged = stream;
            damaged[at] = value;
            refused += readOrRefuse(damaged) ? 0 : 1;
        }
    }
    EXPECT_GT(refused, 0);  // damage in the headers is seen
}

TEST(XlsDamage, EveryCutIsReadOrRefused) {
    const std::string stream = smallWorkbookStream();
    for (std::size_t length = 0; length < stream.size(); ++length) {
        readOrRefuse(stream.substr(0, length));
    }
    EXPECT_FALSE(readOrRefuse(stream.substr(0, stream.size() - 3)));
}

}  // namespace
}  // namespace qm::intake
