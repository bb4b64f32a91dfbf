#include <gtest/gtest.h>

#include "reports/StudentSearch.h"
#include "store/ProjectStore.h"
#include "support/StudentRows.h"
#include "support/TempDatabase.h"

namespace qm::reports {
namespace {

TEST(StudentSearchTest, FindsByNumberNamePartAndPinyinInitials) {
    const SearchableStudent zhangSan{1023, "张三", "ZHANG SAN"};
    const SearchableStudent spaced{7, "卢 杰霞 ", "LU JIE XIA"};
    const SearchableStudent latin{8, "Tom", "T O M"};
    struct Case {
        const SearchableStudent* student;
        const char* typed;
        bool found;
    };
    const Case cases[] = {
        {&zhangSan, "zs", true},       {&zhangSan, "ZS", true},       {&zhangSan, "z", true},
        {&zhangSan, " zhangs ", true}, {&zhangSan, "zhangsan", true}, {&zhangSan, "sz", false},
        {&zhangSan, "zx", false},      {&zhangSan, "10", true},       {&zhangSan, "1023", true},
        {&zhangSan, "023", false},     {&zhangSan, "张", true},       {&zhangSan, "三", true},
        {&zhangSan, "张 三", true},    {&zhangSan, "李", false},      {&zhangSan, "z1", false},
        {&zhangSan, "", false},        {&zhangSan, "  ", false},      {&spaced, "杰霞", true},
        {&spaced, "卢杰霞", true},     {&spaced, "ljx", true},        {&latin, "tom", true},
        {&latin, "Om", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(matchesSearch(*c.student, c.typed), c.found)
            << c.student->name << " / \"" << c.typed << "\"";
    }
}

TEST(StudentSearchTest, GivesTheStudentWithTheNumberTypedFirstThenTheGridOrder) {
    test::TempDatabase database;
    const auto project = store::createProject(database.connection(), "高一", 2);
    test::insertStudents(database.connection(), project.fbTable,
                         {{.student_id = 12,
                           .student_name = "张山",
                           .sex = "男",
                           .class_id = 2,
                           .pingyin = "ZHANG SHAN"},
                          {.student_id = 121,
                           .student_name = "赵森",
                           .sex = "男",
                           .class_id = 1,
                           .pingyin = "ZHAO SEN"},
                          {.student_id = 120,
                           .student_name = "李四",
                           .sex = "女",
                           .class_id = 1,
                           .pingyin = "LI SI"}});
    EXPECT_EQ(searchStudents(database.connection(), project.fbTable, "12"),
              (std::vector<int>{12, 120, 121}));
    EXPECT_EQ(searchStudents(database.connection(), project.fbTable, "zs"),
              (std::vector<int>{121, 12}));
    EXPECT_TRUE(searchStudents(database.connection(), project.fbTable, "王").empty());
}

}  // namespace
}  // namespace qm::reports
