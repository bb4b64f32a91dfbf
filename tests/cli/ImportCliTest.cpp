#include <gtest/gtest.h>

#include "support/TempDatabase.h"

namespace qm::test {
namespace {

const std::string kSample = std::string(QUILLMERE_SAMPLE_DIR) + "/分班数据输入样例";

class ImportCliTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(cli({"new", "--memo", "p", "--classes", "4"}).status, 0); }
    ProgramResult cli(std::vector<std::string> words) {
        words.insert(words.begin(), {"--db", folder.file("fb.db")});
        return runCli(words);
    }
    // The line of one student in the students CSV (whose lines end in CR LF).
    std::string studentLine(const std::string& id) {
        const std::string csv = cli({"students", "1", "--csv"}).out;
        const auto at = csv.find("\n" + id + ",");
        return at == std::string::npos ? "" : csv.substr(at + 1, csv.find('\r', at + 1) - at - 1);
    }
    TempFolder folder;
};

// The sample workbook through import to stored rows: the count, the pinyin of the names and a
// student fixed to a class by 备注.
TEST_F(ImportCliTest, SampleWorkbookIsStoredWithPinyinAndFixedClasses) {
    for (const std::string extension : {".xlsx", ".xls"}) {
        const auto imported = cli({"import", "1", kSample + extension});
        ASSERT_EQ(imported.status, 0) << imported.err;
        EXPECT_EQ(imported.out, "导入成功 (200)\n");
        EXPECT_EQ(studentLine("20240001"),
                  "20240001,K0001,余欢青,女,0,66,74.5,84,52,63,78,94,98,66,实验小学,"
                  "城关镇和平街161号,0,YU HUAN QING,,");
        // 备注 1 fixes 王嘉 to class 1 (type 2).
        EXPECT_EQ(studentLine("20240007"),
                  "20240007,K0007,王嘉,女,1,66,66,55,67,71.5,82,72,64,62,东街小学,"
                  "城关镇和平街41号,2,WANG JIA,1,");
    }
}

TEST_F(ImportCliTest, AnUnreadableFileChangesNothing) {
    ASSERT_EQ(cli({"import", "1", kSample + ".xlsx"}).status, 0);
    const auto broken = cli({"import", "1", testData("import/truncated.xlsx")});
    EXPECT_EQ(broken.status, 1);
    EXPECT_NE(broken.err.find("truncated.xlsx"), std::string::npos) << broken.err;
    EXPECT_NE(studentLine("20240200"), "");  // the earlier import is still there
}

TEST_F(ImportCliTest, AFailingRowIsNamedAndTheRowsBeforeItStay) {
    const std::string file = folder.file("bad.csv");
    {
        std::FILE* out = std::fopen(file.c_str(), "w");
        std::fputs(
            "学号,登分号,姓名,性别,数学,英语,语文,物理,政治,历史,体育,地理,生物,毕业学校,地址,"
            "备注,分类\n"
            "1,a,张三,男,80,80,80,80,80,80,80,80,80,,,,\n"
            "2,b,李四,女,缺考,80,80,80,80,80,80,80,80,,,,\n",
            out);
        std::fclose(out);
    }
    const auto imported = cli({"import", "1", file});
    EXPECT_EQ(imported.status, 1);
    EXPECT_NE(imported.err.find("插入数据库过程第3行出错,学生不考的科目请设置为0分"),
              std::string::npos)
        << imported.err;
    EXPECT_NE(studentLine("1").find("ZHANG SAN"), std::string::npos);
    EXPECT_EQ(studentLine("2"), "");
}

}  // namespace
}  // namespace qm::test
