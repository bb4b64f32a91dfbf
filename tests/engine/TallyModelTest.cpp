// The student and class tally model, the class choice and fine tuning on hand-built classes.
#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <random>

#include "engine/division/ClassChoice.h"
#include "engine/division/ClassTally.h"
#include "engine/division/FineTuner.h"
#include "engine/division/GroupExchangeRule.h"
#include "engine/division/KeyCountTable.h"

namespace qm::engine {
namespace {

// Students for a test, kept alive while the tallies refer to them.
class Students {
  public:
    PassStudent& add(int id, const std::string& sex, std::array<double, 9> scores,
                     int pinyinKey = -1) {
        PassStudent& student = students_.emplace_back();
        student.setInfo(id, "学生", 0, sex, 0, "");
        student.setScores(scores[0], scores[1], scores[2], scores[3], scores[4], scores[5],
                          scores[6], scores[7], scores[8]);
        student.pinyinKey = pinyinKey < 0 ? 1000 + id : pinyinKey;
        student.sexKey = sex == "男" ? 0 : sex == "女" ? 1 : 2;
        return student;
    }

  private:
    std::deque<PassStudent> students_;
};

TEST(TallyModel, ScoreBandsTruncateTowardZero) {
    const std::pair<double, int> cases[] = {{0, 0},    {9.99, 0}, {10, 1},
                                            {59.9, 5}, {95.5, 9}, {100, 10}};
    for (const auto& [score, band] : cases) {
        EXPECT_EQ(scoreBand(score), band) << score;
    }
}

TEST(TallyModel, CountsTrimmedBoysAndGirlsButMatchesSexCountExactly) {
    Students students;
    ClassTally tally;
    tally.addStudent(&students.add(1, " 男 ", {}));
    tally.addStudent(&students.add(2, "女", {}));
    tally.addStudent(&students.add(3, "", {}));
    tally.addStudent(&students.add(4, "x", {}));
    EXPECT_EQ(tally.count(), 4);
    EXPECT_EQ(tally.sexCount("男"), 1);
    EXPECT_EQ(tally.sexCount("女"), 1);
    EXPECT_EQ(tally.sexCount(" 男"), 0);
}

TEST(TallyModel, AveragesOfOneStudentAreItsValues) {
    Students students;
    ClassTally tally;
    tally.addStudent(&students.add(1, "男", {90, 85.5, 88, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(tally.avgTotal(), 263.5);
    EXPECT_EQ(tally.average(kEnglish), 85.5);
}

TEST(TallyModel, BandCountsAndBandSwapTest) {
    Students students;
    ClassTally tally;
    tally.inter = 1;
    BandTargets targets;
    targets.set(kMath, 8, 3);
    targets.set(kMath, 9, 4);
    for (int i = 0; i < 5; ++i) {
        tally.addStudent(&students.add(i, "男", {85}));
    }
    for (int i = 5; i < 9; ++i) {
        tally.addStudent(&students.add(i, "男", {92}));
    }
    EXPECT_EQ(tally.bandCount("M", 80), 5);
    EXPECT_EQ(tally.bandCount("m", 85), 0);
    EXPECT_EQ(tally.bandCount("", 85), 0);
    EXPECT_EQ(tally.bandSwapTest("M", targets, 85, 89), 0);  // same band
    // Two over in band 8, on target in band 9: (5-3)-(4-4) = 2 > 1.
    EXPECT_EQ(tally.bandSwapTest("M", targets, 85, 95), 1);
    ClassTally oneFewer;
    oneFewer.inter = 1;
    for (int i = 1; i < 9; ++i) {
        oneFewer.addStudent(tally.students[i]);
    }
    // (4-3)-(4-4) = 1 is not above 1.
    EXPECT_EQ(oneFewer.bandSwapTest("M", targets, 85, 95), -1);
}

TEST(TallyModel, PinyinQuestions) {
    Students students;
    ClassTally tally;
    PassStudent& only = students.add(1, "男", {}, 7);
    tally.addStudent(&only);
    EXPECT_TRUE(tally.hasPinyin(7));
    EXPECT_FALSE(tally.hasOtherPinyin(1, 7));
    tally.addStudent(&students.add(2, "女", {}, 7));
    EXPECT_TRUE(tally.hasOtherPinyin(1, 7));
}

// The per-class key counts against a plain map, through growth and through keys that come and
// go many times (an emptied place must leave every other key reachable).
TEST(TallyModel, KeyCountsFollowEveryChange) {
    std::mt19937 random(23);
    KeyCountTable table;
    std::map<int, int> expected;
    for (int step = 0; step < 20000; ++step) {
        // Keys of a small range collide often; now and then a far one.
        const int key = random() % 10 == 0 ? static_cast<int>(random() % 1000000)
                                           : static_cast<int>(random() % 40);
        const int delta = expected[key] > 0 && random() % 2 == 0 ? -1 : 1;
        table.add(key, delta);
        expected[key] += delta;
        const int probe = static_cast<int>(random() % 60);
        ASSERT_EQ(table.count(probe), expected.count(probe) ? expected[probe] : 0)
            << "step " << step;
    }
    for (const auto& [key, count] : expected) {
        EXPECT_EQ(table.count(key), count) << key;
    }
}

TEST(TallyModel, SameScoresIgnoresIdentity) {
    Students students;
    const PassStudent& a = students.add(1, "男", {80, 70, 60, 50, 40, 30, 20, 10, 0}, 1);
    const PassStudent& b = students.add(2, "女", {80, 70, 60, 50, 40, 30, 20, 10, 0}, 2);
    const PassStudent& c = students.add(3, "女", {80, 70, 60, 50, 40, 30, 20, 10, 1}, 2);
    EXPECT_TRUE(a.sameScores(b));
    EXPECT_FALSE(a.sameScores(c));
}

TEST(ClassChoice, FillsBySexThenBandsThenOrder) {
    Students students;
    std::vector<ClassTally> classes(3);
    const std::array<double, 9> high = {85, 85, 85, 85, 85, 85, 85, 85, 85};
    const std::array<double, 9> low = {55, 55, 55, 55, 55, 55, 55, 55, 55};
    EXPECT_EQ(findMixClass("男", classes, students.add(1, "男", high)), 0);  // all empty
    classes[0].addStudent(&students.add(2, "男", high));
    // The next boy: the first class without a boy (classes 1 and 2 tie).
    EXPECT_EQ(findMixClass("男", classes, students.add(3, "男", high)), 1);
    classes[1].addStudent(&students.add(4, "女", high));
    classes[2].addStudent(&students.add(5, "女", low));
    // Same boy count in classes 1 and 2: the smaller band sum (class 2) wins.
    EXPECT_EQ(findMixClass("男", classes, students.add(6, "男", high)), 2);
    classes[1].addStudent(&students.add(7, "女", low));
    classes[2].addStudent(&students.add(8, "女", high));
    // Class 0 has the fewest girls and wins although it shares more bands.
    classes[0].addStudent(&students.add(9, "男", low));
    EXPECT_EQ(findMixClass("女", classes, students.add(10, "女", high)), 0);
}

TEST(ClassChoice, AvoidsSamePinyinUnlessEveryClassHasIt) {
    Students students;
    std::vector<ClassTally> classes(3);
    classes[0].addStudent(&students.add(1, "男", {}, 42));
    classes[1].addStudent(&students.add(2, "女", {}, 1));
    classes[2].addStudent(&students.add(3, "女", {}, 2));
    // Class 0 has the fewest girls but holds the pinyin: the choice falls among the others.
    EXPECT_EQ(findMixClass("女", classes, students.add(4, "女", {}, 42)), 1);
    classes[1].addStudent(&students.add(5, "男", {}, 42));
    classes[2].addStudent(&students.add(6, "男", {}, 42));
    // Every class holds it: the plain rule decides.
    EXPECT_EQ(findMixClass("女", classes, students.add(7, "女", {}, 42)), 0);
}

TEST(ClassChoice, ChoosesClassesWhoseBandSumsReachAThousand) {
    // Subjects nobody takes put everyone into band 0: the band sums grow past 1000.
    Students students;
    std::vector<ClassTally> classes(2);
    for (int i = 0; i < 1000; ++i) {
        PassStudent& student = students.add(i, "男", {0, 0, 0, 70, 70, 70, 70, 70, 70});
        classes[findMixClass("男", classes, student)].addStudent(&student);
    }
    EXPECT_EQ(classes[0].count(), 500);
    EXPECT_EQ(classes[1].count(), 500);
}

TEST(ClassChoice, SecondSweepStartsAfreshWhenEveryClassHoldsThePinyin) {
    // Both classes hold the pinyin, so the first sweep passes over both; the second must then
    // choose by the plain rule alone (fewest girls: class 0), not carry over the first sweep's
    // band sums, by which class 1 would win.
    Students students;
    std::vector<ClassTally> classes(2);
    const std::array<double, 9> shared = {85, 85, 85, 85, 85, 85, 85, 85, 85};
    const std::array<double, 9> other = {55, 55, 55, 55, 55, 55, 55, 55, 55};
    for (int i = 0; i < 10000; ++i) {
        classes[0].addStudent(&students.add(i, "女", shared, i == 0 ? 42 : -1));
    }
    for (int i = 10000; i < 20001; ++i) {
        classes[1].addStudent(&students.add(i, "女", other, i == 10000 ? 42 : -1));
    }
    EXPECT_EQ(findMixClass("女", classes, students.add(30000, "女", shared, 42)), 0);
}

// Fine tuning on two classes where only physics differs (cohort average 50): class 0 holds A
// (60) and C (40), class 1 holds B (70). Worked through by hand from the exchange rules.
TEST(TallyModel, FineTuningKeepsOnlyExchangesThatSuitTheRules) {
    struct Case {
        const char* name;
        bool isRefb;
        bool cSharesBsPinyin;
        TuningCounts expected;
        int inClassOne;  // who sits in class 1 afterwards
    };
    const Case cases[] = {
        // Class 1 gains by taking A; class 0 is not asked. A, now in class 1's slot, goes on
        // against C, and since A took part in a kept exchange class 0 must pass too: it would
        // lose (|-5| to |-15|), so A stays.
        {"plain", false, false, {1, 0}, 1},
        // Every exchange must suit both classes. A-B and C-B each suit class 1 but not class 0:
        // nothing moves, yet both count as class-1 successes.
        {"re-division", true, false, {0, 2}, 2},
        // B may not join C's class (same pinyin): class 1 takes C instead of A.
        {"same pinyin", false, true, {1, 0}, 3},
    };
    for (const Case& c : cases) {
        // Physics is the whole total here, so the total condition agrees with the subject one;
        // with it on, candidates are also narrowed down by their totals first.
        for (const bool avgTotal : {false, true}) {
            const std::string name = std::string(c.name) + (avgTotal ? ", total on" : "");
            Students students;
            std::vector<ClassTally> classes(2);
            auto physics = [](double score) {
                return std::array<double, 9>{0, 0, 0, score, 0, 0, 0, 0, 0};
            };
            const int pinyin = c.cSharesBsPinyin ? 7 : -1;
            classes[0].addStudent(&students.add(1, "男", physics(60)));
            classes[0].addStudent(&students.add(3, "男", physics(40), pinyin));
            classes[1].addStudent(&students.add(2, "男", physics(70), pinyin));
            CohortFigures figures;
            figures.averages[kWuli] = 50;
            figures.averages[kTotal] = 50;
            TuningRules rules;
            rules.avgTotal = avgTotal;
            rules.isRefb = c.isRefb;
            FineTuner tuner(classes, rules, figures);
            const TuningCounts counts = tuner.runPass([] {});
            EXPECT_EQ(counts.swaps, c.expected.swaps) << name;
            EXPECT_EQ(counts.requalified, c.expected.requalified) << name;
            ASSERT_EQ(classes[1].count(), 1) << name;
            EXPECT_EQ(classes[1].students[0]->studentId, c.inClassOne) << name;
            for (const auto& tally : classes) {
                for (const PassStudent* student : tally.students) {
                    EXPECT_EQ(student->adjusted, 0) << name;
                }
            }
        }
    }
}

TEST(ClassChoice, ChoosesAmongAllowedClassesOnly) {
    Students students;
    std::vector<ClassTally> classes(3);
    const PassStudent& boy = students.add(1, "男", {}, 42);
    EXPECT_EQ(findMixClassAmong("男", classes, boy, {false, true, true}), 1);
    EXPECT_EQ(findMixClassAmong("男", classes, boy, {false, false, false}), std::nullopt);
    classes[1].addStudent(&students.add(2, "女", {}, 42));
    // The only other allowed class holds the pinyin: class 2 is free of it.
    EXPECT_EQ(findMixClassAmong("男", classes, boy, {false, true, true}), 2);
    // Every allowed class holds it: the plain rule decides among them.
    EXPECT_EQ(findMixClassAmong("男", classes, boy, {false, true, false}), 1);
}

TEST(TallyModel, ExchangesKeepTheTeachersGroups) {
    struct Case {
        const char* name;
        std::vector<int> aKeys, bKeys, xKeys;
        bool aTogether;
        bool heldOutside;  // class 1 holds a place in group 0 for a student outside the pass
        bool keeps;
    };
    const Case cases[] = {
        {"no groups", {}, {}, {}, false, false, true},
        {"A would join its partner X", {0}, {}, {0}, false, false, false},
        {"A and B partners trade places", {0}, {0}, {}, false, false, true},
        {"A in a 同班 group", {}, {}, {}, true, false, false},
        {"A's partner outside the pass sits in class 1", {0}, {}, {}, false, true, false},
        {"partners elsewhere do not count", {1}, {2}, {}, false, false, true},
    };
    for (const Case& c : cases) {
        Students students;
        std::vector<ClassTally> classes(2);
        PassStudent& a = students.add(1, "男", {});
        PassStudent& b = students.add(2, "男", {});
        PassStudent& x = students.add(3, "女", {});
        a.apartKeys = c.aKeys;
        a.inTogetherGroup = c.aTogether;
        b.apartKeys = c.bKeys;
        x.apartKeys = c.xKeys;
        classes[0].addStudent(&a);
        classes[1].addStudent(&b);
        classes[1].addStudent(&x);
        if (c.heldOutside) {
            classes[1].holdApartPlaces({0}, 1);
        }
        EXPECT_EQ(exchangeKeepsGroups(classes[0], a, classes[1], b), c.keeps) << c.name;
        EXPECT_EQ(exchangeKeepsGroups(classes[1], b, classes[0], a), c.keeps) << c.name;
    }
}

// The classes of FineTuningKeepsOnlyExchangesThatSuitTheRules, with groups: without them class
// 1 takes A; when A may not join class 1 (or never moves), class 1 takes C instead; when B
// never moves, nothing moves.
TEST(TallyModel, FineTuningMakesNoExchangeThatBreaksAGroup) {
    struct Case {
        const char* name;
        bool aApartFromClassOne;
        bool aTogether;
        bool bTogether;
        TuningCounts expected;
        int inClassOne;
    };
    const Case cases[] = {
        {"no groups", false, false, false, {1, 0}, 1},
        {"A's partner sits in class 1", true, false, false, {1, 0}, 3},
        {"A in a 同班 group", false, true, false, {1, 0}, 3},
        {"B in a 同班 group", false, false, true, {0, 0}, 2},
    };
    for (const Case& c : cases) {
        Students students;
        std::vector<ClassTally> classes(2);
        auto physics = [](double score) {
            return std::array<double, 9>{0, 0, 0, score, 0, 0, 0, 0, 0};
        };
        PassStudent& a = students.add(1, "男", physics(60));
        PassStudent& b = students.add(2, "男", physics(70));
        a.apartKeys = c.aApartFromClassOne ? std::vector<int>{0} : std::vector<int>{};
        a.inTogetherGroup = c.aTogether;
        b.inTogetherGroup = c.bTogether;
        classes[0].addStudent(&a);
        classes[0].addStudent(&students.add(3, "男", physics(40)));
        classes[1].addStudent(&b);
        if (c.aApartFromClassOne) {
            classes[1].holdApartPlaces({0}, 1);
        }
        CohortFigures figures;
        figures.averages[kWuli] = 50;
        figures.averages[kTotal] = 50;
        TuningRules rules;
        rules.keepGroups = true;
        FineTuner tuner(classes, rules, figures);
        const TuningCounts counts = tuner.runPass([] {});
        EXPECT_EQ(counts.swaps, c.expected.swaps) << c.name;
        EXPECT_EQ(counts.requalified, c.expected.requalified) << c.name;
        ASSERT_EQ(classes[1].count(), 1) << c.name;
        EXPECT_EQ(classes[1].students[0]->studentId, c.inClassOne) << c.name;
    }
}

}  // namespace
}  // namespace qm::engine
