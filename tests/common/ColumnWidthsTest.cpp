#include <gtest/gtest.h>

#include "common/ColumnWidths.h"

namespace qm {
namespace {

// A column is its widest text plus the room beside it, and never narrower than its least width;
// a column that holds no text, or only empty ones, is its least width wide.
TEST(ColumnWidths, WidestTextPlusRoomAtLeastTheLeastWidth) {
    const struct {
        const char* what;
        std::vector<int> texts;  // the widths of the column's texts
        int room;
        int least;
        int width;
    } cases[] = {
        {"no text", {}, 2, 8, 8},
        {"an empty text", {0}, 2, 8, 8},
        {"texts narrower than the least width", {3, 6}, 2, 8, 8},
        {"the widest text decides", {4, 12, 7}, 2, 8, 14},
        {"no least width", {5, 3}, 3, 0, 8},
        {"no room", {9}, 0, 8, 9},
        {"nothing at all", {}, 0, 0, 0},
    };
    for (const auto& c : cases) {
        ColumnWidths<int> widths(c.room, c.least);
        widths.addColumns(1);
        for (int text : c.texts) {
            widths.fit(0, text);
        }
        EXPECT_EQ(widths.width(0), c.width) << c.what;
    }
}

// Columns are counted from the texts fitted into them and from addColumns, whichever reaches
// further; each keeps its own widest text.
TEST(ColumnWidths, ColumnsAreKeptApart) {
    ColumnWidths<double> widths(1.5);
    EXPECT_EQ(widths.count(), 0u);
    widths.fit(2, 10.25);
    widths.fit(0, 4);
    widths.fit(2, 3);
    widths.addColumns(2);
    EXPECT_EQ(widths.widths(), (std::vector<double>{5.5, 1.5, 11.75}));
    widths.addColumns(4);
    EXPECT_EQ(widths.count(), 4u);
    EXPECT_EQ(widths.width(3), 1.5);
}

}  // namespace
}  // namespace qm
