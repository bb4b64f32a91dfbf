// What fine tuning picks its candidates from (the movable students in orders by total) and judges
// their bands by (the classes' band surpluses), against plain recounts after many exchanges.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <random>
#include <set>

#include "engine/division/ClassBandSurplus.h"
#include "engine/division/TuningCandidates.h"

namespace qm::engine {
namespace {

PassStudent makeStudent(int id, const std::array<double, kSubjectCount>& scores) {
    PassStudent student;
    student.setInfo(id, "学生", 0, "男", 0, "");
    student.setScores(scores[0], scores[1], scores[2], scores[3], scores[4], scores[5], scores[6],
                      scores[7], scores[8]);
    return student;
}

TEST(TuningCandidates, WindowsHoldExactlyTheStudentsInThemAfterExchanges) {
    std::mt19937 random(7);
    const int classCount = 5;
    std::deque<PassStudent> students;
    TuningCandidates candidates;
    std::vector<const PassStudent*> at;  // who sits at each position
    for (int c = 0; c < classCount; ++c) {
        // Classes of different sizes, one of them empty; few distinct totals, so many are equal.
        const int size = c == 2 ? 0 : 3 + c;
        for (int slot = 0; slot < size; ++slot) {
            std::array<double, kSubjectCount> scores{};
            scores[0] = static_cast<double>(random() % 12);
            scores[1] = static_cast<double>(random() % 3) * 0.5;
            students.push_back(makeStudent(static_cast<int>(students.size()), scores));
            candidates.add(c, slot, students.back());
            at.push_back(&students.back());
        }
    }
    candidates.finish(classCount);
    const int size = candidates.size();
    for (int step = 0; step < 400; ++step) {
        const int first = static_cast<int>(random() % static_cast<unsigned>(size));
        const int second = static_cast<int>(random() % static_cast<unsigned>(size));
        candidates.exchange(first, second);
        std::swap(at[first], at[second]);

        const double low = static_cast<double>(random() % 14) - 1;
        const double high = low + static_cast<double>(random() % 5) * 0.75;
        std::set<int> inWindow;
        double previous = -1e9;
        for (const auto& entry : candidates.within(low, high)) {
            EXPECT_GE(entry.total, previous) << "step " << step;
            previous = entry.total;
            EXPECT_EQ(entry.total, at[entry.position]->total) << "step " << step;
            EXPECT_EQ(entry.bands, at[entry.position]->bands) << "step " << step;
            inWindow.insert(entry.position);
        }
        std::set<int> expected;
        for (int p = 0; p < size; ++p) {
            EXPECT_EQ(candidates.total(p), at[p]->total) << "step " << step;
            if (at[p]->total >= low && at[p]->total <= high) {
                expected.insert(p);
            }
        }
        EXPECT_EQ(inWindow, expected) << "step " << step;

        std::set<int> inClasses;
        for (int c = 0; c < classCount; ++c) {
            for (const auto& ranked : candidates.withinClass(c, low, high)) {
                EXPECT_EQ(candidates.classOf(ranked.position), c) << "step " << step;
                EXPECT_EQ(ranked.total, at[ranked.position]->total) << "step " << step;
                inClasses.insert(ranked.position);
            }
        }
        EXPECT_EQ(inClasses, expected) << "step " << step;
        if (HasFailure()) {
            return;
        }
    }
}

// Bands within a school's range are held in the table; far ones (a score of 100,000 in one
// subject) leave some bands, or all, to the class itself. Either way every answer is the class's,
// and while every band is held, so are the band scores worked out for one student at a time.
TEST(ClassBandSurplus, FollowsTheClassesThroughExchanges) {
    for (const double farScore : {0.0, 2500.0, 100000.0}) {
        std::mt19937 random(11);
        std::deque<PassStudent> students;
        std::vector<ClassTally> classes(4);
        for (int c = 0; c < 4; ++c) {
            classes[c].inter = c - 1;  // band tolerances -1 to 2
        }
        BandTargets targets;
        for (int s = 0; s < kSubjectCount; ++s) {
            for (int band = 0; band <= 12; ++band) {
                targets.set(static_cast<Subject>(s), band, static_cast<int>(random() % 3));
            }
        }
        for (int id = 0; id < 40; ++id) {
            std::array<double, kSubjectCount> scores{};
            for (double& score : scores) {
                score = static_cast<double>(random() % 121);
            }
            if (id % 13 == 0) {
                scores[id % kSubjectCount] = farScore;
            }
            students.push_back(makeStudent(id, scores));
            if (id % 10 == 0) {
                students.back().placeType = 2;  // fixed: its bands count, it never moves
            }
            classes[id % 4].addStudent(&students.back());
        }
        ClassBandSurplus surplus(classes, targets);
        auto expectSame = [&](int step) {
            for (int c = 0; c < 4; ++c) {
                for (int s = 0; s < kSubjectCount; ++s) {
                    for (int band : {-1, 0, 5, 9, 12, 13, 250, 10000}) {
                        const auto subject = static_cast<Subject>(s);
                        ASSERT_EQ(surplus.at(c, subject, band),
                                  classes[c].bandSurplus(subject, targets, band))
                            << "far score " << farScore << ", step " << step << ", class " << c
                            << ", subject " << s << ", band " << band;
                    }
                }
                // The band score of every movable student against one that leaves the class or
                // joins it, from the answers, is the sum of the class's own answers.
                if (!surplus.holdsEveryBand()) {
                    continue;
                }
                for (const PassStudent* fixed : classes[c].students) {
                    if (!fixed->movable()) {
                        continue;
                    }
                    for (const bool joins : {false, true}) {
                        const auto answers = surplus.answersFor(c, *fixed, joins);
                        for (const PassStudent& other : students) {
                            if (!other.movable()) {
                                continue;
                            }
                            int expected = 0;
                            for (int s = 0; s < kSubjectCount; ++s) {
                                const auto subject = static_cast<Subject>(s);
                                expected +=
                                    joins ? classes[c].bandSwapTest(subject, targets,
                                                                    other.bands[s], fixed->bands[s])
                                          : classes[c].bandSwapTest(
                                                subject, targets, fixed->bands[s], other.bands[s]);
                            }
                            ASSERT_EQ(answers.score(other.bands), expected)
                                << "far score " << farScore << ", step " << step << ", class " << c
                                << ", student " << fixed->studentId << " joins " << joins
                                << ", other " << other.studentId;
                        }
                    }
                }
            }
        };
        expectSame(-1);
        for (int step = 0; step < 200 && !HasFailure(); ++step) {
            const int i = static_cast<int>(random() % 4);
            const int j = (i + 1 + static_cast<int>(random() % 3)) % 4;
            const int k = static_cast<int>(random() % 10);
            const int l = static_cast<int>(random() % 10);
            PassStudent* a = classes[i].students[k];
            PassStudent* b = classes[j].students[l];
            if (!a->movable() || !b->movable()) {
                continue;
            }
            classes[i].replace(k, b);
            classes[j].replace(l, a);
            surplus.replaced(i, *a, *b);
            surplus.replaced(j, *b, *a);
            expectSame(step);
        }
    }
}

}  // namespace
}  // namespace qm::engine
