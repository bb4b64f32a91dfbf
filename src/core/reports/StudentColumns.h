#pragma once

#include <array>
#include <string_view>

namespace qm::db {
class Row;
}

namespace qm::reports {

// The heading of a column of the student table, as the import layout and the exports name it:
// "学号", "姓名", "数学", ... Columns the import does not have get their own: "班级", "类型",
// "拼音". An unknown column gives its own name back.
std::string_view columnHeading(std::string_view column);

// 总分 of a student row as the result workbook and the printed class lists give it: the sum of
// the nine scores, a score without a value counted as 0, as for a subject not taken.
double scoreTotal(const db::Row& student);

// A column of the student list: which field, its heading, its display width in characters
// (0: the grid's default) and whether it is centred (else left-aligned).
struct ListColumn {
    std::string_view column;
    std::string_view heading;
    int width;
    bool centred;
};

// The columns the student list shows, in its order; pingyin, fbMemo and pfType are not shown.
inline constexpr std::array<ListColumn, 17> kListColumns = {{
    {"student_id", "学号", 0, false},
    {"rec_id", "登分号", 8, false},
    {"student_name", "学生姓名", 10, false},
    {"sex", "性别", 2, true},
    {"class_id", "班级", 5, true},
    {"math", "数学", 5, true},
    {"english", "英语", 5, true},
    {"chinese", "语文", 5, true},
    {"wuli", "物理", 5, true},
    {"zhengzhi", "政治", 5, true},
    {"lishi", "历史", 5, true},
    {"tiyu", "体育", 5, true},
    {"dili", "地理", 5, true},
    {"shengwu", "生物", 5, true},
    {"type", "类型", 3, true},
    {"oral_school", "毕业学校", 20, false},
    {"addr", "地址", 20, false},
}};

}  // namespace qm::reports
