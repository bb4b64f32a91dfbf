// The teacher's groups in the store: entry with its refusals, and the tables that live and die
// with the project.
#include <gtest/gtest.h>

#include "common/UserError.h"
#include "db/Connection.h"
#include "store/AdjustmentTables.h"
#include "store/GroupCheck.h"
#include "store/GroupList.h"
#include "store/GroupStore.h"
#include "store/StudentCopy.h"
#include "support/AdjustmentFixture.h"

namespace qm::store {
namespace {

using Groups = test::AdjustmentFixture;

std::string refusal(const std::function<void()>& action) {
    try {
        action();
    } catch (const UserError& error) {
        return error.what();
    }
    return "(not refused)";
}

TEST_F(Groups, AreStoredListedAndDeleted) {
    const int apart = group(GroupKind::Apart, {7, 1, 4});
    const auto ids =
        addGroups(connection(), project,
                  {{GroupKind::Together, {2, 5}, "结伴"}, {GroupKind::Apart, {2, 3}, ""}});
    const auto groups = loadGroups(connection(), project.id());
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(groups[0].id, apart);
    EXPECT_EQ(groups[0].kind, GroupKind::Apart);
    EXPECT_EQ(groups[0].members, (std::vector<int>{1, 4, 7}));
    EXPECT_EQ(groupTitle(groups[1]), "同班组 " + std::to_string(ids[0]) + "（结伴）");
    EXPECT_EQ(groups[1].members, (std::vector<int>{2, 5}));

    deleteGroup(connection(), project.id(), apart);
    EXPECT_EQ(loadGroups(connection(), project.id()).size(), 2u);
    EXPECT_EQ(refusal([&] { deleteGroup(connection(), project.id(), apart); }),
              "该分班项目没有第 " + std::to_string(apart) + " 组约束");
    // Numbers are not handed out again.
    EXPECT_GT(group(GroupKind::Apart, {1, 2}), ids[1]);
}

TEST_F(Groups, RefusalsNameTheGroupAndStoreNothing) {
    group(GroupKind::Together, {1, 2});
    group(GroupKind::Apart, {3, 4});
    // Fixed in advance: 7 and 10 in class 1, 11 in class 2.
    connection().exec("update " + project.fbTable + " set type=2 where student_id in (7,10,11)");
    struct Case {
        NewGroup group;
        std::string message;
    };
    const Case cases[] = {
        {{GroupKind::Apart, {1}, ""}, "新的分开组: 一个组至少要有两名学生"},
        {{GroupKind::Apart, {5, 6, 5}, "A"}, "组 A（分开）: 学号 5 出现了两次"},
        {{GroupKind::Together, {5, 99}, ""}, "新的同班组: 学号 99 不是该分班项目的学生"},
        {{GroupKind::Apart, {5, 6, 7, 8}, ""},
         "新的分开组: 有 4 名学生，多于班级数 3，无法让他们都不同班"},
        {{GroupKind::Together, {2, 5}, ""}, "学号 2 同时属于同班组 1 和新的同班组"},
        {{GroupKind::Together, {3, 4, 5}, ""},
         "新的同班组 含有分开组 2 的学号 3、4，不能既同班又分开"},
        {{GroupKind::Apart, {1, 2, 6}, ""},
         "同班组 1 含有新的分开组 的学号 1、2，不能既同班又分开"},
        {{GroupKind::Together, {5, 7, 10, 11}, ""},
         "新的同班组: 学号 7、10 固定在 1班，学号 11 固定在 2班，无法同班"},
        {{GroupKind::Apart, {7, 10}, "双胞胎"},
         "组 双胞胎（分开）: 学号 7、10 都固定在 1班，无法不同班"},
    };
    for (const Case& c : cases) {
        // A good group before the bad one is not stored either: the entry is all or none.
        EXPECT_EQ(refusal([&] {
                      addGroups(connection(), project, {{GroupKind::Apart, {9, 10}, ""}, c.group});
                  }),
                  c.message);
        EXPECT_EQ(loadGroups(connection(), project.id()).size(), 2u) << c.message;
    }
    // Fixed students can keep these.
    EXPECT_NO_THROW(group(GroupKind::Together, {7, 10}));
    EXPECT_NO_THROW(group(GroupKind::Apart, {10, 11}));
}

TEST_F(Groups, AContradictionStoredBeforeDoesNotBlockOtherGroups) {
    storeUnchecked(GroupKind::Together, {1, 2});
    storeUnchecked(GroupKind::Together, {2, 3});
    EXPECT_NO_THROW(group(GroupKind::Apart, {5, 6}));
}

TEST_F(Groups, TellWhetherAPlacementKeepsThem) {
    const StudentGroup apart{.id = 1, .kind = GroupKind::Apart, .members = {1, 4, 7, 99}};
    const StudentGroup together{
        .id = 2, .kind = GroupKind::Together, .label = "结伴", .members = {2, 5, 8}};
    ClassOfStudent classes = readClasses(connection(), project.fbTable);
    // 1, 4 and 7 all sit in class 1; 99 is no student of the project.
    EXPECT_EQ(whyBroken(apart, classes), "分开组 1: 学号 1、4、7 同在 1班");
    EXPECT_EQ(whyBroken(together, classes), std::nullopt);
    classes[4] = 2;
    classes[7] = 0;  // not placed: apart from everyone
    EXPECT_EQ(whyBroken(apart, classes), std::nullopt);
    classes[5] = 3;
    classes[8] = 0;
    EXPECT_EQ(whyBroken(together, classes),
              "同班组 2（结伴）: 学号 8 在 未分班，学号 2 在 2班，学号 5 在 3班");
}

TEST_F(Groups, AreListedWithNamesAndWhetherTheClassesKeepThem) {
    group(GroupKind::Apart, {1, 4});  // both in class 1
    storeUnchecked(GroupKind::Together, {2, 99});
    const auto listing = listGroups(connection(), project);
    ASSERT_EQ(listing.size(), 2u);
    EXPECT_EQ(listing[0].members, "1 学生1、4 学生4");
    EXPECT_EQ(listing[0].broken, "分开组 1: 学号 1、4 同在 1班");
    EXPECT_EQ(listing[1].members, "2 学生2、99（不在项目中）");
    EXPECT_EQ(listing[1].broken, std::nullopt);
    // Each member with its name and class, for the windows; a number gone from the project has
    // neither.
    ASSERT_EQ(listing[1].students.size(), 2u);
    EXPECT_EQ(listing[1].students[0].studentId, 2);
    EXPECT_EQ(listing[1].students[0].name, "学生2");
    EXPECT_EQ(listing[1].students[0].classId, 2);
    EXPECT_EQ(listing[1].students[1].studentId, 99);
    EXPECT_EQ(listing[1].students[1].name, std::nullopt);
    EXPECT_EQ(listing[1].students[1].classId, 0);
}

TEST_F(Groups, LiveAndDieWithTheProject) {
    const AdjustmentTables tables(project.id());
    for (const std::string& name : tables.all()) {
        EXPECT_TRUE(connection().tableExists(name)) << name;
    }
    group(GroupKind::Apart, {1, 2});
    deleteProject(connection(), project.id());
    for (const std::string& name : tables.all()) {
        EXPECT_FALSE(connection().tableExists(name)) << name;
    }
}

// An older version deleted a project's rows and student tables but left these tables behind.
// Opening drops them, and no other table that merely looks like one.
TEST_F(Groups, TablesOfAProjectAnOlderVersionDeletedGoOnOpening) {
    group(GroupKind::Apart, {1, 2});
    const auto other = createProject(connection(), "旧项目", 3);
    const AdjustmentTables left(other.id());
    connection().exec("delete from fb_info where id=" + other.fbId +
                      ";delete from config where id=" + other.fbId + ";drop table " +
                      other.fbTable + ";drop table " + other.rbTable);
    connection().exec("create table fb_" + other.fbId + "_notes(x);create table " + other.fbTable +
                      "(x);create table fb_07_groups(x)");
    database.reopen();
    for (const std::string& name : left.all()) {
        EXPECT_FALSE(connection().tableExists(name)) << name;
    }
    for (const std::string& kept :
         {"fb_" + other.fbId + "_notes", other.fbTable, std::string("fb_07_groups")}) {
        EXPECT_TRUE(connection().tableExists(kept)) << kept;
    }
    for (const std::string& name : AdjustmentTables(project.id()).all()) {
        EXPECT_TRUE(connection().tableExists(name)) << name;
    }
    EXPECT_EQ(loadGroups(connection(), project.id()).size(), 1u);
}

TEST_F(Groups, OlderDatabasesGetTheTablesOnOpeningWithTheirDataKept) {
    const AdjustmentTables tables(project.id());
    for (const std::string& name : tables.all()) {
        connection().exec("drop table " + name);
    }
    database.reopen();
    for (const std::string& name : tables.all()) {
        EXPECT_TRUE(connection().tableExists(name)) << name;
    }
    EXPECT_EQ(classes().size(), 12u);
    group(GroupKind::Apart, {1, 2});
    database.reopen();  // opening again keeps what is there
    EXPECT_EQ(loadGroups(connection(), project.id()).size(), 1u);
}

TEST_F(Groups, ComeAlongWhenStudentsAreCopiedAndAreNotRepeated) {
    group(GroupKind::Apart, {1, 2});
    group(GroupKind::Together, {3, 6});
    const auto target = createProject(connection(), "目标", 3);
    copyStudents(connection(), target, project.id(), CopyMode::Add);
    copyStudents(connection(), target, project.id(), CopyMode::Overwrite);
    const auto copied = loadGroups(connection(), target.id());
    ASSERT_EQ(copied.size(), 2u);
    EXPECT_EQ(copied[0].kind, GroupKind::Apart);
    EXPECT_EQ(copied[1].members, (std::vector<int>{3, 6}));
}

}  // namespace
}  // namespace qm::store
