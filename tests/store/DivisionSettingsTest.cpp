#include <gtest/gtest.h>

#include "common/UserError.h"
#include "store/DivisionSettings.h"
#include "store/OptimisationRuns.h"
#include "store/ProjectStore.h"
#include "store/Schema.h"
#include "support/TempDatabase.h"

namespace qm::store {
namespace {

TEST(DivisionSettings, RoundTripOfAllFlagsOff) {
    test::TempDatabase database;
    auto& connection = database.connection();
    createProject(connection, "p", 4);
    DivisionSettings settings = *loadSettings(connection, 1);
    settings.is_avg_person = settings.is_avg_total = settings.is_avg_ch = 0;
    settings.is_avg_math = settings.is_avg_eng = settings.is_avg_inter = 0;
    settings.is_man = 1;
    settings.inter = 3;
    settings.wtNum = 0;
    saveSettings(connection, settings);
    database.reopen();
    EXPECT_EQ(loadSettings(database.connection(), 1), settings);
}

TEST(DivisionSettings, MissingRowReadsAsNothingAndCannotBeWritten) {
    test::TempDatabase database;
    auto& connection = database.connection();
    createProject(connection, "p", 4);
    connection.exec("delete from config");
    EXPECT_FALSE(loadSettings(connection, 1).has_value());
    try {
        saveSettings(connection, DivisionSettings::defaults(1));
        FAIL() << "no error";
    } catch (const UserError& error) {
        EXPECT_STREQ(error.what(), "不存在该班别的参数设置");
    }
    EXPECT_FALSE(loadSettings(connection, 1).has_value());
}

TEST(DivisionSettings, FlagsAreOnOnlyWhenOneAndEmptyCountIsNoValue) {
    test::TempDatabase database;
    auto& connection = database.connection();
    connection.exec(
        "insert into config(id,is_avg_person,is_avg_total,is_avg_ch,is_avg_math,is_avg_eng,"
        "is_avg_inter,inter,is_man,wtNum) values(7,2,1,NULL,1,1,1,1,0,NULL)");
    const auto settings = loadSettings(connection, 7);
    ASSERT_TRUE(settings.has_value());
    EXPECT_EQ(settings->is_avg_person, 0);  // 2 is not 1
    EXPECT_EQ(settings->is_avg_total, 1);
    EXPECT_EQ(settings->is_avg_ch, 0);
    EXPECT_FALSE(settings->wtNum.has_value());
}

// The bounds both fronts check before they save: band tolerance 1 to 1000, fine-tuning count 0 to
// 1000 (or no value).
TEST(DivisionSettings, BoundsRefuseToleranceAndCountsOutsideTheirRange) {
    const auto with = [](int inter, std::optional<int> wtNum) {
        DivisionSettings settings = DivisionSettings::defaults(1);
        settings.inter = inter;
        settings.wtNum = wtNum;
        return settings;
    };
    for (const auto& accepted :
         {with(1, 0), with(1000, 1000), with(3, std::nullopt), DivisionSettings::defaults(1)}) {
        EXPECT_NO_THROW(checkSettingsBounds(accepted));
    }
    const struct {
        DivisionSettings settings;
        const char* named;
    } refused[] = {{with(0, 50), "分数间隔权重"},    {with(-1, 50), "分数间隔权重"},
                   {with(1001, 50), "分数间隔权重"}, {with(1, -1), "微调次数"},
                   {with(1, 1001), "微调次数"},      {with(1, 1000000), "微调次数"}};
    for (const auto& c : refused) {
        try {
            checkSettingsBounds(c.settings);
            ADD_FAILURE() << "no error for " << c.named;
        } catch (const UserError& error) {
            EXPECT_NE(std::string(error.what()).find(c.named), std::string::npos) << error.what();
        }
    }
}

// 深度优化, the subjects 科目设置 leaves out and the count of runs of 深度优化 are later columns:
// a file made before them gets them on opening with its rows reading as off, every subject
// taking part and no run; a new project starts the same way, and the values are stored.
TEST(DivisionSettings, LaterSettingsStartOffAndOldFilesGetThemOnOpening) {
    test::TempFolder folder;
    const std::string path = folder.file("old.db");
    {
        db::Connection old(path);
        old.exec(
            "create table fb_info(id INTEGER PRIMARY KEY AUTOINCREMENT,memo TEXT,num INTEGER,"
            "update_date TEXT,table_name TEXT);"
            "create table config(id INTEGER PRIMARY KEY,is_avg_person INTEGER,is_avg_total "
            "INTEGER,is_avg_ch INTEGER,is_avg_math INTEGER,is_avg_eng INTEGER,is_avg_inter "
            "INTEGER,inter INTEGER,is_man INTEGER,wtNum INTEGER);"
            "insert into config values(3,1,1,1,1,1,1,2,1,40)");
    }
    db::Connection connection(path);
    ensureSchema(connection);
    ensureSchema(connection);  // opening again adds nothing twice
    auto old = *loadSettings(connection, 3);
    EXPECT_EQ(old.is_deep_opt, 0);
    EXPECT_EQ(old.deep_opt_mode, 0);
    EXPECT_EQ(old.inter, 2);
    EXPECT_EQ(old.wtNum, 40);
    for (int subject = 0; subject < 9; ++subject) {
        EXPECT_TRUE(takesPart(old, subject)) << subject;
    }
    EXPECT_EQ(optimisationRuns(connection, 3), 0);

    const auto project = createProject(connection, "p", 4);
    auto settings = *loadSettings(connection, project.id());
    EXPECT_EQ(settings, DivisionSettings::defaults(project.id()));
    EXPECT_EQ(settings.is_deep_opt, 0);
    settings.is_deep_opt = 1;
    settings.deep_opt_mode = 1;
    settings.skip_subjects = (1 << 0) | (1 << 6);  // 数学 and 体育 unticked
    saveSettings(connection, settings);
    setOptimisationRuns(connection, project.id(), 2);
    EXPECT_EQ(loadSettings(connection, project.id()), settings);
    EXPECT_FALSE(takesPart(settings, 0));
    EXPECT_TRUE(takesPart(settings, 1));
    EXPECT_FALSE(takesPart(settings, 6));
    EXPECT_EQ(optimisationRuns(connection, project.id()), 2);
    EXPECT_EQ(loadSettings(connection, 3), old);
    EXPECT_EQ(optimisationRuns(connection, 3), 0);
}

}  // namespace
}  // namespace qm::store
