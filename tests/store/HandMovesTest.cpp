// Moves and swaps by hand, and the history that undoes and redoes them, in the real database.
#include <gtest/gtest.h>

#include "common/UserError.h"
#include "db/Connection.h"
#include "store/GroupStore.h"
#include "store/HandMoves.h"
#include "store/StepHistory.h"
#include "store/StepRecorder.h"
#include "support/AdjustmentFixture.h"

namespace qm::store {
namespace {

using HandMoves = test::AdjustmentFixture;

TEST_F(HandMoves, MoveAndSwapChangeOnlyTheirStudentsAndNameTheTouchedClasses) {
    const std::string before = placements();
    const auto moved = moveStudent(connection(), project, 1, 2);
    EXPECT_EQ(moved.description, "把 学号 1 学生1 从 1班 调到 2班");
    EXPECT_EQ(moved.classes, (std::vector<int>{1, 2}));
    const auto swapped = swapStudents(connection(), project, 3, 5);
    EXPECT_EQ(swapped.description, "对调 学号 3 学生3（3班）和 学号 5 学生5（2班）");
    EXPECT_EQ(swapped.classes, (std::vector<int>{2, 3}));
    // Placement codes stay; nobody else moved; each change was committed.
    database.reopen();
    EXPECT_EQ(placements(),
              "1:2:1 2:2:1 3:2:1 4:1:1 5:3:1 6:3:1 7:1:1 8:2:1 9:3:1 10:1:1 11:2:1 12:3:1");
    EXPECT_NE(placements(), before);
}

TEST_F(HandMoves, RefusalsGiveTheReasonAndChangeNothing) {
    group(GroupKind::Apart, {1, 2});     // 1 in class 1, 2 in class 2
    group(GroupKind::Together, {3, 6});  // both in class 3
    const std::string before = placements();
    struct Case {
        std::function<AdjustmentOutcome()> change;
        std::string message;
    };
    const Case cases[] = {
        {[&] { return moveStudent(connection(), project, 1, 2); },
         "不能把 学号 1 学生1 从 1班 调到 2班:\n分开组 1: 学号 1、2 同在 2班"},
        {[&] { return moveStudent(connection(), project, 3, 1); },
         "不能把 学号 3 学生3 从 3班 调到 1班:\n同班组 2: 学号 3 在 1班，学号 6 在 3班"},
        {[&] { return swapStudents(connection(), project, 4, 2); },
         "不能对调 学号 4 学生4（1班）和 学号 2 学生2（2班）:\n分开组 1: 学号 1、2 同在 1班"},
        {[&] { return swapStudents(connection(), project, 6, 7); },
         "不能对调 学号 6 学生6（3班）和 学号 7 学生7（1班）:\n同班组 2: 学号 6 在 1班，学号 3 在 "
         "3班"},
        {[&] { return moveStudent(connection(), project, 99, 1); }, "学号 99 不是该分班项目的学生"},
        {[&] { return moveStudent(connection(), project, 1, 4); }, "班级必须在 1 到 3 班之间: 4"},
        {[&] { return moveStudent(connection(), project, 1, 1); }, "学号 1 学生1 已在 1班"},
        {[&] { return swapStudents(connection(), project, 1, 4); },
         "学号 1 学生1 和 学号 4 学生4 都在 1班，无需对调"},
    };
    for (const Case& c : cases) {
        try {
            c.change();
            ADD_FAILURE() << "not refused: " << c.message;
        } catch (const UserError& error) {
            EXPECT_EQ(error.what(), c.message);
        }
    }
    connection().exec("update " + project.fbTable + " set class_id=0,type=0 where student_id=12");
    EXPECT_THROW(swapStudents(connection(), project, 1, 12), UserError);  // 12 is not placed
    // A student in a class the project does not have (copied from a larger project) would take
    // the other student there.
    connection().exec("update " + project.fbTable + " set class_id=94,type=2 where student_id=12");
    for (const auto& [first, second] : {std::pair{1, 12}, std::pair{12, 1}}) {
        try {
            swapStudents(connection(), project, first, second);
            ADD_FAILURE() << "not refused: a swap with class 94";
        } catch (const UserError& error) {
            EXPECT_EQ(error.what(),
                      std::string("不能对调: 学号 12 学生12 在 94班，该分班项目只有 1 到 3 班"));
        }
    }
    EXPECT_EQ(historyState(connection(), project).undo, std::nullopt);
    connection().exec("update " + project.fbTable + " set class_id=3,type=1 where student_id=12");
    EXPECT_EQ(placements(), before);
}

TEST_F(HandMoves, AMoveThatMendsABrokenGroupIsAllowed) {
    group(GroupKind::Together, {1, 2});  // made after the division: 1 in class 1, 2 in class 2
    EXPECT_THROW(moveStudent(connection(), project, 1, 3), UserError);
    moveStudent(connection(), project, 1, 2);
    EXPECT_EQ(classes()[1], 2);
}

TEST_F(HandMoves, UndoAndRedoSurviveARestart) {
    const std::string start = placements();
    moveStudent(connection(), project, 1, 2);
    const std::string afterMove = placements();
    swapStudents(connection(), project, 2, 3);
    const std::string afterSwap = placements();
    database.reopen();

    const HistoryState state = historyState(connection(), project);
    EXPECT_EQ(state.undo, "对调 学号 2 学生2（2班）和 学号 3 学生3（3班）");
    EXPECT_EQ(state.redo, std::nullopt);
    EXPECT_EQ(undoStep(connection(), project), *state.undo);
    EXPECT_EQ(placements(), afterMove);
    EXPECT_EQ(undoStep(connection(), project), "把 学号 1 学生1 从 1班 调到 2班");
    EXPECT_EQ(placements(), start);
    EXPECT_THROW(undoStep(connection(), project), UserError);
    database.reopen();
    EXPECT_EQ(redoStep(connection(), project), "把 学号 1 学生1 从 1班 调到 2班");
    EXPECT_EQ(redoStep(connection(), project), *state.undo);
    EXPECT_EQ(placements(), afterSwap);
    try {
        redoStep(connection(), project);
        ADD_FAILURE() << "nothing to redo";
    } catch (const UserError& error) {
        EXPECT_STREQ(error.what(), "没有可以重做的操作");
    }
}

TEST_F(HandMoves, ANewStepDropsWhatCouldBeRedone) {
    moveStudent(connection(), project, 1, 2);
    undoStep(connection(), project);
    moveStudent(connection(), project, 4, 3);
    EXPECT_EQ(historyState(connection(), project).redo, std::nullopt);
    EXPECT_EQ(historyState(connection(), project).undo, "把 学号 4 学生4 从 1班 调到 3班");
}

TEST_F(HandMoves, HistoryKeepsTheNewestStepsOnly) {
    for (int step = 0; step < kHistoryDepth + 5; ++step) {
        moveStudent(connection(), project, 1, step % 2 == 0 ? 2 : 1);
    }
    int undone = 0;
    while (historyState(connection(), project).undo) {
        undoStep(connection(), project);
        ++undone;
    }
    EXPECT_EQ(undone, kHistoryDepth);
    EXPECT_EQ(classes()[1], 2);  // the five oldest moves cannot be taken back
}

TEST_F(HandMoves, UndoRefusesWhenTheStudentWasChangedSinceOrIsGone) {
    moveStudent(connection(), project, 1, 2);
    connection().exec("update " + project.fbTable + " set class_id=3 where student_id=1");
    try {
        undoStep(connection(), project);
        ADD_FAILURE() << "not refused";
    } catch (const UserError& error) {
        EXPECT_STREQ(error.what(),
                     "学号 1 在这一步之后又被改动过（现在在 3班），无法撤销“把 学号 1 学生1 从 1班 "
                     "调到 2班”");
    }
    connection().exec("update " + project.fbTable + " set class_id=2 where student_id=1");
    connection().exec("delete from " + project.fbTable + " where student_id=1");
    EXPECT_THROW(undoStep(connection(), project), UserError);
}

// A group set after a step that the step's undo would break: refused by default with the group
// named, so that the teacher can choose; undone all the same with the group kept; or undone after
// the group is deleted, in one unit. Redo follows the same rules.
TEST_F(HandMoves, UndoThatWouldBreakALaterGroupKeepsOrRemovesItOnRequest) {
    moveStudent(connection(), project, 1, 2);
    const std::string moved = placements();
    const int apart = group(GroupKind::Apart, {1, 4});  // 4 sits in class 1, where 1 came from
    const int other = group(GroupKind::Apart, {2, 3});  // not touched by the step
    try {
        undoStep(connection(), project);
        ADD_FAILURE() << "not refused";
    } catch (const StepBreaksGroups& refused) {
        EXPECT_STREQ(refused.what(),
                     "撤销“把 学号 1 学生1 从 1班 调到 2班”会违反后来设的约束:\n"
                     "分开组 1: 学号 1、4 同在 1班\n\n"
                     "可以仍然撤销“把 学号 1 学生1 从 1班 调到 2班”并保留约束（下次分班时遵守），"
                     "或者删除这些约束后撤销“把 学号 1 学生1 从 1班 调到 2班”。");
        ASSERT_EQ(refused.groups.size(), 1u);
        EXPECT_EQ(refused.groups[0].id, apart);
    }
    EXPECT_EQ(placements(), moved);

    const auto groupIds = [&] {
        std::vector<int> ids;
        for (const StudentGroup& g : loadGroups(connection(), project.id())) {
            ids.push_back(g.id);
        }
        return ids;
    };
    undoStep(connection(), project, BrokenGroups::Keep);
    EXPECT_EQ(classes()[1], 1);
    EXPECT_EQ(groupIds(), (std::vector<int>{apart, other}));

    // Redo is not blocked by the group: in class 2 it is kept again.
    redoStep(connection(), project);
    EXPECT_EQ(placements(), moved);
    undoStep(connection(), project, BrokenGroups::Remove);
    EXPECT_EQ(classes()[1], 1);
    EXPECT_EQ(groupIds(), (std::vector<int>{other}));
}

}  // namespace
}  // namespace qm::store
