#include <gtest/gtest.h>

#include "reports/TextTable.h"

namespace qm::reports {
namespace {

// Chinese characters take two columns on a terminal and in a spreadsheet, others one.
TEST(TextTable, DisplayWidthCountsChineseTwice) {
    const struct {
        const char* text;
        std::size_t width;
    } cases[] = {{"", 0}, {"abc", 3}, {"张三", 4}, {"ZHANG 三", 8}, {"３班", 4}, {"é", 1}};
    for (const auto& c : cases) {
        EXPECT_EQ(displayWidth(c.text), c.width) << c.text;
    }
}

// The columns line up under the widest cell however many columns its characters take; numbers
// stand right, texts left, blanks around a cell and at the end of a line are dropped.
TEST(TextTable, AlignedTextLinesUpChineseAndNumbers) {
    const TextRows rows = {
        {"学号", "姓名", "数学"}, {"7", "张三 ", "88.5"}, {"12", "Li", "9"}, {"3", "", ""}};
    EXPECT_EQ(alignedText(rows),
              "学号  姓名  数学\n"
              "   7  张三  88.5\n"
              "  12  Li       9\n"
              "   3\n");
}

}  // namespace
}  // namespace qm::reports
