#include <gtest/gtest.h>

#include "common/UserError.h"
#include "store/DivisionSettings.h"
#include "store/ProjectStore.h"
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
    connection.exec("insert into config values(7,2,1,NULL,1,1,1,1,0,NULL)");
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

}  // namespace
}  // namespace qm::store
