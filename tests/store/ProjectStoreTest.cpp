#include <gtest/gtest.h>

#include <regex>

#include "common/UserError.h"
#include "db/DbError.h"
#include "store/DivisionSettings.h"
#include "store/ProjectStore.h"
#include "support/TempDatabase.h"

namespace qm::store {
namespace {

TEST(ProjectStore, CreatesTheProjectWithItsTablesAndSettings) {
    test::TempDatabase database;
    auto& connection = database.connection();
    const CurrentProject project = createProject(connection, "2026级新生", 8);

    EXPECT_EQ(project.fbId, "1");
    EXPECT_EQ(project.fbTable, "fb_1");
    EXPECT_EQ(project.rbTable, "rb_fb_1");
    EXPECT_EQ(project.memo, "2026级新生");
    EXPECT_TRUE(connection.tableExists("fb_1"));
    EXPECT_TRUE(connection.tableExists("rb_fb_1"));

    const Project row = findProject(connection, 1);
    EXPECT_EQ(row.num, 8);
    EXPECT_EQ(row.table_name, "fb_1");
    EXPECT_TRUE(std::regex_match(row.update_date, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)")))
        << row.update_date;

    const auto settings = loadSettings(connection, 1);
    ASSERT_TRUE(settings.has_value());
    EXPECT_EQ(*settings, DivisionSettings::defaults(1));
    EXPECT_EQ(settings->inter, 1);
    EXPECT_EQ(settings->is_man, 0);
    EXPECT_EQ(settings->wtNum, 50);
}

TEST(ProjectStore, ProjectTwelveOwnsItsTablesAndIdsAreNeverReused) {
    test::TempDatabase database;
    auto& connection = database.connection();
    for (int i = 1; i <= 12; ++i) {
        createProject(connection, "p" + std::to_string(i), 2);
    }
    const auto twelve = openProject(connection, 12);
    EXPECT_EQ(twelve.fbTable, "fb_12");
    EXPECT_EQ(twelve.rbTable, "rb_fb_12");
    EXPECT_TRUE(loadSettings(connection, 12).has_value());

    deleteProject(connection, 12);
    const auto next = createProject(connection, "after", 2);
    EXPECT_EQ(next.fbId, "13");  // the deleted 12 is not handed out again
}

TEST(ProjectStore, DeleteLeavesNothingBehind) {
    test::TempDatabase database;
    auto& connection = database.connection();
    createProject(connection, "keep", 3);
    createProject(connection, "drop", 3);
    deleteProject(connection, 2);

    const auto projects = listProjects(connection);
    ASSERT_EQ(projects.size(), 1u);
    EXPECT_EQ(projects[0].memo, "keep");
    EXPECT_FALSE(loadSettings(connection, 2).has_value());
    EXPECT_FALSE(connection.tableExists("fb_2"));
    EXPECT_FALSE(connection.tableExists("rb_fb_2"));
    EXPECT_THROW(deleteProject(connection, 2), UserError);
    EXPECT_THROW(openProject(connection, 2), UserError);
}

TEST(ProjectStore, ListsProjectsInIdOrder) {
    test::TempDatabase database;
    auto& connection = database.connection();
    createProject(connection, "b", 2);
    createProject(connection, "a", 4);
    const auto projects = listProjects(connection);
    ASSERT_EQ(projects.size(), 2u);
    EXPECT_EQ(projects[0].id, 1);
    EXPECT_EQ(projects[0].memo, "b");
    EXPECT_EQ(projects[1].num, 4);
}

// A class count is a whole number from 1 to 999: two thousand million classes would make a
// division run out of memory.
TEST(ProjectStore, RefusesClassCountsOutsideOneTo999) {
    for (const char* text : {"", "0", "-2", "2.5", "abc", "3班", "1000", "2147483647"}) {
        EXPECT_THROW(parseClassCount(text), UserError) << text;
    }
    EXPECT_EQ(parseClassCount(" 12 "), 12);
    EXPECT_EQ(parseClassCount("999"), 999);
    test::TempDatabase database;
    for (int count : {0, 1000, 2147483647}) {
        EXPECT_THROW(createProject(database.connection(), "none", count), UserError) << count;
    }
    EXPECT_TRUE(listProjects(database.connection()).empty());
}

// A description is stored as valid UTF-8 that an export can write, line breaks kept; lists show
// it on one line.
TEST(ProjectStore, DescriptionIsStoredAsValidTextAndListedOnOneLine) {
    test::TempDatabase database;
    createProject(database.connection(), "高一\r\n三班\xFF\x01", 3);
    const Project project = findProject(database.connection(), 1);
    EXPECT_EQ(project.memo, "高一\r\n三班\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(project.memoOnOneLine(), "高一 三班\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(ProjectStore, AFailedCreationLeavesNothingBehind) {
    test::TempDatabase database;
    auto& connection = database.connection();
    // A table in the way of the new project's twin makes the creation fail half way.
    connection.exec("create table rb_fb_1(x int)");
    EXPECT_THROW(createProject(connection, "blocked", 3), db::DbError);
    EXPECT_TRUE(listProjects(connection).empty());
    EXPECT_FALSE(connection.tableExists("fb_1"));
    EXPECT_FALSE(loadSettings(connection, 1).has_value());
}

}  // namespace
}  // namespace qm::store
