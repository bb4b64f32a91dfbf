// The warning before an import: a title row that is not the import layout's, no students,
// students without a name or a sex, and filled rows the reading left out, said with what was
// found.
#include <gtest/gtest.h>

#include "intake/PreviewReader.h"
#include "intake/PreviewWarning.h"

namespace qm::intake {
namespace {

// A grid with the layout's titles and students given as (学号, 姓名, 性别), then the trailing row.
PreviewGrid gridOf(const std::vector<std::array<std::string, 3>>& students) {
    PreviewGrid grid;
    std::copy(kImportTitles.begin(), kImportTitles.end(), grid.titles.begin());
    for (std::size_t k = 0; k <= students.size(); ++k) {
        PreviewGrid::Row row;
        row[0] = std::to_string(k + 1);
        if (k < students.size()) {
            row[1] = students[k][0];
            row[3] = students[k][1];
            row[4] = students[k][2];
        }
        grid.rows.push_back(row);
    }
    return grid;
}

TEST(PreviewWarning, SaysNothingWhenAllIsWell) {
    PreviewGrid grid = gridOf({{"1", "张三", "男"}, {"2", "李四", " 女 "}});
    EXPECT_EQ(previewWarning(grid), "");
    grid.titles[0] = " 学 号 ";   // blanks do not matter
    grid.titles[4] = "数学成绩";  // nor a longer title holding the layout's
    EXPECT_EQ(previewWarning(grid), "");
}

TEST(PreviewWarning, SaysWhatIsWrong) {
    PreviewGrid shifted = gridOf({{"张三", "85", "90"}});
    // A list without 学号 and 登分号: every title sits two columns early.
    for (std::size_t c = 0; c < kImportTitles.size(); ++c) {
        shifted.titles[c] = c + 2 < kImportTitles.size() ? kImportTitles[c + 2] : "";
    }
    PreviewGrid notes = gridOf({});
    notes.titles = {"会议记录"};
    PreviewGrid missing = gridOf({{"1", "", "男"},
                                  {"2", "乙", ""},
                                  {"3", " ", "M"},
                                  {"4", "丁", "女"},
                                  {"5", "", "F"},
                                  {"6", "", ""},
                                  {"7", "", ""},
                                  {"8", "", ""},
                                  {"9", "", ""}});
    // Stored as written but for blanks at its ends, which the ideographic space is not: such a
    // student would never be placed.
    PreviewGrid wideSpace = gridOf({{"1", "甲", "男\u3000"}});
    // The reading stopped at an empty 学号 (row 4) with filled rows below, or in that row itself.
    PreviewGrid blankRow = gridOf({{"1", "甲", "男"}, {"2", "乙", "女"}});
    blankRow.filledRowsBelow = 1500;
    PreviewGrid noNumber = blankRow;
    noNumber.stopRowFilled = true;
    PreviewGrid lastNoNumber = noNumber;
    lastNoNumber.filledRowsBelow = 0;
    PreviewGrid a2Empty = gridOf({});
    a2Empty.rows.clear();
    a2Empty.filledRowsBelow = 3;

    const std::vector<std::pair<PreviewGrid, std::string>> cases = {
        {shifted,
         "第1行不是导入表格的列名 (学号, 登分号, 姓名, 性别, …): A列是“姓名”, 应为“学号”; "
         "B列是“性别”, 应为“登分号”; C列是“数学”, 应为“姓名”; D列是“英语”, 应为“性别”; "
         "…共 17 列不符\n"
         "1 名学生的性别不是“男”或“女”, 分班时不会被分配 (第2行)"},
        {notes,
         "第1行不是导入表格的列名 (学号, 登分号, 姓名, 性别, …): A列是“会议记录”, 应为“学号”; "
         "B列是空的, 应为“登分号”; C列是空的, 应为“姓名”; D列是空的, 应为“性别”; …共 17 列不符\n"
         "没有读到学生 (第2行的学号是空的)"},
        {missing,
         "7 名学生没有姓名 (第2、4、6、7、8…行)\n"
         "5 名学生没有性别 (第3、7、8、9、10行)\n"
         "2 名学生的性别不是“男”或“女”, 分班时不会被分配 (第4、6行)"},
        {wideSpace, "1 名学生的性别不是“男”或“女”, 分班时不会被分配 (第2行)"},
        {blankRow, "第4行是空行，后面还有 1500 行有数据，没有读入"},
        {noNumber, "第4行的学号是空的，这一行和后面 1500 行有数据，没有读入"},
        {lastNoNumber, "第4行的学号是空的，这一行有数据，没有读入"},
        {a2Empty, "没有读到学生 (第2行的学号是空的)\n第2行是空行，后面还有 3 行有数据，没有读入"},
    };
    for (const auto& [grid, warning] : cases) {
        EXPECT_EQ(previewWarning(grid), warning);
    }
}

}  // namespace
}  // namespace qm::intake
