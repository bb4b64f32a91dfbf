#include "reports/StudentColumns.h"

#include <utility>

namespace qm::reports {

std::string_view columnHeading(std::string_view column) {
    static constexpr std::pair<std::string_view, std::string_view> kHeadings[] = {
        {"student_id", "学号"}, {"rec_id", "登分号"}, {"student_name", "姓名"},
        {"sex", "性别"},        {"class_id", "班级"}, {"math", "数学"},
        {"english", "英语"},    {"chinese", "语文"},  {"wuli", "物理"},
        {"zhengzhi", "政治"},   {"lishi", "历史"},    {"tiyu", "体育"},
        {"dili", "地理"},       {"shengwu", "生物"},  {"oral_school", "毕业学校"},
        {"addr", "地址"},       {"type", "类型"},     {"pingyin", "拼音"},
        {"fbMemo", "备注"},     {"pfType", "分类"}};
    for (const auto& [name, heading] : kHeadings) {
        if (name == column) {
            return heading;
        }
    }
    return column;
}

}  // namespace qm::reports
