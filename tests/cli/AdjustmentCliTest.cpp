// The teacher's adjustments through the real command-line program, on the sample workbook and
// the sample file of groups: constraints, a division that keeps them, moves, undo and redo,
// saved versions.
#include <gtest/gtest.h>

#include "support/TempDatabase.h"

namespace qm::test {
namespace {

class AdjustmentCli : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(run({"new", "--memo", "样例", "--classes", "4"}).status, 0);
        ASSERT_EQ(run({"import", "1", sampleFile("分班数据输入样例.xls")}).status, 0);
    }
    ProgramResult run(std::vector<std::string> words) {
        words.insert(words.begin(), {"--db", folder.file("fb.db")});
        return runCli(words);
    }
    // Runs a command that must succeed and returns what it printed.
    std::string ok(const std::vector<std::string>& words) {
        const ProgramResult result = run(words);
        EXPECT_EQ(result.status, 0) << result.err;
        return result.out;
    }
    static bool has(const std::string& text, const std::string& part) {
        return text.find(part) != std::string::npos;
    }
    TempFolder folder;
};

TEST_F(AdjustmentCli, ConstraintsAreKeptByTheDivisionAndByMovesByHand) {
    const std::string added = ok({"constraints", "1", "--file", sampleFile("分班约束样例.csv")});
    EXPECT_TRUE(has(added, "已添加分开组 1（双胞胎）: 学号 20240001、20240002")) << added;
    EXPECT_TRUE(has(ok({"constraints", "1", "--apart", "20240100,20240101"}), "已添加分开组 6"));
    EXPECT_TRUE(has(ok({"divide", "1"}), "约束共 6 组，全部遵守"));
    const std::string list = ok({"constraints", "1", "--list"});
    EXPECT_TRUE(has(list, "同班  结伴")) << list;
    EXPECT_FALSE(has(list, "未遵守")) << list;

    // 20240003 belongs to the 同班 group 结伴: moving it alone into another class is refused
    // with the reason.
    ProgramResult refusal = run({"move", "1", "20240003", "1"});
    if (has(refusal.err, "已在 1班")) {
        refusal = run({"move", "1", "20240003", "2"});
    }
    EXPECT_EQ(refusal.status, 1);
    EXPECT_TRUE(has(refusal.err, "同班组 2（结伴）")) << refusal.err;

    EXPECT_TRUE(has(ok({"constraints", "1", "--delete", "2"}), "已删除第 2 组约束"));
    EXPECT_EQ(run({"constraints", "1", "--delete", "2"}).status, 1);
    EXPECT_EQ(run({"constraints", "1", "--apart", "1", "--together", "2"}).status, 2);
    EXPECT_EQ(run({"constraints", "1", "--apart", "1,x"}).status, 2);
}

TEST_F(AdjustmentCli, MovesUndoRedoAndVersions) {
    // Refused: nothing on the standard output, which a script reads as what was done.
    for (const std::string command : {"undo", "redo"}) {
        const ProgramResult refused = run({command, "1"});
        EXPECT_EQ(refused.status, 1) << command;
        EXPECT_EQ(refused.out, "") << command;
        EXPECT_TRUE(has(refused.err, "没有可以")) << refused.err;
    }
    ok({"divide", "1"});
    EXPECT_TRUE(has(ok({"versions", "1", "--save", "分班后"}), "已保存方案 1（分班后）"));
    ok({"move", "1", "20240006", "4"});
    const std::string movedAgain = ok({"move", "1", "20240006", "3"});
    EXPECT_TRUE(has(movedAgain, "调到 3班")) << movedAgain;
    EXPECT_TRUE(has(movedAgain, "全体")) << movedAgain;  // the figures of the two classes
    ok({"versions", "1", "--save", "调整后"});
    const std::string versions = ok({"versions", "1", "--list"});
    EXPECT_TRUE(has(versions, "调整后")) << versions;
    const std::string compared = ok({"versions", "1", "--compare", "1", "2"});
    EXPECT_TRUE(has(compared, "1 名学生班级不同")) << compared;
    EXPECT_TRUE(has(compared, "20240006")) << compared;
    EXPECT_TRUE(has(compared, "\n均衡度  ")) << compared;  // the balance figures of both
    EXPECT_TRUE(has(compared, "  方案1  方案2\n总分平均分最大相差 ")) << compared;

    EXPECT_TRUE(has(ok({"versions", "1", "--restore", "1"}), "已恢复方案 1（分班后）"));
    EXPECT_TRUE(has(ok({"undo", "1"}), "已撤销: 恢复方案 1（分班后）"));
    EXPECT_TRUE(has(ok({"undo", "1"}), "已撤销: 把 学号 20240006 高菲"));
    EXPECT_TRUE(has(ok({"redo", "1"}), "已重做: 把 学号 20240006 高菲"));
    EXPECT_EQ(run({"versions", "1", "--restore", "9"}).status, 1);
    EXPECT_EQ(run({"versions", "1", "--compare", "1"}).status, 2);
    EXPECT_EQ(run({"move", "1", "20240006"}).status, 2);
    EXPECT_EQ(run({"swap", "1", "20240006", "99"}).status, 1);
}

}  // namespace
}  // namespace qm::test
