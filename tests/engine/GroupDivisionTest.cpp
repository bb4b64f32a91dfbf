// Divisions and re-divisions that keep the teacher's groups, through the real database: kept in
// every pass, refused before anything changes when they cannot be kept, reported when the
// placement runs out of classes, undone and redone as steps.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "common/UserError.h"
#include "db/Connection.h"
#include "engine/DivisionRun.h"
#include "store/GroupCheck.h"
#include "store/HandMoves.h"
#include "store/StepHistory.h"
#include "store/StudentTable.h"
#include "support/AdjustmentFixture.h"
#include "support/StudentRows.h"
#include "support/TeacherGroups.h"

namespace qm::engine {
namespace {

using store::GroupKind;

struct Console : DivisionObserver {
    void consoleLine(const std::string& line) override { text += line + "\n"; }
    std::string text;
};

class GroupDivision : public test::AdjustmentFixture {
  protected:
    // A random cohort: about 30 students a class, 6% fixed, 12% in one of two categories, many
    // shared pinyins; 8 同班 groups and 12 分开 groups of two or three, each with at most one
    // student whose class is decided in advance.
    store::CurrentProject randomCohort(std::uint32_t seed, int classCount) {
        std::mt19937 random(seed);
        auto chance = [&](int percent) { return static_cast<int>(random() % 100) < percent; };
        const auto cohort = store::createProject(connection(), "随机", classCount);
        std::vector<test::StudentRow> rows;
        std::vector<int> free;
        std::vector<int> fixed;
        std::set<int> decided;  // students fixed in advance
        std::normal_distribution<double> score(72, 14);
        for (int id = 1; id <= 30 * classCount; ++id) {
            test::StudentRow row{.student_id = id,
                                 .student_name = "学生" + std::to_string(id),
                                 .sex = chance(50) ? "男" : "女",
                                 .pingyin = "PY" + std::to_string(random() % 40)};
            for (double& s : row.scores) {
                s = std::clamp(std::round(score(random)), 0.0, 100.0);
            }
            if (chance(12)) {
                row.pfType = chance(50) ? "体育" : "艺术";
            }
            if (chance(6)) {
                row.type = store::kFixed;
                row.class_id = 1 + static_cast<int>(random() % classCount);
                fixed.push_back(id);
                decided.insert(id);
            } else {
                free.push_back(id);
            }
            rows.push_back(row);
        }
        test::insertStudents(connection(), cohort.fbTable, rows);
        std::shuffle(free.begin(), free.end(), random);
        std::vector<store::NewGroup> groups;
        auto take = [&](std::size_t size, GroupKind kind) {
            store::NewGroup group{kind, {}, ""};
            group.members.assign(free.end() - static_cast<long>(size), free.end());
            free.resize(free.size() - size);
            if (!fixed.empty() && chance(30)) {
                group.members.back() = fixed.back();
                fixed.pop_back();
            }
            groups.push_back(group);
        };
        for (int g = 0; g < 8; ++g) {
            take(2 + random() % 2, GroupKind::Together);
        }
        for (int g = 0; g < 12; ++g) {
            take(2 + random() % 2, GroupKind::Apart);
        }
        // A few 分开 groups also hold a member of a 同班 group, where neither group holds a
        // student fixed in advance.
        auto hasDecided = [&](const store::NewGroup& group) {
            return std::any_of(group.members.begin(), group.members.end(),
                               [&](int student) { return decided.count(student) != 0; });
        };
        for (int g = 0; g < 4; ++g) {
            if (!hasDecided(groups[g]) && !hasDecided(groups[8 + g])) {
                groups[8 + g].members.push_back(groups[g].members.front());
            }
        }
        store::addGroups(connection(), cohort, groups);
        return cohort;
    }
};

TEST_F(GroupDivision, GroupsAreKeptInDivisionCategoriesFineTuningAndReDivision) {
    for (std::uint32_t seed = 1; seed <= 6; ++seed) {
        const int classCount = 4 + static_cast<int>(seed % 4);
        const auto cohort = randomCohort(seed, classCount);
        const auto fixedBefore = connection().query("select student_id,class_id from " +
                                                    cohort.fbTable + " where type=2");
        Console console;
        divide(connection(), cohort, console);
        EXPECT_EQ(test::brokenGroups(connection(), cohort), std::vector<std::string>{})
            << "seed " << seed;
        EXPECT_NE(console.text.find("约束共 20 组，全部遵守"), std::string::npos) << console.text;
        for (const auto row : fixedBefore) {
            auto select = connection().prepare("select class_id from " + cohort.fbTable +
                                               " where student_id=?");
            select.bind(1, row[0]);
            EXPECT_EQ(select.query()[0][0], row[1]) << "a fixed student moved, seed " << seed;
        }

        const auto before = store::readClasses(connection(), cohort.fbTable);
        Console again;
        redivide(connection(), cohort, {3, 1, 2}, again);
        EXPECT_EQ(test::brokenGroups(connection(), cohort), std::vector<std::string>{})
            << "seed " << seed;
        int moved = 0;
        for (const auto& [student, classId] : store::readClasses(connection(), cohort.fbTable)) {
            const int was = before.at(student);
            if (was > 3) {
                EXPECT_EQ(classId, was) << "outside the chosen classes, seed " << seed;
            }
            moved += classId != was ? 1 : 0;
        }
        EXPECT_GT(moved, 0) << "seed " << seed;
    }
}

TEST_F(GroupDivision, SetsThatCannotBeKeptAreRefusedBeforeAnythingChanges) {
    const std::string division = "下列约束无法满足，没有分班:\n";
    const std::string redivision = "下列约束无法满足，没有重新分班:\n";
    struct Case {
        std::function<void()> setUp;
        std::vector<int> redivided;  // empty: a full division
        std::string message;
    };
    auto fix = [&](int student, int classId) {
        connection().exec("update " + project.fbTable + " set type=2,class_id=" +
                          std::to_string(classId) + " where student_id=" + std::to_string(student));
    };
    const Case cases[] = {
        {[&] {
             group(GroupKind::Together, {1, 2, 3, 4, 5});
         },
         {},
         division + "同班组 1: 有 5 名学生，多于一个班的人数（约 4 人）"},
        {[&] {
             storeUnchecked(GroupKind::Apart, {1, 2, 3, 4});
         },
         {},
         division + "分开组 1: 有 4 名学生要分到 3 个班，无法都不同班"},
        {[&] {
             storeUnchecked(GroupKind::Apart, {1, 2});
             storeUnchecked(GroupKind::Together, {1, 2, 3});
         },
         {},
         division + "同班组 2 含有分开组 1 的学号 1、2，不能既同班又分开"},
        {[&] {
             group(GroupKind::Apart, {1, 4});
             fix(1, 1);
             fix(4, 1);
         },
         {},
         division + "分开组 1: 学号 1、4 都只能在 1班"},
        {[&] {
             group(GroupKind::Together, {1, 2});
             fix(1, 1);
             fix(2, 2);
         },
         {},
         division + "同班组 1: 学号 1 固定在 1班，学号 2 固定在 2班，无法同班"},
        {[&] {
             group(GroupKind::Together, {1, 2});
             connection().exec("update " + project.fbTable + " set sex='' where student_id=2");
         },
         {},
         division + "同班组 1: 学号 2 的性别既不是“男”也不是“女”，分不到班，无法与同组同学同班"},
        {[&] {
             group(GroupKind::Together, {1, 2});
             fix(1, 0);
         },
         {},
         division + "同班组 1: 学号 1 固定在 0班（不在分班的班级中），学号 2 无法与之同班"},
        {[&] {
             group(GroupKind::Together, {4, 5});  // 4 fixed in class 1 takes 5 along
             group(GroupKind::Apart, {1, 5});
             fix(1, 1);
             fix(4, 1);
         },
         {},
         division + "分开组 2: 学号 1、5 都只能在 1班"},
        {[&] {
             group(GroupKind::Together, {1, 2, 3});
         },
         {1, 2},
         redivision + "同班组 1: 学号 3 在 3班（不参加重新分班），学号 1、2 无法与之同班"},
        {[&] {
             group(GroupKind::Apart, {1, 2, 4});
         },
         {1, 2},
         redivision + "分开组 1: 有 3 名学生要分到 2 个班，无法都不同班"},
    };
    const std::string start = placements();
    for (const Case& c : cases) {
        connection().exec("begin");
        c.setUp();
        const std::string before = placements();
        try {
            Console console;
            if (c.redivided.empty()) {
                divide(connection(), project, console);
            } else {
                redivide(connection(), project, c.redivided, console);
            }
            ADD_FAILURE() << "not refused: " << c.message;
        } catch (const UserError& error) {
            EXPECT_EQ(error.what(), c.message);
        }
        EXPECT_EQ(placements(), before) << c.message;
        EXPECT_EQ(store::historyState(connection(), project).undo, std::nullopt) << c.message;
        connection().exec("rollback");
    }
    EXPECT_EQ(placements(), start);
}

TEST_F(GroupDivision, AGroupThePlacementCannotKeepIsListedOnTheConsole) {
    // Three students pairwise apart cannot share two classes: no check before the run can see
    // it; the placement runs out of classes and the console says which group was not kept.
    const auto two = store::createProject(connection(), "两个班", 2);
    std::vector<test::StudentRow> rows;
    for (int id = 1; id <= 6; ++id) {
        rows.push_back({.student_id = id, .sex = "男", .pingyin = std::to_string(id)});
        rows.back().scores.fill(60 + id);
    }
    test::insertStudents(connection(), two.fbTable, rows);
    store::addGroups(connection(), two,
                     {{GroupKind::Apart, {1, 2}, ""},
                      {GroupKind::Apart, {2, 3}, ""},
                      {GroupKind::Apart, {1, 3}, ""}});
    Console console;
    divide(connection(), two, console);
    const auto broken = test::brokenGroups(connection(), two);
    ASSERT_FALSE(broken.empty());
    std::string listed = "未能遵守的约束 " + std::to_string(broken.size()) + " 组:\n";
    for (const auto& reason : broken) {
        listed += "  " + reason + "\n";
    }
    EXPECT_NE(console.text.find(listed), std::string::npos) << console.text;
}

TEST_F(GroupDivision, DivisionsAndReDivisionsAreUndoneAndRedone) {
    group(GroupKind::Apart, {1, 2});
    const std::string start = placements();
    Console console;
    divide(connection(), project, console);
    const std::string divided = placements();
    // Two students of class 3 moved into class 2, which the re-division evens out again.
    std::vector<int> third;
    for (const auto& [student, classId] : classes()) {
        if (classId == 3 && student > 2 && third.size() < 2) {
            third.push_back(student);
            store::moveStudent(connection(), project, student, 2);
        }
    }
    const std::string moved = placements();
    redivide(connection(), project, {2, 3}, console);
    const std::string redivided = placements();
    ASSERT_NE(redivided, moved);

    EXPECT_EQ(store::undoStep(connection(), project), "重新分班 2班、3班");
    EXPECT_EQ(placements(), moved);
    store::undoStep(connection(), project);
    store::undoStep(connection(), project);
    EXPECT_EQ(placements(), divided);
    EXPECT_EQ(store::undoStep(connection(), project), "分班");
    EXPECT_EQ(placements(), start);
    database.reopen();
    for (const char* step : {"分班", "", "", "重新分班 2班、3班"}) {
        const std::string action = store::redoStep(connection(), project);
        if (*step != '\0') {
            EXPECT_EQ(action, step);
        }
    }
    EXPECT_EQ(placements(), redivided);
}

}  // namespace
}  // namespace qm::engine
