// quillmere-cli preview: the real program on real files.
#include <gtest/gtest.h>

#include "support/TempDatabase.h"

namespace qm::test {
namespace {

TEST(PreviewReaderCommand, PrintsTheRowsReadAndTheCount) {
    const auto result = runCli({"preview", testData("import/stops_at_empty_id.xlsx")});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out,
              "行\t学号\t登分号\t姓名\t性别\t数学\t英语\t语文\t物理\t政治\t历史\t体育\t地理\t生物\t"
              "毕业学校\t地址\t备注\t分类\n"
              "1\t1\tR1\t甲\t男\t80\t80\t80\t80\t80\t80\t80\t80\t80\t实验小学\t人民路1号\t\t\n"
              "2\t2\tR2\t乙\t女\t81\t81\t81\t81\t81\t81\t81\t81\t81\t实验小学\t人民路1号\t\t\n"
              "3\t\t\t丙\t男\t82\t82\t0\t82\t82\t82\t82\t82\t82\t\t\t\t\n"
              "已导入的总记录数:2条\n");
}

TEST(PreviewReaderCommand, EscapesLineBreaksAndTabsInCells) {
    const auto result = runCli({"preview", testData("import/tab_quoted.csv")});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("\t人民路;1号\\t2单元\t"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("\t和平街\\n5号\t"), std::string::npos) << result.out;
}

TEST(PreviewReaderCommand, ReportsAnUnreadableFileWithFailureStatus) {
    const std::string path = testData("import/password.xls");
    const auto result = runCli({"preview", path});
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.out.empty());
    EXPECT_NE(result.err.find("无法读取文件 " + path + ": 工作簿有密码保护"), std::string::npos)
        << result.err;
}

}  // namespace
}  // namespace qm::test
