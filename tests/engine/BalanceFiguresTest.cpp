// Balance figures, the two baselines and the exchange rules on small cohorts made in memory,
// where every figure can be worked out by hand.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "engine/balance/BalanceBaselines.h"
#include "engine/balance/BalanceFigures.h"
#include "engine/groups/GroupPlan.h"
#include "engine/optimisation/ExchangeRules.h"

namespace qm::engine {
namespace {

struct Pupil {
    std::string sex;
    double math;
    int classIndex;
    bool fixed = false;
    std::string category;
    std::string pinyin;
};

// A cohort in which only mathematics is taken.
PlacedCohort cohortOf(int classCount, const std::vector<Pupil>& pupils) {
    PlacedCohort cohort;
    cohort.classCount = classCount;
    for (std::size_t i = 0; i < pupils.size(); ++i) {
        PlacedStudent student;
        student.studentId = static_cast<int>(i) + 1;
        student.values[kMath] = student.values[kTotal] = pupils[i].math;
        student.bands[kMath] = scoreBand(pupils[i].math);
        student.sex = pupils[i].sex;
        student.category = pupils[i].category;
        student.pinyin = pupils[i].pinyin;
        student.fixed = pupils[i].fixed;
        student.classIndex = pupils[i].classIndex;
        cohort.students.push_back(student);
    }
    cohort.taken[kMath] = cohort.taken[kTotal] = true;
    return cohort;
}

TEST(BalanceFigures, SpreadsDeviationsAndHeadCountsOfTheClasses) {
    const auto cohort = cohortOf(3, {{"男", 80, 0, false, "A"},
                                     {"女", 82, 0},
                                     {"男", 70, 1, false, "A"},
                                     {"女", 90, 1},
                                     {"女", 40, 1, true, "B"},
                                     {"女", 85, 2}});
    // Classes average 81, 66.67 and 85; all students 74.5.
    const auto figures = measureBalance(cohort, cohort.presentClasses());
    ASSERT_EQ(figures.averages.size(), 2u);  // the total, then mathematics
    EXPECT_EQ(figures.averages[0].quantity, kTotal);
    EXPECT_EQ(figures.averages[1].quantity, kMath);
    EXPECT_NEAR(figures.totalSpread(), 85 - 200.0 / 3, 1e-9);
    EXPECT_NEAR(figures.averages[1].largestDeviation, 85 - 74.5, 1e-9);
    EXPECT_NEAR(figures.worstSubjectSpread(), figures.totalSpread(), 1e-12);
    ASSERT_EQ(figures.bands.size(), 1u);
    EXPECT_EQ(figures.worstBandSpread(), 2);  // band 8: 80 and 82 in class 1, none in class 2
    EXPECT_EQ(figures.boysSpread, 1);
    EXPECT_EQ(figures.girlsSpread, 1);
    EXPECT_EQ(figures.sizeSpread, 2);
    ASSERT_EQ(figures.categories.size(), 2u);
    EXPECT_EQ(figures.categories[0].label, "A");
    EXPECT_EQ(figures.categories[0].spread, 1);
    EXPECT_EQ(figures.worstCategorySpread(), 1);

    // The same students in classes of two: 80 and 85, 70 and 40, 82 and 90.
    const auto other = measureBalance(cohort, {0, 2, 1, 2, 1, 0});
    EXPECT_NEAR(other.averages[1].spread, 86 - 55, 1e-9);
    EXPECT_EQ(other.sizeSpread, 0);
    EXPECT_EQ(other.boysSpread, 1);
}

TEST(BalanceBaselines, SerpentineDraftsEachSexByTotalIntoItsPlaces) {
    // Class 0 has places for three boys and two girls, class 1 for three boys and one girl;
    // the fixed boy stays in class 1.
    const auto cohort = cohortOf(2, {{"男", 10, 0},
                                     {"男", 60, 0},
                                     {"男", 30, 0},
                                     {"男", 50, 1},
                                     {"男", 20, 1},
                                     {"男", 40, 1},
                                     {"男", 99, 1, true},
                                     {"女", 70, 0},
                                     {"女", 80, 1},
                                     {"女", 90, 0}});
    // Boys 60, 50, 40, 30, 20, 10 go to 0, 1, 1, 0, 0, 1; girls 90, 80, 70 to 0, 1, then 0
    // (class 1 has no second place for a girl).
    EXPECT_EQ(serpentineDivision(cohort), (std::vector<int>{1, 0, 0, 1, 0, 1, 1, 0, 1, 0}));
}

TEST(BalanceBaselines, RandomDivisionIsReproducibleAndKeepsFixedStudentsAndSexes) {
    std::vector<Pupil> pupils;
    for (int i = 0; i < 60; ++i) {
        pupils.push_back({i % 3 == 0 ? "女" : "男", 40.0 + i, i % 4, i % 10 == 0});
    }
    const auto cohort = cohortOf(4, pupils);
    const auto random = randomDivision(cohort, kRandomBaselineSeed);
    EXPECT_EQ(random, randomDivision(cohort, kRandomBaselineSeed));
    EXPECT_NE(random, cohort.presentClasses());
    std::map<std::pair<std::string, int>, int> before;
    std::map<std::pair<std::string, int>, int> after;
    for (std::size_t i = 0; i < pupils.size(); ++i) {
        ++before[{pupils[i].sex, pupils[i].classIndex}];
        ++after[{pupils[i].sex, random[i]}];
        if (pupils[i].fixed) {
            EXPECT_EQ(random[i], pupils[i].classIndex) << i;
        }
    }
    EXPECT_EQ(before, after);
}

// Which exchanges the rules allow: students of one sex and category who are not fixed, and
// never bringing a reading into a class where somebody else reads the same.
TEST(ExchangeRules, OnlyLikeMovableStudentsChangePlacesAndSameReadingsStayApart) {
    const auto cohort = cohortOf(2, {{"男", 50, 0, false, "", "LI"},       // 0
                                     {"男", 50, 1, false, "", "WANG"},     // 1
                                     {"男", 50, 1, false, "", "LI"},       // 2
                                     {"男", 50, 0, false, "", "ZHAO"},     // 3
                                     {"男", 50, 0, false, "", ""},         // 4
                                     {"男", 50, 1, false, "", ""},         // 5
                                     {"男", 50, 0, false, "", "LI"},       // 6: two LI in class 0
                                     {"男", 50, 1, true, "", "SUN"},       // 7: fixed
                                     {"女", 50, 1, false, "", "QIAN"},     // 8
                                     {"男", 50, 1, false, "A", "ZHOU"}});  // 9
    ExchangeRules rules(cohort, cohort.presentClasses());
    auto allows = [&](int a, int b) {
        return rules.allows({a, b, cohort.students[a].classIndex, cohort.students[b].classIndex});
    };
    EXPECT_TRUE(allows(3, 1));   // ZHAO and WANG
    EXPECT_FALSE(allows(3, 2));  // LI into class 0, which has LI
    EXPECT_FALSE(allows(0, 1));  // LI into class 1, which has LI
    EXPECT_FALSE(allows(0, 2));  // LI for LI, but another LI waits in class 0
    EXPECT_FALSE(allows(4, 1));  // no reading into a class with no reading: the same reading
    EXPECT_FALSE(allows(3, 7));  // fixed
    EXPECT_FALSE(allows(7, 3));
    EXPECT_FALSE(allows(3, 8));  // another sex
    EXPECT_FALSE(allows(3, 9));  // another category
    EXPECT_FALSE(allows(3, 6));  // the same class
    EXPECT_TRUE(rules.movable(0));
    EXPECT_FALSE(rules.movable(7));

    // After ZHAO and WANG changed places, the rules see the classes as they now are.
    rules.applied({3, 1, 0, 1});
    EXPECT_TRUE(rules.allows({1, 3, 0, 1}));
    EXPECT_FALSE(rules.allows({6, 3, 0, 1}));  // LI into class 1, which has LI
}

// The teacher's groups: members of a 同班 group stay where they are, and no exchange brings a
// student into a class that holds another student of one of its 分开 groups.
TEST(ExchangeRules, KeepTheTeachersGroups) {
    using store::GroupKind;
    const auto cohort = cohortOf(2, {{"男", 50, 0, false, "", "A"},    // 0: apart from 1
                                     {"男", 51, 1, false, "", "B"},    // 1
                                     {"男", 52, 0, false, "", "C"},    // 2: apart from 7
                                     {"男", 53, 1, false, "", "D"},    // 3: apart from 5
                                     {"男", 54, 0, false, "", "E"},    // 4: together with 5
                                     {"男", 55, 0, false, "", "F"},    // 5
                                     {"男", 56, 1, false, "", "G"},    // 6: in no group
                                     {"男", 57, 0, false, "", "H"}});  // 7: shares class 0 with 2
    // Student numbers are the places plus one.
    const GroupPlan groups({{1, GroupKind::Apart, "", {1, 2}},
                            {2, GroupKind::Apart, "", {3, 8}},
                            {3, GroupKind::Apart, "", {4, 6}},
                            {4, GroupKind::Together, "", {5, 6}}},
                           "");
    ExchangeRules rules(cohort, cohort.presentClasses(), groups);
    EXPECT_FALSE(rules.movable(4));
    EXPECT_FALSE(rules.movable(5));
    EXPECT_TRUE(rules.movable(3));
    EXPECT_FALSE(rules.allows({4, 6, 0, 1}));  // a 同班 member would leave its group
    EXPECT_FALSE(rules.allows({6, 4, 1, 0}));
    EXPECT_TRUE(rules.allows({0, 1, 0, 1}));   // 分开 partners changing places stay apart
    EXPECT_FALSE(rules.allows({0, 6, 0, 1}));  // 0 would join 1
    EXPECT_FALSE(rules.allows({2, 1, 0, 1}));  // 1 would join 0
    EXPECT_FALSE(rules.allows({2, 3, 0, 1}));  // 3 would join 5, who stays with its 同班 group
    EXPECT_TRUE(rules.allows({2, 6, 0, 1}));   // 2 leaves 7: their group is mended

    // After 0 and 1 changed places, the rule sees them where they now are.
    rules.applied({0, 1, 0, 1});
    EXPECT_FALSE(rules.allows({1, 6, 0, 1}));  // 1 would join 0 in class 1
    EXPECT_FALSE(rules.allows({2, 0, 0, 1}));  // 0 would join 1 in class 0
    EXPECT_TRUE(rules.allows({7, 6, 0, 1}));
}

}  // namespace
}  // namespace qm::engine
