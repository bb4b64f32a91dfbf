// The balance figures of two saved versions side by side (方案对比), on the store tests' small
// project of three classes.
#include <gtest/gtest.h>

#include "db/Connection.h"
#include "reports/BalanceReport.h"
#include "reports/VersionComparison.h"
#include "store/HandMoves.h"
#include "store/SavedVersions.h"
#include "support/AdjustmentFixture.h"

namespace qm::reports {
namespace {

using VersionBalance = test::AdjustmentFixture;

// Students 1 to 12 in classes 1, 2, 3 by turns score 50 + 4i + s in subject s: the classes
// average 72, 76 and 80 in mathematics, 684, 720 and 756 in the total. Student 12 (a girl)
// moved into class 1 brings them to 77.2, 76 and 74, and 730.8, 720 and 702.
TEST_F(VersionBalance, ComparisonHoldsTheBalanceFiguresOfBothVersions) {
    store::saveVersion(connection(), project, "分班后");
    store::moveStudent(connection(), project, 12, 1);
    store::saveVersion(connection(), project, "调整后");

    const auto comparison = compareVersions(connection(), project, 1, 2);
    ASSERT_TRUE(comparison.firstBalance.has_value());
    ASSERT_TRUE(comparison.secondBalance.has_value());
    const auto& first = *comparison.firstBalance;
    const auto& second = *comparison.secondBalance;
    EXPECT_NEAR(first.totalSpread(), 72, 1e-9);
    EXPECT_NEAR(second.totalSpread(), 28.8, 1e-9);
    ASSERT_EQ(first.averages[1].quantity, engine::kMath);
    EXPECT_NEAR(first.averages[1].spread, 8, 1e-9);
    EXPECT_NEAR(second.averages[1].spread, 3.2, 1e-9);
    EXPECT_EQ(first.sizeSpread, 0);
    EXPECT_EQ(second.sizeSpread, 2);
    EXPECT_EQ(second.girlsSpread, 2);

    const TextRows rows = balanceComparisonRows({"均衡度", "方案1", "方案2"}, {&first, &second});
    EXPECT_EQ(rows[0], (std::vector<std::string>{"均衡度", "方案1", "方案2"}));
    EXPECT_EQ(rows[1], (std::vector<std::string>{"总分平均分最大相差", "72.00", "28.80"}));
    EXPECT_EQ(rows[5], (std::vector<std::string>{"数学平均分最大相差", "8.00", "3.20"}));
    EXPECT_EQ(rows.back(), (std::vector<std::string>{"班级人数最大相差", "0", "2"}));
}

// A version in which nobody sits in a class has no figures: its column stays empty, and so
// does a figure one version lacks, such as a category only the other has.
TEST_F(VersionBalance, AFigureAVersionLacksStaysEmpty) {
    store::saveVersion(connection(), project, "分班后");
    connection().exec("update " + project.fbTable + " set class_id=0");
    store::saveVersion(connection(), project, "清空");
    const auto comparison = compareVersions(connection(), project, 1, 2);
    ASSERT_TRUE(comparison.firstBalance.has_value());
    EXPECT_FALSE(comparison.secondBalance.has_value());
    const TextRows empty =
        balanceComparisonRows({"均衡度", "方案1", "方案2"}, {&*comparison.firstBalance, nullptr});
    EXPECT_EQ(empty[1], (std::vector<std::string>{"总分平均分最大相差", "72.00", ""}));

    engine::BalanceFigures withCategory = *comparison.firstBalance;
    withCategory.categories.push_back({"体育", 1});
    const TextRows rows =
        balanceComparisonRows({"均衡度", "甲", "乙"}, {&*comparison.firstBalance, &withCategory});
    EXPECT_EQ(rows.back(), (std::vector<std::string>{"分类“体育”人数最大相差", "", "1"}));
}

// A comparison only reads: it is made while another program holds the write lock (a division
// under way), and the project's twin table in the database keeps what it held.
TEST_F(VersionBalance, ComparesWhileAnotherProgramWritesAndChangesNothing) {
    store::saveVersion(connection(), project, "分班后");
    store::moveStudent(connection(), project, 12, 1);
    store::saveVersion(connection(), project, "调整后");
    connection().exec("insert into " + project.rbTable + " select * from " + project.fbTable +
                      " where student_id=1");

    db::Connection writer(connection().path());
    writer.exec("BEGIN IMMEDIATE");
    const auto comparison = compareVersions(connection(), project, 1, 2);
    writer.exec("ROLLBACK");

    ASSERT_TRUE(comparison.secondBalance.has_value());
    EXPECT_NEAR(comparison.secondBalance->totalSpread(), 28.8, 1e-9);
    EXPECT_EQ(comparison.moved.size(), 1u);
    const auto twin = connection().query("select student_id,class_id from " + project.rbTable);
    ASSERT_EQ(twin.size(), 1u);
    EXPECT_EQ(twin[0]["student_id"].toInt(), 1);
}

}  // namespace
}  // namespace qm::reports
