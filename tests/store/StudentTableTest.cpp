#include <gtest/gtest.h>

#include "db/DbError.h"
#include "store/ProjectStore.h"
#include "store/StudentTable.h"
#include "store/StudentValueRules.h"
#include "support/StudentRows.h"
#include "support/TempDatabase.h"

namespace qm::store {
namespace {

class StudentTableTest : public ::testing::Test {
  protected:
    void SetUp() override { project = createProject(database.connection(), "p", 3); }
    db::Connection& connection() { return database.connection(); }
    test::TempDatabase database;
    CurrentProject project;
};

TEST_F(StudentTableTest, ColumnsAreInTableOrder) {
    const auto rows = connection().query("select * from " + project.fbTable);
    ASSERT_EQ(rows.columns().size(), kStudentColumns.size());
    for (std::size_t i = 0; i < kStudentColumns.size(); ++i) {
        EXPECT_EQ(rows.columns()[i], kStudentColumns[i]);
    }
}

TEST_F(StudentTableTest, FixedWidthTextIgnoresTrailingBlanksAndIsNotPadded) {
    test::insertStudents(connection(), project.fbTable,
                         {{.student_id = 1, .sex = "男", .pfType = "A"},
                          {.student_id = 2, .sex = "女", .pfType = "A   "},
                          {.student_id = 3, .sex = "男 ", .pfType = "B"}});
    auto count = [&](const std::string& sql, const db::Value& value) {
        auto statement = connection().prepare(sql);
        statement.bind(1, value);
        return statement.query()[0][0].toInt();
    };
    // A short label and the same label with blanks are one category, found by either text.
    EXPECT_EQ(count("select count(*) from " + project.fbTable + " where pfType=?", "A"), 2);
    EXPECT_EQ(count("select count(*) from " + project.fbTable + " where pfType=?", "A      "), 2);
    EXPECT_EQ(
        connection().query("select pfType from " + project.fbTable + " group by pfType").size(),
        2u);
    EXPECT_EQ(count("select count(*) from " + project.fbTable + " where sex=?", "男"), 2);
    // Values come back as they were stored, without padding.
    const auto rows =
        connection().query("select pfType from " + project.fbTable + " where student_id=1");
    EXPECT_EQ(rows[0][0].toText(), "A");
}

// The padding of a fixed-width text: only blanks at its end, which its width does not count.
TEST(StudentTextPadding, TrailingBlanksAreLeftOutAndNotCounted) {
    const struct {
        const char* text;
        const char* unpadded;
    } cases[] = {
        {"", ""},      {"   ", ""}, {"张三  ", "张三"}, {" 张三", " 张三"}, {"王 小明 ", "王 小明"},
        {"A\t", "A\t"}};
    for (const auto& c : cases) {
        EXPECT_EQ(withoutPadding(c.text), c.unpadded) << c.text;
    }
    EXPECT_EQ(textTooLong("sex", "性别", "男   "), std::nullopt);
    EXPECT_EQ(textTooLong("sex", "性别", "男生 "), "性别最多1个字，这里有2个字");
    EXPECT_EQ(textTooLong("pfType", "分类", " 一二三四五六七八九"), std::nullopt);
    EXPECT_EQ(textTooLong("pfType", "分类", "  一二三四五六七八九"),
              "分类最多10个字，这里有11个字");
}

TEST_F(StudentTableTest, RefusesOverLongTextsTextInNumbersAndDuplicateNumbers) {
    test::insertStudents(connection(), project.fbTable, {{.student_id = 1, .sex = "男"}});
    const std::string insert = "insert into " + project.fbTable;
    const std::vector<std::string> refused = {
        insert + "(student_id,sex) values(1,'女')",              // duplicate student_id
        insert + "(student_id,sex) values(2,'男女')",            // sex is one character
        insert + "(student_id,pfType) values(3,'12345678901')",  // category of eleven
        insert + "(student_id,math) values(4,'abc')",            // text in a score
        insert + "(student_id) values('x5')",                    // text as student number
        insert + "(student_id) values(NULL)",                    // no student number
    };
    for (const auto& sql : refused) {
        EXPECT_THROW(connection().exec(sql), db::DbError) << sql;
    }
    connection().exec(insert + "(student_id,math,pfType) values(6,'85.5','1234567890')");
    const auto rows =
        connection().query("select math from " + project.fbTable + " where student_id=6");
    EXPECT_EQ(rows[0][0], db::Value(85.5));  // numeric text is taken as a number
}

TEST(StudentTableNames, OnlyProjectTablesAreAccepted) {
    EXPECT_TRUE(isProjectTableName("fb_12"));
    EXPECT_TRUE(isProjectTableName("rb_fb_12"));
    for (const char* name : {"fb_", "fb_1;drop table config", "config", "rb_rb_fb_1", "fb_1a"}) {
        EXPECT_FALSE(isProjectTableName(name)) << name;
    }
}

}  // namespace
}  // namespace qm::store
