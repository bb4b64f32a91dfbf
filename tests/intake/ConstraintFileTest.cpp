// Files of groups: the sample beside the sample workbook, a real .xlsx, and the refusals.
#include <gtest/gtest.h>

#include <xlsxwriter.h>
#include <fstream>

#include "common/UserError.h"
#include "intake/ConstraintFile.h"
#include "reports/XlsxWriter.h"
#include "support/AdjustmentFixture.h"

namespace qm::intake {
namespace {

using store::GroupKind;
using store::loadGroups;

using ConstraintFile = test::AdjustmentFixture;

std::string writeFile(const test::TempFolder& folder, const std::string& name,
                      const std::string& text) {
    const std::string path = folder.file(name);
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

TEST_F(ConstraintFile, TheSampleFileReadsAsItsGroups) {
    const auto groups = readConstraintFile(test::sampleFile("分班约束样例.csv"));
    ASSERT_EQ(groups.size(), 5u);
    EXPECT_EQ(groups[0].label, "双胞胎");
    EXPECT_EQ(groups[0].kind, GroupKind::Apart);
    EXPECT_EQ(groups[0].members, (std::vector<int>{20240001, 20240002}));
    EXPECT_EQ(groups[1].kind, GroupKind::Together);
    EXPECT_EQ(groups[1].members.size(), 3u);
}

TEST_F(ConstraintFile, AnXlsxWithColumnsInAnotherOrderIsStoredAsOneUnit) {
    const test::TempFolder folder;
    const std::string path = folder.file("约束.xlsx");
    {
        reports::XlsxWriter writer(path);
        lxw_worksheet* sheet = writer.addSheet("Sheet1");
        const std::vector<std::vector<std::string>> rows = {
            {"方式", "备注", "组", "学号"}, {"同班", "", "甲", "1"},
            {"分开", "双胞胎", "乙", "2"},  {"", "", "", ""},
            {" 同班 ", "", "甲", "4"},      {"分开", "", "乙", "3"}};
        for (std::size_t r = 0; r < rows.size(); ++r) {
            for (std::size_t c = 0; c < rows[r].size(); ++c) {
                if (c == 3 && r > 0 && !rows[r][c].empty()) {
                    writer.writeNumber(sheet, r, c, std::stod(rows[r][c]));
                } else if (!rows[r][c].empty()) {
                    writer.writeText(sheet, r, c, rows[r][c]);
                }
            }
        }
        writer.save();
    }
    const auto ids = addGroupsFromFile(connection(), project, path);
    const auto groups = loadGroups(connection(), project.id());
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(ids, (std::vector<int>{groups[0].id, groups[1].id}));
    EXPECT_EQ(groupTitle(groups[0]), "同班组 1（甲）");
    EXPECT_EQ(groups[0].members, (std::vector<int>{1, 4}));
    EXPECT_EQ(groups[1].members, (std::vector<int>{2, 3}));
}

TEST_F(ConstraintFile, BadFilesAreRefusedWithTheRowAndNothingIsStored) {
    const test::TempFolder folder;
    struct Case {
        std::string text;
        std::string message;  // after "文件 PATH"
    };
    const Case cases[] = {
        {"学号,组\n1,A\n", " 的第 1 行缺少标题“方式”（应有 学号、组、方式 三列）"},
        {"学号,组,方式\n1,A,分开\nx1,A,分开\n", " 第 3 行: 学号“x1”不是整数"},
        {"学号,组,方式\n1,,分开\n", " 第 2 行: 没有填写组"},
        {"学号,组,方式\n1,A,分班\n", " 第 2 行: 方式“分班”应为 分开 或 同班"},
        {"学号,组,方式\n1,A,分开\n2,A,同班\n", " 第 3 行: 组“A”在第 2 行是分开，这里却是同班"},
        {"学号,组,方式\n", " 中没有约束"},
    };
    for (const Case& c : cases) {
        const std::string path = writeFile(folder, "groups.csv", c.text);
        try {
            addGroupsFromFile(connection(), project, path);
            ADD_FAILURE() << "not refused: " << c.text;
        } catch (const UserError& error) {
            EXPECT_EQ(error.what(), "文件 " + path + c.message);
        }
    }
    // Groups that the store refuses (student 99 is not in the project) store nothing either.
    const std::string path =
        writeFile(folder, "groups.csv", "学号,组,方式\n1,A,分开\n2,A,分开\n5,B,同班\n99,B,同班\n");
    EXPECT_THROW(addGroupsFromFile(connection(), project, path), UserError);
    EXPECT_TRUE(loadGroups(connection(), project.id()).empty());
}

}  // namespace
}  // namespace qm::intake
